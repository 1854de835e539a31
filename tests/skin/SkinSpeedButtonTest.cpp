// Speed buttons on real windows: the glyph cell of each state, radio groups,
// auto-repeat, clicks, the default look and the skin faces, the image-grid
// menu's selected image and the hook that the button takes back from it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinMenus.h"
#include "skin/SkinSpeedButtons.h"
#include "tests/skin/SkinShotTest.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using testsupport::PumpUntil;

// Mouse messages as the parent hands them to the button (button coordinates).
void Enter(TControl* b) {
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
}
void Leave(TControl* b) {
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
}
void Press(TControl* b, int x = 5, int y = 5) {
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Release(TControl* b, int x = 5, int y = 5) {
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Paints a windowless control as its parent would into a bitmap of its size.
void PaintControl(TControl* c, TDibShot& shot, int x = 0, int y = 0) {
  POINT old;
  SetViewportOrgEx(shot.DC(), x, y, &old);
  c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.DC()), 0);
  SetViewportOrgEx(shot.DC(), old.x, old.y, nullptr);
}

struct TButtonForm {
  TButtonForm() {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(70, 70, 360, 200);
    form->Show();
  }
  template <class T = TskSkinSpeedButton> T* Add(int x, int y, int w = 60, int h = 25) {
    auto* b = new T(form.get());
    b->SetParent(form.get());
    b->SetBounds(x, y, w, h);
    b->OnClick = [this, b](TObject*) { clicks.push_back(b); };
    return b;
  }
  int ClicksOf(TControl* b) const {
    int n = 0;
    for (auto* c : clicks)
      n += c == b;
    return n;
  }
  std::unique_ptr<TForm> form;
  std::vector<TControl*> clicks;
};

TEST(SkinSpeedButton, GlyphCellOfEachState) {
  struct Case {
    int glyphs;
    bool pressed, hot, enabled;
    int cell;
  };
  const Case cases[] = {
      {4, true, true, true, 3},    {3, true, true, true, 3},    {2, true, true, true, 1},
      {4, false, true, true, 4},   {3, false, true, true, 1},   {4, true, false, true, 1},
      {4, false, false, false, 2}, {2, false, false, false, 2}, {1, false, false, false, 1},
      {4, true, true, false, 3},   {4, false, true, false, 4},  {1, true, true, true, 1},
  };
  TButtonForm f;
  auto* b = f.Add(10, 10);
  for (const Case& c : cases) {
    b->SetNumGlyphs(c.glyphs);
    b->SetEnabled(c.enabled);
    EXPECT_EQ(b->GlyphCell(c.pressed, c.hot), c.cell)
        << c.glyphs << " cells, pressed " << c.pressed << ", hot " << c.hot << ", enabled "
        << c.enabled;
  }
}

TEST(SkinSpeedButton, NewButtonDefaults) {
  TButtonForm f;
  auto* b = f.Add(10, 10);
  auto* fresh = new TskSkinSpeedButton(f.form.get());
  EXPECT_EQ(fresh->Width(), 25);
  EXPECT_EQ(fresh->Height(), 25);
  EXPECT_EQ(fresh->SkinDataName(), L"toolbutton");
  EXPECT_EQ(fresh->Spacing(), 1);
  EXPECT_EQ(fresh->Margin(), -1);
  EXPECT_EQ(fresh->ImageIndex(), 0);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), -1);
  b->SetMargin(3);
  EXPECT_EQ(b->Margin(), 3);
  // ShowCaption switches between the two widths when both are set.
  b->WidthWithCaption = 80;
  b->WidthWithoutCaption = 30;
  b->SetShowCaption(false);
  EXPECT_EQ(b->Width(), 30);
  b->SetShowCaption(true);
  EXPECT_EQ(b->Width(), 80);
}

TEST(SkinSpeedButton, UngroupedButtonClicksOnReleaseOverIt) {
  TButtonForm f;
  auto* b = f.Add(10, 10);
  Enter(b);
  Press(b);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(f.ClicksOf(b), 0);
  Release(b);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(f.ClicksOf(b), 1);
  // Released outside: no click, not down.
  Press(b);
  Leave(b);
  Release(b, 100, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(f.ClicksOf(b), 1);
}

TEST(SkinSpeedButton, GroupedButtonsClickOnThePressAndReleaseEachOther) {
  TButtonForm f;
  TskSkinSpeedButton* g[3];
  for (int i = 0; i < 3; ++i) {
    g[i] = f.Add(10 + 70 * i, 10);
    g[i]->GroupIndex = 1;
  }
  auto* other = f.Add(10, 50);
  other->GroupIndex = 2;
  other->SetDown(true);
  Enter(g[0]);
  Press(g[0]);
  EXPECT_EQ(f.ClicksOf(g[0]), 1) << "a grouped button clicks on the press";
  Release(g[0]);
  EXPECT_EQ(f.ClicksOf(g[0]), 1);
  EXPECT_TRUE(g[0]->Down());
  // Pressing the down button again without AllowAllUp changes nothing.
  Press(g[0]);
  Release(g[0]);
  EXPECT_TRUE(g[0]->Down());
  EXPECT_EQ(f.ClicksOf(g[0]), 1);
  // Another of the group puts it up; the other group keeps its button.
  Leave(g[0]);
  Enter(g[1]);
  Press(g[1]);
  Release(g[1]);
  EXPECT_TRUE(g[1]->Down());
  EXPECT_FALSE(g[0]->Down());
  EXPECT_TRUE(other->Down());
  // With AllowAllUp a press and release over the down button puts it up and clicks.
  g[1]->AllowAllUp = true;
  Press(g[1]);
  Release(g[1]);
  EXPECT_FALSE(g[1]->Down());
  EXPECT_EQ(f.ClicksOf(g[1]), 2);
  // Released elsewhere it stays down.
  Press(g[1]);
  EXPECT_TRUE(g[1]->Down());
  Press(g[1]);
  Release(g[1], 200, 5);
  EXPECT_TRUE(g[1]->Down());
  // With AllowAllUp setting one down leaves the others down.
  for (auto* b : g)
    b->AllowAllUp = true;
  g[0]->SetDown(true);
  g[2]->SetDown(true);
  EXPECT_TRUE(g[0]->Down());
  EXPECT_TRUE(g[1]->Down());
  EXPECT_TRUE(g[2]->Down());
}

TEST(SkinSpeedButton, RepeatClicksAfterTheDelayThenEveryInterval) {
  TButtonForm f;
  auto* b = f.Add(10, 10);
  b->RepeatMode = true;
  b->RepeatInterval = 70;
  Enter(b);
  // A short press clicks once, at the release.
  Press(b);
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 500u);
  EXPECT_EQ(f.ClicksOf(b), 0);
  Release(b);
  EXPECT_EQ(f.ClicksOf(b), 1);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
  // Held: the first tick only switches to the interval, each later one clicks.
  Press(b);
  b->RepeatTick();
  EXPECT_EQ(b->RepeatTimer()->Interval(), 70u);
  EXPECT_EQ(f.ClicksOf(b), 1);
  b->RepeatTick();
  b->RepeatTick();
  EXPECT_EQ(f.ClicksOf(b), 3);
  // Leaving stops the repeat, coming back starts it again from the delay.
  Leave(b);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
  Enter(b);
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 500u);
  Release(b);
  EXPECT_EQ(f.ClicksOf(b), 4);
}

TEST(SkinSpeedButton, RepeatTimerRunsOnRealTime) {
  TButtonForm f;
  auto* b = f.Add(10, 10);
  b->RepeatMode = true;
  b->RepeatInterval = 50;
  Enter(b);
  Press(b);
  EXPECT_TRUE(PumpUntil([&] { return f.ClicksOf(b) >= 2; }, 3000));
  Release(b);
}

TEST(SkinSpeedButton, ImagesMenuHookIsTakenBack) {
  TButtonForm f;
  auto images = ColourImages();
  auto* m1 = new TskSkinImagesMenu(f.form.get());
  auto* m2 = new TskSkinImagesMenu(f.form.get());
  auto* a = f.Add(10, 10);
  auto* b = f.Add(80, 10);
  a->SetSkinImagesMenu(m1);
  EXPECT_TRUE(static_cast<bool>(m1->OnInternalChange));
  a->SetSkinImagesMenu(m2);
  EXPECT_FALSE(static_cast<bool>(m1->OnInternalChange))
      << "the old menu no longer calls the button";
  EXPECT_TRUE(static_cast<bool>(m2->OnInternalChange));
  // Another button registered later keeps its hook when the first goes.
  b->SetSkinImagesMenu(m2);
  delete a;
  EXPECT_TRUE(static_cast<bool>(m2->OnInternalChange));
  delete b;
  EXPECT_FALSE(static_cast<bool>(m2->OnInternalChange));
  // A choice in the menu after its buttons are gone calls nothing.
  m2->SetImages(images.get());
  for (int i = 0; i < 3; ++i)
    m2->ImagesItems()->Add()->ImageIndex = i;
  m2->Popup(TRect(100, 100, 120, 120));
  ASSERT_NE(m2->PopupWindow(), nullptr);
  m2->ItemIndex = 2;
  m2->PopupWindow()->CloseUp(true);
  EXPECT_EQ(m2->PopupWindow(), nullptr);
  // A menu freed before its button clears the button's link.
  auto* c = f.Add(150, 10);
  c->SetSkinImagesMenu(m1);
  delete m1;
  EXPECT_EQ(c->SkinImagesMenu(), nullptr);
}

TEST(SkinSpeedButton, DefaultLookOfEachState) {
  TButtonForm f;
  auto* b = f.Add(10, 10);
  struct Case {
    const char* name;
    std::function<void()> set;
    COLORREF frame, fill;
  };
  const Case cases[] = {
      {"idle", [] {}, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE)},
      {"hot", [&] { Enter(b); }, 0x800000, 0xD2BDB6},
      {"pressed", [&] { Press(b); }, 0x800000, 0xB59385},
  };
  for (const Case& c : cases) {
    c.set();
    TDibShot shot(b->Width(), b->Height());
    PaintControl(b, shot);
    EXPECT_EQ(shot.At(0, 0), c.frame) << c.name;
    EXPECT_EQ(shot.At(3, 3), c.fill) << c.name;
  }
  Release(b);
  Leave(b);
  // A flat idle button draws no background; hot it gets its face.
  b->SetFlat(true);
  TDibShot flat(b->Width(), b->Height(), RGB(1, 2, 3));
  PaintControl(b, flat);
  EXPECT_EQ(flat.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(flat.At(3, 3), RGB(1, 2, 3));
  Enter(b);
  TDibShot hot(b->Width(), b->Height(), RGB(1, 2, 3));
  PaintControl(b, hot);
  EXPECT_EQ(hot.At(0, 0), 0x800000u);
}

TEST(SkinSpeedButton, ShowsTheImagesMenusSelectedImage) {
  TButtonForm f;
  auto images = ColourImages();
  auto* m = new TskSkinImagesMenu(f.form.get());
  m->SetImages(images.get());
  for (int i = 0; i < 12; ++i)
    m->ImagesItems()->Add()->ImageIndex = i;
  auto* b = f.Add(10, 10, 26, 26);
  b->SetImageList(images.get());
  b->SetImageIndex(0);
  b->SetSkinImagesMenu(m);
  b->UseImagesMenuImage = true;
  auto centre = [&] {
    TDibShot shot(b->Width(), b->Height());
    PaintControl(b, shot);
    return shot.At(13, 13);
  };
  // No selected entry: the button's own image (a red disc).
  EXPECT_EQ(centre(), RGB(220, 50, 47));
  m->ItemIndex = 5;
  EXPECT_EQ(centre(), RGB(38, 139, 210));
  m->ItemIndex = 12; // outside the entries
  EXPECT_EQ(centre(), RGB(220, 50, 47));
}

TEST(SkinSpeedButton, SkinFacesFollowTheState) {
  auto skin = MakeSkin(kAlt);
  TButtonForm f;
  auto* b = f.Add(10, 10, 80, 24);
  b->SetSkinDataName(L"resizebutton");
  b->SetUseSkinSize(false);
  b->SetSkinData(skin.get());
  ASSERT_GE(b->EntryIndex(), 0);
  auto face = [&] {
    TDibShot shot(b->Width(), b->Height());
    PaintControl(b, shot);
    return shot.At(b->Width() / 2, 3);
  };
  COLORREF normal = face();
  Enter(b);
  COLORREF hot = face();
  Press(b);
  COLORREF down = face();
  Release(b);
  EXPECT_NE(normal, hot);
  EXPECT_NE(hot, down);
  // The face is the skin picture's, not the default look's.
  EXPECT_NE(normal, GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(hot, 0xD2BDB6u);
}

// A row of buttons in each look, for a person to look at.
TEST(SkinSpeedButton, Pictures) {
  auto images = ColourImages();
  for (SkinKind k : {kNone, kAlt}) {
    auto skin = MakeSkin(k);
    TButtonForm f;
    TBitmap glyph;
    glyph.SetPixelFormat(pf24bit);
    glyph.SetSize(16, 16);
    images->Draw(glyph.Canvas(), 0, 0, 9, true);
    auto* m = new TskSkinImagesMenu(f.form.get());
    m->SetImages(images.get());
    for (int i = 0; i < 12; ++i)
      m->ImagesItems()->Add()->ImageIndex = i;
    m->ItemIndex = 7;
    std::vector<TskSkinSpeedButton*> row;
    auto add = [&](const wchar_t* caption, int w) {
      auto* b = f.Add(0, 0, w, 26);
      if (k != kNone) b->SetSkinDataName(L"resizebutton");
      b->SetUseSkinSize(false);
      b->SetCaption(caption);
      b->SetImageList(images.get());
      row.push_back(b);
      return b;
    };
    add(L"Normal", 80)->SetImageIndex(1);
    auto* hot = add(L"Hot", 70);
    hot->SetImageIndex(2);
    auto* down = add(L"Down", 80);
    down->SetImageIndex(3);
    down->GroupIndex = 1;
    auto* dis = add(L"Off", 64);
    dis->SetImageIndex(4);
    dis->SetEnabled(false);
    auto* flat = add(L"Flat", 64);
    flat->SetImageIndex(5);
    flat->SetFlat(true);
    auto* menuImg = add(L"", 30);
    menuImg->SetSkinImagesMenu(m);
    menuImg->UseImagesMenuImage = true;
    for (auto* b : row)
      b->SetSkinData(skin.get());
    Enter(hot);
    down->SetDown(true);
    int x = 6, W = 0;
    for (auto* b : row)
      W += b->Width() + 6;
    TDibShot shot(W + 6, 38, ColorToRGB(clBtnFace));
    for (auto* b : row) {
      PaintControl(b, shot, x, 6);
      x += b->Width() + 6;
    }
    EXPECT_TRUE(shot.Save(std::wstring(L"skin_speed_buttons_") +
                          (k == kNone ? L"default" : L"alt") + L".png"));
  }
}

TEST(SkinSpeedButtonInput, RealMouseHoversPressesAndClicks) {
  TButtonForm f;
  auto* b = f.Add(20, 20, 80, 30);
  b->SetCaption(L"Go");
  testsupport::ForceForeground(f.form->Handle());
  MouseToClient(f.form->Handle(), 60, 35);
  EXPECT_TRUE(PumpUntil([&] { return b->MouseIn(); }, 2000));
  MouseButton(true);
  EXPECT_TRUE(b->Down());
  MouseButton(false);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(f.ClicksOf(b), 1);
  MouseToClient(f.form->Handle(), 250, 150);
  EXPECT_TRUE(PumpUntil([&] { return !b->MouseIn(); }, 2000));
}

} // namespace
