// The skinned form on MDI frames and children: the MDI area beside aligned
// controls, maximized children and the frame caption, window-menu items,
// minimized children and the MDI client's background.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;

// A skinned MDI frame with a left panel 120 wide and a top bar 30 high,
// made the main form, and its skinned children.
struct MDIRig {
  TCustomForm* oldMain = Application->MainForm();
  std::unique_ptr<TForm> frame;
  TskSkinnedForm* sf = nullptr;
  TskSkinData* skin = nullptr;
  TMenuItem* window = nullptr;

  explicit MDIRig(bool skinned = false) {
    frame = std::make_unique<TForm>(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(L"Frame");
    frame->SetBounds(60, 60, 640, 480);
    auto* top = new TPanel(frame.get());
    top->SetParent(frame.get());
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* left = new TPanel(frame.get());
    left->SetParent(frame.get());
    left->SetWidth(120);
    left->SetAlign(alLeft);
    auto* menu = new TMainMenu(frame.get());
    window = new TMenuItem(menu);
    window->SetCaption(L"&Window");
    menu->Items()->Add(window);
    frame->SetMenu(menu);
    frame->SetWindowMenu(window);
    sf = new TskSkinnedForm(frame.get());
    if (skinned) {
      skin = new TskSkinData(frame.get());
      skin->EnableSkinEffects = false;
      EXPECT_TRUE(skin->LoadSkinFromIni(SourceDir() + L"resources\\skin\\frame\\skin.ini"))
          << skin->LastError();
      sf->SetSkinData(skin);
    }
    Application->SetMainForm(frame.get());
    frame->Show();
    PumpFor(50);
  }
  ~MDIRig() {
    frame.reset();
    Application->SetMainForm(oldMain);
  }
  TForm* Child(const std::wstring& name, const std::wstring& caption, bool skinned = true) {
    auto* c = new TForm(frame.get());
    c->SetName(name);
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(caption);
    c->SetBounds(20, 20, 240, 180);
    auto* csf = new TskSkinnedForm(c);
    if (skin && skinned) csf->SetSkinData(skin);
    c->Show();
    PumpFor(30);
    return c;
  }
  RECT Area() {
    RECT c;
    GetClientRect(frame->Handle(), &c);
    return RECT{120, 30, c.right, c.bottom};
  }
  std::vector<std::wstring> ChildItems() {
    std::vector<std::wstring> v;
    for (int i = 0; i < window->Count(); ++i)
      if (window->Items(i)->Name().find(L"_DSFCHILDITEM") != std::wstring::npos)
        v.push_back(window->Items(i)->Name() + L"=" + window->Items(i)->Caption() +
                    (window->Items(i)->Checked() ? L"*" : L""));
    return v;
  }
};

} // namespace

TEST(SkinMDI, MaximizedChildFillsTheAreaBesideTheAlignedControls) {
  MDIRig r;
  EXPECT_TRUE(r.sf->MDIClientHooked());
  RECT area = r.sf->GetMDIAreaRect();
  RECT want = r.Area();
  EXPECT_TRUE(EqualRect(&area, &want));
  TForm* child = r.Child(L"Child", L"Child");
  TskSkinnedForm* csf = GetSkinFormOf(child);
  ASSERT_NE(csf, nullptr);
  csf->SetWindowState(2);
  PumpFor(30);
  EXPECT_EQ(child->Left(), 0);
  EXPECT_EQ(child->Top(), 0);
  EXPECT_EQ(child->Width(), want.right - want.left);
  EXPECT_EQ(child->Height(), want.bottom - want.top);
  // No frame of its own: the whole child is client.
  RECT cc;
  GetClientRect(child->Handle(), &cc);
  EXPECT_EQ(cc.right, child->Width());
  EXPECT_EQ(cc.bottom, child->Height());
  EXPECT_TRUE(r.sf->GetMDIChildMaximized());
  EXPECT_EQ(r.sf->GetMaximizedChild(), child);
  EXPECT_EQ(r.sf->FrameCaptionText(), L"Frame - [Child]");
  // The frame grows: the maximized child follows the MDI area.
  r.frame->SetBounds(60, 60, 700, 520);
  PumpFor(30);
  want = r.Area();
  EXPECT_EQ(child->Width(), want.right - want.left);
  EXPECT_EQ(child->Height(), want.bottom - want.top);
  csf->SetWindowState(0);
  PumpFor(30);
  EXPECT_FALSE(r.sf->GetMDIChildMaximized());
  EXPECT_EQ(r.sf->FrameCaptionText(), L"Frame");
  EXPECT_EQ(child->Width(), 240);
}

TEST(SkinMDI, WindowMenuItemsAreAddedCheckedAndRemoved) {
  MDIRig r;
  TForm* doc = r.Child(L"Doc", L"First");
  TForm* doc1 = r.Child(L"Doc1", L"Second");
  // The active child's item carries the check mark.
  EXPECT_EQ(r.ChildItems(),
            (std::vector<std::wstring>{L"Doc_DSFCHILDITEM=First", L"Doc1_DSFCHILDITEM=Second*"}));
  doc->BringToFront();
  GetSkinFormOf(doc)->CheckActiveChildMenuItem();
  EXPECT_EQ(r.ChildItems(),
            (std::vector<std::wstring>{L"Doc_DSFCHILDITEM=First*", L"Doc1_DSFCHILDITEM=Second"}));
  doc1->SetCaption(L"Renamed");
  EXPECT_EQ(r.ChildItems()[1], L"Doc1_DSFCHILDITEM=Renamed");
  // Hiding "Doc" removes its own item, not the one of "Doc1".
  doc->Hide();
  PumpFor(20);
  ASSERT_EQ(r.ChildItems().size(), 1u);
  EXPECT_EQ(r.ChildItems()[0].substr(0, 26), L"Doc1_DSFCHILDITEM=Renamed");
  // A stray item is removed with the last child's.
  auto* stray = new TMenuItem(r.window);
  stray->SetName(L"Old_DSFCHILDITEM");
  r.window->Add(stray);
  doc1->Hide();
  PumpFor(20);
  EXPECT_TRUE(r.ChildItems().empty());
  // The menu's clicks show a hidden child again.
  doc->Show();
  PumpFor(20);
  ASSERT_EQ(r.ChildItems().size(), 1u);
}

TEST(SkinMDI, ChildrenWithoutNamesKeepTheirOwnItems) {
  MDIRig r;
  TForm* a = r.Child(L"", L"A");
  TForm* b = r.Child(L"", L"B");
  EXPECT_EQ(r.ChildItems().size(), 2u);
  b->BringToFront();
  GetSkinFormOf(b)->CheckActiveChildMenuItem();
  EXPECT_EQ(r.ChildItems(), (std::vector<std::wstring>{L"_DSFCHILDITEM=A", L"_DSFCHILDITEM=B*"}));
  a->Hide();
  PumpFor(20);
  EXPECT_EQ(r.ChildItems(), (std::vector<std::wstring>{L"_DSFCHILDITEM=B*"}));
}

TEST(SkinMDI, MinimizedChildrenLineUpAlongTheBottomOfTheArea) {
  MDIRig r;
  TForm* a = r.Child(L"A", L"A");
  TForm* b = r.Child(L"B", L"B");
  TskSkinnedForm *sa = GetSkinFormOf(a), *sb = GetSkinFormOf(b);
  sa->SetWindowState(1);
  sb->SetWindowState(1);
  PumpFor(30);
  RECT area = r.Area();
  int h = 19 + 6, w = 130; // the plain frame's minimum
  EXPECT_EQ(a->Height(), h);
  EXPECT_EQ(a->Width(), w);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(a->Top(), area.bottom - area.top - h);
  EXPECT_EQ(b->Left(), w);
  EXPECT_EQ(b->Top(), a->Top());
  // A taller frame moves them down with the bottom of the area.
  r.frame->SetBounds(60, 60, 640, 560);
  PumpFor(30);
  area = r.Area();
  EXPECT_EQ(a->Top(), area.bottom - area.top - h);
  EXPECT_EQ(b->Top(), area.bottom - area.top - h);
}

TEST(SkinMDI, BackgroundIsRedrawnOnResizeAndTheHookGoesWithTheComponent) {
  MDIRig r(true);
  HWND client = r.frame->ClientHandle();
  r.skin->MDIBGStretchEffect = true;
  ValidateRect(client, nullptr);
  r.frame->SetBounds(60, 60, 680, 500);
  RECT u{};
  ASSERT_TRUE(GetUpdateRect(client, &u, FALSE));
  RECT c;
  GetClientRect(client, &c);
  EXPECT_TRUE(EqualRect(&u, &c));
  // The MDI background picture, stretched over the client.
  TskPicture p(c.right, c.bottom);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, p.Handle());
  SendMessageW(client, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const TskPicture* bg = r.skin->ActivePicture(3);
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(p.Pixel(0, 0), bg->Pixel(0, 0));
  // A picture number beyond the skin's pictures paints no picture.
  r.skin->MDIBGPictureIndex = 42;
  SendMessageW(client, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(p.Pixel(c.right / 2, c.bottom / 2), GetSysColor(COLOR_APPWORKSPACE));
  // The skinned form goes first: the MDI client gets its procedure back.
  EXPECT_TRUE(r.sf->MDIClientHooked());
  delete r.sf;
  r.sf = nullptr;
  p.Fill(RGB(1, 2, 3));
  SendMessageW(client, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_NE(p.Pixel(5, 5), bg->Pixel(5, 5));
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(SkinMDIInput, FrameWithAMaximizedChildPicture) {
  MDIRig r(true);
  // A child without a skin: its maximized client is plain.
  TForm* child = r.Child(L"Child", L"Child", false);
  GetSkinFormOf(child)->SetWindowState(2);
  ASSERT_TRUE(testsupport::ForceForeground(r.frame->Handle()));
  PumpFor(150);
  EXPECT_TRUE(r.sf->GetMDIChildMaximized());
  auto* caption = dynamic_cast<TskSkinCaptionObject*>(r.sf->FindObject(L"caption"));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->Text, L"Frame - [Child]");
  testsupport::SaveWindowPng(r.frame->Handle(), L"skin_mdi_maximized_child.png");
}

TEST(SkinMDI, MouseActivationMarksTheActiveChildOfAnInactiveFrameActive) {
  MDIRig r(true);
  TForm* a = r.Child(L"A", L"A");
  TForm* b = r.Child(L"B", L"B");
  ASSERT_EQ(r.frame->ActiveMDIChild(), b);
  TskSkinnedForm *sa = GetSkinFormOf(a), *sb = GetSkinFormOf(b);
  int activations = 0;
  sb->OnActivate = [&](TObject*) { ++activations; };
  // The frame lost the activation: its active child is drawn inactive.
  SendMessageW(b->Handle(), WM_NCACTIVATE, FALSE, 0);
  SendMessageW(a->Handle(), WM_NCACTIVATE, FALSE, 0);
  ASSERT_FALSE(sb->GetFormActive());
  // A click on a child that is not the active one changes nothing here.
  SendMessageW(a->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(r.frame->Handle()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_FALSE(sa->GetFormActive());
  // A click on the active child shows it active at once.
  SendMessageW(b->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(r.frame->Handle()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_TRUE(sb->GetFormActive());
  EXPECT_EQ(activations, 1);
  // Already active: no second activation update.
  SendMessageW(b->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(r.frame->Handle()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(activations, 1);
}

TEST(SkinMDI, SkinnableSwitchOfAFrameWithoutChildrenKeepsTheClientSubclassed) {
  MDIRig r(true);
  TForm* child = r.Child(L"Child", L"Child");
  // A frame with children is left as it is.
  r.skin->SetSkinnableForm(false);
  PumpFor(20);
  EXPECT_TRUE(r.sf->Skinnable());
  EXPECT_EQ(SendMessageW(r.frame->Handle(), CM_SKINSTATEQUERY, 0, 0), 12853);
  delete child;
  PumpFor(20);
  ASSERT_EQ(r.frame->MDIChildCount(), 0);
  r.skin->SetSkinnableForm(true);
  r.skin->SetSkinnableForm(false);
  PumpFor(30);
  EXPECT_FALSE(r.sf->Skinnable());
  EXPECT_TRUE(r.sf->Objects().empty());
  // The system's frame with its own buttons, and the MDI client (a new one
  // when the frame's window was made anew) still subclassed.
  EXPECT_EQ(r.frame->BorderIcons(), biSystemMenu | biMinimize | biMaximize);
  ASSERT_NE(r.frame->ClientHandle(), nullptr);
  EXPECT_TRUE(r.sf->MDIClientHooked());
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(r.frame->Handle(), rgn), ERROR) << "no region";
  DeleteObject(rgn);
  // Back on: the skin's frame and objects, the client still hooked, and new
  // children maximize into the area.
  r.skin->SetSkinnableForm(true);
  PumpFor(30);
  EXPECT_TRUE(r.sf->Skinnable());
  EXPECT_FALSE(r.sf->Objects().empty());
  EXPECT_EQ(r.frame->BorderIcons(), 0u);
  EXPECT_TRUE(r.sf->MDIClientHooked());
  TForm* again = r.Child(L"Again", L"Again");
  GetSkinFormOf(again)->SetWindowState(2);
  PumpFor(30);
  RECT want = r.Area();
  EXPECT_EQ(again->Width(), want.right - want.left);
}

TEST(SkinMDI, ChildSystemMenuIsShownByTheFramesSkinnedForm) {
  MDIRig r(true);
  TForm* a = r.Child(L"A", L"A");
  TskSkinnedForm* sa = GetSkinFormOf(a);
  sa->PopupSystemMenuAt(200, 200);
  ASSERT_TRUE(r.sf->SkinMenu()->Visible());
  EXPECT_EQ(r.sf->SkinMenu()->LevelCount(), 1);
  EXPECT_FALSE(sa->SkinMenu()->Visible());
  r.sf->SkinMenu()->CloseAll();
  PumpFor(30);
  // Without a skinned form on the frame the child shows no menu at all.
  delete r.sf;
  r.sf = nullptr;
  sa->PopupSystemMenuAt(200, 200);
  EXPECT_FALSE(sa->SkinMenu()->Visible());
}
