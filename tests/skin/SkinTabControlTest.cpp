// Skinned tab control: the skinned scroller of an overflowing tab row, the
// hidden tab count, the skin's tab size, font and colour, and the client
// background that the control and its children paint.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "skin/SkUtils.h"
#include "skin/SkinPanels.h"
#include "skin/SkinTabs.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinShotTest.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using skintest::kPanel;
using skintest::MakeSkin;
using skintest::TDibShot;

std::unique_ptr<TForm> MakeForm(int w = 420, int h = 240) {
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBounds(60, 60, w, h);
  f->AfterConstruction();
  return f;
}

// Clicks the up-down's up button (its right half) or its down button.
void ClickUpDown(TskSkinUpDown* u, bool up) {
  int x = up ? u->Width() * 3 / 4 : u->Width() / 4, y = u->Height() / 2;
  u->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  u->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void SelChange(TskSkinTabControl* tc) {
  NMHDR n{tc->Handle(), 0, TCN_SELCHANGE};
  tc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

// A shown tab control of Count tabs on a form.
struct TabRow {
  std::unique_ptr<TForm> form = MakeForm();
  TskSkinTabControl* tc = new TskSkinTabControl(form.get());
  explicit TabRow(int Count = 12, int Width = 300) {
    tc->SetParent(form.get());
    tc->SetBounds(10, 10, Width, 160);
    form->Show();
    for (int i = 0; i < Count; ++i)
      tc->Tabs()->Add(L"Take " + std::to_wstring(i + 1));
  }
};

TEST(SkinTabControl, OverflowingTabsGetTheScrollerThatMovesTheFirstShownTab) {
  TabRow t;
  TskSkinTabControl* tc = t.tc;
  int changes = 0;
  tc->OnChange = [&](TObject*) { ++changes; };
  tc->ApplyTabControlSkin();
  EXPECT_EQ(FindWindowExA(tc->Handle(), nullptr, "msctls_updown32", nullptr), nullptr);
  TskSkinUpDown* u = tc->UpDown();
  ASSERT_NE(u, nullptr);
  EXPECT_TRUE(u->Visible());
  EXPECT_EQ(u->Parent(), tc);
  // 36 x 18 at the top right.
  EXPECT_EQ(u->BoundsRect(), TRect(300 - 36, 0, 300, 18));
  int hidden = tc->GetHiddenTabCount();
  EXPECT_GT(hidden, 0);
  EXPECT_EQ(u->Min(), 0);
  EXPECT_EQ(u->Max(), hidden);
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(tc->GetFirstShownTab(), 0);
  // Without a skin the tabs are the default tab height high.
  RECT r = tc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 20);

  ClickUpDown(u, true);
  EXPECT_EQ(u->Position(), 1);
  EXPECT_EQ(tc->GetFirstShownTab(), 1);
  EXPECT_LE(tc->TabRect(0).right, 0);
  EXPECT_GT(tc->TabRect(1).right, 0);
  ClickUpDown(u, true);
  ClickUpDown(u, true);
  EXPECT_EQ(tc->GetFirstShownTab(), 3);
  ClickUpDown(u, false);
  EXPECT_EQ(tc->GetFirstShownTab(), 2);
  // Scrolling changes no selection.
  EXPECT_EQ(tc->TabIndex(), 0);
  EXPECT_EQ(changes, 0);

  // Choosing the last tab brings the scroller to the row's first shown tab.
  SendMessageW(tc->Handle(), TCM_SETCURSEL, 11, 0);
  SelChange(tc);
  EXPECT_EQ(tc->TabIndex(), 11);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(u->Position(), tc->GetFirstShownTab());
  EXPECT_EQ(u->Max(), tc->GetHiddenTabCount());

  // Tabs at the bottom: after the skin is applied again the scroller stands
  // at the bottom right.
  tc->SetTabPosition(tpBottom);
  tc->ApplyTabControlSkin();
  ASSERT_NE(tc->UpDown(), nullptr);
  EXPECT_EQ(tc->UpDown()->BoundsRect(), TRect(300 - 36, 160 - 18, 300, 160));

  // Wide enough for every tab, the scroller goes.
  tc->SetBounds(10, 10, 1600, 160);
  EXPECT_EQ(tc->GetHiddenTabCount(), 0);
  EXPECT_EQ(tc->UpDown(), nullptr);
}

// Tabs of a fixed width of 50: the n-th tab's right edge lies a few pixels
// past 50 * (n + 1). The widths put the limit (width - 3, less 39 with the
// scroller) well between two such edges.
struct HiddenCase {
  const char* name;
  int tabs, width, scrolled;
  int withoutScroller, withScroller;
};

class SkinTabControlHidden : public ::testing::TestWithParam<HiddenCase> {};

TEST_P(SkinTabControlHidden, CountsTabsOutAtEitherSide) {
  const HiddenCase& c = GetParam();
  TabRow t(0, c.width);
  TskSkinTabControl* tc = t.tc;
  tc->SetTabWidth(50);
  for (int i = 0; i < c.tabs; ++i)
    tc->Tabs()->Add(L"T" + std::to_wstring(i + 1));
  // The row scrolls one tab per message.
  for (int i = 1; i <= c.scrolled; ++i)
    SendMessageW(tc->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, i), 0);
  ASSERT_EQ(tc->UpDown(), nullptr);
  EXPECT_EQ(tc->GetFirstShownTab(), c.scrolled);
  EXPECT_EQ(tc->GetHiddenTabCount(), c.withoutScroller);
  tc->UpdateTabScroller();
  EXPECT_EQ(tc->UpDown() != nullptr, c.withoutScroller > 0);
  EXPECT_EQ(tc->GetHiddenTabCount(), c.withScroller);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinTabControlHidden,
    ::testing::Values(HiddenCase{"none", 0, 178, 0, 0, 0}, HiddenCase{"allFit", 3, 178, 0, 0, 0},
                      HiddenCase{"overflow", 6, 178, 0, 3, 4}, HiddenCase{"wider", 6, 228, 0, 2, 3},
                      HiddenCase{"scrolledTwo", 6, 178, 2, 3, 4},
                      HiddenCase{"scrolledToEnd", 6, 178, 4, 4, 4}),
    [](const ::testing::TestParamInfo<HiddenCase>& i) { return std::string(i.param.name); });

TEST(SkinTabControl, SkinSetsTabHeightFontAndColourBeforeTheFont) {
  auto skin = MakeSkin(kPanel);
  TabRow t;
  TskSkinTabControl* tc = t.tc;
  tc->DefaultFont()->SetColor(clMaroon);
  tc->SetSkinData(skin.get());
  ASSERT_GE(tc->EntryIndex(), 0);
  TColor skinColour = tc->Entry().FontColor;
  ASSERT_NE(skinColour, clMaroon);
  EXPECT_EQ(tc->Font()->Name(), L"Tahoma");
  EXPECT_EQ(tc->Font()->Height(), 15);
  EXPECT_EQ(tc->Font()->Color(), skinColour);
  // The item height is the skin's tab height.
  RECT r = tc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 22);
  TskSkinUpDown* u = tc->UpDown();
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->SkinDataName(), L"hupdown");
  EXPECT_EQ(u->SkinData(), skin.get());
  EXPECT_EQ(u->BoundsRect(), TRect(300 - 36, 0, 300, 18));

  // The control's own tab height wins.
  tc->SetTabHeight(26);
  tc->ApplyTabControlSkin();
  r = tc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 26);

  // Without the skin font the default font, colour included: the skin's
  // colour was set before the font was chosen.
  tc->SetUseSkinFont(false);
  tc->ApplyTabControlSkin();
  EXPECT_EQ(tc->Font()->Name(), L"Arial");
  EXPECT_EQ(tc->Font()->Height(), 14);
  EXPECT_EQ(tc->Font()->Color(), clMaroon);
  // The page control sets the colour after choosing the font.
  auto* pc = new TskSkinPageControl(t.form.get());
  pc->SetParent(t.form.get());
  pc->DefaultFont()->SetColor(clMaroon);
  pc->SetUseSkinFont(false);
  pc->SetSkinData(skin.get());
  EXPECT_EQ(pc->Font()->Name(), L"Arial");
  EXPECT_EQ(pc->Font()->Color(), skinColour);

  // Without an entry: the default font and the default tab height.
  tc->SetTabHeight(0);
  tc->SetDefaultTabHeight(24);
  tc->SetSkinDataName(L"nosuchtab");
  tc->ApplyTabControlSkin();
  EXPECT_EQ(tc->EntryIndex(), -1);
  EXPECT_EQ(tc->Font()->Name(), L"Arial");
  r = tc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 24);
  ASSERT_NE(tc->UpDown(), nullptr);
  EXPECT_EQ(tc->UpDown()->SkinDataName(), L"hupdown"); // the up-down's own default
}

TEST(SkinTabControl, SkinnedFormAppliesTheSkinToTabControls) {
  auto skin = MakeSkin(kPanel);
  TabRow t;
  auto* sf = new TskSkinnedForm(t.form.get());
  (void)sf;
  t.tc->SetSkinData(skin.get());
  t.tc->Font()->SetName(L"Courier New");
  SendMessageW(t.form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(skin.get()),
               SKIN_MESSAGE_LPARAM);
  EXPECT_EQ(t.tc->Font()->Name(), L"Tahoma");
  ASSERT_NE(t.tc->UpDown(), nullptr);
  EXPECT_EQ(t.tc->UpDown()->SkinDataName(), L"hupdown");
}

// ---------------------------------------------------------------------------
// Client background

enum class BgSource { ButtonFace, ClientPart, BgPicture };

struct BgCase {
  const char* name;
  const wchar_t* entry; // nullptr: no skin data
  bool emptySkin;
  bool stretch;
  TskStretchType type;
  int bgIndex; // written into the entry; -2 leaves the skin's value
  BgSource source;
};

class SkinTabControlBackground : public ::testing::TestWithParam<BgCase> {};

// The control is twice the tile's size: a stretched tile's pixel (x, y)
// lands on (2x, 2y), a repeated one on (x, y) and (x + tile width, y)...
TEST_P(SkinTabControlBackground, PaintsBySource) {
  const BgCase& c = GetParam();
  auto skin = c.entry ? MakeSkin(kPanel) : nullptr;
  std::unique_ptr<TskSkinData> empty;
  auto form = MakeForm();
  auto* tc = new TskSkinTabControl(form.get());
  tc->SetParent(form.get());
  if (c.emptySkin) {
    empty = std::make_unique<TskSkinData>(nullptr);
    tc->SetSkinData(empty.get());
  }
  TskPicture tile;
  if (skin) {
    int index = skin->FindControlDescription(c.entry);
    auto* e = index >= 0 ? dynamic_cast<TskDataSkinTabControl*>(skin->ControlAt(index)) : nullptr;
    if (e) {
      e->StretchEffect = c.stretch;
      e->StretchType = c.type;
      if (c.bgIndex != -2) e->BGPictureIndex = c.bgIndex;
      RECT cr = e->ClientRect;
      OffsetRect(&cr, e->SkinRect.left, e->SkinRect.top);
      tile = c.source == BgSource::BgPicture ? *skin->ActivePicture(1)
                                             : CutPart(*skin->ActivePicture(0), cr);
    }
    tc->SetSkinDataName(c.entry);
    tc->SetSkinData(skin.get());
  }
  int tw = c.source == BgSource::ButtonFace ? 20 : tile.Width();
  int th = c.source == BgSource::ButtonFace ? 20 : tile.Height();
  ASSERT_GT(tw, 0);
  tc->SetBounds(0, 0, 2 * tw, 2 * th);
  TDibShot shot(2 * tw, 2 * th, RGB(1, 2, 3));
  tc->PaintTabControlBackground(shot.DC());
  shot.Save(std::wstring(L"skin_tab_background_") + std::wstring(c.name, c.name + strlen(c.name)) +
            L".png");

  int wrong = 0;
  for (int y = 0; y < 2 * th; y += 2)
    for (int x = 0; x < 2 * tw; x += 2) {
      COLORREF want;
      if (c.source == BgSource::ButtonFace) {
        want = GetSysColor(COLOR_BTNFACE);
      } else if (!c.stretch) {
        want = tile.Pixel(x % tw, y % th);
      } else if (c.type == stFull) {
        want = tile.Pixel(x / 2, y / 2);
      } else if (c.type == stHorz) {
        want = tile.Pixel(x % tw, y / 2);
      } else {
        want = tile.Pixel(x / 2, y % th);
      }
      if (shot.At(x, y) != want && ++wrong <= 3)
        ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << shot.At(x, y) << " want "
                      << want;
    }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinTabControlBackground,
    ::testing::Values(
        BgCase{"noSkinData", nullptr, false, false, stFull, -2, BgSource::ButtonFace},
        BgCase{"emptySkin", nullptr, true, false, stFull, -2, BgSource::ButtonFace},
        BgCase{"noEntry", L"nosuchtab", false, false, stFull, -2, BgSource::ButtonFace},
        BgCase{"clientTiled", L"tab", false, false, stFull, -1, BgSource::ClientPart},
        BgCase{"clientStretched", L"tab", false, true, stFull, -1, BgSource::ClientPart},
        BgCase{"clientTallTiledAcross", L"tab", false, true, stHorz, -1, BgSource::ClientPart},
        BgCase{"clientWideTiledDown", L"tab", false, true, stVert, -1, BgSource::ClientPart},
        BgCase{"bgIndexNamesNoPicture", L"tab", false, false, stFull, 7, BgSource::ClientPart},
        BgCase{"bgTiled", L"tabbg", false, false, stFull, -2, BgSource::BgPicture},
        BgCase{"bgStretched", L"tabbg", false, true, stFull, -2, BgSource::BgPicture},
        BgCase{"bgTallTiledAcross", L"tabbg", false, true, stHorz, -2, BgSource::BgPicture},
        BgCase{"bgWideTiledDown", L"tabbg", false, true, stVert, -2, BgSource::BgPicture}),
    [](const ::testing::TestParamInfo<BgCase>& i) { return std::string(i.param.name); });

TEST(SkinTabControl, ZeroSizePaintsNothing) {
  auto skin = MakeSkin(kPanel);
  auto form = MakeForm();
  auto* tc = new TskSkinTabControl(form.get());
  tc->SetParent(form.get());
  tc->SetSkinData(skin.get());
  for (TRect b : {TRect(0, 0, 0, 30), TRect(0, 0, 30, 0)}) {
    tc->SetBounds(b.Left, b.Top, b.Width(), b.Height());
    TDibShot shot(30, 30, RGB(1, 2, 3));
    tc->PaintTabControlBackground(shot.DC());
    EXPECT_EQ(shot.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(shot.At(29, 29), RGB(1, 2, 3));
  }
}

// A transparent skinned panel on the tab control shows the tab control's
// background behind it, as does the control's own erasing.
TEST(SkinTabControl, ChildPaintsTheTabControlBackground) {
  auto skin = MakeSkin(kPanel);
  TabRow t(3);
  TskSkinTabControl* tc = t.tc;
  tc->SetSkinDataName(L"tabbg");
  tc->SetSkinData(skin.get());
  auto* panel = new TskSkinPanel(t.form.get());
  panel->SetParent(tc);
  panel->SetSkinData(skin.get());
  panel->SetTransparentMode(true);
  panel->SetBounds(37, 45, 90, 60);
  testsupport::PumpFor(50);

  TDibShot whole(tc->Width(), tc->Height());
  tc->PaintTabControlBackground(whole.DC());
  TDibShot child(90, 60);
  panel->PaintClientTo(child.DC());
  child.Save(L"skin_tab_child_background.png");
  // Inside the panel's frame line.
  int wrong = 0;
  for (int y = 1; y < 59; ++y)
    for (int x = 1; x < 89; ++x)
      wrong += child.At(x, y) != whole.At(37 + x, 45 + y);
  EXPECT_EQ(wrong, 0);

  TDibShot erased(tc->Width(), tc->Height());
  tc->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.DC()), 0);
  for (int y = 0; y < tc->Height(); y += 7)
    for (int x = 0; x < tc->Width(); x += 7)
      ASSERT_EQ(erased.At(x, y), whole.At(x, y)) << x << "," << y;
  // Painted, the control shows the background inside its frame.
  TDibShot painted(tc->Width(), tc->Height(), RGB(1, 2, 3));
  tc->Perform(WM_PAINT, reinterpret_cast<WPARAM>(painted.DC()), 0);
  TRect d = tc->DisplayRect();
  ASSERT_FALSE(d.IsEmpty());
  for (int y = d.Top; y < d.Bottom; y += 5)
    for (int x = d.Left; x < d.Right; x += 5)
      ASSERT_EQ(painted.At(x, y), whole.At(x, y)) << x << "," << y;
}

// Looked at: the skinned tab row with its scroller over the woven
// background, a transparent panel on it.
TEST(SkinTabControlLook, OverflowingTabsWithTheSkinnedScroller) {
  auto skin = MakeSkin(kPanel);
  TabRow t;
  TskSkinTabControl* tc = t.tc;
  tc->SetSkinDataName(L"tabbg");
  tc->SetSkinData(skin.get());
  auto* panel = new TskSkinPanel(t.form.get());
  panel->SetParent(tc);
  panel->SetSkinData(skin.get());
  panel->SetTransparentMode(true);
  panel->SetBounds(20, 50, 200, 80);
  ASSERT_NE(tc->UpDown(), nullptr);
  ClickUpDown(tc->UpDown(), true);
  testsupport::PumpFor(100);
  EXPECT_EQ(tc->GetFirstShownTab(), 1);
  EXPECT_TRUE(IsWindowVisible(tc->UpDown()->Handle()));
  EXPECT_TRUE(testsupport::SaveWindowPng(t.form->Handle(), L"skin_tabcontrol.png"));
}

} // namespace
