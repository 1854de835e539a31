// The MDI tabs bar on a real MDI frame: tab widths with and without a
// smallest width, the hidden tabs and their menu, reordering by dragging
// past tab centres, close buttons, the children's menus and the skinned
// form's calls as children are shown, hidden, activated and renamed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMDITabs.h"
#include "skin/SkinMenus.h"
#include "skin/SkinSpeedButtons.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinShotTest.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// A skinned MDI frame, made the main form, with a tabs bar at its top.
struct TTabsRig {
  TCustomForm* oldMain = Application->MainForm();
  std::unique_ptr<TForm> frame;
  TskSkinnedForm* sf = nullptr;
  TskSkinMDITabsBar* bar = nullptr;

  explicit TTabsRig(int BarWidth = 0) {
    frame = std::make_unique<TForm>(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(L"Frame");
    frame->SetBounds(60, 60, 640, 400);
    sf = new TskSkinnedForm(frame.get());
    bar = new TskSkinMDITabsBar(frame.get());
    bar->SetParent(frame.get());
    if (BarWidth > 0)
      bar->SetBounds(0, 0, BarWidth, 21);
    else
      bar->SetAlign(alTop);
    sf->SetMDITabsBar(bar);
    bar->SetSkinnedForm(sf);
    Application->SetMainForm(frame.get());
    frame->Show();
    PumpFor(50);
  }
  ~TTabsRig() {
    frame.reset();
    Application->SetMainForm(oldMain);
  }
  TForm* Child(const std::wstring& name, const std::wstring& caption) {
    auto* c = new TForm(frame.get());
    c->SetName(name);
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(caption);
    c->SetBounds(20, 20, 240, 160);
    new TskSkinnedForm(c);
    c->Show();
    PumpFor(20);
    return c;
  }
  std::vector<std::wstring> Order() const {
    std::vector<std::wstring> v;
    for (int i = 0; i < bar->TabCount(); ++i)
      v.push_back(bar->Tab(i)->Child->Caption());
    return v;
  }
  void Down(int x, int y = 8) { bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Move(int x, int y = 8) { bar->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Up(int x, int y = 8) { bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
};

TEST(SkinMDITabs, ShownChildrenGetTabsHiddenOnesLoseThem) {
  TTabsRig r;
  EXPECT_EQ(r.bar->MenuButton(), nullptr);
  TForm* a = r.Child(L"A", L"Alpha");
  TForm* b = r.Child(L"B", L"Beta");
  EXPECT_EQ(r.Order(), (std::vector<std::wstring>{L"Alpha", L"Beta"}));
  ASSERT_NE(r.bar->MenuButton(), nullptr);
  EXPECT_EQ(r.bar->MenuButton()->Width(), 15);
  EXPECT_EQ(r.bar->MenuButton()->ArrowMarkerDirection, 4);
  // The active child's tab is marked.
  a->BringToFront();
  PumpFor(30);
  EXPECT_TRUE(PumpUntil([&] { return r.bar->Tab(0)->Active && !r.bar->Tab(1)->Active; }, 2000));
  b->Hide();
  PumpFor(20);
  EXPECT_EQ(r.Order(), (std::vector<std::wstring>{L"Alpha"}));
  delete a;
  PumpFor(20);
  EXPECT_EQ(r.bar->TabCount(), 0);
  EXPECT_EQ(r.bar->MenuButton(), nullptr);
}

TEST(SkinMDITabs, TabWidthsAndHiddenTabs) {
  struct Case {
    int barWidth, minWidth, tabs;
    int width, shown;
    bool lastToEdge;
  };
  const Case cases[] = {
      {300, 60, 10, 60, 4, false}, {300, 0, 10, 28, 10, true}, {300, 0, 2, 100, 2, false},
      {300, 0, 3, 95, 3, true},    {300, 90, 3, 95, 3, true},  {300, 100, 3, 100, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.barWidth << " px, smallest " << c.minWidth << ", " << c.tabs << " tabs");
    TTabsRig r(c.barWidth);
    r.bar->MinTabWidth = c.minWidth;
    for (int i = 0; i < c.tabs; ++i)
      r.Child(L"C" + std::to_wstring(i), L"Child " + std::to_wstring(i));
    r.bar->LayoutTabs();
    EXPECT_EQ(r.bar->HiddenCount(), c.tabs - c.shown);
    for (int i = 0; i < c.tabs; ++i) {
      TskMDITab* t = r.bar->Tab(i);
      if (i >= c.shown) {
        EXPECT_FALSE(t->Visible) << i;
        EXPECT_TRUE(t->TabRect.IsEmpty()) << i;
        continue;
      }
      EXPECT_TRUE(t->Visible) << i;
      EXPECT_EQ(t->TabRect.Left, 15 + i * c.width) << i;
      int right = (i == c.tabs - 1 && c.lastToEdge) ? c.barWidth : 15 + (i + 1) * c.width;
      EXPECT_EQ(t->TabRect.Right, right) << i;
    }
    // Painting makes the hidden-tabs button, whose menu lists the hidden children.
    r.bar->Repaint();
    PumpFor(20);
    EXPECT_EQ(r.bar->HiddenButton() != nullptr, c.tabs > c.shown);
    if (c.tabs > c.shown) {
      EXPECT_EQ(r.bar->HiddenButton()->ArrowMarkerDirection, 2);
      r.bar->RebuildMenu(r.bar->HiddenChildrenMenu(), true);
      TMenuItem* items = r.bar->HiddenChildrenMenu()->Items();
      ASSERT_EQ(items->Count(), c.tabs - c.shown);
      for (int i = 0; i < items->Count(); ++i)
        EXPECT_EQ(items->Items(i)->Name(),
                  L"C" + std::to_wstring(c.shown + i) + L"_DSFCHILDITEMBARHIDE");
    }
  }
}

TEST(SkinMDITabs, DragDropsPastTabCentres) {
  struct Case {
    const char* name;
    int from, offset, drop;
    std::vector<std::wstring> order;
  };
  // Four tabs of 100 from x = 15: centres at 65, 165, 265, 365.
  const Case cases[] = {
      {"short of the next centre", 0, 40, -1, {L"0", L"1", L"2", L"3"}},
      {"past one centre", 0, 60, 1, {L"1", L"0", L"2", L"3"}},
      {"past two centres", 0, 160, 2, {L"1", L"2", L"0", L"3"}},
      {"left past one centre", 3, -60, 2, {L"0", L"1", L"3", L"2"}},
      {"left past three centres", 3, -260, 0, {L"3", L"0", L"1", L"2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTabsRig r(500);
    for (int i = 0; i < 4; ++i)
      r.Child(L"C" + std::to_wstring(i), std::to_wstring(i));
    r.bar->LayoutTabs();
    int x = 15 + c.from * 100 + 50;
    r.Down(x);
    r.Move(x + c.offset);
    EXPECT_TRUE(r.bar->DragMoving());
    EXPECT_EQ(r.bar->DragOffset(), c.offset);
    r.bar->LayoutTabs();
    EXPECT_EQ(r.bar->GetDropIndex(), c.drop);
    r.Up(x + c.offset);
    EXPECT_FALSE(r.bar->DragMoving());
    EXPECT_EQ(r.Order(), c.order);
  }
}

TEST(SkinMDITabs, CloseButtonClosesOnlyOnAReleaseOverIt) {
  TTabsRig r(400);
  r.bar->ShowCloseButtons = true;
  int closes = 0;
  TForm* a = r.Child(L"A", L"Alpha");
  r.Child(L"B", L"Beta");
  a->OnClose = [&](TObject*, TCloseAction& act) {
    ++closes;
    act = caNone;
  };
  r.bar->Repaint();
  PumpFor(20);
  TskMDITab* t = r.bar->Tab(0);
  // Without a skin the close button is a 14-pixel square at the tab's right.
  EXPECT_EQ(t->CloseRect.Width(), 14);
  EXPECT_EQ(t->CloseRect.Height(), 14);
  int cx = t->TabRect.Left + t->CloseRect.Left + 7, cy = t->TabRect.Top + t->CloseRect.Top + 7;
  r.Move(cx, cy);
  EXPECT_TRUE(t->CloseMouseIn);
  r.Down(cx, cy);
  EXPECT_TRUE(t->ClosePressed);
  EXPECT_FALSE(r.bar->DragMoving());
  r.Move(t->TabRect.Left + 5, cy);
  EXPECT_FALSE(t->ClosePressed);
  r.Up(t->TabRect.Left + 5, cy);
  EXPECT_EQ(closes, 0);
  r.Move(cx, cy);
  r.Down(cx, cy);
  r.Up(cx, cy);
  EXPECT_EQ(closes, 1);
}

TEST(SkinMDITabs, MenuItemsKeepTheirChildEvenWithoutNames) {
  TTabsRig r;
  TForm* a = r.Child(L"", L"First");
  TForm* b = r.Child(L"", L"Second");
  a->BringToFront();
  EXPECT_TRUE(PumpUntil([&] { return r.bar->Tab(0)->Active; }, 2000));
  r.bar->RebuildMenu(r.bar->AllChildrenMenu(), false);
  TMenuItem* items = r.bar->AllChildrenMenu()->Items();
  ASSERT_EQ(items->Count(), 2);
  EXPECT_EQ(items->Items(0)->Caption(), L"First");
  EXPECT_TRUE(items->Items(0)->Checked());
  EXPECT_FALSE(items->Items(1)->Checked());
  EXPECT_TRUE(items->Items(1)->RadioItem());
  EXPECT_EQ(items->Items(1)->Name(), L"_DSFCHILDITEMBAR");
  // Both names are empty: the item still brings its own child forward.
  items->Items(1)->Click();
  EXPECT_TRUE(PumpUntil([&] { return r.frame->ActiveMDIChild() == b; }, 2000));
  items->Items(0)->Click();
  EXPECT_TRUE(PumpUntil([&] { return r.frame->ActiveMDIChild() == a; }, 2000));
}

TEST(SkinMDITabs, ClickActivatesAndTabsReportTheMouse) {
  TTabsRig r(400);
  TForm* a = r.Child(L"A", L"Alpha");
  TForm* b = r.Child(L"B", L"Beta");
  std::vector<std::string> seen;
  r.bar->OnTabMouseEnter = [&](TObject*, TskMDITab* t) {
    seen.push_back("enter " + std::string(t->Child == a ? "a" : "b"));
  };
  r.bar->OnTabMouseLeave = [&](TObject*, TskMDITab* t) {
    seen.push_back("leave " + std::string(t->Child == a ? "a" : "b"));
  };
  r.bar->OnTabMouseDown = [&](TObject*, TMouseButton, TShiftState, TskMDITab*) {
    seen.push_back("down");
  };
  r.bar->OnTabMouseUp = [&](TObject*, TMouseButton, TShiftState, TskMDITab*) {
    seen.push_back("up");
  };
  r.bar->LayoutTabs();
  b->BringToFront();
  r.Move(30);
  r.Down(30);
  r.Up(30);
  EXPECT_TRUE(PumpUntil([&] { return r.frame->ActiveMDIChild() == a; }, 2000));
  r.Move(150);
  r.bar->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"enter a", "down", "up", "leave a", "enter b", "leave b"}));
  // A right click on a tab whose child has a skinned form but with no menu
  // shown without a skin still reports the press.
  seen.clear();
  r.bar->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 8));
  EXPECT_EQ(seen, (std::vector<std::string>{"down"}));
  r.sf->SkinMenu()->CloseAll();
}

// The second skin with a "tab" entry added that takes its three tab states
// from the skin's resize-button pictures.
std::unique_ptr<TskSkinData> TabSkin() {
  std::wstring src = SourceDir() + L"resources\\skin\\alt\\";
  std::wstring dir = testsupport::MakeTempDir(L"tabskin") + L"\\";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((src + L"*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileW((src + fd.cFileName).c_str(), (dir + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  std::string text;
  {
    HANDLE f = CreateFileW((dir + L"skin.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
      text.append(buf, got);
    CloseHandle(f);
  }
  size_t at = text.find("[SKINCONTROLS]");
  size_t c = text.find("count=", at);
  size_t e = text.find_first_of("\r\n", c);
  int count = std::stoi(text.substr(c + 6, e - c - 6));
  text.replace(c, e - c, "count=" + std::to_string(count + 1));
  e = text.find('\n', c);
  text.insert(e + 1, std::to_string(count) + "=tab:tab\r\n");
  text += "\r\n[tab]\r\npictureindex=3\r\nskinrect=0,0,60,18\r\nclientrect=0,0,60,18\r\n"
          "tabrect=0,0,60,18\r\nactivetabrect=120,0,180,18\r\nmouseintabrect=60,0,120,18\r\n"
          "tabsbgrect=4,44,56,56\r\ntableftoffset=4\r\ntabrightoffset=4\r\n"
          "tabstretcheffect=1\r\nfontname=Tahoma\r\nfontheight=13\r\nfontcolor=661544\r\n"
          "focusfontcolor=16777215\r\nmouseinfontcolor=16777215\r\n";
  HANDLE f = CreateFileW((dir + L"skin.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  DWORD put = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  CloseHandle(f);
  auto sd = std::make_unique<TskSkinData>(nullptr);
  EXPECT_TRUE(sd->LoadSkinFromIni(dir + L"skin.ini")) << sd->LastError();
  sd->EnableSkinEffects = false;
  return sd;
}

TEST(SkinMDITabs, SkinnedTabsTakeTheirStatePictures) {
  auto skin = TabSkin();
  ASSERT_GE(skin->FindControlDescription(L"tab"), 0);
  TTabsRig r(460);
  r.bar->SetSkinData(skin.get());
  EXPECT_EQ(r.bar->Height(), 18) << "the tab picture's height";
  TForm* a = r.Child(L"A", L"Recording 1.wav");
  r.Child(L"B", L"Interview.mp3");
  r.Child(L"C", L"Notes.ogg");
  a->BringToFront();
  EXPECT_TRUE(PumpUntil([&] { return r.bar->Tab(0)->Active; }, 2000));
  r.bar->LayoutTabs();
  r.Move(r.bar->Tab(1)->TabRect.Left + 20);
  PumpFor(30);
  skintest::TDibShot shot(r.bar->Width(), r.bar->Height());
  r.bar->PaintClientTo(shot.DC());
  EXPECT_TRUE(shot.Save(L"skin_mdi_tabs_skinned.png"));
  const TskPicture* pic = skin->ActivePicture(3);
  ASSERT_NE(pic, nullptr);
  // The left edge of each tab is its state picture's (active, hot, normal).
  int sx[] = {120, 60, 0};
  for (int i = 0; i < 3; ++i) {
    const TRect& t = r.bar->Tab(i)->TabRect;
    EXPECT_EQ(shot.At(t.Left + 1, 2), pic->Pixel(sx[i] + 1, 2)) << i;
  }
}

TEST(SkinMDITabs, Picture) {
  TTabsRig r(460);
  r.bar->ShowCloseButtons = true;
  TForm* a = r.Child(L"A", L"Recording 1.wav");
  r.Child(L"B", L"Interview.mp3");
  r.Child(L"C", L"A rather long file name.ogg");
  a->BringToFront();
  PumpFor(50);
  r.bar->LayoutTabs();
  r.Move(r.bar->Tab(1)->TabRect.Left + 20);
  PumpFor(30);
  HWND h = r.bar->Handle();
  RECT rc;
  GetClientRect(h, &rc);
  skintest::TDibShot shot(rc.right, rc.bottom);
  r.bar->PaintClientTo(shot.DC());
  EXPECT_TRUE(shot.Save(L"skin_mdi_tabs_default.png"));
}

} // namespace
