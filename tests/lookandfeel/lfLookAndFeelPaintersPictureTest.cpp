// A picture of every painter's elements in every state, to look at; and the
// painter each look-and-feel chooses.
#include <gtest/gtest.h>

#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/lookandfeel/FakeThemeLibrary.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

const wchar_t* const StateNames[] = {L"default", L"normal", L"hot", L"pressed", L"disabled"};

// One row per state: the painter's elements left to right.
void PaintSheet(PainterSurface& S, int Top, const wchar_t* Name, TlfLookAndFeelPainterClass P) {
  TlfCanvas* C = S.C();
  TCanvas* K = S.Canvas();
  TFont Font;
  Font.SetName(L"Tahoma");
  Font.SetHeight(-11);
  K->SetFont(&Font);
  K->Brush()->SetStyle(bsClear);
  K->Font()->SetColor(clBlack);
  K->TextOut(4, Top, Name);
  TlfViewParams VP;
  VP.Color = clWindow;
  VP.Font = &Font;
  VP.TextColor = clWindowText;
  for (int st = esDefault; st <= esDisabled; ++st) {
    auto State = TlfElementState(st);
    int y = Top + 16 + st * 26;
    int x = 4;
    K->Brush()->SetStyle(bsClear);
    K->Font()->SetColor(clBlack);
    K->TextOut(x, y + 4, StateNames[st]);
    x += 56;
    auto Next = [&](int w) {
      int l = x;
      x += w + 6;
      return l;
    };
    int l = Next(64);
    P->PaintButton(C, TRect(l, y, l + 64, y + 22), L"&Button", State, true, clDefault, clDefault,
                   false);
    l = Next(17);
    P->PaintArrowButton(C, TRect(l, y, l + 17, y + 17), State, TlfArrowKind::akDown, true);
    l = Next(13);
    P->PaintCheckBox(C, TRect(l, y, l + 13, y + 13), State, cmChecked);
    l = Next(13);
    P->PaintCheckBox(C, TRect(l, y, l + 13, y + 13), State, cmGrayed);
    TSize RE = P->RadioButtonExtent();
    l = Next(RE.cx);
    P->PaintRadioButton(C, l, y, State, true, false, clDefault, false);
    TPoint CE = P->CloseButtonExtent();
    l = Next(CE.X);
    P->PaintCloseButton(C, TRect(l, y, l + CE.X, y + CE.Y), State);
    l = Next(17);
    P->PaintDropDownButton(C, TRect(l, y, l + 17, y + 20), State, false);
    l = Next(70);
    P->PaintHeaderSection(C, TRect(l, y, l + 70, y + 20), TRect(l + 4, y + 2, l + 66, y + 18), 0,
                          lfAllBorders, State, taLeftJustify, valCenter, false, true, L"Header",
                          &Font, clBtnText, clBtnFace);
    l = Next(70);
    P->PaintHeader(C, TRect(l, y, l + 70, y + 20), TRect(l + 4, y + 2, l + 66, y + 18), bLeft,
                   lfAllBorders, State, taCenter, valCenter, false, true, L"Cell", &Font, clBtnText,
                   clBtnFace, nullptr, false, false);
    l = Next(17);
    P->PaintScrollBarPart(C, false, TRect(l, y, l + 17, y + 17), scpLineUp, State);
    l = Next(17);
    P->PaintScrollBarPart(C, false, TRect(l, y, l + 17, y + 22), scpThumb, State);
    l = Next(17);
    P->PaintScrollBarPart(C, false, TRect(l, y, l + 17, y + 22), scpPageDown, State);
    l = Next(15);
    P->PaintGroupExpandButton(C, TRect(l, y, l + 15, y + 15), st % 2 == 0, State);
    l = Next(22);
    P->PaintNavButtonFace(C, TRect(l, y, l + 22, y + 22), State);
    l = Next(14);
    TRect NB(l, y, l + 14, y + 22);
    P->PaintNavButtonContent(C, NB, TRect(l + 4, y + 7, l + 8, y + 14), st % 2 == 1, State);
    l = Next(11);
    P->PaintExpandButton(C, TRect(l, y, l + 11, y + 11), st % 2 == 0, clDefault);
    l = Next(16);
    P->PaintSortMark(C, TRect(l, y, l + 16, y + 16), st % 2 == 0);
    l = Next(40);
    P->PaintRowMarker(C, TRect(l, y, l + 16, y + 20), TlfRowMarkerKind(st + 1), clBtnFace, nullptr);
    P->PaintTabArea(C, TRect(l + 20, y, l + 40, y + 20), lfAllBorders, false);
  }
  int y = Top + 16 + 5 * 26;
  int x = 60;
  P->PaintControlBorder(C, TRect(x, y, x + 60, y + 30));
  x += 66;
  P->PaintProgressBar(C, TRect(x, y, x + 100, y + 18), TRect(x + 2, y + 2, x + 60, y + 16), VP,
                      false);
  x += 106;
  P->PaintCalendarHeader(C, TRect(x, y, x + 140, y + 22), L"December 2026", 0, VP,
                         TlfCalendarArrows::caBoth, 8, nullptr);
  x += 146;
  P->PaintSplitterFrame(C, TRect(x, y, x + 60, y + 8), VP, true);
  x += 66;
  P->PaintFooterCell(C, TRect(x, y, x + 80, y + 20), taRightJustify, valCenter, false, L"Sum",
                     &Font, clWindowText, clBtnFace, nullptr);
  x += 86;
  P->PaintSizeGrip(C, TRect(x, y, x + 16, y + 16), clBtnFace);
  x += 22;
  P->PaintClock(C, TRect(x, y, x + 44, y + 44), EncodeTime(10, 8, 42, 0), clWindow);
}

void PaintAll(PainterSurface& S) {
  struct {
    const wchar_t* Name;
    TlfLookAndFeelPainterClass P;
  } Rows[] = {{L"Standard", TlfStandardLookAndFeelPainter::Class()},
              {L"Flat", TlfFlatLookAndFeelPainter::Class()},
              {L"Ultra-flat", TlfUltraFlatLookAndFeelPainter::Class()},
              {L"Office 2003", TlfOffice11LookAndFeelPainter::Class()},
              {L"XP theme", TlfWinXPLookAndFeelPainter::Class()}};
  int Top = 4;
  for (const auto& r : Rows) {
    PaintSheet(S, Top, r.Name, r.P);
    Top += 16 + 5 * 26 + 52;
  }
}

class lfPainterPicture : public testing::Test {
protected:
  void SetUp() override { lfLookAndFeelPaintersInitialize(); }
  void TearDown() override { lfLookAndFeelPaintersFinalize(); }
};

TEST_F(lfPainterPicture, EveryPainterByState) {
  AddOffice11ColorsUser();
  {
    PainterSurface S(900, 1010, RGBOf(clBtnFace));
    PaintAll(S);
    EXPECT_TRUE(S.SavePng(L"lookandfeel-painters.png"));
    // Rows differ between painters: the standard and the ultra-flat button frames.
    EXPECT_EQ(S.At(60, 4 + 16 + 26), RGBOf(clBtnHighlight));
    EXPECT_EQ(S.At(60, 4 + 2 * 198 + 16 + 26), RGBOf(clBtnText));
  }
  {
    // The XP painter through the theme-library double: themed elements show the double's fills.
    faketheme::Installed Fake;
    PainterSurface S(900, 200, RGBOf(clBtnFace));
    PaintSheet(S, 4, L"XP theme (double)", TlfWinXPLookAndFeelPainter::Class());
    EXPECT_TRUE(S.SavePng(L"lookandfeel-painters-theme-double.png"));
  }
  RemoveOffice11ColorsUser();
}

TEST_F(lfPainterPicture, LookAndFeelsChooseTheirPainters) {
  // Start-up hands the painter classes to the settings.
  EXPECT_EQ(lfPainterClass(lfFlat), TlfFlatLookAndFeelPainter::Class());
  EXPECT_EQ(lfPainterClass(lfStandard), TlfStandardLookAndFeelPainter::Class());
  EXPECT_EQ(lfPainterClass(lfUltraFlat), TlfUltraFlatLookAndFeelPainter::Class());
  EXPECT_EQ(lfPainterClass(lfOffice11), TlfOffice11LookAndFeelPainter::Class());
  EXPECT_EQ(lfWinXPPainterClass(), TlfWinXPLookAndFeelPainter::Class());
  // A registered extended-style painter is found by name through the settings' link.
  ExtendedStyleRegistry()->Add(
      new TlfExtendedStylePainterEntry(L"Ink", TlfFlatLookAndFeelPainter::Class()));
  TlfLookAndFeelPainterClass P = nullptr;
  ASSERT_TRUE(lfExtendedStyleRegistry().Exists());
  EXPECT_TRUE(lfExtendedStyleRegistry().FindPainter(L"INK", P));
  EXPECT_EQ(P, TlfFlatLookAndFeelPainter::Class());
}

TEST_F(lfPainterPicture, KindAndNativeStylePickThePainter) {
  faketheme::Installed Fake;
  TlfLookAndFeel L(nullptr);
  EXPECT_EQ(L.Painter(), TlfUltraFlatLookAndFeelPainter::Class());
  L.SetKind(lfOffice11);
  EXPECT_EQ(L.Painter(), TlfOffice11LookAndFeelPainter::Class());
  L.SetKind(lfFlat);
  EXPECT_EQ(L.Painter(), TlfFlatLookAndFeelPainter::Class());
  if (!Fake.Usable()) GTEST_SKIP() << "no theme library to bind";
  L.SetNativeStyle(true);
  EXPECT_EQ(L.Painter(), TlfWinXPLookAndFeelPainter::Class());
  // Styles switched off: back to the kind's painter at the next change.
  faketheme::S().Active = false;
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  L.SetKind(lfStandard);
  EXPECT_EQ(L.Painter(), TlfStandardLookAndFeelPainter::Class());
}

// The platform's own theme services: the test prefix runs the system's
// "Light" visual style (colour "Blue"); the tests pin it and skip under any other.
class lfPainterRealTheme : public testing::Test {
protected:
  void SetUp() override {
    lxUxThemeInitialize();
    lxThemeManagerInitialize();
    AddOffice11ColorsUser();
    wchar_t File[1024] = {}, Colour[1024] = {}, Size[1024] = {};
    if (!CanUseVisualStyles(0) ||
        FAILED(lx::GetCurrentThemeName(File, 1024, Colour, 1024, Size, 1024)))
      GTEST_SKIP() << "no visual style is active";
    std::wstring Name = File;
    for (auto& c : Name)
      c = towlower(c);
    if (Name.size() < 14 || Name.substr(Name.size() - 14) != L"light.msstyles" ||
        std::wstring(Colour) != L"Blue")
      GTEST_SKIP() << "another visual style is active";
  }
  void TearDown() override {
    RemoveOffice11ColorsUser();
    lxThemeManagerFinalize();
    lxUxThemeFinalize();
  }
};

TEST_F(lfPainterRealTheme, ButtonsAndCheckBoxesComeFromTheStyle) {
  auto XP = TlfWinXPLookAndFeelPainter::Class();
  auto Std = TlfStandardLookAndFeelPainter::Class();
  PainterSurface Themed(60, 24, RGBOf(clBtnFace)), Plain(60, 24, RGBOf(clBtnFace));
  XP->PaintButton(Themed.C(), TRect(0, 0, 60, 24), L"", esPressed, true, clDefault, clDefault,
                  false);
  Std->PaintButton(Plain.C(), TRect(0, 0, 60, 24), L"", esPressed, true, clDefault, clDefault,
                   false);
  EXPECT_NE(Themed.At(30, 12), Plain.At(30, 12));
  EXPECT_NE(Themed.At(0, 0), Plain.At(0, 0)); // no black frame: the style's own
  PainterSurface Normal(60, 24, RGBOf(clBtnFace));
  XP->PaintButton(Normal.C(), TRect(0, 0, 60, 24), L"", esNormal, true, clDefault, clDefault,
                  false);
  EXPECT_NE(Themed.At(30, 12), Normal.At(30, 12));
  // Checked and unchecked marks differ; the extent is the style's part size.
  TSize E = XP->CheckBoxExtent();
  EXPECT_GT(E.cx, 0);
  PainterSurface A(E.cx, E.cy), B(E.cx, E.cy);
  XP->PaintCheckBox(A.C(), TRect(0, 0, E.cx, E.cy), esNormal, cmChecked);
  XP->PaintCheckBox(B.C(), TRect(0, 0, E.cx, E.cy), esNormal, cmUnchecked);
  int Differ = 0;
  for (int y = 0; y < E.cy; ++y)
    for (int x = 0; x < E.cx; ++x)
      Differ += A.At(x, y) != B.At(x, y);
  EXPECT_GT(Differ, 3);
}

TEST_F(lfPainterRealTheme, FaceColourIsTheStylesOrTheInheritedOne) {
  HTHEME T = GetThemeHandle(tcButton);
  ASSERT_NE(T, nullptr);
  COLORREF c = 0;
  bool Has = SUCCEEDED(lx::GetThemeColor(T, 1, 2, 204, &c));
  EXPECT_EQ(TlfWinXPLookAndFeelPainter::Class()->ButtonFaceColor(esHot),
            Has ? TColor(c) : clBtnFace);
}

TEST_F(lfPainterRealTheme, OfficeScrollBarsAreTheThemedOnes) {
  PainterSurface A(17, 17), B(17, 17);
  TlfOffice11LookAndFeelPainter::Class()->PaintScrollBarPart(A.C(), false, TRect(0, 0, 17, 17),
                                                             scpLineUp, esHot);
  TlfWinXPLookAndFeelPainter::Class()->PaintScrollBarPart(B.C(), false, TRect(0, 0, 17, 17),
                                                          scpLineUp, esHot);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 17; ++x)
      ASSERT_EQ(A.At(x, y), B.At(x, y)) << x << "," << y;
}

TEST_F(lfPainterRealTheme, Picture) {
  PainterSurface S(900, 200, RGBOf(clBtnFace));
  PaintSheet(S, 4, L"XP theme (Light)", TlfWinXPLookAndFeelPainter::Class());
  EXPECT_TRUE(S.SavePng(L"lookandfeel-painters-theme.png"));
}

} // namespace
