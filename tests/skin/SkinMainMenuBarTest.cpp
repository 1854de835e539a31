// The skinned main menu bar on real windows: item widths and places, items
// that do not fit and the marker that opens them, the merged menu of the
// active MDI child, the maximized child's buttons, the keyboard main-menu
// mode and accelerators through the skinned form; and the two-menu popup
// level: its items, size, place in the work area and timed fade-in.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMainMenuBar.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using Items = std::vector<std::wstring>;

// Pumps through the application, so that its message hook sees the keys.
bool AppPumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    Application->ProcessMessages();
    if (pred()) return true;
    if (int(GetTickCount() - end) >= 0) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
void AppPump(int ms) {
  AppPumpUntil([] { return false; }, ms);
}

// Real key presses, with Ctrl or Alt held when asked.
void Keys(std::initializer_list<UINT> vks, bool alt = false, bool ctrl = false) {
  std::vector<INPUT> in;
  auto key = [&](UINT k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = static_cast<WORD>(k);
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (ctrl) key(VK_CONTROL, false);
  if (alt) key(VK_MENU, false);
  for (UINT k : vks) {
    key(k, false);
    key(k, true);
  }
  if (alt) key(VK_MENU, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  AppPump(80);
}

struct TItemSpec {
  std::wstring Caption;
  int Group = 0;
};

// Top-level items named after their captions, each with one sub-item
// "Sub of <caption>"; every click is counted by name.
TMainMenu* MakeMenu(TComponent* Owner, const std::vector<TItemSpec>& Specs,
                    std::vector<std::wstring>* Clicks = nullptr, const std::wstring& Prefix = L"") {
  auto* menu = new TMainMenu(Owner);
  for (const TItemSpec& s : Specs) {
    auto* m = new TMenuItem(menu);
    std::wstring name = Prefix + StripHotkey(s.Caption);
    m->SetName(name);
    m->SetCaption(s.Caption);
    m->SetGroupIndex(s.Group);
    menu->Items()->Add(m);
    auto* sub = new TMenuItem(menu);
    sub->SetCaption(L"Sub of " + s.Caption);
    if (Clicks) sub->OnClick = [Clicks, name](TObject*) { Clicks->push_back(L"Sub of " + name); };
    m->Add(sub);
  }
  return menu;
}

// A form with a skinned form (plain frame) and a bar at its top; with mdi the
// form is an MDI frame and the application's main form.
struct BarRig {
  TCustomForm* oldMain = Application->MainForm();
  std::unique_ptr<TForm> form;
  TskSkinnedForm* sf = nullptr;
  TskSkinMainMenuBar* bar = nullptr;
  TMainMenu* menu = nullptr;
  std::vector<std::wstring> clicks;

  BarRig(const std::vector<TItemSpec>& Specs, bool Mdi = false, int Width = 480) {
    form = std::make_unique<TForm>(nullptr);
    form->SetCaption(L"Menu bar");
    if (Mdi) form->SetFormStyle(fsMDIForm);
    form->SetBounds(60, 60, Width, 360);
    sf = new TskSkinnedForm(form.get());
    menu = MakeMenu(form.get(), Specs, &clicks);
    bar = new TskSkinMainMenuBar(form.get());
    bar->SetParent(form.get());
    bar->SetSkinnedForm(sf);
    sf->SetMainMenuBar(bar);
    bar->SetMainMenu(menu);
    if (Mdi) Application->SetMainForm(form.get());
    form->Show();
    testsupport::PumpFor(50);
  }
  ~BarRig() {
    form.reset();
    Application->SetMainForm(oldMain);
  }
  HWND H() const { return form->Handle(); }
  TskSkinMenu* Menu() const { return sf->SkinMenu(); }
  bool Open() const { return Menu()->Visible() && Menu()->LevelCount() > 0; }
  // The captions of the open first level.
  Items Shown() const {
    Items v;
    if (!Open()) return v;
    TskSkinPopupWindow* w = Menu()->Level(0);
    for (int i = 0; i < w->ItemCount(); ++i)
      v.push_back(w->Item(i)->MenuItem()->Caption());
    return v;
  }
  std::vector<TskSkinMainMenuBarItem*> BarItems() const { return bar->Items(); }
  Items Captions() const {
    Items v;
    for (TskSkinMainMenuBarItem* i : bar->Items())
      v.push_back(StripHotkey(i->MenuItem->Caption()));
    return v;
  }
  // The index among the bar's items of the highlighted or pressed one.
  int Hot() const {
    auto items = bar->Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i]->Active || items[i]->Down) return int(i);
    return -1;
  }
  // An MDI child with a skinned form and, when given, a main menu.
  TForm* Child(const std::wstring& Name, const std::vector<TItemSpec>& Specs = {},
               TskBorderIcons Icons = biSkSystemMenu | biSkMinimize | biSkMaximize) {
    auto* c = new TForm(form.get());
    c->SetName(Name);
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(Name);
    c->SetBounds(20, 20, 240, 160);
    auto* csf = new TskSkinnedForm(c);
    csf->SetBorderIcons(Icons);
    if (!Specs.empty()) MakeMenu(c, Specs, &clicks, Name + L"_");
    c->Show();
    testsupport::PumpFor(40);
    return c;
  }
  // The real pointer away from the bar, so that it highlights nothing.
  void ParkMouse() {
    MouseToScreen(form->Left() + 10, form->Top() + form->Height() + 40);
    AppPump(120);
  }
  void Paint() {
    bar->Repaint();
    testsupport::PumpFor(20);
  }
  POINT Centre(const RECT& r) const {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void ClickBar(const RECT& r) {
    POINT c = Centre(r);
    ClickClient(bar->Handle(), c.x, c.y);
    AppPump(60);
  }
};

int TextWidth(const std::wstring& Text, const std::wstring& Font = L"Arial", int Height = 14) {
  TFont f;
  f.SetName(Font);
  f.SetHeight(Height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f.Handle());
  SIZE s{};
  GetTextExtentPoint32W(dc, Text.c_str(), int(Text.size()), &s);
  SelectObject(dc, old);
  DeleteDC(dc);
  return s.cx;
}

} // namespace

// ---------------------------------------------------------------------------
// Items on the bar

TEST(SkinMenuBar, ItemsSitSideBySideAtTheirCaptionWidths) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&Options"}, {L"&Help"}});
  rig.menu->Items()->Items(2)->SetVisible(false);
  rig.menu->Items()->Items(3)->SetEnabled(false);
  rig.bar->SetMainMenu(nullptr);
  EXPECT_EQ(rig.bar->ObjectCount(), 0);
  rig.bar->SetMainMenu(rig.menu);
  rig.Paint();
  EXPECT_EQ(rig.bar->Height(), 22);
  EXPECT_EQ(rig.bar->Width(), rig.form->ClientWidth());
  // The invisible item makes no bar item.
  ASSERT_EQ(rig.Captions(), (Items{L"File", L"Edit", L"Help"}));
  auto items = rig.BarItems();
  int left = 2;
  for (TskSkinMainMenuBarItem* it : items) {
    std::wstring text = StripHotkey(it->MenuItem->Caption());
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    EXPECT_EQ(it->IDName, text);
    EXPECT_EQ(it->ObjectRect.left, left);
    EXPECT_EQ(it->ObjectRect.top, 2);
    EXPECT_EQ(it->ObjectRect.bottom, 20);
    EXPECT_EQ(it->ObjectRect.right - it->ObjectRect.left, TextWidth(text) + 12);
    EXPECT_TRUE(it->Shown);
    left = it->ObjectRect.right;
  }
  EXPECT_FALSE(rig.bar->ItemsHidden());
  // A disabled item is drawn but the mouse finds nothing on it.
  EXPECT_FALSE(items[2]->Enabled);
  POINT c = rig.Centre(items[2]->ObjectRect);
  rig.bar->TrackMouse(c.x, c.y);
  EXPECT_EQ(rig.bar->ActiveObject(), -1);
  c = rig.Centre(items[1]->ObjectRect);
  rig.bar->TrackMouse(c.x, c.y);
  EXPECT_EQ(rig.bar->ActiveObject(), 1);
  EXPECT_TRUE(items[1]->Active);
  rig.bar->TrackMouse(-1, -1);
  EXPECT_FALSE(items[1]->Active);
  // Without a skin the default size holds; the height follows DefaultHeight.
  rig.bar->SetDefaultHeight(26);
  EXPECT_EQ(rig.bar->Height(), 26);
}

TEST(SkinMenuBar, ItemsPastTheEdgeHideBehindTheMarker) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&View"}, {L"&Tools"}, {L"&Help"}});
  rig.Paint();
  auto items = rig.BarItems();
  items[3]->Enabled = false;
  // Room for the first two items and the marker.
  int w = items[1]->ObjectRect.right + 5 + 2 + 3;
  rig.bar->SetAlign(alNone);
  rig.bar->SetBounds(0, 0, w, 22);
  rig.Paint();
  EXPECT_TRUE(rig.bar->ItemsHidden());
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i]->Shown, i < 2);
    EXPECT_EQ(items[i]->Enabled, i < 2);
  }
  RECT m = rig.bar->MarkerRect();
  EXPECT_EQ(m.right, w - 2);
  EXPECT_EQ(m.right - m.left, 5);
  // The marker is drawn in the strip: a dark pixel of its arrow.
  HDC dc = GetDC(rig.bar->Handle());
  bool dark = false;
  for (int x = m.left; x < m.right; ++x)
    for (int y = m.top; y < m.bottom; ++y)
      if (GetPixel(dc, x, y) == ColorToRGB(clBtnShadow)) dark = true;
  ReleaseDC(rig.bar->Handle(), dc);
  EXPECT_TRUE(dark);
  // Room again: the items come back with the enabled state they had.
  rig.bar->SetBounds(0, 0, 480, 22);
  rig.Paint();
  EXPECT_FALSE(rig.bar->ItemsHidden());
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(items[i]->Shown);
    EXPECT_EQ(items[i]->Enabled, i != 3);
  }
  // Without ScrollMenu the items use the marker's strip too.
  rig.bar->SetScrollMenu(false);
  rig.bar->SetBounds(0, 0, items[1]->ObjectRect.right + 2, 22);
  rig.Paint();
  EXPECT_TRUE(items[1]->Shown);
  EXPECT_FALSE(items[2]->Shown);
}

// A skin with a "mainmenubar" description: the bar takes the height of its
// skin rectangle, lays the items out in its items rectangle at the item
// description's size, and the hot item morphs with the skin effects on.
TEST(SkinMenuBar, SkinLookFromTheSkinDescriptions) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&View"}});
  auto skin = MakeSkin(kAlt);
  auto bar = std::make_unique<TskDataSkinMainMenuBar>(L"mainmenubar");
  bar->PictureIndex = 4;
  bar->SkinRect = RECT{0, 0, 60, 24};
  bar->ItemsRect = RECT{4, 2, 56, 22};
  bar->MenuBarItem = L"baritem";
  bar->TrackMarkColor = 0x0A1828;
  bar->TrackMarkActiveColor = 0xFFFFFF;
  skin->ControlList.push_back(std::move(bar));
  auto item = std::make_unique<TskDataSkinMainMenuBarItem>(L"baritem");
  item->ActivePictureIndex = 4;
  item->SkinRect = RECT{60, 0, 100, 20};
  item->ActiveSkinRect = RECT{60, 20, 100, 40};
  item->TextRect = RECT{4, 2, 36, 18};
  item->ItemLeftOffset = item->ItemRightOffset = 4;
  item->FontName = L"Tahoma";
  item->FontHeight = 13;
  item->FontColor = 0xE8F0F8;
  item->ActiveFontColor = 0xFFFFFF;
  item->Morphing = true;
  skin->ObjectList.push_back(std::move(item));
  skin->EnableSkinEffects = true;
  rig.bar->SetSkinData(skin.get());
  rig.Paint();
  EXPECT_TRUE(rig.bar->SkinSupport());
  EXPECT_EQ(rig.bar->Height(), 24);
  int w = rig.bar->Width();
  RECT area = rig.bar->ItemsArea();
  RECT wantArea{4, 2, w - 4, 22};
  EXPECT_TRUE(EqualRect(&area, &wantArea));
  auto items = rig.BarItems();
  ASSERT_EQ(items.size(), 3u);
  int left = 4;
  for (TskSkinMainMenuBarItem* it : items) {
    std::wstring text = StripHotkey(it->MenuItem->Caption());
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    EXPECT_TRUE(it->SkinSupport);
    EXPECT_EQ(it->ObjectRect.left, left);
    EXPECT_EQ(it->ObjectRect.top, 2);
    EXPECT_EQ(it->ObjectRect.bottom, 22);
    EXPECT_EQ(it->ObjectRect.right - it->ObjectRect.left,
              40 - 32 + TextWidth(text, L"Tahoma", 13) + 2);
    left = it->ObjectRect.right;
  }
  // The hot item morphs to its active look in five 25-ms steps.
  POINT c = rig.Centre(items[1]->ObjectRect);
  rig.bar->TrackMouse(c.x, c.y);
  EXPECT_TRUE(rig.bar->MorphTimer()->Enabled());
  std::vector<double> kf;
  while (rig.bar->MorphTimer()->Enabled() && kf.size() < 10) {
    rig.bar->MorphTimerTick();
    kf.push_back(items[1]->MorphKf());
  }
  EXPECT_GE(kf.size(), 5u);
  EXPECT_LE(kf.size(), 7u);
  EXPECT_DOUBLE_EQ(items[1]->MorphKf(), 1.0);
  testsupport::PumpFor(20);
  testsupport::SaveWindowPng(rig.H(), L"skin-main-menu-bar-skinned.png");
  // Leaving morphs back; a skin change drops the entry and the objects.
  rig.bar->TrackMouse(-1, -1);
  while (rig.bar->MorphTimer()->Enabled())
    rig.bar->MorphTimerTick();
  EXPECT_DOUBLE_EQ(items[1]->MorphKf(), 0.0);
  rig.bar->DropSkinEntry();
  EXPECT_FALSE(rig.bar->SkinSupport());
  EXPECT_EQ(rig.bar->ObjectCount(), 0);
  rig.bar->SetSkinData(nullptr);
  rig.bar->SetMainMenu(nullptr);
}

// ---------------------------------------------------------------------------
// The two-menu popup level

namespace {

struct MergedRig {
  std::unique_ptr<TskSkinData> skin = MakeSkin(kNone);
  std::unique_ptr<THostForm> form;
  std::unique_ptr<TMainMenu> menu;
  TMenuItem *first = nullptr, *second = nullptr, *single = nullptr;
  // first: A1 .. A3 (A2 invisible), second: B1 .. B3; single: the five visible
  // captions of both in one menu.
  MergedRig() {
    form = std::make_unique<THostForm>(skin.get());
    form->Show();
    menu = std::make_unique<TMainMenu>(nullptr);
    auto add = [&](TMenuItem* parent, const std::wstring& caption) {
      auto* m = new TMenuItem(menu.get());
      m->SetCaption(caption);
      parent->Add(m);
      return m;
    };
    first = add(menu->Items(), L"First");
    second = add(menu->Items(), L"Second");
    single = add(menu->Items(), L"Single");
    for (const wchar_t* c : {L"&Apple", L"Apricot", L"A&vocado"})
      add(first, c);
    first->Items(1)->SetVisible(false);
    for (const wchar_t* c : {L"&Banana", L"Blackberry and blueberry", L"Blood orange"})
      add(second, c);
    for (const wchar_t* c :
         {L"&Apple", L"A&vocado", L"&Banana", L"Blackberry and blueberry", L"Blood orange"})
      add(single, c);
  }
  TskSkinMenu* Menu() { return form->SkinMenu(); }
  Items Shown() {
    Items v;
    TskSkinPopupWindow* w = Menu()->Level(Menu()->LevelCount() - 1);
    for (int i = 0; i < w->ItemCount(); ++i)
      v.push_back(w->Item(i)->MenuItem()->Caption());
    return v;
  }
};

} // namespace

TEST(SkinMergedMenu, ListsTheFirstItemsThenTheSecondsFromTheStartIndex) {
  MergedRig rig;
  struct Case {
    int start;
    Items want;
  } cases[] = {
      {0, {L"&Apple", L"A&vocado", L"&Banana", L"Blackberry and blueberry", L"Blood orange"}},
      {2, {L"A&vocado", L"&Banana", L"Blackberry and blueberry", L"Blood orange"}},
      // Past the first item's three sub-items: the second's from 4 - 3 = 1.
      {4, {L"Blackberry and blueberry", L"Blood orange"}},
      {5, {L"Blood orange"}},
  };
  TRect r(200, 100, 205, 120);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    rig.Menu()->PopupMerged(nullptr, nullptr, c.start, r, rig.first, rig.second, false);
    ASSERT_TRUE(rig.Menu()->Visible());
    ASSERT_EQ(rig.Menu()->LevelCount(), 1);
    EXPECT_EQ(rig.Shown(), c.want);
    // The first enabled item is selected.
    EXPECT_EQ(rig.Menu()->Level(0)->ActiveIndex(), 0);
    rig.Menu()->CloseAll();
  }
  // Nothing at or past the end of both lists, nor for a first item without sub-items.
  rig.Menu()->PopupMerged(nullptr, nullptr, 6, r, rig.first, rig.second, false);
  EXPECT_FALSE(rig.Menu()->Visible());
  rig.Menu()->PopupMerged(nullptr, nullptr, 0, r, rig.first->Items(0), rig.second, false);
  EXPECT_FALSE(rig.Menu()->Visible());
}

// The merged level is as large as one level of the same items, and lies in
// the work area by the rules of the menu bar's hidden-items list.
TEST(SkinMergedMenu, SizeAndPlaceInTheWorkArea) {
  MergedRig rig;
  RECT wa{100, 80, 700, 520};
  rig.Menu()->SetWorkArea(wa);
  rig.Menu()->ShowMenuLevel(TRect(300, 100, 305, 120), rig.single, 0, false, false);
  int W = rig.Menu()->Level(0)->Width(), H = rig.Menu()->Level(0)->Height();
  rig.Menu()->CloseAll();
  EXPECT_EQ(H, 5 * 20 + 6);
  EXPECT_GT(W, TextWidth(L"Blackberry and blueberry") + 16 + 16 + 10 - 1);
  struct Case {
    const char* what;
    RECT anchor;
    bool up;
    int x, y;
  } cases[] = {
      {"below", {300, 100, 305, 120}, false, 300, 120},
      {"below, pushed left from the right edge", {690, 100, 695, 120}, false, 700 - W, 120},
      // No room below, lower half: above the marker, at its left.
      {"above", {300, 470, 305, 490}, false, 300, 470 - H},
      // No room below, upper half: up against the bottom and beside the marker.
      {"pushed up, beside", {300, 250, 305, 440}, false, 306, 520 - H},
      {"preferred above", {300, 400, 305, 420}, true, 300, 400 - H},
      // No room above, upper half: below, at the marker's left.
      {"preferred above, below", {300, 120, 305, 140}, true, 300, 140},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rig.Menu()->SetWorkArea(wa);
    rig.Menu()->ShowMenuLevelMerged(
        TRect(c.anchor.left, c.anchor.top, c.anchor.right, c.anchor.bottom), rig.first, rig.second,
        0, false, c.up);
    TskSkinPopupWindow* w = rig.Menu()->Level(0);
    EXPECT_EQ(w->Width(), W);
    EXPECT_EQ(w->Height(), H);
    EXPECT_EQ(w->Left(), c.x);
    EXPECT_EQ(w->Top(), c.y);
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    rig.Menu()->CloseAll();
  }
  // With an item limit below the number of items: three items and two
  // 10-pixel scroll markers.
  rig.Menu()->MaxMenuItemsInWindow = 3;
  rig.Menu()->SetWorkArea(wa);
  rig.Menu()->ShowMenuLevelMerged(TRect(300, 100, 305, 120), rig.first, rig.second, 0, false,
                                  false);
  TskSkinPopupWindow* w = rig.Menu()->Level(0);
  EXPECT_EQ(w->Height(), 3 * 20 + 6 + 20);
  EXPECT_TRUE(w->Limited());
  EXPECT_EQ(w->ShownCount(), 3);
  rig.Menu()->CloseAll();
}

// The fade-in runs on a timer and does not hold the caller; the alpha rises
// by 10 and stops at the value, 255 included.
TEST(SkinMergedMenu, FadeInRisesOnATimerAndStopsAtTheValue) {
  if (!IsWin2KOrLater()) GTEST_SKIP() << "no layered windows";
  MergedRig rig;
  for (int value : {200, 250, 255}) {
    SCOPED_TRACE(value);
    rig.Menu()->AlphaBlend = true;
    rig.Menu()->AlphaBlendAnimation = true;
    rig.Menu()->AlphaBlendValue = static_cast<BYTE>(value);
    rig.Menu()->PopupMerged(nullptr, nullptr, 0, TRect(300, 100, 305, 120), rig.first, rig.second,
                            false);
    ASSERT_EQ(rig.Menu()->LevelCount(), 1);
    TskSkinPopupWindow* w = rig.Menu()->Level(0);
    EXPECT_TRUE(w->Fading());
    EXPECT_EQ(w->CurrentAlpha(), 0);
    std::vector<int> steps;
    while (w->Fading() && steps.size() < 40) {
      w->FadeTick();
      steps.push_back(w->CurrentAlpha());
    }
    EXPECT_FALSE(w->Fading());
    ASSERT_FALSE(steps.empty());
    for (size_t i = 1; i < steps.size(); ++i)
      EXPECT_GT(steps[i], steps[i - 1]) << i;
    EXPECT_EQ(steps.back(), value);
    EXPECT_EQ(int(steps.size()), (value + 9) / 10);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(w->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, value);
    rig.Menu()->CloseAll();
  }
  // The timer itself brings the level in.
  rig.Menu()->PopupMerged(nullptr, nullptr, 0, TRect(300, 100, 305, 120), rig.first, rig.second,
                          false);
  TskSkinPopupWindow* w = rig.Menu()->Level(0);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !w->Fading(); }, 2000));
  EXPECT_EQ(w->CurrentAlpha(), 255);
  rig.Menu()->CloseAll();
}

// ---------------------------------------------------------------------------
// MDI: the merged child menu and the maximized child's buttons

TEST(SkinMenuBarMDI, ChildMenuMergesByGroupIndexInMenuOrder) {
  // Frame items of groups 0 and 9; the child's eight items of group 5 and
  // one of group 9, which takes the frame's group 9 away.
  std::vector<TItemSpec> frameItems;
  for (int i = 0; i < 10; ++i)
    frameItems.push_back({L"F" + std::to_wstring(i), i % 2 ? 9 : 0});
  BarRig rig(frameItems, true, 900);
  EXPECT_FALSE(rig.bar->Merged());
  EXPECT_EQ(rig.BarItems().size(), 10u);
  std::vector<TItemSpec> childItems;
  for (int i = 0; i < 8; ++i)
    childItems.push_back({L"C" + std::to_wstring(i), 5});
  childItems.push_back({L"Window", 9});
  rig.sf->SetMainMenuBar(rig.bar);
  TForm* doc = rig.Child(L"Doc", childItems);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.bar->Merged(); }, 1000));
  EXPECT_EQ(rig.Captions(), (Items{L"F0", L"F2", L"F4", L"F6", L"F8", L"C0", L"C1", L"C2", L"C3",
                                   L"C4", L"C5", L"C6", L"C7", L"Window"}));
  EXPECT_EQ(rig.BarItems()[5]->IDName, L"Doc_C0");
  EXPECT_FALSE(rig.bar->ScrollMenu());
  // A child's shortcut works through the frame's skinned form.
  TMenuItem* c3 = rig.bar->GetChildMainMenu()->Items()->Items(3);
  ASSERT_EQ(c3->Caption(), L"C3");
  c3->Items(0)->SetShortCut(TextToShortCut(L"Ctrl+D"));
  TMessage key{WM_KEYDOWN, 'D', 0, 0};
  bool handled = false;
  BYTE ks[256];
  GetKeyboardState(ks);
  BYTE saved = ks[VK_CONTROL];
  ks[VK_CONTROL] = 0x80;
  SetKeyboardState(ks);
  rig.sf->FormShortCut(key, handled);
  ks[VK_CONTROL] = saved;
  SetKeyboardState(ks);
  EXPECT_TRUE(handled);
  AppPump(30);
  EXPECT_EQ(rig.clicks, (Items{L"Sub of Doc_C3"}));
  // A child without a menu becomes active: the frame's own items come back.
  TForm* note = rig.Child(L"Note");
  ASSERT_TRUE(AppPumpUntil([&] { return !rig.bar->Merged(); }, 1000));
  EXPECT_EQ(rig.BarItems().size(), 10u);
  // Back to the child with the menu; then it is freed: no item of its menu stays.
  doc->BringToFront();
  ASSERT_TRUE(AppPumpUntil([&] { return rig.bar->Merged(); }, 1000));
  delete doc;
  AppPump(50);
  for (TskSkinMainMenuBarItem* i : rig.BarItems())
    EXPECT_EQ(i->IDName.rfind(L"Doc_", 0), std::wstring::npos);
  rig.Paint();
  delete note;
  AppPump(30);
}

TEST(SkinMenuBarMDI, MaximizedChildButtonsAtTheEndsOfTheBar) {
  BarRig rig({{L"&File"}, {L"&Window"}}, true);
  TForm* a = rig.Child(L"A", {}, biSkSystemMenu | biSkMaximize);
  TForm* b = rig.Child(L"B");
  TskSkinnedForm* asf = GetSkinFormOf(a);
  TskSkinnedForm* bsf = GetSkinFormOf(b);
  EXPECT_EQ(rig.bar->ButtonsCount(), 0);
  bsf->SetWindowState(2);
  AppPump(30);
  ASSERT_TRUE(rig.bar->ButtonsShown());
  ASSERT_EQ(rig.bar->ButtonsCount(), 4);
  rig.Paint();
  int w = rig.bar->Width();
  struct Want {
    int command;
    RECT rect;
  } want[] = {{3, {2, 2, 20, 20}},
              {0, {w - 20, 2, w - 2, 20}},
              {1, {w - 40, 2, w - 22, 20}},
              {2, {w - 60, 2, w - 42, 20}}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    auto* o = dynamic_cast<TskSkinMainMenuBarButton*>(rig.bar->Object(i));
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Command, want[i].command);
    EXPECT_TRUE(EqualRect(&o->ObjectRect, &want[i].rect));
    EXPECT_TRUE(o->Enabled);
  }
  // The items follow the system-menu button.
  EXPECT_EQ(rig.BarItems()[0]->ObjectRect.left, 22);
  // With the first item under the mouse, in the default hot look.
  POINT hot = rig.Centre(rig.BarItems()[0]->ObjectRect);
  rig.bar->TrackMouse(hot.x, hot.y);
  testsupport::PumpFor(20);
  testsupport::SaveWindowPng(rig.H(), L"skin-main-menu-bar-maximized-child.png");
  rig.bar->TrackMouse(-1, -1);
  bsf->SetWindowState(0);
  AppPump(30);
  EXPECT_FALSE(rig.bar->ButtonsShown());
  EXPECT_EQ(rig.bar->ObjectCount(), 2);
  // A child without the minimize icon: its minimize button is disabled.
  asf->SetWindowState(2);
  AppPump(30);
  ASSERT_EQ(rig.bar->ButtonsCount(), 4);
  EXPECT_EQ(GetMaximizedChildSkinForm(), asf);
  EXPECT_FALSE(rig.bar->Object(3)->Enabled);
  EXPECT_TRUE(rig.bar->Object(0)->Enabled);
  EXPECT_TRUE(rig.bar->Object(1)->Enabled);
  EXPECT_TRUE(rig.bar->Object(2)->Enabled);
  // A second maximized child makes no second set.
  bsf->SetWindowState(2);
  AppPump(30);
  EXPECT_EQ(rig.bar->ButtonsCount(), 4);
  EXPECT_EQ(rig.bar->ObjectCount(), 6);
  // Restoring one of two keeps the buttons, enabled for the other child.
  asf->SetWindowState(0);
  AppPump(30);
  EXPECT_EQ(rig.bar->ButtonsCount(), 4);
  EXPECT_EQ(GetMaximizedChildSkinForm(), bsf);
  EXPECT_TRUE(rig.bar->Object(3)->Enabled);
  bsf->SetWindowState(0);
  AppPump(30);
  EXPECT_FALSE(rig.bar->ButtonsShown());
  EXPECT_EQ(rig.bar->ButtonsCount(), 0);
  EXPECT_EQ(rig.bar->ObjectCount(), 2);
  rig.Paint();
  EXPECT_EQ(rig.BarItems()[0]->ObjectRect.left, 2);
}

// The buttons act on the maximized child with real clicks.
TEST(SkinMenuBarMDI, ChildButtonsRestoreMinimizeAndClose) {
  BarRig rig({{L"&File"}, {L"&Window"}}, true);
  TForm* c = rig.Child(L"Doc");
  TskSkinnedForm* csf = GetSkinFormOf(c);
  int closes = 0;
  c->OnClose = [&](TObject*, TCloseAction& Action) {
    ++closes;
    Action = caNone;
  };
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  auto button = [&](int command) -> TskSkinMainMenuBarButton* {
    for (int i = 0; i < rig.bar->ButtonsCount(); ++i)
      if (auto* b = dynamic_cast<TskSkinMainMenuBarButton*>(rig.bar->Object(i));
          b && b->Command == command)
        return b;
    return nullptr;
  };
  csf->SetWindowState(2);
  AppPump(30);
  rig.Paint();
  ASSERT_NE(button(1), nullptr);
  rig.ClickBar(button(1)->ObjectRect);
  EXPECT_EQ(csf->WindowState(), 0);
  EXPECT_FALSE(rig.bar->ButtonsShown());
  csf->SetWindowState(2);
  AppPump(30);
  rig.Paint();
  rig.ClickBar(button(2)->ObjectRect);
  EXPECT_EQ(csf->WindowState(), 1);
  csf->SetWindowState(2);
  AppPump(30);
  rig.Paint();
  rig.ClickBar(button(0)->ObjectRect);
  EXPECT_EQ(closes, 1);
  // The system-menu button opens the child's system menu on the press.
  rig.ClickBar(button(3)->ObjectRect);
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Menu()->PopupCtrl(), rig.bar);
  Items sys = rig.Shown();
  ASSERT_FALSE(sys.empty());
  EXPECT_EQ(sys.back(), L"&Close");
  rig.Menu()->CloseAll();
  AppPump(30);
  EXPECT_FALSE(button(3)->Down);
  // A double click on it closes the child.
  POINT s = rig.Centre(button(3)->ObjectRect);
  testsupport::DoubleClick(rig.bar->Handle(), s.x, s.y);
  AppPump(30);
  EXPECT_EQ(closes, 2);
  EXPECT_FALSE(rig.Open());
  EXPECT_FALSE(button(3)->Down);
}

// ---------------------------------------------------------------------------
// Real input: the mouse on the bar and the keyboard through the skinned form

TEST(SkinMenuBarInput, ClickOpensTheSubMenuAndMovingAlongTheBarMovesIt) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&View"}});
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  rig.Paint();
  auto items = rig.BarItems();
  rig.ClickBar(items[0]->ObjectRect);
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), (Items{L"Sub of &File"}));
  EXPECT_TRUE(items[0]->Down);
  EXPECT_TRUE(rig.sf->MainMenuMode());
  // Below the item.
  RECT wr = testsupport::WindowRect(rig.Menu()->Level(0)->Handle());
  TPoint lb =
      rig.bar->ClientToScreen(TPoint(items[0]->ObjectRect.left, items[0]->ObjectRect.bottom));
  EXPECT_EQ(wr.left, lb.X);
  EXPECT_EQ(wr.top, lb.Y);
  POINT c = rig.Centre(items[2]->ObjectRect);
  MouseToClient(rig.bar->Handle(), c.x, c.y);
  ASSERT_TRUE(
      AppPumpUntil([&] { return rig.Open() && rig.Shown() == Items{L"Sub of &View"}; }, 1000));
  EXPECT_FALSE(items[0]->Down);
  EXPECT_TRUE(items[2]->Down);
  // A click on a sub-item runs it and closes everything.
  TskSkinPopupWindow* w = rig.Menu()->Level(0);
  RECT ir = w->Item(0)->ObjectRect;
  ClickClient(w->Handle(), (ir.left + ir.right) / 2, (ir.top + ir.bottom) / 2);
  ASSERT_TRUE(AppPumpUntil([&] { return !rig.clicks.empty(); }, 1000));
  EXPECT_EQ(rig.clicks, (Items{L"Sub of View"}));
  EXPECT_FALSE(rig.Open());
  EXPECT_FALSE(rig.sf->MainMenuMode());
  EXPECT_EQ(rig.Hot() == -1 || !items[2]->Down, true);
}

TEST(SkinMenuBarInput, MarkerOpensTheHiddenItems) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&View"}, {L"&Tools"}, {L"&Help"}});
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  rig.Paint();
  auto items = rig.BarItems();
  rig.bar->SetAlign(alNone);
  rig.bar->SetBounds(0, 0, items[1]->ObjectRect.right + 10, 22);
  rig.Paint();
  ASSERT_TRUE(rig.bar->ItemsHidden());
  rig.ClickBar(rig.bar->MarkerRect());
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), (Items{L"&View", L"&Tools", L"&Help"}));
  rig.Menu()->CloseAll();
}

// With a child menu merged, the marker opens the frame's items from the
// number shown on, followed by the child's, in one level.
TEST(SkinMenuBarInput, MarkerOpensTheMergedOverflowLevel) {
  BarRig rig({{L"&File", 0}, {L"&Window", 9}, {L"&Help", 9}}, true);
  TForm* doc = rig.Child(L"Doc", {{L"&Table", 5}, {L"F&ormat", 5}});
  ASSERT_TRUE(AppPumpUntil([&] { return rig.bar->Merged(); }, 1000));
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  EXPECT_EQ(rig.Captions(), (Items{L"File", L"Table", L"Format", L"Window", L"Help"}));
  rig.bar->SetScrollMenu(true);
  rig.Paint();
  auto items = rig.BarItems();
  rig.bar->SetAlign(alNone);
  rig.bar->SetBounds(0, 0, items[0]->ObjectRect.right + 10, 22);
  rig.Paint();
  ASSERT_TRUE(rig.bar->ItemsHidden());
  ASSERT_TRUE(items[0]->Shown);
  ASSERT_FALSE(items[1]->Shown);
  rig.ClickBar(rig.bar->MarkerRect());
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), (Items{L"&Window", L"&Help", L"&Table", L"F&ormat"}));
  // The level hangs below the marker.
  RECT m = rig.bar->MarkerRect();
  TPoint lb = rig.bar->ClientToScreen(TPoint(m.left, m.bottom));
  RECT wr = testsupport::WindowRect(rig.Menu()->Level(0)->Handle());
  EXPECT_EQ(wr.top, lb.Y);
  rig.Menu()->CloseAll();
  delete doc;
  AppPump(30);
}

TEST(SkinMenuBarInput, KeyboardMainMenuModeThroughTheSkinnedForm) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&View"}});
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  int enters = 0, exits = 0;
  rig.sf->OnMainMenuEnter = [&](TObject* Sender) {
    EXPECT_EQ(Sender, rig.bar);
    ++enters;
  };
  rig.sf->OnMainMenuExit = [&](TObject*) { ++exits; };
  rig.ParkMouse();
  // Alt alone enters at the first item.
  Keys({}, true);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.sf->MainMenuMode(); }, 1000));
  EXPECT_EQ(enters, 1);
  EXPECT_TRUE(rig.bar->MenuActive());
  EXPECT_EQ(rig.Hot(), 0);
  EXPECT_TRUE(rig.sf->AppMessagesHooked());
  struct Step {
    UINT key;
    int hot;
    Items shown;
  } steps[] = {
      {VK_LEFT, 2, {}},                  // wraps to the last
      {VK_RIGHT, 0, {}},                 // and back to the first
      {VK_RIGHT, 1, {}},                 //
      {VK_RETURN, 1, {L"Sub of &Edit"}}, // opens the item's menu
      {VK_RIGHT, 2, {L"Sub of &View"}},  // the open menu moves along
      {VK_LEFT, 1, {L"Sub of &Edit"}},   //
      {VK_ESCAPE, 1, {}},                // closes the menu, the item stays hot
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.key);
    Keys({s.key});
    EXPECT_EQ(rig.Hot(), s.hot);
    EXPECT_EQ(rig.Shown(), s.shown);
    EXPECT_TRUE(rig.sf->MainMenuMode());
  }
  EXPECT_FALSE(rig.BarItems()[1]->Down);
  // Down opens it again; Escape twice leaves the main menu.
  Keys({VK_DOWN});
  EXPECT_EQ(rig.Shown(), (Items{L"Sub of &Edit"}));
  Keys({VK_ESCAPE});
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.sf->MainMenuMode());
  EXPECT_FALSE(rig.bar->MenuActive());
  EXPECT_EQ(rig.Hot(), -1);
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
  EXPECT_GE(exits, 1);
  // Enter on a sub-item runs it.
  Keys({'V'}, true);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.Open(); }, 1000));
  EXPECT_EQ(rig.Shown(), (Items{L"Sub of &View"}));
  Keys({VK_RETURN});
  ASSERT_TRUE(AppPumpUntil([&] { return !rig.clicks.empty(); }, 1000));
  EXPECT_EQ(rig.clicks, (Items{L"Sub of View"}));
  EXPECT_FALSE(rig.Open());
}

TEST(SkinMenuBarInput, AcceleratorsAndShortcutsGoThroughTheBar) {
  BarRig rig({{L"&File"}, {L"&Edit"}, {L"&Run"}});
  // "&Run" has no sub-items: its accelerator runs it.
  TMenuItem* run = rig.menu->Items()->Items(2);
  run->Clear();
  int runs = 0;
  run->OnClick = [&](TObject*) { ++runs; };
  rig.bar->SetMainMenu(nullptr);
  rig.bar->SetMainMenu(rig.menu);
  rig.menu->Items()->Items(0)->Items(0)->SetShortCut(TextToShortCut(L"Ctrl+O"));
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  rig.ParkMouse();
  Keys({'E'}, true);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.Open(); }, 1000));
  EXPECT_EQ(rig.Shown(), (Items{L"Sub of &Edit"}));
  EXPECT_TRUE(rig.BarItems()[1]->Down);
  Keys({VK_ESCAPE});
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.sf->MainMenuMode());
  Keys({'R'}, true);
  EXPECT_TRUE(AppPumpUntil([&] { return runs == 1; }, 1000));
  EXPECT_FALSE(rig.Open());
  EXPECT_FALSE(rig.sf->MainMenuMode());
  // A shortcut of the bar's menu.
  Keys({'O'}, false, true);
  EXPECT_TRUE(AppPumpUntil([&] { return rig.clicks == Items{L"Sub of File"}; }, 1000));
  EXPECT_FALSE(rig.Open());
}
