// Radio-button images, row markers, scroll-bar patterns and the registry of
// extended-style painters.
#include <gtest/gtest.h>

#include <set>

#include "lookandfeel/lfLibrary.h"
#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lxOffice11.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

const COLORREF White = RGB(255, 255, 255);

class lfPainterImages : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_GE(ScreenBitsPerPixel(), 24);
    AddOffice11ColorsUser();
  }
  void TearDown() override { RemoveOffice11ColorsUser(); }
};

TEST_F(lfPainterImages, SlotsCoverEveryCombinationInBuildOrder) {
  EXPECT_EQ(TlfRadioButtonImageList::ImageMapSlot(lfFlat, esNormal, false, false, false), 0);
  EXPECT_EQ(TlfRadioButtonImageList::ImageMapSlot(lfOffice11, esDisabled, true, true, true), 127);
  std::set<int> Slots;
  int Order = 0;
  bool InOrder = true;
  for (int F = 0; F <= 1; ++F)
    for (int D = 0; D <= 1; ++D)
      for (int K = lfFlat; K <= lfOffice11; ++K)
        for (int C = 0; C <= 1; ++C)
          for (int S = esNormal; S <= esDisabled; ++S) {
            int Slot = TlfRadioButtonImageList::ImageMapSlot(TlfLookAndFeelKind(K),
                                                             TlfElementState(S), C, F, D);
            Slots.insert(Slot);
            InOrder = InOrder && Slot == Order++;
          }
  EXPECT_EQ(Slots.size(), 128u);
  EXPECT_TRUE(InOrder);
  auto* Images = RadioButtonImages();
  ASSERT_NE(Images, nullptr);
  EXPECT_EQ(Images->ImageList()->Count(), 128);
  EXPECT_EQ(Images->ImageIndexOf(lfUltraFlat, esHot, true, false, true),
            TlfRadioButtonImageList::ImageMapSlot(lfUltraFlat, esHot, true, false, true));
  // A second build while the images exist adds nothing.
  Images->BuildImages();
  EXPECT_EQ(Images->ImageList()->Count(), 128);
}

TEST_F(lfPainterImages, PaletteChangeRebuildsTheImages) {
  auto* Images = RadioButtonImages();
  int Slot = TlfRadioButtonImageList::ImageMapSlot(lfOffice11, esHot, true, true, false);
  TSystemPaletteChangedNotifier Notifier(true);
  Images->ImageList()->Delete(0);
  ASSERT_EQ(Images->ImageList()->Count(), 127);
  Notifier.FireChanged();
  EXPECT_EQ(Images->ImageList()->Count(), 128);
  EXPECT_EQ(Images->ImageIndexOf(lfOffice11, esHot, true, true, false), Slot);
}

TEST_F(lfPainterImages, RadioGeometryIsMeasured) {
  RadioButtonImages();
  const auto& G = RadioGeometry();
  EXPECT_GT(G.CW, 6);
  EXPECT_GT(G.CH, 6);
  EXPECT_GT(G.Dot.Right - G.Dot.Left, 0);
  EXPECT_GT(G.Dot.Bottom - G.Dot.Top, 0);
  const auto& P = RadioPattern();
  ASSERT_EQ(int(P.size()), G.CH);
  // Outside in the corner, body or dot in the centre, dot somewhere.
  EXPECT_EQ(P[0][0], 0);
  int Centre = P[G.CH / 2][G.CW / 2];
  EXPECT_TRUE(Centre == 5 || Centre == 6) << Centre;
  int Dots = 0, Rings = 0;
  for (const auto& Row : P)
    for (int v : Row) {
      Dots += v == 6;
      Rings += v == 1 || v == 2;
    }
  EXPECT_GT(Dots, 0);
  EXPECT_GT(Rings, 0);
}

// The colour of the centre pixel (the dot) of a radio image drawn over white.
COLORREF DotColour(TlfLookAndFeelPainterClass P, TlfElementState State, bool Checked) {
  TSize E = P->RadioButtonExtent();
  PainterSurface S(E.cx + 4, E.cy + 4);
  P->PaintRadioButton(S.C(), 2, 2, State, Checked, false, clWhite, false);
  const auto& G = RadioGeometry();
  return S.At(2 + (G.Dot.Left + G.Dot.Right) / 2 - G.X0, 2 + (G.Dot.Top + G.Dot.Bottom) / 2 - G.Y0);
}

TEST_F(lfPainterImages, DotColoursByKindAndState) {
  auto Std = TlfStandardLookAndFeelPainter::Class();
  auto Ultra = TlfUltraFlatLookAndFeelPainter::Class();
  auto Off = TlfOffice11LookAndFeelPainter::Class();
  EXPECT_EQ(DotColour(Std, esNormal, true), RGBOf(clWindowText));
  EXPECT_EQ(DotColour(Std, esDisabled, true), RGBOf(clBtnShadow));
  EXPECT_EQ(DotColour(Ultra, esDisabled, true), RGBOf(clBtnShadow));
  EXPECT_EQ(DotColour(Off, esDisabled, true), RGBOf(Office11Color(52)));
  // Unchecked: the dot takes the body colour.
  EXPECT_EQ(DotColour(Std, esNormal, false), RGBOf(clWindow));
  EXPECT_EQ(DotColour(Std, esPressed, false), RGBOf(clBtnFace));
  EXPECT_EQ(DotColour(Ultra, esHot, false), RGBOf(LightSelectionColor()));
}

TEST_F(lfPainterImages, DefaultStateDrawsAsNormal) {
  auto P = TlfFlatLookAndFeelPainter::Class();
  TSize E = P->RadioButtonExtent();
  PainterSurface A(E.cx, E.cy), B(E.cx, E.cy);
  P->PaintRadioButton(A.C(), 0, 0, esDefault, true, false, clRed, false);
  P->PaintRadioButton(B.C(), 0, 0, esNormal, true, false, clRed, false);
  for (int y = 0; y < E.cy; ++y)
    for (int x = 0; x < E.cx; ++x)
      ASSERT_EQ(A.At(x, y), B.At(x, y)) << x << "," << y;
  EXPECT_NE(A.Count(RGBOf(clWindowText)), 0);
}

TEST_F(lfPainterImages, BrushColourPaintsTheCornersOnlyWhenGiven) {
  auto P = TlfStandardLookAndFeelPainter::Class();
  TSize E = P->RadioButtonExtent();
  PainterSurface S(E.cx, E.cy, RGB(0, 255, 0));
  P->PaintRadioButton(S.C(), 0, 0, esNormal, false, false, clDefault, false);
  EXPECT_EQ(S.At(0, 0), RGB(0, 255, 0));
  P->PaintRadioButton(S.C(), 0, 0, esNormal, false, false, clRed, false);
  EXPECT_EQ(S.At(0, 0), RGB(255, 0, 0));
}

TEST_F(lfPainterImages, UltraFlatAndOfficeRingsWhileDesigning) {
  // Designing but disabled: the ultra-flat ring stays the shadow colour, the
  // Office 2003 one takes colour 52; designing and enabled lights both.
  auto Ring = [](TlfLookAndFeelPainterClass P, TlfElementState State) {
    TSize E = P->RadioButtonExtent();
    PainterSurface S(E.cx, E.cy);
    P->PaintRadioButton(S.C(), 0, 0, State, false, false, clWhite, true);
    const auto& G = RadioGeometry();
    const auto& Pat = RadioPattern();
    for (int y = 0; y < G.CH; ++y)
      for (int x = 0; x < G.CW; ++x)
        if (Pat[y][x] == 1) return S.At(x, y);
    return COLORREF(White);
  };
  auto Ultra = TlfUltraFlatLookAndFeelPainter::Class();
  auto Off = TlfOffice11LookAndFeelPainter::Class();
  EXPECT_EQ(Ring(Ultra, esDisabled), RGBOf(clBtnShadow));
  EXPECT_EQ(Ring(Ultra, esNormal), RGBOf(clHighlight));
  EXPECT_EQ(Ring(Off, esDisabled), RGBOf(Office11Color(52)));
  EXPECT_EQ(Ring(Off, esNormal), RGBOf(Office11Color(41)));
}

TEST(lfPainterRowMarkers, MissingBitmapLeavesTheMarkerEmpty) {
  DestroyRowMarkerImages();
  TBitmap Scratch;
  AddRowMarkerImage(L"LF_NO_SUCH_BITMAP", &Scratch);
  ASSERT_NE(RowMarkerImages(), nullptr);
  EXPECT_EQ(RowMarkerImages()->Count(), 1);
  PainterSurface S(20, 20);
  TlfCustomLookAndFeelPainter::Class()->PaintRowMarkerImage(S.C(), TRect(0, 0, 20, 20), rmkArrow);
  EXPECT_EQ(S.Count(White), 400);
  // Kinds beyond the list and rmkNone draw nothing either.
  TlfCustomLookAndFeelPainter::Class()->PaintRowMarkerImage(S.C(), TRect(0, 0, 20, 20), rmkFilter);
  EXPECT_EQ(S.Count(White), 400);
  DestroyRowMarkerImages();
  EXPECT_EQ(RowMarkerImages(), nullptr);
}

TEST(lfPainterRowMarkers, StartUpMakesSixImages) {
  // The library's start-up runs the painters' step.
  ASSERT_TRUE(lfPaintersUnitStep().Init);
  lfPaintersUnitStep().Init();
  ASSERT_NE(RowMarkerImages(), nullptr);
  EXPECT_EQ(RowMarkerImages()->Count(), 6);
  EXPECT_EQ(RowMarkerImages()->Width(), 8);
  EXPECT_EQ(RowMarkerImages()->Height(), 9);
  // The arrow marker, centred: 1 + 2 + 3 + 4 + 5 + 4 + 3 + 2 + 1 black pixels.
  PainterSurface S(20, 21);
  TlfCustomLookAndFeelPainter::Class()->PaintRowMarkerImage(S.C(), TRect(0, 0, 20, 21), rmkArrow);
  EXPECT_EQ(S.Count(0), 25);
  RECT B = S.BoundsOfNot(White);
  EXPECT_EQ(B.left, 6 + 2);
  EXPECT_EQ(B.top, 6);
  EXPECT_EQ(B.right - B.left, 5);
  EXPECT_NE(ExtendedStyleRegistry(), nullptr);
  EXPECT_GT(CheckBoxGlyphSize().cx, 0);
  lfPaintersUnitStep().Done();
  EXPECT_EQ(RowMarkerImages(), nullptr);
  EXPECT_EQ(ExtendedStyleRegistry(), nullptr);
  EXPECT_EQ(ScrollBarPattern(0), nullptr);
}

TEST(lfPainterPatterns, CheckerboardsOfStartUpColours) {
  CreateScrollBarPatterns();
  ASSERT_NE(ScrollBarPattern(0), nullptr);
  ASSERT_NE(ScrollBarPattern(1), nullptr);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool Odd = (x + y) % 2;
      EXPECT_EQ(RGBOf(ScrollBarPattern(0)->Canvas()->Pixels(x, y)),
                RGBOf(Odd ? clBtnHighlight : clBtnFace));
      EXPECT_EQ(RGBOf(ScrollBarPattern(1)->Canvas()->Pixels(x, y)),
                RGBOf(Odd ? cl3DDkShadow : clBlack));
    }
  // A page area is tiled with the pattern; a pressed one with the dark pattern.
  PainterSurface S(16, 16);
  auto P = TlfFlatLookAndFeelPainter::Class();
  P->PaintScrollBarPart(S.C(), false, TRect(0, 0, 16, 16), scpPageUp, esPressed);
  EXPECT_EQ(S.At(0, 0), 0u);
  EXPECT_EQ(S.At(1, 0), RGBOf(cl3DDkShadow));
  P->PaintScrollBarPart(S.C(), false, TRect(0, 0, 16, 16), scpPageDown, esNormal);
  EXPECT_EQ(S.At(9, 0), RGBOf(clBtnHighlight));
  DestroyScrollBarPatterns();
}

class FakeListener : public IPainterChangeListener {
public:
  void PainterChanged() override {}
};

TEST(lfPainterRegistry, NamesIgnoreAsciiCaseAndListenersAreKeptOnce) {
  TlfExtendedStylePainters R;
  TlfExtendedStylePainterEntry* E = nullptr;
  EXPECT_EQ(R.FindEntryByName(L"Any", E), -1);
  R.Add(new TlfExtendedStylePainterEntry(L"Blue Sky", TlfFlatLookAndFeelPainter::Class()));
  R.Add(new TlfExtendedStylePainterEntry(L"Night", TlfOffice11LookAndFeelPainter::Class()));
  EXPECT_EQ(R.FindEntryByName(L"NIGHT", E), 1);
  EXPECT_EQ(E->Painter, TlfOffice11LookAndFeelPainter::Class());
  TlfLookAndFeelPainterClass P = TlfStandardLookAndFeelPainter::Class();
  EXPECT_FALSE(R.PainterByName(L"Nights", P));
  EXPECT_EQ(P, TlfStandardLookAndFeelPainter::Class());
  EXPECT_TRUE(R.PainterByName(L"blue sky", P));
  EXPECT_EQ(P, TlfFlatLookAndFeelPainter::Class());
  FakeListener A, B;
  R.AddPainterListener(&A);
  R.AddPainterListener(&A);
  R.AddPainterListener(&B);
  EXPECT_EQ(R.ListenerCount(), 2);
  R.RemovePainterListener(&A);
  R.RemovePainterListener(&A);
  EXPECT_EQ(R.ListenerCount(), 1);
}

TEST(lfPainterChoice, PaintStylesMapToKinds) {
  struct {
    TlfLookAndFeelPainterClass Painter;
    TlfPaintStyle Style;
    TlfLookAndFeelKind Kind;
  } Cases[] = {
      {TlfCustomLookAndFeelPainter::Class(), psStandard, lfStandard},
      {TlfStandardLookAndFeelPainter::Class(), psStandard, lfStandard},
      {TlfFlatLookAndFeelPainter::Class(), psFlat, lfFlat},
      {TlfUltraFlatLookAndFeelPainter::Class(), psUltraFlat, lfUltraFlat},
      {TlfOffice11LookAndFeelPainter::Class(), psOffice11, lfOffice11},
      {TlfWinXPLookAndFeelPainter::Class(), psNative, lfStandard},
  };
  for (const auto& c : Cases) {
    EXPECT_EQ(c.Painter->PaintStyle(), c.Style);
    EXPECT_EQ(PaintStyleToKind(c.Painter->PaintStyle()), c.Kind);
  }
  // The Office 2003 painter is an ultra-flat one, the XP painter a standard one.
  EXPECT_NE(
      dynamic_cast<const TlfUltraFlatLookAndFeelPainter*>(TlfOffice11LookAndFeelPainter::Class()),
      nullptr);
  EXPECT_NE(dynamic_cast<const TlfStandardLookAndFeelPainter*>(TlfWinXPLookAndFeelPainter::Class()),
            nullptr);
}

} // namespace
