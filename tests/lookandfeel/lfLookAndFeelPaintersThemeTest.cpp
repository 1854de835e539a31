// The XP theme painter's theme classes, parts and states, through a double
// of the theme library; its fallbacks when a class or the styles are missing.
#include <gtest/gtest.h>

#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lxOffice11.h"
#include "tests/lookandfeel/FakeThemeLibrary.h"
#include "tests/lookandfeel/PainterSurface.h"

namespace {

using faketheme::Calls;
using faketheme::ClearCalls;

TlfLookAndFeelPainterClass XP() {
  return TlfWinXPLookAndFeelPainter::Class();
}

// Class, part and state of every background the painter drew.
std::vector<std::tuple<std::wstring, int, int>> Backgrounds() {
  std::vector<std::tuple<std::wstring, int, int>> R;
  for (const auto& c : Calls())
    if (c.Function == L"DrawThemeBackground") R.emplace_back(c.Class, c.Part, c.State);
  return R;
}

using BG = std::vector<std::tuple<std::wstring, int, int>>;

class lfThemePainter : public testing::Test {
protected:
  void SetUp() override {
    Fake = std::make_unique<faketheme::Installed>();
    if (!Fake->Usable()) GTEST_SKIP() << "no theme library to bind";
  }
  void TearDown() override { Fake.reset(); }
  std::unique_ptr<faketheme::Installed> Fake;
  PainterSurface S{64, 32};
  TRect R{0, 0, 40, 20};
};

TEST_F(lfThemePainter, PushButtonStatesAndCaption) {
  const int Expected[] = {5, 1, 2, 3, 4};
  for (int st = esDefault; st <= esDisabled; ++st) {
    ClearCalls();
    XP()->PaintButton(S.C(), R, L"&Go", TlfElementState(st), true, clRed, clRed, true);
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].Class, L"BUTTON");
    EXPECT_EQ(Calls()[0].Part, 1);
    EXPECT_EQ(Calls()[0].State, Expected[st]);
    EXPECT_EQ(Calls()[1].Function, L"DrawThemeText");
    EXPECT_EQ(Calls()[1].State, Expected[st]);
    EXPECT_EQ(Calls()[1].Text, L"&Go");
    EXPECT_EQ(Calls()[1].Flags, DWORD(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  }
  // The colour arguments are not used: the theme's background is there.
  EXPECT_EQ(S.At(20, 10), faketheme::PartColour(1, 4));
}

TEST_F(lfThemePainter, ScrollArrowsByDirectionAndState) {
  struct {
    TlfArrowKind Dir;
    TlfElementState State;
    int Id;
  } Cases[] = {{TlfArrowKind::akUp, esNormal, 1},
               {TlfArrowKind::akUp, esDefault, 1},
               {TlfArrowKind::akDown, esHot, 6},
               {TlfArrowKind::akLeft, esPressed, 11},
               {TlfArrowKind::akRight, esDisabled, 16}};
  for (const auto& c : Cases) {
    ClearCalls();
    XP()->PaintArrowButton(S.C(), R, c.State, c.Dir, false);
    EXPECT_EQ(Backgrounds(), (BG{{L"SCROLLBAR", 1, c.Id}}));
  }
}

TEST_F(lfThemePainter, CheckBoxesShowGrayedAsUnchecked) {
  XP()->PaintCheckBox(S.C(), R, esHot, cmGrayed);
  XP()->PaintCheckBox(S.C(), R, esPressed, cmChecked);
  XP()->PaintCheckBox(S.C(), R, esDefault, cmUnchecked);
  XP()->PaintRadioButton(S.C(), 0, 0, esDisabled, true, true, clRed, true);
  EXPECT_EQ(Backgrounds(),
            (BG{{L"BUTTON", 3, 2}, {L"BUTTON", 3, 7}, {L"BUTTON", 3, 1}, {L"BUTTON", 2, 8}}));
  EXPECT_EQ(XP()->CheckFrameWidth(), 0);
}

TEST_F(lfThemePainter, ElementsTheirClassesAndStates) {
  XP()->PaintCloseButton(S.C(), R, esHot);
  XP()->PaintDropDownButton(S.C(), R, esPressed, true);
  XP()->PaintNavButtonFace(S.C(), R, esNormal);
  XP()->PaintNavButtonFace(S.C(), R, esHot);
  XP()->PaintGroupExpandButton(S.C(), R, true, esPressed);
  XP()->PaintGroupExpandButton(S.C(), R, false, esNormal);
  XP()->PaintExpandButton(S.C(), R, true, clRed);
  XP()->PaintProgressBar(S.C(), R, TRect(0, 0, 10, 20), TlfViewParams(), false);
  XP()->PaintSizeGrip(S.C(), R, clRed);
  EXPECT_EQ(Backgrounds(), (BG{{L"WINDOW", 19, 2},
                               {L"COMBOBOX", 1, 3},
                               {L"TOOLBAR", 1, 2}, // a normal face looks hot
                               {L"TOOLBAR", 1, 5}, // a hot one checked
                               {L"EXPLORERBAR", 6, 3},
                               {L"EXPLORERBAR", 7, 1},
                               {L"TREEVIEW", 2, 2},
                               {L"PROGRESS", 1, 0},
                               {L"PROGRESS", 3, 0},
                               {L"SCROLLBAR", 10, 1}}));
}

TEST_F(lfThemePainter, ScrollBarParts) {
  XP()->PaintScrollBarPart(S.C(), false, R, scpLineUp, esHot);
  XP()->PaintScrollBarPart(S.C(), true, R, scpLineDown, esPressed);
  XP()->PaintScrollBarPart(S.C(), true, R, scpThumb, esDisabled);
  XP()->PaintScrollBarPart(S.C(), false, R, scpPageUp, esNormal);
  XP()->PaintScrollBarPart(S.C(), false, R, scpPageDown, esPressed);
  XP()->PaintScrollBarPart(S.C(), true, R, scpPageUp, esHot);
  XP()->PaintScrollBarPart(S.C(), true, R, scpPageDown, esDisabled);
  XP()->PaintScrollBarPart(S.C(), true, TRect(5, 5, 5, 9), scpThumb, esNormal);
  EXPECT_EQ(Backgrounds(), (BG{{L"SCROLLBAR", 1, 2},
                               {L"SCROLLBAR", 1, 15},
                               {L"SCROLLBAR", 2, 4},
                               {L"SCROLLBAR", 8, 0},
                               {L"SCROLLBAR", 6, 1},
                               {L"SCROLLBAR", 7, 3},
                               {L"SCROLLBAR", 4, 2},
                               {L"SCROLLBAR", 5, 4}}));
}

TEST_F(lfThemePainter, HeadersAndTheirText) {
  TFont Font;
  XP()->PaintHeader(S.C(), R, R, 0, lfAllBorders, esPressed, taRightJustify, valBottom, false, true,
                    L"Name", &Font, clBlack, clWhite, nullptr, true, false);
  // Without a blue or olive scheme the last header is an ordinary one.
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[0].Class, L"HEADER");
  EXPECT_EQ(Calls()[0].Part, 1);
  EXPECT_EQ(Calls()[0].State, 3);
  // A pressed header's text moves by one pixel.
  EXPECT_EQ(Calls()[1].Rect.left, 1);
  EXPECT_EQ(Calls()[1].Rect.top, 1);
  EXPECT_EQ(Calls()[1].Flags, DWORD(DT_RIGHT | DT_BOTTOM | DT_EDITCONTROL | DT_END_ELLIPSIS |
                                    DT_NOPREFIX | DT_SINGLELINE));
  ClearCalls();
  XP()->PaintHeader(S.C(), R, R, 0, lfAllBorders, esDisabled, taLeftJustify, valTop, false, false,
                    L"", &Font, clBlack, clWhite, nullptr, false, false);
  EXPECT_EQ(Backgrounds(), (BG{{L"HEADER", 1, 1}})); // disabled draws as normal, no text
  EXPECT_EQ(Calls().size(), 1u);
  // Pushed headers are not inverted.
  S.Clear(RGB(255, 255, 255));
  XP()->PaintHeaderPushed(S.C(), R);
  EXPECT_EQ(S.At(5, 5), RGB(255, 255, 255));
}

TEST_F(lfThemePainter, TabsAndTabAreas) {
  TFont Font;
  XP()->PaintTab(S.C(), R, bLeft | bRight, L"One", esPressed, false, &Font, clBlack, clWhite, true);
  ASSERT_GE(Calls().size(), 2u);
  EXPECT_EQ(Calls()[0].Class, L"TAB");
  EXPECT_EQ(Calls()[0].Part, 1);
  EXPECT_EQ(Calls()[0].State, 3);
  EXPECT_TRUE(Calls()[0].Clipped);
  EXPECT_EQ(Calls()[0].Rect.bottom, 21); // the selected tab is one pixel taller
  EXPECT_EQ(Calls()[1].Rect.bottom, 19); // and its text rectangle two shorter
  EXPECT_EQ(Calls()[1].Flags & DT_NOPREFIX, 0u);
  ClearCalls();
  XP()->PaintTab(S.C(), R, 0, L"Two", esHot, false, &Font, clBlack, clWhite, false);
  EXPECT_EQ(Calls()[0].Rect.left, -2); // extended along the strip on free sides
  EXPECT_EQ(Calls()[0].Rect.right, 42);
  ClearCalls();
  XP()->PaintTab(S.C(), TRect(0, 0, 20, 40), bTop, L"V", esNormal, true, &Font, clBlack, clWhite,
                 false);
  EXPECT_EQ(Backgrounds(), (BG{{L"TAB", 1, 1}}));
  ClearCalls();
  XP()->PaintTabArea(S.C(), R, lfAllBorders, false);
  EXPECT_EQ(Backgrounds(), (BG{{L"TAB", 9, 0}}));
  EXPECT_TRUE(XP()->TabPaintingSupported(false));
  EXPECT_TRUE(XP()->TabHotTracking(true));
}

TEST_F(lfThemePainter, MetricsFromTheTheme) {
  faketheme::S().PartSize = SIZE{3, 2};
  EXPECT_EQ(XP()->ScrollThumbMinLength(true), 8); // never below 8
  faketheme::S().PartSize = SIZE{10, 12};
  EXPECT_EQ(XP()->ScrollThumbMinLength(true), 16);
  EXPECT_EQ(XP()->ScrollThumbMinLength(false), 14);
  EXPECT_EQ(XP()->ExpandButtonWidth(), 10);
  EXPECT_EQ(XP()->SmallExpandButtonWidth(), 10);
  EXPECT_EQ(XP()->CloseButtonExtent().X, 14);
  EXPECT_EQ(XP()->CloseButtonExtent().Y, 16);
  // The fake's content rectangle is the bounds less 3 across and 2 down.
  EXPECT_EQ(XP()->ButtonBorderWidth(esPressed), 3);
  EXPECT_TRUE(XP()->GroupButtonBorderWidths(3, 1) == TRect(3, 2, 3, 2));
  EXPECT_EQ(XP()->HeaderBorderWidth(), 2);
  EXPECT_EQ(XP()->BorderWidth(), 1);
}

TEST_F(lfThemePainter, FaceColourFallsBackWhenTheThemeLacksIt) {
  EXPECT_EQ(XP()->ButtonFaceColor(esHot), TColor(RGB(1, 2, 204)));
  EXPECT_EQ(XP()->ButtonGlyphColor(esPressed, clDefault), TColor(RGB(1, 3, 3803 % 256)));
  faketheme::S().FailingColorProps = {204, 3803};
  EXPECT_EQ(XP()->ButtonFaceColor(esHot), clBtnFace);
  EXPECT_EQ(XP()->ButtonGlyphColor(esDisabled, clDefault), clBtnShadow);
}

TEST_F(lfThemePainter, OfficeScrollBarsBorrowTheThemedOnes) {
  AddOffice11ColorsUser();
  TlfOffice11LookAndFeelPainter::Class()->PaintScrollBarPart(S.C(), false, R, scpThumb, esHot);
  EXPECT_EQ(Backgrounds(), (BG{{L"SCROLLBAR", 3, 2}, {L"SCROLLBAR", 9, 0}}));
  ClearCalls();
  TlfOffice11LookAndFeelPainter::Class()->PaintNavButtonFace(S.C(), R, esPressed);
  EXPECT_EQ(Backgrounds(), (BG{{L"TOOLBAR", 1, 3}}));
  RemoveOffice11ColorsUser();
}

TEST(lfThemePainterFallback, MissingClassesDrawTheStandardLook) {
  faketheme::Installed Fake({L"BUTTON", L"SCROLLBAR", L"HEADER", L"LISTVIEW"});
  if (!Fake.Usable()) GTEST_SKIP() << "no theme library to bind";
  PainterSurface S(40, 20);
  XP()->PaintButton(S.C(), TRect(0, 0, 40, 20), L"", esNormal, true, clDefault, clDefault, false);
  EXPECT_EQ(S.At(0, 0), RGBOf(clBtnHighlight));
  EXPECT_EQ(S.At(39, 19), RGBOf(cl3DDkShadow));
  EXPECT_EQ(S.At(20, 10), RGBOf(clBtnFace));
  EXPECT_EQ(XP()->ButtonFaceColor(esNormal), clBtnFace);
  EXPECT_EQ(XP()->CheckFrameWidth(), 2);
  EXPECT_EQ(XP()->BorderWidth(), 2);
  EXPECT_EQ(XP()->ScrollThumbMinLength(false), 8);
  EXPECT_TRUE(faketheme::Calls().empty());
  // A class that is there is still used.
  XP()->PaintCloseButton(S.C(), TRect(0, 0, 16, 16), esNormal);
  EXPECT_EQ(Backgrounds(), (BG{{L"WINDOW", 19, 1}}));
}

TEST(lfThemePainterFallback, StylesOffMeansNoThemeCalls) {
  faketheme::Installed Fake;
  faketheme::S().Active = false;
  SendMessageW(ThemeChangedReceiver() ? ThemeChangedReceiver()->Handle() : nullptr, WM_THEMECHANGED,
               0, 0);
  EXPECT_FALSE(CanUseVisualStyles(0));
  PainterSurface S(60, 20);
  XP()->PaintScrollBarPart(S.C(), false, TRect(0, 0, 17, 17), scpThumb, esNormal);
  XP()->PaintCheckBox(S.C(), TRect(40, 0, 53, 13), esNormal, cmChecked);
  TlfOffice11LookAndFeelPainter::Class()->PaintScrollBarPart(S.C(), false, TRect(20, 0, 37, 17),
                                                             scpThumb, esNormal);
  EXPECT_TRUE(faketheme::Calls().empty());
  // The standard thumb's bevel.
  EXPECT_EQ(S.At(1, 1), RGBOf(clBtnHighlight));
  EXPECT_EQ(S.At(21, 1), RGBOf(clBtnHighlight));
}

} // namespace
