// Glyph geometry of the base painter, checked on pixels.
#include <gtest/gtest.h>

#include "lookandfeel/lfLookAndFeelPainters.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

const COLORREF White = RGB(255, 255, 255), Black = 0;

TlfLookAndFeelPainterClass Base() {
  return TlfCustomLookAndFeelPainter::Class();
}

void ExpectRect(const RECT& R, int l, int t, int r, int b) {
  EXPECT_EQ(R.left, l);
  EXPECT_EQ(R.top, t);
  EXPECT_EQ(R.right, r);
  EXPECT_EQ(R.bottom, b);
}

TEST(lfPainterGlyphs, ArrowTriangleCorners) {
  struct Case {
    TRect R;
    TlfArrowKind Dir;
    bool Square;
    std::vector<TPoint> Points;
  } Cases[] = {
      // 16 x 10 narrowed to 10 x 10: Size 3, 5 wide and 3 high.
      {TRect(0, 0, 16, 10), TlfArrowKind::akUp, true, {{7, 4}, {5, 6}, {9, 6}}},
      {TRect(0, 0, 16, 10), TlfArrowKind::akDown, true, {{5, 4}, {9, 4}, {7, 6}}},
      // Not squared: sized from the height, 3 wide and 5 high.
      {TRect(0, 0, 10, 10), TlfArrowKind::akRight, false, {{3, 3}, {3, 7}, {5, 5}}},
      {TRect(0, 0, 10, 10), TlfArrowKind::akLeft, false, {{3, 5}, {5, 3}, {5, 7}}},
      // Halves of odd sums round away from zero vertically, toward zero horizontally.
      {TRect(-10, -9, 0, 0), TlfArrowKind::akUp, false, {{-5, -6}, {-7, -4}, {-3, -4}}},
  };
  for (const auto& c : Cases) {
    auto P = ArrowTriangle(c.R, c.Dir, c.Square, 0);
    ASSERT_EQ(P.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(P[i].X, c.Points[i].X) << int(c.Dir) << " point " << i;
      EXPECT_EQ(P[i].Y, c.Points[i].Y) << int(c.Dir) << " point " << i;
    }
  }
}

TEST(lfPainterGlyphs, ArrowPixelsFillTheTriangle) {
  PainterSurface S(16, 10);
  Base()->PaintArrow(S.C(), TRect(0, 0, 16, 10), TlfArrowKind::akUp, clBlack);
  ExpectRect(S.BoundsOfNot(White), 5, 4, 10, 7);
  EXPECT_EQ(S.At(7, 4), Black); // apex
  EXPECT_EQ(S.At(6, 4), White);
  EXPECT_EQ(S.Count(Black), 1 + 3 + 5);
}

TEST(lfPainterGlyphs, DropDownTriangleSizes) {
  struct {
    int Width, GlyphW, GlyphH;
  } Cases[] = {{12, 7, 4}, {10, 5, 3}, {15, 7, 4}};
  for (const auto& c : Cases) {
    PainterSurface S(c.Width, 12);
    Base()->PaintDropDownGlyph(S.C(), TRect(0, 0, c.Width, 12), clBlack);
    RECT B = S.BoundsOfNot(White);
    EXPECT_EQ(B.right - B.left, c.GlyphW) << c.Width;
    EXPECT_EQ(B.bottom - B.top, c.GlyphH) << c.Width;
    EXPECT_EQ(B.left, (c.Width - c.GlyphW) / 2) << c.Width;
  }
}

TEST(lfPainterGlyphs, PlusAndMinusSigns) {
  PainterSurface S(11, 11);
  ExpandSign(S.C(), TRect(0, 0, 11, 11), false, clBlack);
  ExpectRect(S.BoundsOfNot(White), 2, 2, 9, 9); // arms of 3 around the centre pixel
  EXPECT_EQ(S.Count(Black), 13);
  S.Clear(White);
  ExpandSign(S.C(), TRect(0, 0, 11, 11), true, clBlack);
  ExpectRect(S.BoundsOfNot(White), 2, 5, 9, 6);
}

TEST(lfPainterGlyphs, CloseCrossMovesOnlyWhenTheGlyphIsPressed) {
  struct {
    TlfLookAndFeelPainterClass Painter;
    TlfElementState State;
    int Shift;
  } Cases[] = {
      {TlfCustomLookAndFeelPainter::Class(), esNormal, 0},
      {TlfCustomLookAndFeelPainter::Class(), esPressed, 1},
      {TlfStandardLookAndFeelPainter::Class(), esPressed, 1},
      // Ultra-flat glyphs never move.
      {TlfUltraFlatLookAndFeelPainter::Class(), esPressed, 0},
  };
  for (const auto& c : Cases) {
    PainterSurface S(20, 20);
    c.Painter->PaintCloseButton(S.C(), TRect(0, 0, 20, 20), c.State);
    COLORREF Glyph = RGBOf(c.Painter->ButtonGlyphColor(c.State, clDefault));
    RECT Inner{3, 3, 17, 17};
    // The cross is two pixels thick: 8 columns, 7 rows.
    RECT B{20, 20, 0, 0};
    for (int y = Inner.top; y < Inner.bottom; ++y)
      for (int x = Inner.left; x < Inner.right; ++x)
        if (S.At(x, y) == Glyph) {
          B.left = std::min<LONG>(B.left, x);
          B.top = std::min<LONG>(B.top, y);
          B.right = std::max<LONG>(B.right, x + 1);
          B.bottom = std::max<LONG>(B.bottom, y + 1);
        }
    EXPECT_EQ(B.left, 6 + c.Shift) << int(c.State);
    EXPECT_EQ(B.top, 6 + c.Shift) << int(c.State);
    EXPECT_EQ(B.right - B.left, 8);
    EXPECT_EQ(B.bottom - B.top, 7);
  }
}

TEST(lfPainterGlyphs, CheckMarkIsThreePixelsThick) {
  PainterSurface S(13, 13);
  Base()->PaintCheckMark(S.C(), TRect(0, 0, 13, 13), esNormal, true, clBlack);
  COLORREF Face = RGBOf(clWindow);
  EXPECT_EQ(S.At(5, 8), Face);
  EXPECT_EQ(S.At(5, 9), Black);
  EXPECT_EQ(S.At(5, 10), Black);
  EXPECT_EQ(S.At(5, 11), Black);
  EXPECT_EQ(S.At(5, 12), Face);
  // Unchecked: only the face.
  Base()->PaintCheckMark(S.C(), TRect(0, 0, 13, 13), esPressed, false, clBlack);
  EXPECT_EQ(S.Count(RGBOf(clBtnFace)), 13 * 13);
}

TEST(lfPainterGlyphs, RowMarkerBars) {
  PainterSurface S(20, 20);
  Base()->PaintRowMarkerBars(S.C(), TRect(0, 0, 20, 20), clBlack);
  EXPECT_EQ(S.Count(Black), 5 * 12 + 3);
  for (int y : {5, 9, 13})
    EXPECT_EQ(S.At(3, y), Black) << y;
  for (int y : {7, 11})
    EXPECT_EQ(S.At(3, y), White) << y;
  EXPECT_EQ(S.At(4, 5), White);
  EXPECT_EQ(S.At(5, 5), Black);
  EXPECT_EQ(S.At(16, 5), Black);
  EXPECT_EQ(S.At(17, 5), White);
}

TEST(lfPainterGlyphs, CalendarArrowsFollowTheirSet) {
  auto Count = [](TlfCalendarArrows a) {
    PainterSurface S(60, 20);
    CalendarArrows(Base(), S.C(), TRect(0, 0, 60, 20), a, 4, clRed);
    return S.Count(RGB(255, 0, 0));
  };
  int None = Count(TlfCalendarArrows::caNone), Left = Count(TlfCalendarArrows::caLeft),
      Right = Count(TlfCalendarArrows::caRight), Both = Count(TlfCalendarArrows::caBoth);
  EXPECT_EQ(None, 0);
  EXPECT_GT(Left, 0);
  EXPECT_GT(Right, 0);
  EXPECT_EQ(Both, Left + Right);
}

TEST(lfPainterGlyphs, ClockDotsSurviveTheFaceFill) {
  PainterSurface S(60, 60, Black);
  // 6:30:45: no hand reaches the dots.
  Base()->PaintClock(S.C(), TRect(0, 0, 60, 60), EncodeTime(6, 30, 45, 0), clWhite);
  EXPECT_EQ(S.Count(RGB(0, 255, 255)), 12 * 3); // three aqua pixels per dot
  const COLORREF Teal = RGB(0, 128, 128);
  for (auto p : {POINT{58, 30}, POINT{30, 58}, POINT{2, 30}, POINT{30, 2}})
    EXPECT_EQ(S.At(p.x, p.y), Teal) << p.x << "," << p.y;
  // The face is filled around the dots; the second hand points left in red.
  EXPECT_EQ(S.At(45, 15), White);
  EXPECT_EQ(S.At(20, 30), RGB(255, 0, 0));
}

TEST(lfPainterGlyphs, NavigationChevron) {
  PainterSurface S(7, 7);
  Base()->PaintNavArrow(S.C(), TRect(0, 0, 7, 7), true, clBlack);
  // A bar at the right edge, two-pixel strokes running from the left corners inward.
  for (int y = 0; y < 7; ++y)
    EXPECT_EQ(S.At(6, y), Black) << y;
  EXPECT_EQ(S.At(0, 0), Black);
  EXPECT_EQ(S.At(1, 0), Black);
  EXPECT_EQ(S.At(2, 0), White);
  EXPECT_EQ(S.At(0, 6), Black);
  EXPECT_EQ(S.At(3, 3), Black);
  EXPECT_EQ(S.At(0, 3), White);
}

} // namespace
