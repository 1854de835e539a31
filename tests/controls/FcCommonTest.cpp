// Frame, border and colour routines: colour arithmetic, then drawing on a
// bitmap checked pixel by pixel.
#include <gtest/gtest.h>

#include <memory>

#include "controls/FcCommon.h"

namespace {

struct HslCase {
  TColor color;
  int h, s, l;
};

class HslConversion : public ::testing::TestWithParam<HslCase> {};

TEST_P(HslConversion, ColorToHslBytes) {
  const HslCase& c = GetParam();
  uint8_t h, s, l;
  ColorToHslBytes(c.color, h, s, l);
  EXPECT_EQ(h, c.h);
  EXPECT_EQ(s, c.s);
  EXPECT_EQ(l, c.l);
}

INSTANTIATE_TEST_SUITE_P(Table, HslConversion,
                         ::testing::Values(HslCase{clBlack, 0, 0, 0}, HslCase{clWhite, 0, 0, 240},
                                           HslCase{clRed, 0, 240, 120},
                                           HslCase{clLime, 80, 240, 120},
                                           HslCase{clBlue, 160, 240, 120},
                                           HslCase{clGray, 0, 0, 120},
                                           HslCase{0xF4F4F4, 0, 0, 230}));

TEST(ColourArithmetic, LightenDarkenAdjust) {
  // L = 230 lightened by 40 passes 255 to the conversion and clips to white.
  EXPECT_EQ(LightenColor(0xF4F4F4, 40), clWhite);
  EXPECT_EQ(DarkenColor(clWhite, 240), clBlack);
  EXPECT_EQ(DarkenColor(clBlack, 10), clBlack);
  EXPECT_EQ(AdjustLuminance(0x123456, 0), 0x123456u);
  EXPECT_EQ(AdjustLuminance(clGray, -20), DarkenColor(clGray, 20));
  EXPECT_EQ(AdjustLuminance(clGray, 30), LightenColor(clGray, 30));
  // System colours are resolved before the arithmetic.
  EXPECT_EQ(DarkenColor(clBtnFace, 30), DarkenColor(ColorToRGB(clBtnFace), 30));
  EXPECT_EQ(HslBytesToColor(0, 0, 0), clBlack);
  EXPECT_EQ(HslBytesToColor(0, 240, 120), clRed);
  EXPECT_TRUE(ColorsAreSimilar(clBlack, 0x101010));
  EXPECT_FALSE(ColorsAreSimilar(clBlack, clWhite));
  EXPECT_FALSE(ColorsAreSimilar(clRed, clBlue));
}

TEST(Lookups, SchemeVersionCentre) {
  EXPECT_EQ(XPColorSchemeOfName(L"metallic"), 2);
  EXPECT_EQ(XPColorSchemeOfName(L"MetaLLic"), 2);
  EXPECT_EQ(XPColorSchemeOfName(L"HomeStead"), 1);
  EXPECT_EQ(XPColorSchemeOfName(L"NormalColor"), 0);
  EXPECT_EQ(XPColorSchemeOfName(L""), 0);
  struct V {
    int test;
    DWORD platform, major, minor;
    bool result;
  } versions[] = {{5, 2, 5, 1, true},   {5, 2, 6, 0, false}, {5, 2, 6, 1, true},
                  {4, 2, 5, 0, true},   {4, 1, 5, 0, false}, {7, 2, 6, 0, true},
                  {7, 2, 5, 2, false},  {0, 1, 4, 0, true},  {2, 1, 4, 10, true},
                  {3, 1, 4, 10, false}, {9, 2, 10, 0, false}};
  for (const auto& v : versions)
    EXPECT_EQ(IsWindowsVersionOf(v.test, v.platform, v.major, v.minor), v.result)
        << v.test << " " << v.major << "." << v.minor;
  EXPECT_EQ(CenterRectangle(TRect(0, 0, 10, 10), 4, 4), TRect(3, 3, 7, 7));
  EXPECT_EQ(CenterRectangle(TRect(0, 0, 9, 9), 4, 4), TRect(2, 2, 6, 6));
  EXPECT_EQ(CenterRectangle(TRect(0, 0, 2, 2), 5, 5), TRect(-1, -1, 4, 4));
}

TEST(Lookups, LedLayout) {
  struct Case {
    int total, segments;
    int seg, count, margin;
  } cases[] = {{60, 20, 6, 10, 0}, {100, 7, 14, 7, 1}, {100, 15, 6, 16, 2}, {100, 0, 0, 0, 0},
               {100, -3, 0, 0, 0}, {0, 10, 0, 0, 0},   {5, 10, 0, 0, 0},    {193, 15, 12, 16, 0}};
  for (const auto& c : cases) {
    TLedLayout l = LedProgressLayout(c.total, c.segments);
    EXPECT_EQ(l.Segment, c.seg) << c.total << "/" << c.segments;
    EXPECT_EQ(l.Count, c.count) << c.total << "/" << c.segments;
    EXPECT_EQ(l.Margin, c.margin) << c.total << "/" << c.segments;
  }
}

// A white 24-bit bitmap to draw on.
std::unique_ptr<TBitmap> Board(int w = 20, int h = 20) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(TRect(0, 0, w, h));
  return b;
}

COLORREF At(TBitmap* b, int x, int y) {
  return GetPixel(b->Canvas()->Handle(), x, y) & 0xFFFFFF;
}
COLORREF Rgb(TColor c) {
  return ColorToRGB(c) & 0xFFFFFF;
}

TEST(Frames, SideLinesDrawAndShrink) {
  auto b = Board();
  TRect in = DrawSideLines(b->Canvas(), TRect(2, 2, 10, 10), clRed, clBlue, sdsAll);
  EXPECT_EQ(in, TRect(3, 3, 9, 9));
  EXPECT_EQ(At(b.get(), 2, 5), Rgb(clRed));
  EXPECT_EQ(At(b.get(), 5, 2), Rgb(clRed));
  EXPECT_EQ(At(b.get(), 9, 5), Rgb(clBlue));
  EXPECT_EQ(At(b.get(), 5, 9), Rgb(clBlue));
  EXPECT_EQ(At(b.get(), 5, 5), Rgb(clWhite));

  auto c = Board();
  in = DrawSideLines(c->Canvas(), TRect(2, 2, 10, 10), clNone, clNone, sdsLeft | sdsBottom);
  EXPECT_EQ(in, TRect(3, 2, 10, 9));
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 20; ++y)
      ASSERT_EQ(At(c.get(), x, y), Rgb(clWhite)) << x << "," << y;
}

TEST(Frames, StyledBordersUseTheirTables) {
  struct Case {
    TFrameStyleEx style;
    TColor ul, lr;
    int width;
  } cases[] = {{fsFlat, cl3DDkShadow, cl3DDkShadow, 1},
               {fsStatus, clBtnShadow, clBtnHighlight, 1},
               {fsPopup, clBtnHighlight, clBtnShadow, 1},
               {fsFlatBold, clBtnShadow, clBtnShadow, 2},
               {fsLowered, clBtnShadow, clBtnHighlight, 2},
               {fsRaised, cl3DLight, cl3DDkShadow, 2},
               {fsButtonUp, clBtnHighlight, cl3DDkShadow, 2},
               {fsGroove, clBtnShadow, clBtnHighlight, 2},
               {fsNone, clWhite, clWhite, 0}};
  for (const auto& c : cases) {
    auto b = Board();
    TRect in = DrawStyledBorder(b->Canvas(), TRect(0, 0, 20, 20), c.style);
    EXPECT_EQ(in, TRect(c.width, c.width, 20 - c.width, 20 - c.width)) << int(c.style);
    EXPECT_EQ(At(b.get(), 0, 10), Rgb(c.ul)) << int(c.style);
    EXPECT_EQ(At(b.get(), 10, 0), Rgb(c.ul)) << int(c.style);
    if (c.style != fsGroove) {
      EXPECT_EQ(At(b.get(), 19, 10), Rgb(c.lr)) << int(c.style);
      EXPECT_EQ(At(b.get(), 10, 19), Rgb(c.lr)) << int(c.style);
    }
  }
}

TEST(Frames, ControlFrameShadesNonWindowColours) {
  // With clWindow the system border colours; with the same RGB given as a
  // plain colour, shades of it.
  auto a = Board(), b = Board();
  PaintControlFrame(a->Canvas(), 20, 20, false, sdsAll, clBlack, clWindow, fsLowered);
  TColor plain = ColorToRGB(clWindow);
  PaintControlFrame(b->Canvas(), 20, 20, false, sdsAll, clBlack, plain, fsLowered);
  EXPECT_EQ(At(a.get(), 0, 10), Rgb(clBtnShadow));
  EXPECT_EQ(At(b.get(), 0, 10), Rgb(DarkenColor(plain, 50)));
  EXPECT_EQ(At(b.get(), 1, 10), Rgb(DarkenColor(plain, 100)));
  // Flat: one line of the frame colour on the chosen sides only.
  auto c = Board();
  PaintControlFrame(c->Canvas(), 20, 20, true, sdsTop, clRed, clWindow, fsFlat);
  EXPECT_EQ(At(c.get(), 10, 0), Rgb(clRed));
  EXPECT_EQ(At(c.get(), 0, 10), Rgb(clWhite));
}

TEST(Frames, RoundedBorderAndPanelBorders) {
  auto b = Board();
  TRect in = DrawRoundedLineBorder(b->Canvas(), TRect(0, 0, 20, 20), clRed, sdsAll);
  EXPECT_EQ(in, TRect(2, 2, 18, 18));
  EXPECT_EQ(At(b.get(), 0, 0), Rgb(clWhite)); // open corner
  EXPECT_EQ(At(b.get(), 1, 1), Rgb(clRed));   // inside corner pixel
  EXPECT_EQ(At(b.get(), 0, 10), Rgb(clRed));

  auto p = Board();
  TRect inner;
  DrawPanelBorders(p->Canvas(), TRect(0, 0, 20, 20), fsFlat, fsNone, 2, sdsTop, 1, clBlue,
                   clBtnHighlight, clBtnShadow, clRed, 0, clWhite, clWhite, false, false, inner);
  EXPECT_EQ(inner, TRect(0, 3, 20, 20));
  EXPECT_EQ(At(p.get(), 10, 0), Rgb(clRed));
  EXPECT_EQ(At(p.get(), 10, 1), Rgb(clBlue));
  EXPECT_EQ(At(p.get(), 10, 2), Rgb(clBlue));
  EXPECT_EQ(At(p.get(), 0, 10), Rgb(clWhite));
}

TEST(ProgressBars, TraditionalFillsItsShare) {
  for (int percent : {0, 50, 100}) {
    auto b = Board(100, 10);
    DrawTraditionalProgressBar(b->Canvas(), TRect(0, 0, 100, 10), orHorizontal, clRed, clBlue,
                               percent, false, false);
    int filled = 0;
    for (int x = 0; x < 100; ++x)
      filled += At(b.get(), x, 5) == Rgb(clRed);
    EXPECT_EQ(filled, percent) << percent;
    EXPECT_EQ(At(b.get(), 99, 5), Rgb(percent == 100 ? clRed : clBlue));
  }
}

TEST(ProgressBars, LedWithoutSegmentsShowsItsBackground) {
  auto b = Board(60, 10);
  DrawLedProgressBar(b->Canvas(), TRect(0, 0, 60, 10), orHorizontal, clRed, clBlue, 0, 50, false,
                     false);
  EXPECT_EQ(At(b.get(), 5, 5), Rgb(clBlue));
  EXPECT_EQ(At(b.get(), 55, 5), Rgb(clBlue));
  // 20 segments on 60 pixels become 10 of 6; half of them lit.
  auto c = Board(60, 10);
  DrawLedProgressBar(c->Canvas(), TRect(0, 0, 60, 10), orHorizontal, clRed, clBlue, 20, 50, false,
                     false);
  EXPECT_EQ(At(c.get(), 3, 5), Rgb(clRed));
  EXPECT_EQ(At(c.get(), 27, 5), Rgb(clRed));
  EXPECT_EQ(At(c.get(), 33, 5), Rgb(clBlue));
  EXPECT_EQ(At(c.get(), 0, 5), Rgb(clBlue)); // the segment's own edge
}

TEST(Gradients, EmptyRectangleDrawsNothingAndEndsMatch) {
  auto b = Board();
  FillGradientRect(b->Canvas(), TRect(5, 5, 5, 15), gdHorizontalEnd, clRed, clBlue, 1);
  EXPECT_EQ(At(b.get(), 5, 10), Rgb(clWhite));
  FillGradientRect(b->Canvas(), TRect(0, 0, 20, 20), gdHorizontalEnd, clBlack, clWhite, 1);
  EXPECT_EQ(At(b.get(), 10, 0), Rgb(clBlack));
  EXPECT_GE(GetRValue(At(b.get(), 10, 19)), 0xF0);
  EXPECT_LT(GetRValue(At(b.get(), 10, 5)), GetRValue(At(b.get(), 10, 15)));
  FillGradientRect(b->Canvas(), TRect(0, 0, 20, 20), gdVerticalEnd, clBlack, clWhite, 1);
  EXPECT_EQ(At(b.get(), 0, 10), Rgb(clBlack));
  EXPECT_LT(GetRValue(At(b.get(), 5, 10)), GetRValue(At(b.get(), 15, 10)));
}

} // namespace
