// MDI frames and children: the MDI client beside aligned controls, the child
// list, the active child, the window menu and the system keys of the loop.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpUntil;
using testsupport::WindowText;

// An MDI frame with a left panel and a top bar, made the main form.
struct MDIFixture {
  TCustomForm* oldMain = Application->MainForm();
  std::unique_ptr<TForm> frame;
  TPanel* left = nullptr;
  TPanel* top = nullptr;

  MDIFixture() {
    frame = std::make_unique<TForm>(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(L"Frame");
    frame->SetBounds(40, 40, 520, 400);
    top = new TPanel(frame.get());
    top->SetParent(frame.get());
    top->SetHeight(30);
    top->SetAlign(alTop);
    left = new TPanel(frame.get());
    left->SetParent(frame.get());
    left->SetWidth(120);
    left->SetAlign(alLeft);
    Application->SetMainForm(frame.get());
    frame->Show();
    testsupport::PumpMessages();
  }
  ~MDIFixture() {
    frame.reset();
    Application->SetMainForm(oldMain);
  }
  TForm* AddChild(const std::wstring& caption) {
    auto* c = new TForm(frame.get());
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(caption);
    c->SetBounds(10, 10, 200, 150);
    c->Show();
    testsupport::PumpMessages();
    return c;
  }
  RECT ClientOfMDI() const {
    RECT r;
    GetWindowRect(frame->ClientHandle(), &r);
    MapWindowPoints(nullptr, frame->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

} // namespace

TEST(MDIForm, ClientTakesWhatTheAlignedControlsLeave) {
  MDIFixture f;
  ASSERT_NE(f.frame->ClientHandle(), nullptr);
  EXPECT_EQ(testsupport::ClassOf(f.frame->ClientHandle()), L"MDIClient");
  RECT cr;
  GetClientRect(f.frame->Handle(), &cr);
  RECT m = f.ClientOfMDI();
  EXPECT_EQ(m.left, 120);
  EXPECT_EQ(m.top, 30);
  EXPECT_EQ(m.right, cr.right);
  EXPECT_EQ(m.bottom, cr.bottom);

  // A resize of the frame keeps the MDI client beside the controls.
  f.frame->SetBounds(40, 40, 600, 460);
  testsupport::PumpMessages();
  GetClientRect(f.frame->Handle(), &cr);
  m = f.ClientOfMDI();
  EXPECT_EQ(m.left, 120);
  EXPECT_EQ(m.top, 30);
  EXPECT_EQ(m.right, cr.right);
  EXPECT_EQ(m.bottom, cr.bottom);
}

TEST(MDIForm, ChildrenAreListedActivatedAndFreed) {
  MDIFixture f;
  EXPECT_EQ(f.frame->MDIChildCount(), 0);
  EXPECT_EQ(f.frame->ActiveMDIChild(), nullptr);
  TForm* a = f.AddChild(L"Doc");
  TForm* b = f.AddChild(L"Doc1");
  EXPECT_EQ(GetParent(a->Handle()), f.frame->ClientHandle());
  EXPECT_TRUE(GetWindowLongW(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  ASSERT_EQ(f.frame->MDIChildCount(), 2);
  EXPECT_EQ(f.frame->MDIChildren(0), b); // the topmost first
  EXPECT_EQ(f.frame->MDIChildren(1), a);
  EXPECT_THROW(f.frame->MDIChildren(2), EListError);
  EXPECT_EQ(f.frame->ActiveMDIChild(), b);
  EXPECT_TRUE(b->Active());
  EXPECT_FALSE(a->Active());

  a->BringToFront();
  EXPECT_EQ(f.frame->ActiveMDIChild(), a);
  EXPECT_TRUE(a->Active());
  EXPECT_FALSE(b->Active());

  // Freeing the active child activates the other one.
  delete a;
  testsupport::PumpMessages();
  EXPECT_EQ(f.frame->MDIChildCount(), 1);
  EXPECT_EQ(f.frame->ActiveMDIChild(), b);
  EXPECT_TRUE(b->Active());
}

TEST(MDIForm, MaximizedChildFillsTheClientAndNamesItselfInTheCaption) {
  MDIFixture f;
  TForm* c = f.AddChild(L"Child");
  c->SetWindowState(wsMaximized);
  testsupport::PumpMessages();
  EXPECT_EQ(c->WindowState(), wsMaximized);
  RECT client, inClient;
  GetClientRect(f.frame->ClientHandle(), &client);
  GetClientRect(c->Handle(), &inClient);
  MapWindowPoints(c->Handle(), f.frame->ClientHandle(), reinterpret_cast<POINT*>(&inClient), 2);
  EXPECT_EQ(inClient.left, client.left);
  EXPECT_EQ(inClient.top, client.top);
  EXPECT_EQ(inClient.right, client.right);
  EXPECT_EQ(inClient.bottom, client.bottom);
  EXPECT_EQ(WindowText(f.frame->Handle()), L"Frame - [Child]");
  c->SetWindowState(wsNormal);
  testsupport::PumpMessages();
  EXPECT_EQ(c->WindowState(), wsNormal);
  EXPECT_EQ(WindowText(f.frame->Handle()), L"Frame");
}

TEST(MDIForm, WindowMenuListsTheChildren) {
  MDIFixture f;
  auto* menu = new TMainMenu(f.frame.get());
  auto* file = new TMenuItem(menu);
  file->SetCaption(L"&File");
  menu->Items()->Add(file);
  auto* win = new TMenuItem(menu);
  win->SetCaption(L"&Window");
  menu->Items()->Add(win);
  auto* tile = new TMenuItem(menu);
  tile->SetCaption(L"&Tile");
  win->Add(tile);
  f.frame->SetMenu(menu);
  f.frame->SetWindowMenu(win);
  EXPECT_EQ(f.frame->WindowMenu(), win);
  TForm* a = f.AddChild(L"Doc");
  f.AddChild(L"Doc1");
  HMENU sub = GetSubMenu(GetMenu(f.frame->Handle()), 1);
  ASSERT_NE(sub, nullptr);
  // Tile, a separator and one entry per child.
  auto itemText = [&](int i) {
    wchar_t buf[64] = {};
    GetMenuStringW(sub, i, buf, 64, MF_BYPOSITION);
    return std::wstring(buf);
  };
  ASSERT_EQ(GetMenuItemCount(sub), 4);
  EXPECT_EQ(itemText(2), L"&1 Doc");
  EXPECT_EQ(itemText(3), L"&2 Doc1");
  // The entry activates its child.
  UINT id = GetMenuItemID(sub, 2);
  SendMessageW(f.frame->Handle(), WM_COMMAND, id, 0);
  EXPECT_EQ(f.frame->ActiveMDIChild(), a);
  delete a;
  testsupport::PumpMessages();
  EXPECT_EQ(GetMenuItemCount(sub), 3);
}

TEST(MDIForm, MessageLoopTranslatesTheMDISystemKeys) {
  MDIFixture f;
  TForm* a = f.AddChild(L"Doc");
  TForm* b = f.AddChild(L"Doc1");
  ASSERT_EQ(f.frame->ActiveMDIChild(), b);
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  // Ctrl+F6 goes to the next child.
  PostMessageW(b->Handle(), WM_KEYDOWN, VK_F6, 1);
  Application->ProcessMessages();
  EXPECT_EQ(f.frame->ActiveMDIChild(), a);
  // Ctrl+F4 closes the active child (hidden by its default close action).
  PostMessageW(a->Handle(), WM_KEYDOWN, VK_F4, 1);
  Application->ProcessMessages();
  keys[VK_CONTROL] = saved;
  SetKeyboardState(keys);
  EXPECT_TRUE(PumpUntil([&] { return !a->Visible(); }, 2000));
}

TEST(MDIForm, ChildWithoutAnMDIFrameIsRefused) {
  TCustomForm* oldMain = Application->MainForm();
  auto main = std::make_unique<TForm>(nullptr);
  Application->SetMainForm(main.get());
  auto child = std::make_unique<TForm>(nullptr);
  child->SetFormStyle(fsMDIChild);
  EXPECT_THROW(child->HandleNeeded(), EInvalidOperation);
  Application->SetMainForm(oldMain);
}
