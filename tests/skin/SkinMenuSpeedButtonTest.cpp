// Menu speed buttons on real windows: which part of the button opens which
// menu, the button's state while its menu is open and after it closes, the
// strip's place, and the default look's parts in each state.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"
#include "skin/SkinSpeedButtons.h"
#include "tests/skin/SkinShotTest.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;

void Enter(TControl* b) {
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
}
void Leave(TControl* b) {
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
}
void Press(TControl* b, int x, int y) {
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Release(TControl* b, int x, int y) {
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void PaintControl(TControl* c, TDibShot& shot, int x = 0, int y = 0) {
  POINT old;
  SetViewportOrgEx(shot.DC(), x, y, &old);
  c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.DC()), 0);
  SetViewportOrgEx(shot.DC(), old.x, old.y, nullptr);
}

// A form with a menu host, an image-grid menu, a skinned popup menu and a
// menu speed button 60 x 24 at (20, 20) that counts its events.
struct TMenuButtonForm {
  explicit TMenuButtonForm(TskSkinData* Skin = nullptr) {
    form = std::make_unique<THostForm>(Skin);
    form->Show();
    images = ColourImages();
    grid = new TskSkinImagesMenu(form.get());
    grid->SetImages(images.get());
    for (int i = 0; i < 6; ++i)
      grid->ImagesItems()->Add()->ImageIndex = i;
    popup = new TskSkinPopupMenu(form.get());
    for (const wchar_t* c : {L"First", L"Second"}) {
      auto* m = new TMenuItem(popup->Items());
      m->SetCaption(c);
      popup->Items()->Add(m);
    }
    b = new TskSkinMenuSpeedButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(20, 20, 60, 24);
    b->OnClick = [this](TObject*) { ++clicks; };
    b->OnShowTrackMenu = [this](TObject*) { ++shows; };
    b->OnHideTrackMenu = [this](TObject*) { ++hides; };
    b->OnMouseEnter = [this](TObject*) { ++enters; };
    b->OnMouseLeave = [this](TObject*) { ++leaves; };
  }
  ~TMenuButtonForm() {
    if (grid->PopupWindow()) grid->CloseMenu(false);
    form->SkinMenu()->CloseAll();
  }
  std::unique_ptr<THostForm> form;
  std::unique_ptr<TImageList> images;
  TskSkinImagesMenu* grid;
  TskSkinPopupMenu* popup;
  TskSkinMenuSpeedButton* b;
  int clicks = 0, shows = 0, hides = 0, enters = 0, leaves = 0;
};

TEST(SkinMenuSpeedButton, WholeButtonOpensTheGridMenuAndNeverClicks) {
  TMenuButtonForm f;
  f.b->SetSkinImagesMenu(f.grid);
  for (POINT p : {POINT{5, 5}, POINT{55, 12}}) {
    Enter(f.b);
    Press(f.b, p.x, p.y);
    ASSERT_NE(f.grid->PopupWindow(), nullptr) << p.x;
    EXPECT_TRUE(f.b->Down());
    EXPECT_TRUE(f.b->TrackPressed());
    Release(f.b, p.x, p.y);
    EXPECT_TRUE(f.b->Down()) << "the release is ignored while the menu is open";
    f.grid->PopupWindow()->CloseUp(false);
    EXPECT_FALSE(f.b->Down());
    EXPECT_FALSE(f.b->TrackPressed());
    EXPECT_FALSE(f.b->MouseIn());
  }
  EXPECT_EQ(f.shows, 2);
  EXPECT_EQ(f.hides, 2);
  EXPECT_EQ(f.clicks, 0);
}

TEST(SkinMenuSpeedButton, WithoutMenusEveryPressIsAnOrdinaryPress) {
  TMenuButtonForm f;
  f.b->SetTrackButtonMode(true);
  RECT area = f.b->MenuArea();
  EXPECT_TRUE(IsRectEmpty(&area));
  Enter(f.b);
  Press(f.b, 55, 12); // in the strip
  EXPECT_FALSE(f.b->TrackPressed());
  Release(f.b, 55, 12);
  EXPECT_EQ(f.clicks, 1);
  EXPECT_EQ(f.shows, 0);
}

TEST(SkinMenuSpeedButton, TrackModeOpensOnlyFromTheStrip) {
  TMenuButtonForm f;
  f.b->SetSkinImagesMenu(f.grid);
  f.b->SetTrackButtonMode(true);
  RECT area = f.b->MenuArea();
  EXPECT_EQ(area.left, 45);
  EXPECT_EQ(area.right, 60);
  Enter(f.b);
  Press(f.b, 44, 12);
  EXPECT_EQ(f.grid->PopupWindow(), nullptr);
  Release(f.b, 44, 12);
  EXPECT_EQ(f.clicks, 1);
  Press(f.b, 45, 12);
  ASSERT_NE(f.grid->PopupWindow(), nullptr);
  EXPECT_EQ(f.clicks, 1);
  // Leaving and coming back while the menu is open changes nothing.
  Leave(f.b);
  Enter(f.b);
  EXPECT_EQ(f.enters, 1);
  EXPECT_EQ(f.leaves, 0);
  EXPECT_TRUE(f.b->Down());
  f.grid->CloseMenu(false);
  EXPECT_FALSE(f.b->Down());
}

TEST(SkinMenuSpeedButton, StripPlaceAndNewStyle) {
  TMenuButtonForm f;
  f.b->SetTrackPosition(sktpBottom);
  RECT s = f.b->TrackStrip();
  EXPECT_EQ(s.left, 45) << "the bottom strip needs the new style";
  EXPECT_EQ(s.top, 0);
  f.b->SetNewStyle(true);
  EXPECT_EQ(f.b->SkinDataName(), L"resizetoolbutton");
  s = f.b->TrackStrip();
  EXPECT_EQ(s.left, 0);
  EXPECT_EQ(s.top, 9);
  f.b->SetNewStyle(false);
  EXPECT_EQ(f.b->SkinDataName(), L"resizetoolbutton");
}

TEST(SkinMenuSpeedButton, BothMenusOpenFromOnePressAndEachReportsItsClose) {
  auto skin = MakeSkin(kBuiltin);
  TMenuButtonForm f(skin.get());
  f.b->SetSkinPopupMenu(f.popup);
  f.b->SetSkinImagesMenu(f.grid);
  Enter(f.b);
  Press(f.b, 10, 10);
  EXPECT_EQ(f.shows, 2);
  EXPECT_TRUE(f.form->SkinMenu()->Visible());
  ASSERT_NE(f.grid->PopupWindow(), nullptr);
  // The skinned menu tells its opener that it closed.
  f.form->SkinMenu()->CloseAll();
  EXPECT_EQ(f.hides, 1);
  EXPECT_FALSE(f.b->Down());
  f.grid->CloseMenu(false);
  EXPECT_EQ(f.hides, 2);
  EXPECT_EQ(f.clicks, 0);
}

TEST(SkinMenuSpeedButton, FreedButtonLeavesTheMenuWithoutItsHooks) {
  TMenuButtonForm f;
  f.b->SetSkinImagesMenu(f.grid);
  Enter(f.b);
  Press(f.b, 10, 10);
  ASSERT_NE(f.grid->PopupWindow(), nullptr);
  EXPECT_TRUE(static_cast<bool>(f.grid->OnInternalMenuClose));
  delete f.b;
  EXPECT_FALSE(static_cast<bool>(f.grid->OnInternalMenuClose));
  EXPECT_FALSE(static_cast<bool>(f.grid->OnInternalChange));
  f.grid->ItemIndex = 2;
  f.grid->PopupWindow()->CloseUp(true);
  EXPECT_EQ(f.grid->PopupWindow(), nullptr);
  EXPECT_EQ(f.hides, 0);
}

TEST(SkinMenuSpeedButton, DefaultLookParts) {
  struct Case {
    const char* name;
    bool newStyle, track, hot, down, trackPressed;
    COLORREF bodyFrame, bodyFill, stripFrame, stripFill;
  };
  const COLORREF navy = 0x800000, hotF = 0xD2BDB6, downF = 0xB59385;
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE);
  const Case cases[] = {
      {"track, menu open", false, true, true, true, true, navy, hotF, navy, downF},
      {"track, pressed", false, true, true, true, false, navy, downF, navy, downF},
      {"track, pressed, new style", true, true, true, true, false, navy, downF, navy, hotF},
      {"track, hot", false, true, true, false, false, navy, hotF, navy, hotF},
      {"track, idle", false, true, false, false, false, shadow, face, shadow, face},
      {"whole, pressed", false, false, true, true, false, navy, downF, 0, downF},
      {"whole, hot", false, false, true, false, false, navy, hotF, 0, hotF},
      {"whole, idle", false, false, false, false, false, shadow, face, 0, face},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMenuButtonForm f;
    f.b->SetSkinImagesMenu(f.grid);
    f.b->SetNewStyle(c.newStyle);
    f.b->SetTrackButtonMode(c.track);
    if (c.hot) Enter(f.b);
    if (c.trackPressed) {
      Press(f.b, 50, 12);
      ASSERT_TRUE(f.b->TrackPressed());
    } else if (c.down) {
      f.b->SetDown(true);
    }
    TDibShot shot(60, 24);
    PaintControl(f.b, shot);
    EXPECT_EQ(shot.At(0, 0), c.bodyFrame);
    EXPECT_EQ(shot.At(5, 3), c.bodyFill);
    if (c.track) EXPECT_EQ(shot.At(59, 0), c.stripFrame);
    EXPECT_EQ(shot.At(57, 3), c.stripFill);
  }
}

TEST(SkinMenuSpeedButton, FlatIdleButtonDrawsOnlyContentAndMarker) {
  for (bool newStyle : {false, true}) {
    TMenuButtonForm f;
    f.b->SetNewStyle(newStyle);
    f.b->SetFlat(true);
    TDibShot shot(60, 24, RGB(1, 2, 3));
    PaintControl(f.b, shot);
    EXPECT_EQ(shot.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(shot.At(30, 3), RGB(1, 2, 3));
    // The small down arrow in the strip: its top row runs through the strip's centre.
    EXPECT_EQ(shot.At(52, 12), GetSysColor(COLOR_BTNTEXT));
  }
}

TEST(SkinMenuSpeedButton, Pictures) {
  for (SkinKind k : {kNone, kAlt}) {
    auto skin = MakeSkin(k);
    TMenuButtonForm f;
    f.grid->ItemIndex = 4;
    std::vector<TskSkinMenuSpeedButton*> row;
    auto add = [&](const wchar_t* caption, int w) {
      auto* b = new TskSkinMenuSpeedButton(f.form.get());
      b->SetParent(f.form.get());
      b->SetBounds(0, 0, w, 26);
      if (k != kNone) b->SetSkinDataName(L"resizebutton");
      b->SetUseSkinSize(false);
      b->SetCaption(caption);
      b->SetSkinImagesMenu(f.grid);
      row.push_back(b);
      return b;
    };
    add(L"Colours", 84);
    auto* hot = add(L"Hot", 70);
    auto* track = add(L"Track", 80);
    track->SetTrackButtonMode(true);
    auto* trackHot = add(L"Track", 80);
    trackHot->SetTrackButtonMode(true);
    auto* arrow = add(L"", 16);
    arrow->ArrowMarker = true;
    arrow->ArrowMarkerDirection = 4;
    auto* image = add(L"", 42);
    image->UseImagesMenuImage = true;
    auto* flat = add(L"Flat", 64);
    flat->SetFlat(true);
    for (auto* b : row)
      b->SetSkinData(skin.get());
    Enter(hot);
    Enter(trackHot);
    Press(trackHot, 75, 10);
    int W = 6;
    for (auto* b : row)
      W += b->Width() + 6;
    TDibShot shot(W, 38, ColorToRGB(clBtnFace));
    int x = 6;
    for (auto* b : row) {
      PaintControl(b, shot, x, 6);
      x += b->Width() + 6;
    }
    EXPECT_TRUE(shot.Save(std::wstring(L"skin_menu_speed_buttons_") +
                          (k == kNone ? L"default" : L"alt") + L".png"));
    f.grid->CloseMenu(false);
  }
}

} // namespace
