// Skinned popup menus on real windows: item sizes in both looks, placement,
// scrolling, keys, the sub-menu wait with real mouse input, the close
// messages and pictures of a menu in the skin and the default look.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkUtils.h"
#include "skin/SkinMenus.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using testsupport::PumpFor;
using testsupport::PumpUntil;

TMenuItem* AddItem(TMenuItem* Parent, const std::wstring& Caption, TShortCut Sc = 0) {
  auto* m = new TMenuItem(Parent);
  m->SetCaption(Caption);
  m->SetShortCut(Sc);
  Parent->Add(m);
  return m;
}

// "&Open" (Ctrl+O), "-", "&Recent" with two items, "&Close".
struct TTestMenu {
  explicit TTestMenu(TComponent* Owner) : Menu(new TPopupMenu(Owner)) {
    TMenuItem* root = Menu->Items();
    Open = AddItem(root, L"&Open", TextToShortCut(L"Ctrl+O"));
    AddItem(root, L"-");
    Recent = AddItem(root, L"&Recent");
    First = AddItem(Recent, L"first.wav");
    AddItem(Recent, L"second.wav");
    Close = AddItem(root, L"&Close");
    for (TMenuItem* m : {Open, First, Close})
      m->OnClick = [this](TObject* S) { Clicked.push_back(static_cast<TMenuItem*>(S)->Caption()); };
    Recent->OnClick = [this](TObject*) { Clicked.push_back(L"branch"); };
  }
  TPopupMenu* Menu;
  TMenuItem *Open, *Recent, *First, *Close;
  std::vector<std::wstring> Clicked;
};

class TOpener : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Closed = 0, Commands = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINMENUCLOSED) ++Closed;
    if (m.Msg == WM_SKINMENUCOMMAND) ++Commands;
    TCustomControl::WndProc(m);
  }
};

TskSkinPopupWindow* Top(TskSkinMenu* m) {
  return m->LevelCount() ? m->Level(m->LevelCount() - 1) : nullptr;
}

TEST(SkinMenu, CloseMessagesTable) {
  const UINT closing[] = {3, 5, 6, 8, 31, 33, 161, 164, 167, 513, 516, 519, 528};
  for (UINT m : closing)
    EXPECT_TRUE(IsMenuCloseMessage(m)) << m;
  const UINT other[] = {WM_MOUSEMOVE, WM_KEYDOWN, WM_PAINT, WM_LBUTTONUP, WM_TIMER, WM_NCMOUSEMOVE};
  for (UINT m : other)
    EXPECT_FALSE(IsMenuCloseMessage(m)) << m;
}

TEST(SkinMenu, RethinkLinesHidesUselessSeparators) {
  struct Case {
    std::wstring items; // "-" separator, "a" item, "h" hidden item
    std::wstring shown; // visible result
  } cases[] = {
      {L"-a-a-", L"a-a"}, {L"a--a", L"a-a"}, {L"a-h-a", L"a-a"},
      {L"a-h", L"a"},     {L"--", L""},      {L"a-a", L"a-a"},
  };
  for (auto& c : cases) {
    TPopupMenu menu(nullptr);
    for (wchar_t k : c.items) {
      TMenuItem* m = AddItem(menu.Items(), k == L'-' ? L"-" : L"x");
      if (k == L'h') m->SetVisible(false);
    }
    menu.Items()->RethinkLines();
    std::wstring got;
    for (int i = 0; i < menu.Items()->Count(); ++i)
      if (menu.Items()->Items(i)->Visible()) got += menu.Items()->Items(i)->IsLine() ? L'-' : L'a';
    EXPECT_EQ(got, c.shown) << c.items.c_str();
  }
}

// Item heights, window height and width in both looks.
TEST(SkinMenu, SizesInBothLooks) {
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    SCOPED_TRACE(SkinName(k));
    auto skin = MakeSkin(k);
    THostForm form(skin.get());
    TTestMenu tm(&form);
    form.Show();
    TskSkinMenu* sm = form.SkinMenu();
    sm->Popup(nullptr, skin.get(), 0, TRect(100, 100, 100, 100), tm.Menu->Items(), false);
    ASSERT_EQ(sm->LevelCount(), 1);
    TskSkinPopupWindow* w = Top(sm);
    ASSERT_EQ(w->ItemCount(), 4);
    auto* d = w->ItemData();
    if (k == kNone) {
      EXPECT_FALSE(w->Skinned());
      EXPECT_EQ(w->Item(0)->ItemHeight(), 20);
      EXPECT_EQ(w->Item(1)->ItemHeight(), 4);
      EXPECT_EQ(w->Height(), 3 * 20 + 4 + 6);
      EXPECT_EQ(w->ItemsRect(), TRect(3, 3, w->Width() - 3, w->Height() - 3));
    } else {
      ASSERT_TRUE(w->Skinned());
      ASSERT_NE(d, nullptr);
      const TskPicture* pic = skin->ActivePicture(skin->PopupWindow.WindowPictureIndex);
      const RECT& ir = skin->PopupWindow.ItemsRect;
      EXPECT_EQ(w->Item(0)->ItemHeight(), RectHeight(d->SkinRect));
      EXPECT_EQ(w->Item(1)->ItemHeight(), RectHeight(d->DividerRect));
      EXPECT_EQ(w->Height(), 3 * RectHeight(d->SkinRect) + RectHeight(d->DividerRect) +
                                 pic->Height() + ir.top - ir.bottom);
      EXPECT_EQ(w->ItemsRect().Top, ir.top);
      EXPECT_EQ(w->ItemsRect().Right, w->Width() + ir.right - pic->Width());
    }
    // Width: the widest "caption  shortcut" text decides.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, w->ItemFont()->Handle());
    int text = w->Item(0)->TextWidth(dc);
    EXPECT_EQ(w->MenuItemsWidth(dc), w->Width());
    SelectObject(dc, old);
    DeleteDC(dc);
    if (k == kNone) {
      EXPECT_EQ(w->Width(), text + 16 + 16 + 10);
    }
    // Items are stacked from the items rectangle's top.
    EXPECT_EQ(w->Item(0)->ObjectRect.Top, w->ItemsRect().Top);
    EXPECT_EQ(w->Item(1)->ObjectRect.Top, w->Item(0)->ObjectRect.Bottom);
    // The first enabled item is selected on opening.
    EXPECT_EQ(w->ActiveIndex(), 0);
    sm->CloseAll();
    EXPECT_EQ(sm->LevelCount(), 0);
  }
}

TEST(SkinMenu, LimitedWindowScrollsWithMarkersAndWraps) {
  for (SkinKind k : {kNone, kBuiltin}) {
    SCOPED_TRACE(SkinName(k));
    auto skin = MakeSkin(k);
    THostForm form(skin.get());
    TPopupMenu menu(&form);
    for (int i = 0; i < 5; ++i)
      AddItem(menu.Items(), L"Item " + std::to_wstring(i));
    form.Show();
    TskSkinMenu* sm = form.SkinMenu();
    sm->MaxMenuItemsInWindow = 3;
    sm->Popup(nullptr, skin.get(), 0, TRect(100, 100, 100, 100), menu.Items(), false);
    TskSkinPopupWindow* w = Top(sm);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Scrolled());
    EXPECT_TRUE(w->Limited());
    EXPECT_EQ(w->ShownCount(), 3);
    int ih = w->Item(0)->ItemHeight();
    int extra = k == kNone
                    ? 6
                    : skin->ActivePicture(skin->PopupWindow.WindowPictureIndex)->Height() +
                          skin->PopupWindow.ItemsRect.top - skin->PopupWindow.ItemsRect.bottom;
    EXPECT_EQ(w->Height(), ih * 3 + extra + 20);
    // Room for the 10-pixel markers above and below.
    EXPECT_EQ(w->Item(0)->ObjectRect.Top, w->ItemsRect().Top + 10);
    EXPECT_FALSE(w->Item(3)->Visible);
    // Down past the last shown item scrolls; Down on the last item wraps.
    for (int i = 0; i < 3; ++i)
      w->HandleMenuKey(VK_DOWN);
    EXPECT_EQ(w->ActiveIndex(), 3);
    EXPECT_EQ(w->FirstShown(), 1);
    w->HandleMenuKey(VK_DOWN);
    EXPECT_EQ(w->ActiveIndex(), 4);
    EXPECT_EQ(w->FirstShown(), 2);
    w->HandleMenuKey(VK_DOWN);
    EXPECT_EQ(w->ActiveIndex(), 0);
    EXPECT_EQ(w->FirstShown(), 0);
    // Up on the first wraps to the last page.
    w->HandleMenuKey(VK_UP);
    EXPECT_EQ(w->ActiveIndex(), 4);
    EXPECT_EQ(w->FirstShown(), 2);
    // Hovering the upper marker scrolls up every 100 ms until the top.
    w->MouseMoveAt(20, w->ItemsRect().Top + 3);
    EXPECT_EQ(w->ScrollDirection(), 1);
    EXPECT_EQ(w->ScrollTimerInterval(), 100u);
    w->ScrollTick();
    w->ScrollTick();
    EXPECT_EQ(w->FirstShown(), 0);
    w->ScrollTick();
    EXPECT_EQ(w->ScrollDirection(), 0);
    EXPECT_EQ(w->ScrollTimerInterval(), 0u);
    if (k == kNone) testsupport::SaveWindowPng(w->Handle(), L"skin-menu-scrolled-default.png");
    sm->CloseAll();
  }
}

TEST(SkinMenu, TallMenuFillsTheWorkArea) {
  THostForm form(nullptr);
  TPopupMenu menu(&form);
  RECT wa;
  GetScreenArea(true, wa);
  int n = RectHeight(wa) / 20 + 10;
  for (int i = 0; i < n; ++i)
    AddItem(menu.Items(), L"Line " + std::to_wstring(i));
  form.Show();
  TskSkinMenu* sm = form.SkinMenu();
  sm->Popup(nullptr, nullptr, 0, TRect(200, 300, 200, 300), menu.Items(), false);
  TskSkinPopupWindow* w = Top(sm);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Scrolled());
  EXPECT_FALSE(w->Limited());
  EXPECT_EQ(w->Height(), RectHeight(wa));
  EXPECT_EQ(w->Top(), wa.top);
  // A scrolled first level lies beside the anchor.
  EXPECT_EQ(w->Left(), 201);
  EXPECT_LT(w->ShownCount(), n);
  sm->CloseAll();
}

TEST(SkinMenu, PlacementNearTheWorkAreaEdges) {
  THostForm form(nullptr);
  TTestMenu tm(&form);
  form.Show();
  TskSkinMenu* sm = form.SkinMenu();
  RECT wa;
  GetScreenArea(true, wa);
  struct Case {
    TRect r;
    bool above;
    const char* what;
  } cases[] = {
      {TRect(100, 100, 140, 120), false, "below the anchor"},
      {TRect(100, wa.bottom - 30, 140, wa.bottom - 10), false, "near the bottom: above"},
      {TRect(100, 300, 140, 320), true, "preferred above"},
      {TRect(wa.right - 20, 100, wa.right - 10, 120), false, "near the right edge"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    sm->Popup(nullptr, nullptr, 0, c.r, tm.Menu->Items(), c.above);
    TskSkinPopupWindow* w = Top(sm);
    ASSERT_NE(w, nullptr);
    int h = w->Height(), wd = w->Width();
    if (c.r.Bottom + h <= wa.bottom && !c.above) {
      EXPECT_EQ(w->Top(), c.r.Bottom);
      EXPECT_FALSE(w->Turned());
    } else if (c.above) {
      EXPECT_EQ(w->Top(), c.r.Top - h);
    } else {
      EXPECT_EQ(w->Top(), c.r.Top - h);
      EXPECT_TRUE(w->Turned());
      // A turned first level lies beside the anchor rectangle.
      EXPECT_EQ(w->Left(), c.r.Right + 1);
    }
    if (c.r.Left + wd > wa.right) EXPECT_EQ(w->Left() + wd, wa.right);
    sm->CloseAll();
  }
}

TEST(SkinMenu, StartIndexBeyondItemsOpensNothing) {
  THostForm form(nullptr);
  TTestMenu tm(&form);
  TskSkinMenu* sm = form.SkinMenu();
  sm->Popup(nullptr, nullptr, 4, TRect(10, 10, 10, 10), tm.Menu->Items(), false);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(sm->LevelCount(), 0);
  sm->Popup(nullptr, nullptr, 0, TRect(10, 10, 10, 10), tm.First, false);
  EXPECT_EQ(sm->LevelCount(), 0);
}

TEST(SkinMenuInput, KeysWalkOpenAndClose) {
  auto skin = MakeSkin(kBuiltin);
  THostForm form(skin.get());
  TTestMenu tm(&form);
  auto* opener = new TOpener(&form);
  opener->SetParent(&form);
  opener->SetBounds(10, 10, 40, 20);
  form.Show();
  ASSERT_TRUE(testsupport::ForceForeground(form.Handle(), 3000));
  HWND front = GetForegroundWindow();
  TskSkinMenu* sm = form.SkinMenu();
  int closeEvents = 0;
  sm->Popup(opener, skin.get(), 0, TRect(120, 120, 120, 120), tm.Menu->Items(), false);
  sm->OnMenuClose = [&](TObject*) { ++closeEvents; };
  TskSkinPopupWindow* w = Top(sm);
  ASSERT_NE(w, nullptr);
  // The window does not take the activation.
  EXPECT_EQ(GetForegroundWindow(), front);
  EXPECT_EQ(w->ActiveIndex(), 0);
  // Down skips the separator.
  sm->HandleMenuKey(VK_DOWN);
  EXPECT_EQ(w->ActiveIndex(), 2);
  // Right opens the branch at once, Escape closes only that level.
  sm->HandleMenuKey(VK_RIGHT);
  ASSERT_EQ(sm->LevelCount(), 2);
  EXPECT_EQ(tm.Clicked, std::vector<std::wstring>{L"branch"});
  EXPECT_TRUE(w->Item(2)->Down);
  EXPECT_EQ(Top(sm)->Left(), w->Left() + w->Item(2)->ObjectRect.Right + 1);
  sm->HandleMenuKey(VK_ESCAPE);
  EXPECT_EQ(sm->LevelCount(), 1);
  EXPECT_FALSE(w->Item(2)->Down);
  EXPECT_EQ(opener->Closed, 0);
  // Left on the first level does nothing.
  sm->HandleMenuKey(VK_LEFT);
  EXPECT_EQ(sm->LevelCount(), 1);
  // Enter on a leaf runs it, closes the menu and notifies the opener.
  sm->HandleMenuKey(VK_DOWN);
  EXPECT_EQ(w->ActiveIndex(), 3);
  sm->HandleMenuKey(VK_RETURN);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(sm->LevelCount(), 0);
  EXPECT_EQ(tm.Clicked.back(), L"&Close");
  EXPECT_EQ(opener->Closed, 1);
  EXPECT_EQ(opener->Commands, 1);
  EXPECT_EQ(closeEvents, 1);
  // The accelerator key clicks its item; Escape on the first level closes.
  sm->Popup(opener, skin.get(), 0, TRect(120, 120, 120, 120), tm.Menu->Items(), false);
  sm->HandleMenuKey('O');
  EXPECT_EQ(tm.Clicked.back(), L"&Open");
  EXPECT_FALSE(sm->Visible());
  sm->Popup(opener, skin.get(), 0, TRect(120, 120, 120, 120), tm.Menu->Items(), false);
  sm->HandleMenuKey(VK_ESCAPE);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(opener->Closed, 3);
  EXPECT_EQ(closeEvents, 1); // one shot
  EXPECT_FALSE(sm->HandleMenuKey(VK_DOWN));
  PumpFor(30);
}

// The window of an open level. A level the menu closed is freed (an input
// from outside may close the menu at any time), so the tests look it up
// again after each pump instead of keeping it.
#define ASSERT_LEVEL_OPEN(form, level)                                                             \
  ASSERT_GT((form).SkinMenu()->LevelCount(), (level))                                              \
      << "closed on message " << (form).LastCloseMessage

TEST(SkinMenuInput, SubMenuWaitAndMouseClicks) {
  THostForm form(nullptr);
  TTestMenu tm(&form);
  form.Show();
  ASSERT_TRUE(testsupport::ForceForeground(form.Handle(), 3000));
  TskSkinMenu* sm = form.SkinMenu();
  sm->Popup(nullptr, nullptr, 0, TRect(150, 150, 150, 150), tm.Menu->Items(), false);
  ASSERT_LEVEL_OPEN(form, 0);
  const HWND first = sm->Level(0)->Handle();
  PumpFor(30);
  ASSERT_LEVEL_OPEN(form, 0);
  auto active = [&] { return sm->LevelCount() ? sm->Level(0)->ActiveIndex() : -1; };
  auto centre = [&](int level, int i) {
    TRect r = level < sm->LevelCount() ? sm->Level(level)->Item(i)->ObjectRect : TRect();
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  // Hovering the branch waits about 500 ms before opening.
  const POINT b = centre(0, 2), o = centre(0, 0);
  MouseToClient(first, b.x, b.y, 10);
  ASSERT_TRUE(PumpUntil([&] { return active() == 2; }, 1000)) << form.LastCloseMessage;
  EXPECT_TRUE(sm->WaitTimer()->Enabled());
  EXPECT_EQ(sm->WaitTimer()->Interval(), 500u);
  PumpFor(250);
  EXPECT_EQ(sm->LevelCount(), 1);
  ASSERT_TRUE(PumpUntil([&] { return sm->LevelCount() == 2; }, 1500)) << form.LastCloseMessage;
  // Opening by the wait runs the branch's command as a click does.
  EXPECT_EQ(tm.Clicked, std::vector<std::wstring>{L"branch"});
  tm.Clicked.clear();
  // Moving to a leaf of the first level closes the sub-menu.
  MouseToClient(first, o.x, o.y, 10);
  ASSERT_TRUE(PumpUntil([&] { return sm->LevelCount() == 1; }, 1000));
  ASSERT_LEVEL_OPEN(form, 0);
  EXPECT_EQ(active(), 0);
  // Hovering the branch and leaving for a leaf before the wait cancels it.
  MouseToClient(first, b.x, b.y, 10);
  ASSERT_TRUE(PumpUntil([&] { return sm->WaitItem() != nullptr; }, 1000)) << form.LastCloseMessage;
  MouseToClient(first, o.x, o.y, 10);
  ASSERT_TRUE(PumpUntil([&] { return sm->WaitItem() == nullptr; }, 1000));
  PumpFor(500);
  EXPECT_EQ(sm->LevelCount(), 1) << form.LastCloseMessage;
  // Clicking the branch runs its command and opens at once.
  ClickClient(first, b.x, b.y);
  ASSERT_LEVEL_OPEN(form, 1);
  EXPECT_EQ(tm.Clicked, std::vector<std::wstring>{L"branch"});
  // A click on a leaf of the sub-menu runs it and closes everything.
  const POINT leaf = centre(1, 0);
  ClickClient(sm->Level(1)->Handle(), leaf.x, leaf.y);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(tm.Clicked.back(), L"first.wav");
  EXPECT_GE(form.ClosedNotices, 1);
  // The closed levels' windows go once their messages have returned.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(first); }, 1000));
  // A click outside (on the form) closes an open menu.
  sm->Popup(nullptr, nullptr, 0, TRect(150, 150, 150, 150), tm.Menu->Items(), false);
  ClickClient(form.Handle(), 20, 200);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(form.LastCloseMessage, static_cast<UINT>(WM_LBUTTONDOWN));
  PumpFor(30);
}

// A command may close the menu under the level that runs it: a branch whose
// command closes the menu opens no sub-menu, by key, by the wait or by click.
TEST(SkinMenu, BranchCommandThatClosesTheMenuOpensNothing) {
  THostForm form(nullptr);
  TTestMenu tm(&form);
  form.Show();
  TskSkinMenu* sm = form.SkinMenu();
  tm.Recent->OnClick = [&](TObject*) { sm->CloseAll(); };
  for (int how = 0; how < 3; ++how) {
    SCOPED_TRACE(how);
    sm->Popup(nullptr, nullptr, 0, TRect(150, 150, 150, 150), tm.Menu->Items(), false);
    ASSERT_EQ(sm->LevelCount(), 1);
    TskSkinPopupWindow* w = sm->Level(0);
    if (how == 0) {
      sm->HandleMenuKey(VK_DOWN);
      sm->HandleMenuKey(VK_RIGHT);
    } else if (how == 1) {
      sm->ItemActivated(w, w->Item(2), false, false);
      ASSERT_EQ(sm->WaitItem(), w->Item(2));
      sm->WaitTick();
    } else {
      w->Item(2)->Click();
    }
    EXPECT_FALSE(sm->Visible());
    EXPECT_EQ(sm->LevelCount(), 0);
    PumpFor(30);
  }
}

TEST(SkinMenu, PopupMenuGoesThroughTheFormsHost) {
  auto skin = MakeSkin(kAlt);
  THostForm form(skin.get());
  auto* pm = new TskSkinPopupMenu(&form);
  AddItem(pm->Items(), L"One");
  AddItem(pm->Items(), L"Two");
  int popups = 0, closes = 0;
  pm->OnPopup = [&](TObject*) { ++popups; };
  pm->OnMenuClose = [&](TObject*) { ++closes; };
  form.Show();
  pm->Popup(200, 210);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(form.Opens, 1);
  EXPECT_EQ(pm->SkinData(), skin.get());
  EXPECT_EQ(pm->PopupPoint, TPoint(200, 210));
  ASSERT_EQ(form.SkinMenu()->LevelCount(), 1);
  EXPECT_TRUE(Top(form.SkinMenu())->Skinned());
  // A second popup closes the first through the form.
  pm->Popup(220, 230);
  EXPECT_EQ(form.Closes, 1);
  EXPECT_EQ(closes, 1);
  form.SkinMenu()->CloseAll();
  EXPECT_EQ(closes, 2);
  // Without a skinned form nothing is shown.
  TForm plain(nullptr);
  auto* other = new TskSkinPopupMenu(&plain);
  AddItem(other->Items(), L"One");
  other->Popup(10, 10);
  EXPECT_EQ(other->SkinData(), nullptr);
}

// A menu with a check mark, a radio item, a header, a shortcut, a branch and a
// disabled item, as pictures in each look.
TEST(SkinMenu, PicturesInBothLooks) {
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    SCOPED_TRACE(SkinName(k));
    auto skin = MakeSkin(k);
    THostForm form(skin.get());
    TPopupMenu menu(&form);
    TMenuItem* h = AddItem(menu.Items(), L"-Recording-");
    h->SetEnabled(false);
    AddItem(menu.Items(), L"&Checked", TextToShortCut(L"Ctrl+K"))->SetChecked(true);
    TMenuItem* r = AddItem(menu.Items(), L"&Radio");
    r->SetRadioItem(true);
    r->SetChecked(true);
    AddItem(menu.Items(), L"-");
    AddItem(AddItem(menu.Items(), L"&More"), L"Sub");
    AddItem(menu.Items(), L"&Disabled")->SetEnabled(false);
    TMenuItem* c = AddItem(menu.Items(), L"&Close", TextToShortCut(L"Alt+F4"));
    c->SetName(L"DSF_CLOSE");
    form.Show();
    TskSkinMenu* sm = form.SkinMenu();
    sm->Popup(nullptr, skin.get(), 0, TRect(300, 100, 300, 100), menu.Items(), false);
    TskSkinPopupWindow* w = Top(sm);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Item(0)->IsHeader());
    // The header is not selectable: the first checked item is active.
    EXPECT_EQ(w->ActiveIndex(), 1);
    PumpFor(50);
    // Looked up again: a level closed meanwhile is freed.
    w = Top(sm);
    ASSERT_NE(w, nullptr) << "closed by message " << form.LastCloseMessage;
    // The checked item's mark is drawn in the text colour left of the caption.
    HDC dc = GetDC(w->Handle());
    TRect ir = w->Item(1)->ObjectRect;
    int dark = 0;
    for (int x = ir.Left; x < ir.Left + 20; ++x)
      for (int y = ir.Top; y < ir.Bottom; ++y) {
        COLORREF p = GetPixel(dc, x, y);
        if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 150) ++dark;
      }
    ReleaseDC(w->Handle(), dc);
    if (k == kNone) EXPECT_GT(dark, 6);
    std::string n = SkinName(k);
    testsupport::SaveWindowPng(w->Handle(),
                               L"skin-menu-" + std::wstring(n.begin(), n.end()) + L".png");
    sm->CloseAll();
  }
}

} // namespace
