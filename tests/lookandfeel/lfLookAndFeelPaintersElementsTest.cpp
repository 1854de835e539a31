// Element details of the standard, flat, ultra-flat and Office 2003 painters.
#include <gtest/gtest.h>

#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lxOffice11.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

const COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Black = 0;

TlfLookAndFeelPainterClass Std() {
  return TlfStandardLookAndFeelPainter::Class();
}
TlfLookAndFeelPainterClass Flat() {
  return TlfFlatLookAndFeelPainter::Class();
}
TlfLookAndFeelPainterClass Ultra() {
  return TlfUltraFlatLookAndFeelPainter::Class();
}
TlfOffice11LookAndFeelPainter* Office() {
  return static_cast<TlfOffice11LookAndFeelPainter*>(TlfOffice11LookAndFeelPainter::Class());
}

TEST(lfPainterElements, ExpandButtonsLeaveTheirRectangleClippedOut) {
  for (auto P : {Std(), Flat(), Ultra()}) {
    PainterSurface S(20, 20);
    P->PaintExpandButton(S.C(), TRect(2, 2, 14, 14), false, clDefault);
    S.C()->FillColor(TRect(0, 0, 20, 20), clRed);
    EXPECT_EQ(S.Count(Red), 400 - 144);
    EXPECT_NE(S.At(8, 8), Red);
  }
}

TEST(lfPainterElements, ClassicHeadersFrameAllSidesAndSoftenNeighbourCorners) {
  PainterSurface S(30, 20);
  Std()->PaintHeaderFrame(S.C(), TRect(0, 0, 30, 20), 0, 0);
  EXPECT_EQ(S.At(0, 5), RGBOf(clBtnHighlight));
  EXPECT_EQ(S.At(29, 5), RGBOf(clBtnShadow));
  EXPECT_EQ(S.At(5, 19), RGBOf(clBtnShadow));
  Flat()->PaintHeaderFrame(S.C(), TRect(0, 0, 30, 20), bLeft | bRight, lfAllBorders);
  EXPECT_EQ(S.At(0, 1), RGBOf(clBtnFace));
  EXPECT_EQ(S.At(0, 18), RGBOf(clBtnFace));
  EXPECT_EQ(S.At(29, 0), RGBOf(clBtnHighlight));
  EXPECT_EQ(S.At(29, 1), RGBOf(clBtnFace));
  EXPECT_EQ(S.At(0, 5), RGBOf(clBtnHighlight));
}

TEST(lfPainterElements, DisabledThumbsAreNotDrawn) {
  for (auto P : {Std(), Flat(), Ultra()}) {
    PainterSurface S(17, 30);
    P->PaintScrollBarPart(S.C(), false, TRect(0, 0, 17, 30), scpThumb, esDisabled);
    EXPECT_EQ(S.Count(White), 17 * 30);
    P->PaintScrollBarPart(S.C(), false, TRect(0, 0, 17, 30), scpThumb, esNormal);
    EXPECT_LT(S.Count(White), 17 * 30);
  }
}

TEST(lfPainterElements, StandardCalendarHeaderLeavesNeighbourSidesOpen) {
  TlfViewParams VP;
  VP.Color = clWindow;
  VP.TextColor = clWindowText;
  auto Paint = [&](TlfBorders Neighbors, PainterSurface& S) {
    Std()->PaintCalendarHeader(S.C(), TRect(0, 0, 60, 20), L"", Neighbors, VP,
                               TlfCalendarArrows::caNone, 0, nullptr);
  };
  PainterSurface A(60, 20), B(60, 20), C(60, 20);
  Paint(0, A);
  Paint(bLeft, B);
  Paint(bLeft | bRight, C);
  EXPECT_EQ(A.At(0, 10), Black);
  EXPECT_EQ(A.At(59, 10), Black);
  EXPECT_NE(B.At(0, 10), Black);
  EXPECT_EQ(B.At(59, 10), Black);
  EXPECT_EQ(B.At(30, 0), Black);
  EXPECT_NE(C.At(0, 10), Black);
  EXPECT_NE(C.At(59, 10), Black);
  EXPECT_EQ(C.At(30, 19), Black);
}

TEST(lfPainterElements, UltraFlatHeadersAlwaysDrawRightAndBottom) {
  PainterSurface S(30, 20);
  Ultra()->PaintHeaderFrame(S.C(), TRect(0, 0, 30, 20), 0, 0);
  EXPECT_EQ(S.At(29, 5), RGBOf(clBtnText));
  EXPECT_EQ(S.At(5, 19), RGBOf(clBtnText));
  EXPECT_EQ(S.At(0, 5), White);
  EXPECT_EQ(S.At(5, 0), White);
}

TEST(lfPainterElements, UltraFlatNavigationFrameIsLighterWhenHot) {
  PainterSurface S(14, 22);
  Ultra()->PaintNavButtonContent(S.C(), TRect(0, 0, 14, 22), TRect(4, 7, 8, 14), true, esHot);
  EXPECT_EQ(S.At(0, 10), RGBOf(clBtnShadow));
  EXPECT_EQ(S.At(13, 10), RGBOf(clBtnFace)); // the next button is open on the right
  Ultra()->PaintNavButtonContent(S.C(), TRect(0, 0, 14, 22), TRect(4, 7, 8, 14), true, esNormal);
  EXPECT_EQ(S.At(0, 10), RGBOf(clBtnText));
}

TEST(lfPainterElements, FlatArrowsSitInsideTheBorderUltraFlatOnesOverTheButton) {
  auto ArrowWidth = [](TlfLookAndFeelPainterClass P) {
    PainterSurface S(17, 17);
    P->PaintScrollBarPart(S.C(), false, TRect(0, 0, 17, 17), scpLineUp, esNormal);
    RECT Inner{2, 2, 15, 15}, B{17, 17, 0, 0};
    for (int y = Inner.top; y < Inner.bottom; ++y)
      for (int x = Inner.left; x < Inner.right; ++x)
        if (S.At(x, y) == RGBOf(clBtnText)) {
          B.left = std::min<LONG>(B.left, x);
          B.right = std::max<LONG>(B.right, x + 1);
        }
    return int(B.right - B.left);
  };
  EXPECT_EQ(ArrowWidth(Flat()), 7);
  EXPECT_EQ(ArrowWidth(Ultra()), 9);
}

class lfOfficePainter : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_GE(ScreenBitsPerPixel(), 24);
    AddOffice11ColorsUser();
  }
  void TearDown() override { RemoveOffice11ColorsUser(); }
};

TEST_F(lfOfficePainter, CellsHotNormalAndFooter) {
  auto Cell = [](TlfElementState State, bool Footer, PainterSurface& S) {
    Office()->PaintCellContent(S.C(), TRect(1, 0, 40, 20), TRect(1, 0, 40, 20), State,
                               taLeftJustify, valTop, false, false, L"", nullptr, clBlack, clRed,
                               nullptr, Footer);
  };
  PainterSurface Hot(41, 22), Normal(41, 22), Foot(41, 22);
  Cell(esHot, false, Hot);
  Cell(esNormal, false, Normal);
  Cell(esNormal, true, Foot);
  EXPECT_EQ(Hot.At(10, 5), RGBOf(Office11Color(2)));
  EXPECT_NE(Hot.At(10, 19), RGBOf(Office11Color(2))); // the band, one row below too
  EXPECT_NE(Hot.At(10, 20), White);
  EXPECT_NE(Hot.At(0, 19), White); // and one column left
  EXPECT_EQ(Normal.At(10, 5), RGBOf(Office()->HeaderFaceColor()));
  EXPECT_NE(Normal.At(10, 19), RGBOf(Office()->HeaderFaceColor()));
  EXPECT_EQ(Normal.At(10, 20), White);
  EXPECT_EQ(Foot.At(10, 19), RGBOf(Office()->HeaderFaceColor()));
  EXPECT_EQ(Normal.Count(Red), 0); // the back colour is not used
}

TEST_F(lfOfficePainter, HeadersIgnoreTheBackgroundEvent) {
  PainterSurface S(40, 20);
  int Calls = 0;
  Office()->PaintHeader(
      S.C(), TRect(0, 0, 40, 20), TRect(0, 0, 40, 20), 0, lfAllBorders, esNormal, taLeftJustify,
      valTop, false, false, L"", nullptr, clBlack, clRed,
      [&](TlfCanvas*, const TRect&) {
        ++Calls;
        return true;
      },
      false, false);
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(S.At(10, 5), RGBOf(Office()->HeaderFaceColor()));
}

TEST_F(lfOfficePainter, PressedHeaderSectionsAreInverted) {
  PainterSurface A(40, 20), B(40, 20);
  Office()->PaintHeaderSection(A.C(), TRect(0, 0, 40, 20), TRect(0, 0, 40, 20), 0, lfAllBorders,
                               esNormal, taLeftJustify, valTop, false, false, L"", nullptr, clBlack,
                               clRed);
  Office()->PaintHeaderSection(B.C(), TRect(0, 0, 40, 20), TRect(0, 0, 40, 20), 0, lfAllBorders,
                               esPressed, taLeftJustify, valTop, false, false, L"", nullptr,
                               clBlack, clRed);
  for (POINT p : {POINT{10, 5}, POINT{0, 10}, POINT{39, 10}, POINT{20, 19}})
    EXPECT_EQ(B.At(p.x, p.y), A.At(p.x, p.y) ^ 0xFFFFFF) << p.x << "," << p.y;
}

TEST_F(lfOfficePainter, HeaderEdgesBetweenNeighbours) {
  PainterSurface S(30, 20);
  auto P = Office();
  P->PaintHeaderFrame(S.C(), TRect(0, 0, 30, 20), bLeft | bRight, lfAllBorders);
  TColor F = P->HeaderFaceColor(), Sh = P->HeaderShadeColor(), D = P->HeaderDarkColor(),
         G = P->HeaderLightColor();
  EXPECT_EQ(S.At(0, 1), RGBOf(F));
  EXPECT_EQ(S.At(0, 2), RGBOf(G));
  EXPECT_EQ(S.At(0, 16), RGBOf(G));
  EXPECT_EQ(S.At(0, 17), RGBOf(MixColors(F, Sh, 25)));
  EXPECT_EQ(S.At(0, 18), RGBOf(Sh));
  EXPECT_EQ(S.At(29, 1), RGBOf(F));
  EXPECT_EQ(S.At(29, 2), RGBOf(D));
  EXPECT_EQ(S.At(29, 17), RGBOf(MixColors(F, Sh, 25)));
  EXPECT_EQ(S.At(10, 0), RGBOf(F));
  EXPECT_EQ(S.At(10, 19), RGBOf(D));
  // Free corners are blended instead.
  P->PaintHeaderFrame(S.C(), TRect(0, 0, 30, 20), 0, bRight);
  EXPECT_EQ(S.At(29, 0), RGBOf(MixColors(F, D, 50)));
  EXPECT_EQ(S.At(29, 18), RGBOf(MixColors(Sh, D, 50)));
}

TEST_F(lfOfficePainter, GlyphColours) {
  EXPECT_EQ(Office()->ButtonGlyphColor(esDisabled, clRed), Office11Color(52));
  EXPECT_EQ(Office()->ButtonGlyphColor(esNormal, clRed), Office11Color(51));
  EXPECT_EQ(Office()->ButtonGlyphColor(esPressed, clRed),
            Office11SchemeThemed() ? Office11Color(51) : clHighlightText);
  EXPECT_EQ(Office()->CheckFaceColor(esHot), Office11Color(42));
  EXPECT_EQ(Office()->CheckFaceColor(esNormal), clWindow);
}

} // namespace
