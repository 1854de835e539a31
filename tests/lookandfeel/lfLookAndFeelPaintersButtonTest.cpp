// Buttons of every painter in every state, metrics of the base painter and
// the colour defaults that follow each other.
#include <gtest/gtest.h>

#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lxOffice11.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

const COLORREF White = RGB(255, 255, 255);

struct ButtonCase {
  const char* Name;
  TlfLookAndFeelPainterClass Painter;
  TlfElementState State;
  TColor Outer, Second, Face; // (0, 0), (1, 1), the centre
  TColor OuterBottomRight;    // (W - 1, H - 1)
};

std::vector<ButtonCase> ButtonCases() {
  auto Std = TlfStandardLookAndFeelPainter::Class();
  auto Flat = TlfFlatLookAndFeelPainter::Class();
  auto Ultra = TlfUltraFlatLookAndFeelPainter::Class();
  auto Off = TlfOffice11LookAndFeelPainter::Class();
  auto Base = TlfCustomLookAndFeelPainter::Class();
  auto Oc = [](int n) { return Office11Color(n); };
  return {
      {"base normal", Base, esNormal, clBtnFace, clBtnFace, clBtnFace, clBtnFace},
      {"standard default", Std, esDefault, clBlack, clBtnHighlight, clBtnFace, clBlack},
      {"standard normal", Std, esNormal, clBtnHighlight, cl3DLight, clBtnFace, cl3DDkShadow},
      {"standard hot", Std, esHot, clBtnHighlight, cl3DLight, clBtnFace, cl3DDkShadow},
      {"standard pressed", Std, esPressed, clBlack, clBtnShadow, clBtnFace, clBlack},
      {"standard disabled", Std, esDisabled, clBtnHighlight, cl3DLight, clBtnFace, cl3DDkShadow},
      {"flat default", Flat, esDefault, clBlack, clBtnHighlight, clBtnFace, clBlack},
      {"flat normal", Flat, esNormal, clBtnHighlight, clBtnFace, clBtnFace, clBtnShadow},
      {"flat pressed", Flat, esPressed, clBtnShadow, clBtnFace, clBtnFace, clBtnHighlight},
      {"ultra-flat default", Ultra, esDefault, clWindowFrame, clWindowFrame, clBtnFace,
       clWindowFrame},
      {"ultra-flat normal", Ultra, esNormal, clBtnText, clBtnFace, clBtnFace, clBtnText},
      {"ultra-flat hot", Ultra, esHot, clHighlight, LightSelectionColor(), LightSelectionColor(),
       clHighlight},
      {"ultra-flat pressed", Ultra, esPressed, clHighlight, LightBorderColor(), LightBorderColor(),
       clHighlight},
      {"ultra-flat disabled", Ultra, esDisabled, clBtnShadow, clBtnFace, clBtnFace, clBtnShadow},
      {"office default", Off, esDefault, clWindowFrame, clWindowFrame, Oc(0), clWindowFrame},
      {"office normal", Off, esNormal, clBtnText, Oc(0), Oc(0), clBtnText},
      {"office hot", Off, esHot, Oc(41), Oc(42), Oc(42), Oc(41)},
      {"office pressed", Off, esPressed, Oc(41), Oc(44), Oc(44), Oc(41)},
      {"office disabled", Off, esDisabled, Oc(52), clBtnFace, clBtnFace, Oc(52)},
  };
}

class lfPainterButtons : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_GE(ScreenBitsPerPixel(), 24);
    AddOffice11ColorsUser();
  }
  void TearDown() override { RemoveOffice11ColorsUser(); }
};

TEST_F(lfPainterButtons, FramesAndFacesByPainterAndState) {
  for (const auto& c : ButtonCases()) {
    PainterSurface S(40, 22);
    c.Painter->PaintButton(S.C(), TRect(0, 0, 40, 22), L"", c.State, true, clDefault, clDefault,
                           false);
    EXPECT_EQ(S.At(0, 0), RGBOf(c.Outer)) << c.Name;
    EXPECT_EQ(S.At(1, 1), RGBOf(c.Second)) << c.Name;
    EXPECT_EQ(S.At(39, 21), RGBOf(c.OuterBottomRight)) << c.Name;
    EXPECT_EQ(S.At(20, 11), RGBOf(c.Face)) << c.Name;
  }
}

TEST_F(lfPainterButtons, BorderWidthsAndGlyphShift) {
  struct {
    TlfLookAndFeelPainterClass Painter;
    int Normal, Default, Shift;
  } Cases[] = {{TlfCustomLookAndFeelPainter::Class(), 0, 0, 0},
               {TlfStandardLookAndFeelPainter::Class(), 2, 3, 1},
               {TlfFlatLookAndFeelPainter::Class(), 1, 2, 1},
               {TlfUltraFlatLookAndFeelPainter::Class(), 1, 2, 0},
               {TlfOffice11LookAndFeelPainter::Class(), 1, 2, 0}};
  for (const auto& c : Cases) {
    EXPECT_EQ(c.Painter->ButtonBorderWidth(esNormal), c.Normal);
    EXPECT_EQ(c.Painter->ButtonBorderWidth(esDefault), c.Default);
    EXPECT_EQ(c.Painter->ButtonPressedShift(), c.Shift);
  }
}

// The caption's pixels of a pressed button against a normal one.
POINT CaptionShift(TlfLookAndFeelPainterClass P) {
  RECT Box[2];
  TlfElementState States[2] = {esNormal, esPressed};
  for (int i = 0; i < 2; ++i) {
    PainterSurface S(60, 24);
    P->PaintButton(S.C(), TRect(0, 0, 60, 24), L"Xy", States[i], false, clWhite, clBlack, false);
    RECT Area{4, 4, 56, 20};
    Box[i] = S.BoundsOfNot(White, &Area);
  }
  return POINT{Box[1].left - Box[0].left, Box[1].top - Box[0].top};
}

TEST_F(lfPainterButtons, PressedCaptionMovesByThePressedShift) {
  POINT Std = CaptionShift(TlfStandardLookAndFeelPainter::Class());
  EXPECT_EQ(Std.x, 1);
  EXPECT_EQ(Std.y, 1);
  POINT Ultra = CaptionShift(TlfUltraFlatLookAndFeelPainter::Class());
  EXPECT_EQ(Ultra.x, 0);
  EXPECT_EQ(Ultra.y, 0);
}

TEST_F(lfPainterButtons, ShortFacesLiftTheirCaptionByOnePixel) {
  // The caption of a face of H rows lands where centred text of the text area lands.
  auto Box = [](int H, const TRect* TextArea) {
    PainterSurface S(40, 30);
    if (TextArea) {
      S.Canvas()->Font()->SetColor(clBlack);
      S.C()->DrawTextInRect(L"X", *TextArea, 4 | 32 | 64 | 512);
    } else
      TlfCustomLookAndFeelPainter::Class()->PaintButton(S.C(), TRect(0, 0, 40, H), L"X", esNormal,
                                                        false, clWhite, clBlack, false);
    return S.BoundsOfNot(White).top;
  };
  // 17 rows lose the odd bottom row and, being below 18, move up by one.
  TRect Lifted(0, -1, 40, 16), Even(0, 0, 40, 18);
  EXPECT_EQ(Box(17, nullptr), Box(0, &Lifted));
  EXPECT_EQ(Box(16, nullptr), Box(0, &Lifted));
  // 19 rows become 18 and stay.
  EXPECT_EQ(Box(19, nullptr), Box(0, &Even));
}

TEST_F(lfPainterButtons, EmptyCaptionStillFillsTheFace) {
  PainterSurface S(20, 20);
  TlfCustomLookAndFeelPainter::Class()->PaintButton(S.C(), TRect(2, 2, 18, 18), L"", esNormal, true,
                                                    clRed, clDefault, false);
  EXPECT_EQ(S.Count(RGB(255, 0, 0)), 16 * 16);
}

TEST(lfPainterBase, FocusBoundsOfNarrowRectangles) {
  auto B = TlfCustomLookAndFeelPainter::Class();
  TRect Narrow(0, 0, 8, 30);
  TRect F = B->ButtonFocusBounds(nullptr, Narrow);
  EXPECT_TRUE(F == Narrow);
  TRect Wide(0, 0, 20, 30);
  EXPECT_TRUE(B->ButtonFocusBounds(nullptr, Wide) == TRect(4, 4, 16, 26));
  // Ultra-flat: 3 pixels, 6 wide or less stays.
  auto U = TlfUltraFlatLookAndFeelPainter::Class();
  EXPECT_TRUE(U->ButtonFocusBounds(nullptr, Wide) == TRect(3, 3, 17, 27));
  EXPECT_TRUE(U->ButtonFocusBounds(nullptr, TRect(0, 0, 6, 30)) == TRect(0, 0, 6, 30));
}

TEST(lfPainterBase, BackgroundTransparentOrIgnoringTheBitmap) {
  auto B = TlfCustomLookAndFeelPainter::Class();
  TBitmap Tile;
  Tile.SetPixelFormat(pf24bit);
  Tile.SetSize(2, 2);
  Tile.Canvas()->Brush()->SetColor(clRed);
  Tile.Canvas()->FillRect(TRect(0, 0, 2, 2));
  PainterSurface S(10, 10);
  B->PaintBackground(S.C(), TRect(0, 0, 10, 10), true, clBlue, nullptr);
  EXPECT_EQ(S.Count(White), 100);
  B->PaintBackground(S.C(), TRect(0, 0, 10, 10), false, clBlue, &Tile);
  EXPECT_EQ(S.Count(RGB(0, 0, 255)), 100);
  B->PaintBackground(S.C(), TRect(0, 0, 10, 10), true, clBlue, &Tile);
  EXPECT_EQ(S.Count(RGB(255, 0, 0)), 100);
}

TEST(lfPainterBase, CellContentWithAnEventThatPaintsDrawsOnlyTheText) {
  auto B = TlfCustomLookAndFeelPainter::Class();
  PainterSurface S(40, 20);
  int Calls = 0;
  TlfPaintBackgroundEvent Paints = [&](TlfCanvas*, const TRect&) {
    ++Calls;
    return true;
  };
  B->PaintCellContent(S.C(), TRect(0, 0, 40, 20), TRect(0, 0, 40, 20), esNormal, taLeftJustify,
                      valTop, false, false, L"Ab", nullptr, clBlack, clBlue, Paints, false);
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(S.Count(RGB(0, 0, 255)), 0);
  EXPECT_GT(S.Count(0), 0);
  // An event that declines: the back colour is filled.
  B->PaintCellContent(
      S.C(), TRect(0, 0, 40, 20), TRect(0, 0, 40, 20), esNormal, taLeftJustify, valTop, false,
      false, L"", nullptr, clBlack, clBlue, [](TlfCanvas*, const TRect&) { return false; }, false);
  EXPECT_EQ(S.Count(RGB(0, 0, 255)), 800);
}

TEST(lfPainterBase, HeaderWidthSubtractsTheRightBorder) {
  PainterSurface S(10, 10);
  auto P = TlfStandardLookAndFeelPainter::Class(); // header border 1
  int Text = S.Canvas()->TextWidth(L"Name");
  EXPECT_EQ(P->HeaderWidthFor(S.C(), bLeft | bRight, L"Name", nullptr), Text + 4);
  EXPECT_EQ(P->HeaderWidthFor(S.C(), bLeft, L"Name", nullptr), Text + 5);
  EXPECT_EQ(P->HeaderWidthFor(S.C(), bRight, L"Name", nullptr), Text + 3);
}

// A painter that changes the colours others follow.
class TRecolouredPainter : public TlfCustomLookAndFeelPainter {
public:
  TColor StyleColor1() const override { return clRed; }
  TColor StyleColor15() const override { return clLime; }
  TColor StyleColor22() const override { return clAqua; }
  TColor StyleColor32() const override { return clYellow; }
  TColor StyleColor46() const override { return clFuchsia; }
  TColor StyleColor6(bool IsDisabled) const override { return IsDisabled ? clGray : clSilver; }
};

TEST(lfPainterBase, ColourDefaultsFollowTheirTargets) {
  TRecolouredPainter P;
  EXPECT_EQ(P.StyleColor2(), clRed);
  EXPECT_EQ(P.StyleColor3(), clRed);
  EXPECT_EQ(P.StyleColor28(), clLime);
  EXPECT_EQ(P.StyleColor30(), clAqua);
  EXPECT_EQ(P.StyleColor33(), clYellow);
  EXPECT_EQ(P.StyleColor43(), clFuchsia);
  EXPECT_EQ(P.StyleColor5(true), clGray);
  EXPECT_EQ(P.StyleColor5(false), clSilver);
  auto B = TlfCustomLookAndFeelPainter::Class();
  EXPECT_EQ(B->StyleColor2(), clWindow);
  EXPECT_EQ(B->StyleColor39(), TColor(0x009D9DA1));
  EXPECT_EQ(B->StyleColor7(true), clDefault);
}

TEST(lfPainterBase, NavigationButtonLayout) {
  auto B = TlfCustomLookAndFeelPainter::Class();
  TRect Bounds(0, 0, 20, 100), Text;
  TRect Arrow = B->NavButtonLayout(true, true, SIZE{0, 0}, SIZE{0, 0}, Bounds, Text);
  EXPECT_TRUE(Text.IsEmpty());
  // Compact: 3 arrow heights plus the borders, centred vertically.
  EXPECT_EQ(Bounds.Height(), 21 + 12);
  EXPECT_EQ(Bounds.Top, (100 - 12 - 21) / 2);
  EXPECT_EQ(Arrow.Width(), 7);
  EXPECT_EQ(Arrow.Height(), 7);
  // A caption longer than the room grows the button both ways.
  Bounds = TRect(0, 0, 20, 100);
  Arrow = B->NavButtonLayout(false, false, SIZE{90, 10}, SIZE{10, 10}, Bounds, Text);
  int Room = (100 - 12) - 21 - 5 - 14;
  int D = 90 - Room;
  EXPECT_EQ(Text.Height(), Room + 2 * D);
  EXPECT_EQ(Bounds.Top, -D);
  EXPECT_EQ(Bounds.Bottom, 100 + D);
}

TEST(lfPainterBase, UltraFlatGroupBorderWidths) {
  auto U = TlfUltraFlatLookAndFeelPainter::Class();
  EXPECT_TRUE(U->GroupButtonBorderWidths(3, 0) == TRect(2, 2, 1, 2));
  EXPECT_TRUE(U->GroupButtonBorderWidths(3, 1) == TRect(1, 2, 1, 2));
  EXPECT_TRUE(U->GroupButtonBorderWidths(3, 2) == TRect(1, 2, 2, 2));
  EXPECT_TRUE(U->GroupButtonBorderWidths(1, 0) == TRect(2, 2, 1, 2));
}

} // namespace

namespace {

TEST(lfPainterBase, NavigationButtonWithACaptionWritesItDownward) {
  auto B = TlfStandardLookAndFeelPainter::Class();
  TRect Bounds(0, 0, 22, 120), Text;
  TRect Arrow = B->NavButtonLayout(true, false, SIZE{40, 12}, SIZE{30, 12}, Bounds, Text);
  PainterSurface S(22, 120, RGB(0, 255, 0));
  S.Canvas()->Font()->SetColor(clBlack);
  B->PaintNavButton(S.C(), Bounds, true, esNormal, L"Next", Text, Arrow);
  // The face covers the bounds; the caption's pixels lie in the text rectangle.
  EXPECT_EQ(S.Count(RGB(0, 255, 0)), 0);
  RECT Area{Text.Left, Text.Top, Text.Right, Text.Bottom};
  RECT Ink = S.BoundsOfNot(RGBOf(clBtnFace), &Area);
  EXPECT_GT(Ink.bottom - Ink.top, Ink.right - Ink.left);                // written top to bottom
  EXPECT_EQ(S.At(Arrow.Right - 1, (Arrow.Top + Arrow.Bottom) / 2), 0u); // the chevron's bar
}

} // namespace
