// Control buttons: the glyph count taken from the glyph, clicks at release
// and on the repeat timer, the drawing steps each style goes through with
// the pressed offset and outline, and the spin edit's own glyphs.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/FcButton.h"
#include "controls/FcSpnEdt.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

namespace {

TEST(ControlButtonGlyph, NumGlyphsFollowsTheGlyphsShape) {
  struct Case {
    int w, h;
    int expected;
  } cases[] = {
      {64, 16, 4}, // four square images
      {80, 16, 1}, // five would be too many
      {50, 16, 3}, // not a whole multiple: unchanged
      {16, 16, 1}, {32, 16, 2},
  };
  for (const auto& c : cases) {
    TFcControlButton b(nullptr);
    b.SetNumGlyphs(3);
    TBitmap g;
    g.SetSize(c.w, c.h);
    b.SetGlyph(&g);
    EXPECT_EQ(b.NumGlyphs(), c.expected) << c.w << " x " << c.h;
    TPoint size = b.GetGlyphSize();
    EXPECT_EQ(size.X, c.w / c.expected);
    EXPECT_EQ(size.Y, c.h);
  }
  TFcControlButton empty(nullptr);
  EXPECT_EQ(empty.GetGlyphSize().X, 0);
  EXPECT_EQ(empty.GetGlyphSize().Y, 0);
}

// A button that records what it is asked to draw.
class TRecordingButton : public TFcControlButton {
public:
  using TFcControlButton::TFcControlButton;
  std::vector<std::string> Calls;
  TRect GlyphRect;
  int Pressed() const { return Down(); }
  void Press(bool Value) {
    Perform(Value ? WM_LBUTTONDOWN : WM_LBUTTONUP, Value ? MK_LBUTTON : 0, MAKELPARAM(2, 2));
  }

protected:
  void DrawButtonFace(TRect& R) override {
    Calls.push_back("face");
    TFcControlButton::DrawButtonFace(R);
  }
  void DrawArrowButton(TRect& R) override {
    Calls.push_back("arrow");
    TFcControlButton::DrawArrowButton(R);
  }
  void DrawDropDownButton(TRect& R) override {
    Calls.push_back("dropdown");
    TFcControlButton::DrawDropDownButton(R);
  }
  void DrawGlyph(const TRect& R) override {
    Calls.push_back("glyph");
    GlyphRect = R;
    TFcControlButton::DrawGlyph(R);
  }
};

class ControlButtons : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(80, 80, 300, 190);
    form->SetCaption(L"Control buttons");
    form->SetColor(clBtnFace);
    form->Show();
    testsupport::PumpFor(30);
  }
  void TearDown() override { owner.reset(); }
  TRecordingButton* Make(int left) {
    auto* b = new TRecordingButton(owner.get());
    b->SetParent(form);
    b->SetBounds(left, 10, 21, 21);
    return b;
  }
  // Paints the form with its buttons into a bitmap and reads pixels from it.
  struct Shot {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    ~Shot() {
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
  };
  std::unique_ptr<Shot> Paint() {
    auto s = std::make_unique<Shot>();
    HDC screen = GetDC(nullptr);
    s->dc = CreateCompatibleDC(screen);
    s->bmp = CreateCompatibleBitmap(screen, form->ClientWidth(), form->ClientHeight());
    ReleaseDC(nullptr, screen);
    s->old = SelectObject(s->dc, s->bmp);
    form->PaintClientTo(s->dc);
    return s;
  }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
};

TEST_F(ControlButtons, EachStyleDrawsThroughItsOwnStep) {
  struct Case {
    TFcControlButtonStyle style;
    bool glyph;
    std::vector<std::string> calls;
  } cases[] = {
      {cbsNone, false, {"face"}},  {cbsNone, true, {"face", "glyph"}}, {cbsUp, false, {"arrow"}},
      {cbsLeft, false, {"arrow"}}, {cbsDropDown, false, {"dropdown"}},
  };
  TBitmap g;
  g.SetSize(16, 8); // two 8 x 8 images
  for (const auto& c : cases) {
    auto* b = Make(10);
    b->SetStyle(c.style);
    if (c.glyph) b->SetGlyph(&g);
    Paint();
    EXPECT_EQ(b->Calls, c.calls) << int(c.style);
    delete b;
  }
}

TEST_F(ControlButtons, PressedGlyphMovesAndPressedFrameIsAnOutline) {
  auto* b = Make(10);
  TBitmap g;
  g.SetSize(16, 8);
  b->SetGlyph(&g);
  ASSERT_EQ(b->NumGlyphs(), 2);
  Paint();
  TRect up = b->GlyphRect;
  // Centred in the button less one pixel on each side.
  EXPECT_EQ(up.Width(), 8);
  EXPECT_EQ(up.Left, (1 + 20 - 8) / 2);
  b->Press(true);
  ASSERT_TRUE(b->Pressed());
  auto s = Paint();
  TRect down = b->GlyphRect;
  EXPECT_EQ(down.Left, up.Left + 1);
  EXPECT_EQ(down.Top, up.Top + (ThemesEnabled() ? 0 : 1));
  if (!ThemesEnabled()) {
    // Pressed: a one-pixel outline in the shadow colour, the face inside.
    COLORREF shadow = ColorToRGB(clBtnShadow) & 0xFFFFFF;
    EXPECT_EQ(s->At(10, 10), shadow);
    EXPECT_EQ(s->At(30, 20), shadow);
    EXPECT_EQ(s->At(11, 11), ColorToRGB(clBtnFace) & 0xFFFFFF);
  }
  b->Press(false);
  EXPECT_FALSE(b->Pressed());
}

TEST_F(ControlButtons, ClicksAtReleaseInsideOnly) {
  auto* b = Make(10);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Press(true);
  EXPECT_EQ(clicks, 0); // a press does not click by itself
  b->Press(false);
  EXPECT_EQ(clicks, 1);
  // Released outside the button: no click.
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(40, 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->Down());
  // The right button neither presses nor clicks.
  b->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
  b->Perform(WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->Down());
}

TEST_F(ControlButtons, HeldButtonRepeatsAfterTheInitialDelay) {
  auto* b = Make(10);
  b->SetRepeatClicks(true);
  b->SetInitialDelay(150);
  b->SetDelay(50);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Press(true);
  testsupport::PumpFor(100);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return clicks >= 3; }, 2000));
  int held = clicks;
  b->Press(false);
  EXPECT_EQ(clicks, held + 1); // and one more at the release
  testsupport::PumpFor(150);
  EXPECT_EQ(clicks, held + 1); // the timer stopped
}

TEST_F(ControlButtons, Picture) {
  // Two 8 x 8 images on a magenta ground: a black square, a grey one.
  TBitmap g;
  g.SetSize(16, 8);
  g.Canvas()->Brush()->SetColor(clFuchsia);
  g.Canvas()->FillRect(TRect(0, 0, 16, 8));
  g.Canvas()->Brush()->SetColor(clBlack);
  g.Canvas()->FillRect(TRect(2, 2, 6, 6));
  g.Canvas()->Brush()->SetColor(clGray);
  g.Canvas()->FillRect(TRect(10, 2, 14, 6));
  const TFcControlButtonStyle styles[] = {cbsUp, cbsDown, cbsLeft, cbsRight, cbsDropDown, cbsNone};
  // Rows: raised, flat, pressed, flat and pressed, disabled.
  std::vector<TRecordingButton*> pressed;
  for (int row = 0; row < 5; ++row) {
    for (int col = 0; col < 6; ++col) {
      auto* b = new TRecordingButton(owner.get());
      b->SetParent(form);
      b->SetBounds(10 + col * 28, 8 + row * 24, 21, 21);
      b->SetStyle(styles[col]);
      if (styles[col] == cbsNone) b->SetGlyph(&g);
      b->SetFlat(row == 1 || row == 3);
      if (row == 2 || row == 3) pressed.push_back(b);
      b->SetEnabled(row != 4);
    }
  }
  for (auto* b : pressed)
    b->Press(true);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"ControlButtons.png"));
  for (auto* b : pressed)
    b->Press(false);
}

TEST_F(ControlButtons, SpinEditPassesItsGlyphsToItsButtons) {
  auto* s = new TFcSpinEdit(owner.get());
  s->SetParent(form);
  s->SetBounds(60, 10, 80, 23);
  TFcControlButton* up = s->GetButton(sbUp);
  TFcControlButton* down = s->GetButton(sbDown);
  EXPECT_EQ(s->ButtonUpNumGlyphs(), 2);
  TBitmap g;
  g.SetSize(21, 7); // three 7 x 7 images
  s->SetButtonUpGlyph(&g);
  EXPECT_EQ(up->Style(), cbsNone);
  EXPECT_EQ(up->Glyph()->Width(), 21);
  EXPECT_EQ(down->Style(), cbsDown); // the other keeps its arrow
  s->SetButtonUpNumGlyphs(3);
  EXPECT_EQ(up->NumGlyphs(), 3);
  EXPECT_EQ(up->GetGlyphSize().X, 7);
  s->SetButtonDownGlyph(&g);
  s->SetButtonDownNumGlyphs(1);
  EXPECT_EQ(down->Style(), cbsNone);
  EXPECT_EQ(s->ButtonDownNumGlyphs(), 1);
  EXPECT_EQ(down->GetGlyphSize().X, 21);
  // An empty glyph brings the arrow back.
  s->SetButtonUpGlyph(nullptr);
  EXPECT_EQ(up->Style(), cbsUp);
  EXPECT_TRUE(s->ButtonUpGlyph()->Empty());
}

} // namespace
