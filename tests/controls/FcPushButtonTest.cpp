// Framed push buttons: the kinds with their captions, results and glyphs,
// Enter and Escape on the default and cancel buttons, radio groups through
// the group message, the colour mixes and the hot-track ring, the caption's
// shadow offset, the themed part states and a picture of the looks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <uxtheme.h>
#include <vssym32.h>

#include "controls/FcButton.h"
#include "framework/Forms.h"
#include "framework/Themes.h"
#include "tests/support/Gui.h"

namespace {

// A button's picture as WM_PAINT leaves it, over its erased background.
struct Picture {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
  int w = 0, h = 0;
  Picture(int W, int H) : w(W), h(H) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bmp = testsupport::CreateTopDownDib(screen, w, h, &bits);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bmp);
  }
  ~Picture() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
  void Draw(TWinControl* c, int x, int y) {
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, x, y, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    SendMessageW(c->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    c->PaintClientTo(dc);
    RestoreDC(dc, saved);
  }
  bool Save(const std::wstring& name) const {
    return testsupport::SavePixelsPng(testsupport::OutputPath(name), w, h, bits, w * 4);
  }
};

std::unique_ptr<Picture> Shot(TWinControl* c) {
  auto p = std::make_unique<Picture>(c->Width(), c->Height());
  p->Draw(c, 0, 0);
  return p;
}

COLORREF Rgb(TColor c) {
  return ColorToRGB(c) & 0xFFFFFF;
}

class PushButtons : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(60, 60, 520, 330);
    form->SetCaption(L"Framed push buttons");
    form->SetColor(clBtnFace);
    form->Show();
    testsupport::PumpFor(30);
  }
  void TearDown() override { owner.reset(); }
  template <class T = TFcButton> T* Make(int left, int top, const std::wstring& caption) {
    auto* b = new T(owner.get());
    b->SetParent(form);
    b->SetBounds(left, top, 75, 25);
    b->SetCaption(caption);
    b->HandleNeeded();
    return b;
  }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
};

// --- kinds ----------------------------------------------------------------

TEST_F(PushButtons, KindTableSetsCaptionResultDefaultCancelAndGlyph) {
  struct Case {
    TBitBtnKind kind;
    const wchar_t* caption;
    TModalResult result;
    bool isDefault, isCancel;
  } cases[] = {
      {bkOK, L"OK", 1, true, false},           {bkCancel, L"Cancel", 2, false, true},
      {bkHelp, L"&Help", 0, false, false},     {bkYes, L"&Yes", 6, true, false},
      {bkNo, L"&No", 7, false, true},          {bkClose, L"&Close", 0, false, false},
      {bkAbort, L"Abort", 3, false, false},    {bkRetry, L"&Retry", 4, false, false},
      {bkIgnore, L"&Ignore", 5, false, false}, {bkAll, L"&All", 8, false, false},
  };
  for (const auto& c : cases) {
    auto* b = Make<TFcBitBtn>(10, 10, L"before");
    b->SetKind(c.kind);
    SCOPED_TRACE(testing::Message() << "kind " << int(c.kind));
    EXPECT_EQ(b->Kind(), c.kind);
    EXPECT_EQ(b->Text(), c.caption);
    EXPECT_EQ(b->ModalResult(), c.result);
    EXPECT_EQ(b->Default(), c.isDefault);
    EXPECT_EQ(b->Cancel(), c.isCancel);
    // A copy of the shared glyph: two 18 x 18 cells, enabled and greyed.
    TBitmap* shared = LoadKindGlyph(c.kind);
    ASSERT_NE(shared, nullptr);
    EXPECT_NE(b->Glyph(), shared);
    EXPECT_EQ(b->Glyph()->Width(), 36);
    EXPECT_EQ(b->Glyph()->Height(), 18);
    EXPECT_EQ(b->NumGlyphs(), 2);
    int drawn = 0, same = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 36; ++x) {
        TColor px = b->Glyph()->Canvas()->Pixels(x, y);
        same += px == shared->Canvas()->Pixels(x, y);
        drawn += px != b->Glyph()->TransparentColor();
      }
    EXPECT_EQ(same, 36 * 18);
    EXPECT_GT(drawn, 60); // a picture in each cell, not an empty key colour
    EXPECT_FALSE(b->IsCancelStored());
    EXPECT_FALSE(b->IsCaptionStored());
    delete b;
  }
  // Shared: each kind's bitmap is made once.
  EXPECT_EQ(LoadKindGlyph(bkOK), LoadKindGlyph(bkOK));
  EXPECT_EQ(LoadKindGlyph(bkCustom), nullptr);
}

TEST_F(PushButtons, CustomKindKeepsWhatTheButtonHad) {
  auto* b = Make<TFcBitBtn>(10, 10, L"Mine");
  b->SetModalResult(mrRetry);
  b->SetCancel(true);
  b->SetKind(bkCustom);
  EXPECT_EQ(b->Text(), L"Mine");
  EXPECT_EQ(b->ModalResult(), mrRetry);
  EXPECT_TRUE(b->Cancel());
  EXPECT_TRUE(b->Glyph()->Empty());
  // Back from a kind to custom: only the kind changes.
  b->SetKind(bkYes);
  b->SetKind(bkCustom);
  EXPECT_EQ(b->Text(), L"&Yes");
  EXPECT_EQ(b->ModalResult(), mrYes);
  EXPECT_TRUE(b->IsCancelStored());
}

TEST_F(PushButtons, KindTurnsCustomOnceItsValuesNoLongerMatch) {
  struct Case {
    const char* change;
    std::function<void(TFcBitBtn*)> apply;
  } cases[] = {
      {"modal result", [](TFcBitBtn* b) { b->SetModalResult(mrCancel); }},
      {"default", [](TFcBitBtn* b) { b->SetDefault(false); }},
      {"cancel", [](TFcBitBtn* b) { b->SetCancel(true); }},
      {"glyph",
       [](TFcBitBtn* b) {
         TBitmap g;
         g.SetSize(16, 16);
         b->SetGlyph(&g);
       }},
  };
  for (const auto& c : cases) {
    auto* b = Make<TFcBitBtn>(10, 10, L"");
    b->SetKind(bkOK);
    ASSERT_EQ(b->Kind(), bkOK);
    c.apply(b);
    EXPECT_EQ(b->Kind(), bkCustom) << c.change;
    // And it stays custom when the value is put back.
    b->SetModalResult(mrOk);
    b->SetDefault(true);
    b->SetCancel(false);
    EXPECT_EQ(b->Kind(), bkCustom) << c.change;
    delete b;
  }
  // A caption of its own is kept in the form; the kind's own is not.
  auto* b = Make<TFcBitBtn>(10, 10, L"");
  b->SetKind(bkClose);
  EXPECT_FALSE(b->IsCaptionStored());
  b->SetCaption(L"&Quit");
  EXPECT_TRUE(b->IsCaptionStored());
  EXPECT_EQ(b->Kind(), bkClose);
}

TEST_F(PushButtons, GlyphShapeGivesTheCellCount) {
  struct Case {
    int w, h, cells;
  } cases[] = {{64, 16, 4}, {80, 16, 1}, {48, 16, 3}, {40, 16, 3}, {16, 16, 1}};
  auto* b = Make<TFcBitBtn>(10, 10, L"");
  b->SetNumGlyphs(3);
  for (const auto& c : cases) {
    TBitmap g;
    g.SetSize(c.w, c.h);
    b->SetGlyph(&g);
    EXPECT_EQ(b->NumGlyphs(), c.cells) << c.w << " x " << c.h;
  }
}

TEST_F(PushButtons, MarginRefusesValuesBelowMinusOne) {
  auto* b = Make<TFcBitBtn>(10, 10, L"");
  b->SetMargin(-1);
  EXPECT_EQ(b->Margin(), -1);
  b->SetMargin(-5);
  EXPECT_EQ(b->Margin(), -1);
  b->SetMargin(6);
  EXPECT_EQ(b->Margin(), 6);
}

TEST_F(PushButtons, GlyphAndTextRectanglesFollowTheLayout) {
  auto* b = Make<TFcBitBtn>(10, 10, L"");
  b->SetBounds(10, 10, 120, 60);
  TBitmap g;
  g.SetSize(32, 16); // two 16 x 16 cells
  b->SetGlyph(&g);
  // Inside the client less 5 on each side: margin 2, centred across.
  struct Case {
    TButtonLayout layout;
    TRect glyph;
  } cases[] = {
      {blGlyphLeft, {7, 22, 23, 38}}, // Left + margin, centred vertically
      {blGlyphRight, {97, 22, 113, 38}},
      {blGlyphTop, {52, 7, 68, 23}}, // Top + margin, centred horizontally
      {blGlyphBottom, {52, 37, 68, 53}},
  };
  for (const auto& c : cases) {
    b->SetLayout(c.layout);
    TRect r;
    b->GetGlyphRect(r);
    EXPECT_EQ(r.Left, c.glyph.Left) << int(c.layout);
    EXPECT_EQ(r.Top, c.glyph.Top) << int(c.layout);
    EXPECT_EQ(r.Right, c.glyph.Right) << int(c.layout);
    EXPECT_EQ(r.Bottom, c.glyph.Bottom) << int(c.layout);
  }
  // Right to left: the left layout shows the glyph on the right.
  b->SetLayout(blGlyphLeft);
  b->SetBiDiMode(bdRightToLeft);
  TRect r;
  b->GetGlyphRect(r);
  EXPECT_EQ(r.Left, 97);
}

// --- default and cancel ---------------------------------------------------

TEST_F(PushButtons, EnterClicksTheActiveButtonAndEscapeTheCancelOne) {
  auto* ok = Make(10, 10, L"OK");
  auto* cancel = Make(100, 10, L"Cancel");
  auto* other = Make(190, 10, L"Other");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  std::vector<std::string> clicks;
  ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
  other->OnClick = [&](TObject*) { clicks.push_back("other"); };
  // Created with Default set: active from the start.
  EXPECT_TRUE(ok->Active());
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  form->SetModalResult(mrNone);
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel"}));

  // Another push button takes the focus: Enter is its own.
  form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  clicks.clear();
  form->SetModalResult(mrNone);
  form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
  EXPECT_EQ(clicks, (std::vector<std::string>{"other"}));
  // A click sets the form's result even when it is 0.
  EXPECT_EQ(form->ModalResult(), mrNone);
  // A control that is no button: the default button is active again.
  form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form));
  EXPECT_TRUE(ok->Active());
  EXPECT_FALSE(other->Active());
  // Shift+Enter and a disabled button do nothing.
  clicks.clear();
  ok->SetEnabled(false);
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(PushButtons, DefaultSetterAsksTheFormForTheActiveButton) {
  auto* a = Make(10, 10, L"A");
  auto* b = Make(100, 10, L"B");
  EXPECT_FALSE(a->Active());
  a->SetDefault(true);
  EXPECT_TRUE(a->Active());
  b->SetDefault(true); // two defaults: both react while no button has the focus
  EXPECT_TRUE(b->Active());
  a->SetDefault(false);
  EXPECT_FALSE(a->Active());
}

TEST_F(PushButtons, AcceleratorAndSpaceKeyClick) {
  auto* b = Make(10, 10, L"&Apply");
  b->SetModalResult(mrYes);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, L'a', 0), 1);
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, L'x', 0), 0);
  EXPECT_EQ(clicks, 1);
  // Space: pressed while held, a click at the release.
  b->Perform(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(b->PressedDisplay());
  EXPECT_EQ(clicks, 1);
  b->Perform(WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_FALSE(b->PressedDisplay());
  EXPECT_EQ(clicks, 2);
  // Losing the focus between the two lets the key go without a click.
  b->Perform(WM_KEYDOWN, VK_SPACE, 0);
  b->Perform(WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(b->PressedDisplay());
  b->Perform(WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(clicks, 2);
}

// --- groups ---------------------------------------------------------------

TEST_F(PushButtons, GroupMessagePutsTheOthersUpAndSharesAllowAllUp) {
  auto* a = Make(10, 10, L"A");
  auto* b = Make(100, 10, L"B");
  auto* c = Make(190, 10, L"C");
  auto* apart = Make(280, 10, L"D");
  for (auto* x : {a, b, c})
    x->SetGroupIndex(1);
  apart->SetGroupIndex(2);
  apart->SetDown(true);
  a->SetDown(true);
  EXPECT_TRUE(a->Down());
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(apart->Down()); // another group
  // A grouped button that is down cannot go up by itself...
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  // ...until AllowAllUp, which one button gives the whole group.
  c->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_FALSE(apart->AllowAllUp());
  b->SetDown(false);
  EXPECT_FALSE(b->Down());
  // The message itself, 9249 with the group index and the sender, here
  // from a button of another parent.
  EXPECT_EQ(CM_FCBUTTONPRESSED, 9249u);
  b->SetDown(true);
  c->SetAllowAllUp(false);
  TFcButton stranger(nullptr);
  stranger.SetGroupIndex(1);
  stranger.SetAllowAllUp(true);
  b->Perform(9249, 1, reinterpret_cast<LPARAM>(&stranger));
  EXPECT_TRUE(b->Down()); // the sender is up: b stays down
  EXPECT_TRUE(b->AllowAllUp());
  stranger.SetDown(true);
  stranger.SetAllowAllUp(false);
  b->Perform(9249, 2, reinterpret_cast<LPARAM>(&stranger));
  EXPECT_TRUE(b->Down()); // another group's message
  b->Perform(9249, 1, reinterpret_cast<LPARAM>(&stranger));
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(b->AllowAllUp());
  // Without a group index Down stays false.
  auto* plain = Make(10, 50, L"E");
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
}

TEST_F(PushButtons, GroupedDownButtonDrawsTheDownPattern) {
  auto* b = Make(10, 10, L"");
  b->SetThemeAware(false);
  b->SetColor(static_cast<TColor>(0xC0C0C0));
  b->SetGroupIndex(3);
  b->SetDown(true);
  auto p = Shot(b);
  // Inside the lowered border: pixels of equal row and column parity in
  // grey 0x808080 on the silver face.
  EXPECT_EQ(p->At(10, 10), 0x808080u);
  EXPECT_EQ(p->At(11, 10), 0xC0C0C0u);
  EXPECT_EQ(p->At(11, 11), 0x808080u);
  b->SetShowDownPattern(false);
  p = Shot(b);
  EXPECT_EQ(p->At(10, 10), 0xC0C0C0u);
}

// --- the mouse (needs the keyboard focus) ------------------------------------

TEST_F(PushButtons, MouseFocusPressesAndClicksInsideOnly) {
  ASSERT_TRUE(testsupport::ForceForeground(form->Handle()));
  auto* b = Make(10, 10, L"Press");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  auto mouse = [&](UINT msg, int x, int y) {
    b->Perform(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  };
  mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(b->PressedDisplay());
  mouse(WM_MOUSEMOVE, 90, 5); // out: drawn up
  EXPECT_FALSE(b->PressedDisplay());
  mouse(WM_MOUSEMOVE, 20, 20); // back in: pressed again
  EXPECT_TRUE(b->PressedDisplay());
  mouse(WM_MOUSEMOVE, 20, 40);
  mouse(WM_LBUTTONUP, 20, 40); // released outside: no click
  EXPECT_EQ(clicks, 0);
  mouse(WM_LBUTTONDOWN, 5, 5);
  mouse(WM_LBUTTONUP, 6, 6);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->PressedDisplay());

  // Grouped: a click puts a button down; clicking it again does not put it
  // up, clicking another of the group does.
  auto* a = Make(100, 10, L"A");
  auto* c = Make(190, 10, L"C");
  a->SetGroupIndex(5);
  c->SetGroupIndex(5);
  a->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  a->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(a->Down());
  a->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  a->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(a->Down());
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(c->Down());
  EXPECT_FALSE(a->Down());
  // With AllowAllUp a second click puts it up.
  c->SetAllowAllUp(true);
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(c->Down());
  // A disabled button gives the focus back to the form.
  c->SetFocus();
  ASSERT_TRUE(c->Focused());
  c->SetEnabled(false);
  EXPECT_FALSE(c->Focused());
}

// --- colours ----------------------------------------------------------------

TEST(PushButtonColours, MixesHuesAndOpposites) {
  struct Mix {
    TColor a, b;
    uint8_t weight;
    COLORREF expected;
  } mixes[] = {
      {clWhite, static_cast<TColor>(0x149BF0), 190, RGB(251, 230, 195)},
      {clWhite, clBlack, 255, RGB(255, 255, 255)},
      {clWhite, clBlack, 0, RGB(0, 0, 0)},
      {static_cast<TColor>(RGB(200, 100, 0)), static_cast<TColor>(RGB(0, 100, 200)), 128,
       RGB(100, 100, 100)},
  };
  for (const auto& m : mixes)
    EXPECT_EQ(Rgb(WeightedColorMix(m.a, m.b, m.weight)), m.expected) << int(m.weight);
  struct Hue {
    TColor c;
    uint8_t h;
  } hues[] = {{clRed, 0}, {clLime, 80}, {clBlue, 160}, {clYellow, 40}};
  for (const auto& h : hues)
    EXPECT_EQ(HueOfColor(h.c), h.h) << std::hex << h.c;
  // Half the circle on, at full saturation and the luminance asked for: red
  // gives cyan, blue yellow, lime magenta (within the 0..240 scale's steps).
  struct Opposite {
    TColor c;
    uint8_t luminance;
    COLORREF expected;
  } opposites[] = {{clRed, 120, RGB(0, 255, 255)},
                   {clBlue, 120, RGB(255, 255, 0)},
                   {clLime, 120, RGB(255, 0, 255)},
                   {clRed, 60, RGB(0, 128, 128)}};
  for (const auto& o : opposites) {
    COLORREF got = Rgb(OppositeHueColor(o.c, o.luminance));
    EXPECT_NEAR(GetRValue(got), GetRValue(o.expected), 6) << std::hex << o.c;
    EXPECT_NEAR(GetGValue(got), GetGValue(o.expected), 6) << std::hex << o.c;
    EXPECT_NEAR(GetBValue(got), GetBValue(o.expected), 6) << std::hex << o.c;
  }
}

TEST(PushButtonColours, DottedFocusBorderSetsEveryOtherEdgePixel) {
  Picture p(10, 8);
  PatBlt(p.dc, 0, 0, 10, 8, WHITENESS);
  TCanvas c;
  c.SetHandle(p.dc);
  TRect inner = DrawDottedFocusBorder(&c, TRect(0, 0, 10, 8));
  c.SetHandle(nullptr);
  EXPECT_EQ(inner.Left, 1);
  EXPECT_EQ(inner.Bottom, 7);
  std::string top, left;
  for (int x = 0; x < 10; ++x)
    top += p.At(x, 0) == 0 ? '#' : '.';
  for (int y = 0; y < 8; ++y)
    left += p.At(0, y) == 0 ? '#' : '.';
  EXPECT_EQ(top, ".#.#.#.#.#");
  EXPECT_EQ(left, ".#.#.#.#");
  EXPECT_EQ(p.At(4, 4), 0xFFFFFFu);
}

TEST_F(PushButtons, HotTrackRingFollowsTheMouseAndTheColourType) {
  auto* b = Make(10, 10, L"");
  b->SetThemeAware(false);
  b->SetHotTrack(true);
  EXPECT_TRUE(b->Transparent());
  b->SetColor(static_cast<TColor>(RGB(200, 200, 200)));
  const TColor hot = b->HotTrackColor();
  // The ring starts two pixels in, on the top row of the face.
  auto ringTop = [&] { return Shot(b)->At(37, 2); };
  auto faceTop = Rgb(LightenColor(b->Color(), 30));
  EXPECT_EQ(ringTop(), faceTop); // idle, not focused: no ring
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_TRUE(b->MouseOver());
  EXPECT_EQ(ringTop(), Rgb(WeightedColorMix(clWhite, hot, 190)));
  b->SetHotTrackColorType(htctComplement);
  EXPECT_EQ(ringTop(), Rgb(OppositeHueColor(hot, 180)));
  // The frame line lies one pixel in and leaves its corners out.
  auto p = Shot(b);
  EXPECT_EQ(p->At(30, 1), Rgb(b->FrameColor()));
  EXPECT_NE(p->At(1, 1), Rgb(b->FrameColor()));
  // A default button shows the highlight ring while the mouse is away.
  b->Perform(CM_MOUSELEAVE, 0, 0);
  b->SetDefault(true);
  form->Perform(CM_FOCUSCHANGED, 0, 0);
  ASSERT_TRUE(b->Active());
  TColor k = clHighlight, bb = LightenColor(b->Color(), 30);
  if (ColorsAreSimilar(k, clBtnFace)) k = DarkenColor(k, 30);
  EXPECT_EQ(ringTop(), Rgb(WeightedColorMix(k, bb, 60)));
  // A palette display: a plain face and no ring.
  HighColorDisplay = false;
  b->Perform(CM_MOUSEENTER, 0, 0);
  COLORREF flat = ringTop();
  HighColorDisplay = IsHighColorDisplay();
  EXPECT_EQ(flat, Rgb(b->Color()));
  // Pressed: the face in the colour darkened by 10.
  b->SetGroupIndex(1);
  b->SetDown(true);
  b->SetShowDownPattern(false);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Shot(b)->At(37, 12), Rgb(DarkenColor(b->Color(), 10)));
}

TEST_F(PushButtons, RightAlignedCaptionMovesLeftByTheShadowDepthOnlyWhenEnabled) {
  auto* b = Make(10, 10, L"II");
  b->SetBounds(10, 10, 90, 25);
  b->SetThemeAware(false);
  b->SetAlignment(taRightJustify);
  b->SetColor(clWhite);
  // The rightmost column of the caption, black when enabled and grey when
  // disabled.
  auto rightmost = [&] {
    auto p = Shot(b);
    for (int x = b->Width() - 6; x > 5; --x)
      for (int y = 6; y < b->Height() - 6; ++y) {
        COLORREF c = p->At(x, y);
        int r = GetRValue(c), g = GetGValue(c), bl = GetBValue(c);
        if (r < 250 && std::abs(r - g) < 30 && std::abs(g - bl) < 30) return x;
      }
    return -1;
  };
  // A red shadow, told apart from the grey and black caption.
  b->SetTextShadowColor(clRed);
  for (TTextStyle style : {tsNormal, tsShadow}) {
    b->SetTextStyle(style);
    b->SetEnabled(true);
    int enabled = rightmost();
    b->SetEnabled(false);
    int disabled = rightmost();
    ASSERT_GT(enabled, 0);
    EXPECT_EQ(disabled - enabled, 2) << int(style);
  }
  b->SetEnabled(true);
  b->SetTextShadowDepth(5);
  b->SetTextStyle(tsNormal);
  int deeper = rightmost();
  b->SetEnabled(false);
  EXPECT_EQ(rightmost() - deeper, 5);
}

// --- themes -------------------------------------------------------------------

// A stand-in for the theme library that records the push-button states drawn.
std::vector<int> gStates;
int gParentBackgrounds = 0;
BOOL gPartlyTransparent = FALSE;
BOOL WINAPI FakeTrue() {
  return TRUE;
}
HTHEME WINAPI FakeOpen(HWND, LPCWSTR Classes) {
  return lstrcmpiW(Classes, L"BUTTON") == 0 ? reinterpret_cast<HTHEME>(0x1234) : nullptr;
}
HRESULT WINAPI FakeClose(HTHEME) {
  return S_OK;
}
HRESULT WINAPI FakeDraw(HTHEME, HDC, int Part, int State, const RECT*, const RECT*) {
  if (Part == BP_PUSHBUTTON) gStates.push_back(State);
  return S_OK;
}
HRESULT WINAPI FakeParent(HWND, HDC, const RECT*) {
  ++gParentBackgrounds;
  return S_OK;
}
BOOL WINAPI FakeTransparent(HTHEME, int, int) {
  return gPartlyTransparent;
}

class ThemedPushButtons : public PushButtons {
protected:
  void SetUp() override {
    PushButtons::SetUp();
    TThemeServices* ts = ThemeServices();
    const std::pair<TThemeFunction, FARPROC> fakes[] = {
        {thfIsThemeActive, reinterpret_cast<FARPROC>(&FakeTrue)},
        {thfIsAppThemed, reinterpret_cast<FARPROC>(&FakeTrue)},
        {thfOpenThemeData, reinterpret_cast<FARPROC>(&FakeOpen)},
        {thfCloseThemeData, reinterpret_cast<FARPROC>(&FakeClose)},
        {thfDrawThemeBackground, reinterpret_cast<FARPROC>(&FakeDraw)},
        {thfDrawThemeParentBackground, reinterpret_cast<FARPROC>(&FakeParent)},
        {thfIsThemeBackgroundPartiallyTransparent, reinterpret_cast<FARPROC>(&FakeTransparent)},
    };
    for (const auto& f : fakes)
      saved.emplace_back(f.first, ts->SetFunction(f.first, f.second));
    gStates.clear();
    gParentBackgrounds = 0;
    gPartlyTransparent = FALSE;
  }
  void TearDown() override {
    for (const auto& s : saved)
      ThemeServices()->SetFunction(s.first, s.second);
    PushButtons::TearDown();
  }
  int StateDrawn(TFcButton* b) {
    gStates.clear();
    Shot(b);
    return gStates.empty() ? -1 : gStates.back();
  }
  std::vector<std::pair<TThemeFunction, FARPROC>> saved;
};

TEST_F(ThemedPushButtons, PartStateFollowsTheButton) {
  struct Case {
    const char* what;
    std::function<void(TFcButton*)> setup;
    int state;
  } cases[] = {
      {"plain", [](TFcButton*) {}, PBS_NORMAL},
      {"default", [](TFcButton* b) { b->SetDefault(true); }, PBS_DEFAULTED},
      {"disabled default",
       [](TFcButton* b) {
         b->SetDefault(true);
         b->SetEnabled(false);
       },
       PBS_DISABLED},
      {"hot", [](TFcButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, PBS_HOT},
      {"grouped default",
       [](TFcButton* b) {
         b->SetDefault(true);
         b->SetGroupIndex(4);
       },
       PBS_NORMAL},
      {"grouped down",
       [](TFcButton* b) {
         b->SetGroupIndex(4);
         b->SetDown(true);
         b->Perform(CM_MOUSEENTER, 0, 0);
       },
       PBS_PRESSED},
      {"space held", [](TFcButton* b) { b->Perform(WM_KEYDOWN, VK_SPACE, 0); }, PBS_PRESSED},
  };
  ASSERT_TRUE(ThemeServices()->ThemesEnabled());
  for (const auto& c : cases) {
    auto* b = Make(10, 10, L"Themed");
    c.setup(b);
    EXPECT_TRUE(b->UseThemes());
    EXPECT_EQ(StateDrawn(b), c.state) << c.what;
    delete b;
  }
  // The parent shows through only where the part lets it.
  auto* b = Make(10, 10, L"Themed");
  Shot(b);
  EXPECT_EQ(gParentBackgrounds, 0);
  gPartlyTransparent = TRUE;
  Shot(b);
  EXPECT_EQ(gParentBackgrounds, 1);
  // Not theme aware: the classic look.
  b->SetThemeAware(false);
  EXPECT_EQ(StateDrawn(b), -1);
}

TEST(ThemeBinding, EntryPointsAreBoundByName) {
  TThemeServices* ts = ThemeServices();
  // The library is part of every system this runs on.
  HMODULE lib = GetModuleHandleW(L"uxtheme.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(ts->Function(thfOpenThemeData), GetProcAddress(lib, "OpenThemeData"));
  EXPECT_EQ(ts->Function(thfDrawThemeParentBackground),
            GetProcAddress(lib, "DrawThemeParentBackground"));
  // Without the theme functions nothing is themed and nothing is drawn.
  FARPROC active = ts->SetFunction(thfIsThemeActive, nullptr);
  EXPECT_FALSE(ts->ThemesEnabled());
  ts->SetFunction(thfIsThemeActive, active);
  FARPROC open = ts->SetFunction(thfOpenThemeData, nullptr);
  Picture p(4, 4);
  EXPECT_FALSE(ts->DrawElement(p.dc, ts->GetElementDetails(tbPushButtonHot), TRect(0, 0, 4, 4)));
  ts->SetFunction(thfOpenThemeData, open);
  TThemedElementDetails d = ts->GetElementDetails(tbPushButtonDefaulted);
  EXPECT_EQ(d.Part, BP_PUSHBUTTON);
  EXPECT_EQ(d.State, PBS_DEFAULTED);
}

// --- the picture ----------------------------------------------------------------

TEST_F(PushButtons, PictureOfTheLooks) {
  form->SetBounds(60, 60, 560, 380);
  form->SetColor(static_cast<TColor>(RGB(226, 222, 214)));
  std::vector<TWinControl*> all;
  auto add = [&](TFcButton* b) {
    all.push_back(b);
    return b;
  };
  // Row 1: the platform's theme (when one is active): plain, default, hot,
  // down, disabled. Rows 2 and 3 leave it aside.
  const wchar_t* themedNames[] = {L"Themed", L"Default", L"Hot", L"Down", L"Disabled"};
  for (int i = 0; i < 5; ++i) {
    auto* b = add(Make(10 + 85 * i, 10, themedNames[i]));
    if (i == 1) b->SetDefault(true);
    if (i == 2) b->Perform(CM_MOUSEENTER, 0, 0);
    if (i == 3) {
      b->SetGroupIndex(3);
      b->SetDown(true);
      b->SetShowDownPattern(false);
    }
    if (i == 4) b->SetEnabled(false);
  }
  // Row 2: classic: plain, default, grouped down, coloured, disabled, raised text.
  const wchar_t* classicNames[] = {L"Classic",  L"Default",  L"Down",
                                   L"Coloured", L"Disabled", L"Raised"};
  for (int i = 0; i < 6; ++i) {
    auto* b = add(Make(10 + 85 * i, 50, classicNames[i]));
    b->SetThemeAware(false);
    if (i == 1) b->SetDefault(true);
    if (i == 2) {
      b->SetGroupIndex(1);
      b->SetDown(true);
    }
    if (i == 3) b->SetColor(static_cast<TColor>(RGB(170, 200, 235)));
    if (i == 4) b->SetEnabled(false);
    if (i == 5) b->SetTextStyle(tsRaised);
  }
  // Row 3: hot tracking: idle, hot, hot complement, default, pressed, disabled.
  const wchar_t* hotNames[] = {L"Idle", L"Hot", L"Opposite", L"Default", L"Pressed", L"Disabled"};
  for (int i = 0; i < 6; ++i) {
    auto* b = add(Make(10 + 85 * i, 90, hotNames[i]));
    b->SetThemeAware(false);
    b->SetHotTrack(true);
    if (i == 1 || i == 2) b->Perform(CM_MOUSEENTER, 0, 0);
    if (i == 2) b->SetHotTrackColorType(htctComplement);
    if (i == 3) b->SetDefault(true);
    if (i == 4) {
      b->SetGroupIndex(2);
      b->SetDown(true);
      b->SetShowDownPattern(false);
    }
    if (i == 5) b->SetEnabled(false);
  }
  // Rows 4 and 5: every kind (the last five hot-tracked) and a disabled one.
  for (int k = bkOK; k <= bkAll; ++k) {
    int i = k - bkOK;
    auto* b = Make<TFcBitBtn>(10 + 90 * (i % 5), 135 + 35 * (i / 5), L"");
    b->SetWidth(85);
    b->SetKind(static_cast<TBitBtnKind>(k));
    b->SetThemeAware(false);
    if (k >= bkAbort) b->SetHotTrack(true);
    add(b);
  }
  auto* off = Make<TFcBitBtn>(460, 135, L"");
  off->SetWidth(85);
  off->SetKind(bkOK);
  off->SetThemeAware(false);
  off->SetEnabled(false);
  add(off);
  auto* themedKind = Make<TFcBitBtn>(460, 170, L"");
  themedKind->SetWidth(85);
  themedKind->SetKind(bkCancel);
  add(themedKind);
  // Row 6: the four layouts and a centred glyph.
  const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
  const wchar_t* layoutNames[] = {L"Left", L"Right", L"Top", L"Bottom"};
  for (int i = 0; i < 4; ++i) {
    auto* b = Make<TFcBitBtn>(10 + 90 * i, 215, L"");
    b->SetBounds(10 + 90 * i, 215, 85, 50);
    b->SetKind(bkRetry);
    b->SetCaption(layoutNames[i]);
    b->SetLayout(layouts[i]);
    b->SetThemeAware(false);
    add(b);
  }
  auto* centred = Make<TFcBitBtn>(370, 215, L"");
  centred->SetBounds(370, 215, 120, 50);
  centred->SetKind(bkHelp);
  centred->SetCaption(L"Centred");
  centred->SetMargin(-1);
  centred->SetThemeAware(false);
  add(centred);

  Picture p(form->ClientWidth(), form->ClientHeight());
  SendMessageW(form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(p.dc), 0);
  form->PaintClientTo(p.dc);
  for (TWinControl* c : all)
    p.Draw(c, c->Left(), c->Top());
  EXPECT_TRUE(p.Save(L"fc_push_buttons.png"));
  // The kind glyphs show: the OK button's check is green.
  bool green = false;
  for (int x = 10; x < 40; ++x)
    for (int y = 140; y < 157; ++y) {
      COLORREF c = p.At(x, y);
      if (GetGValue(c) > 100 && GetRValue(c) < 80 && GetBValue(c) < 80) green = true;
    }
  EXPECT_TRUE(green);
}

} // namespace
