#include "lookandfeel/lfLookAndFeelPainters.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxUxTheme.h"

TlfLookAndFeelKind PaintStyleToKind(TlfPaintStyle Style) {
  switch (Style) {
  case psFlat:
    return lfFlat;
  case psUltraFlat:
    return lfUltraFlat;
  case psOffice11:
    return lfOffice11;
  default:
    return lfStandard;
  }
}

TlfArrowKind ScrollPartArrow(bool Horizontal, TlfScrollPart Part) {
  if (Part == scpLineUp) return Horizontal ? TlfArrowKind::akLeft : TlfArrowKind::akUp;
  return Horizontal ? TlfArrowKind::akRight : TlfArrowKind::akDown;
}

namespace {

// Drawing steps shared by the painters, on the canvas's device context.

TCanvas* Cv(TlfCanvas* C) {
  return C->Canvas();
}

TRect Shrink(const TRect& R, int n) {
  return TRect(R.Left + n, R.Top + n, R.Right - n, R.Bottom - n);
}
TRect Offset(const TRect& R, int dx, int dy) {
  return TRect(R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy);
}
// A cx x cy rectangle centred in R (halves truncated towards zero).
TRect CenterSize(const TRect& R, int cx, int cy) {
  int l = (R.Left + R.Right - cx) / 2, t = (R.Top + R.Bottom - cy) / 2;
  return TRect(l, t, l + cx, t + cy);
}

void SetBrushClear(TlfCanvas* C) {
  Cv(C)->Brush()->SetStyle(bsClear);
}
void SetBrushSolid(TlfCanvas* C) {
  Cv(C)->Brush()->SetStyle(bsSolid);
}
void SetPen(TlfCanvas* C, TColor Color) {
  Cv(C)->Pen()->SetStyle(psSolid);
  Cv(C)->Pen()->SetWidth(1);
  Cv(C)->Pen()->SetColor(Color);
}

// Fills R: nothing for clNone, the current brush colour for clDefault.
void Fill(TlfCanvas* C, const TRect& R, TColor Color) {
  C->FillColor(R, Color);
}

// One-pixel frame of Sides: left and top in LT, right and bottom in RB.
void FrameRing(TlfCanvas* C, const TRect& R, TColor LT, TColor RB, TlfBorders Sides) {
  C->FrameSides(R, LT, RB, Sides, 1);
}
void Frame(TlfCanvas* C, const TRect& R, TColor Color) {
  FrameRing(C, R, Color, Color, lfAllBorders);
}
void Pixel(TlfCanvas* C, int X, int Y, TColor Color) {
  Cv(C)->SetPixels(X, Y, Color);
}

void FillPolygon(TlfCanvas* C, const std::vector<TPoint>& P, TColor Color) {
  SetPen(C, Color);
  Cv(C)->Brush()->SetStyle(bsSolid);
  Cv(C)->Brush()->SetColor(Color);
  Cv(C)->Polygon(P);
}

void DrawTextIn(TlfCanvas* C, const std::wstring& Text, const TRect& R, int Flags, bool Enabled) {
  C->DrawTextInRect(Text, R, Flags, Enabled);
}

void InvertRect(TlfCanvas* C, const TRect& R) {
  C->InvertArea(R);
}

void FillView(TlfCanvas* C, const TRect& R, const TlfViewParams& VP) {
  C->SetBrushColor(VP.Color);
  C->FillPattern(R, VP.Bitmap, false);
}
TFont* ViewFont(const TlfViewParams& VP) {
  return VP.Font;
}
TColor ViewTextColor(const TlfViewParams& VP) {
  return VP.TextColor;
}
TColor ViewColor(const TlfViewParams& VP) {
  return VP.Color;
}

void TileBitmap(TlfCanvas* C, const TRect& R, TBitmap* Bitmap) {
  C->FillPattern(R, Bitmap, false);
}

// Selects the canvas font and its colour into the device context, for text
// that the theme library draws there.
void SelectTextFont(TlfCanvas* C) {
  Cv(C)->TextExtent(L"");
}

void ClipOut(TlfCanvas* C, const TRect& R) {
  C->ClipOut(R);
}

void PaintRotatedNavButton(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C,
                           const TRect& Bounds, bool IsNext, TlfElementState State,
                           const std::wstring& Text, const TRect& TextRect, const TRect& ArrowRect);
void PaintClockFace(TlfCanvas* C, const TRect& R, TDateTime Time, TColor BackColor);

// Library text flags.
constexpr int tfLeft = 1, tfRight = 2, tfCenter = 4, tfTop = 8, tfBottom = 16, tfVCenter = 32,
              tfSingleLine = 64, tfPrefix = 512, tfWordBreak = 1024, tfEndEllipsis = 2048;

int TextFlags(TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
              bool EndEllipsis) {
  static const int Horz[] = {tfLeft, tfRight, tfCenter};
  static const int Vert[] = {tfTop, tfBottom, tfVCenter};
  int f = Horz[AlignHorz] | Vert[AlignVert] | (MultiLine ? tfWordBreak : tfSingleLine);
  if (EndEllipsis) f |= tfEndEllipsis;
  return f;
}

} // namespace

// ---------------------------------------------------------------------------
// Base painter

TlfLookAndFeelPainterClass TlfCustomLookAndFeelPainter::Class() {
  static auto* Instance = new TlfCustomLookAndFeelPainter;
  return Instance;
}

void TlfCustomLookAndFeelPainter::PaintBackground(TlfCanvas* C, const TRect& R, bool Transparent,
                                                  TColor BackColor, TBitmap* BackBitmap) const {
  if (!Transparent)
    Fill(C, R, BackColor);
  else if (BackBitmap && !BackBitmap->Empty())
    TileBitmap(C, R, BackBitmap);
}

void TlfCustomLookAndFeelPainter::PaintDropDownGlyph(TlfCanvas* C, const TRect& R,
                                                     TColor Color) const {
  int X = (R.Right - R.Left) / 2;
  if (X % 2 == 0) ++X;
  int Y = X / 2 + 1;
  int x0 = (R.Left + R.Right - X) / 2;
  int y0 = MulDiv(R.Top + R.Bottom - Y, 1, 2);
  FillPolygon(C, {{x0, y0}, {x0 + X - 1, y0}, {x0 + X / 2, y0 + Y - 1}}, Color);
}

void TlfCustomLookAndFeelPainter::PaintCellContent(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfElementState,
    TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
    const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground, bool) const {
  if (!OnPaintBackground || !OnPaintBackground(C, Bounds)) Fill(C, Bounds, BackColor);
  if (!Text.empty()) {
    SetBrushClear(C);
    if (Font) Cv(C)->SetFont(Font);
    Cv(C)->Font()->SetColor(TextColor);
    DrawTextIn(C, Text, TextBounds, TextFlags(AlignHorz, AlignVert, MultiLine, EndEllipsis), true);
    SetBrushSolid(C);
  }
}

void TlfCustomLookAndFeelPainter::PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds,
                                                        const TRect& ArrowRect, bool IsNext,
                                                        TlfElementState State) const {
  Fill(C, Bounds, clBtnFace);
  TlfBorders Sides = IsNext ? TlfBorders(1 | 2 | 8) : TlfBorders(2 | 4 | 8);
  FrameRing(C, Bounds, clBtnShadow, clBtnShadow, Sides);
  TRect R = Bounds;
  R.Top += 1;
  R.Bottom -= 1;
  if (IsNext)
    R.Left += 1;
  else
    R.Right -= 1;
  if (State == esPressed)
    FrameRing(C, R, clBtnShadow, clBtnHighlight, Sides);
  else
    FrameRing(C, R, clBtnHighlight, clBtnFace, Sides);
  PaintNavArrow(C, ArrowRect, IsNext, ButtonGlyphColor(State, clDefault));
}

TRect TlfCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& Bounds) const {
  return Shrink(Bounds, FooterCellBorderWidth());
}

TRect TlfCustomLookAndFeelPainter::FooterCellTextBounds(const TRect& Bounds) const {
  return Shrink(FooterCellContentBounds(Bounds), 2);
}

TlfPaintStyle TlfCustomLookAndFeelPainter::PaintStyle() const {
  return psStandard;
}

// Colour defaults
TColor TlfCustomLookAndFeelPainter::StyleColor1() const {
  return clWindow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor2() const {
  return StyleColor1();
}
TColor TlfCustomLookAndFeelPainter::StyleColor3() const {
  return StyleColor1();
}
TColor TlfCustomLookAndFeelPainter::StyleColor4() const {
  return clWindowText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor5(bool Flag) const {
  static const bool Map[2] = {false, true};
  return StyleColor6(Map[Flag ? 1 : 0]);
}
TColor TlfCustomLookAndFeelPainter::StyleColor6(bool) const {
  return clDefault;
}
TColor TlfCustomLookAndFeelPainter::StyleColor7(bool Flag) const {
  static const bool Map[2] = {false, true};
  return StyleColor8(Map[Flag ? 1 : 0]);
}
TColor TlfCustomLookAndFeelPainter::StyleColor8(bool) const {
  return clDefault;
}
TColor TlfCustomLookAndFeelPainter::StyleColor9() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor10() const {
  return clBtnHighlight;
}
TColor TlfCustomLookAndFeelPainter::StyleColor11() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor12() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor13() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor14() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor15() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor16() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor17() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor18() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor19() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor20() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor21() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor22() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor23() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor24() const {
  return clBlue;
}
TColor TlfCustomLookAndFeelPainter::StyleColor25() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor26() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor27() const {
  return clBlue;
}
TColor TlfCustomLookAndFeelPainter::StyleColor28() const {
  return StyleColor15();
}
TColor TlfCustomLookAndFeelPainter::StyleColor29() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor30() const {
  return StyleColor22();
}
TColor TlfCustomLookAndFeelPainter::StyleColor31() const {
  return clDefault;
}
TColor TlfCustomLookAndFeelPainter::StyleColor32() const {
  return clBlack;
}
TColor TlfCustomLookAndFeelPainter::StyleColor33() const {
  return StyleColor32();
}
TColor TlfCustomLookAndFeelPainter::StyleColor34() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor35() const {
  return clHighlight;
}
TColor TlfCustomLookAndFeelPainter::StyleColor36() const {
  return clHighlightText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor37() const {
  return clWindow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor38() const {
  return clWindowText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor39() const {
  return 0x009D9DA1;
}
TColor TlfCustomLookAndFeelPainter::StyleColor40() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor41() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor42() const {
  return 0x00D5FFFF;
}
TColor TlfCustomLookAndFeelPainter::StyleColor43() const {
  return StyleColor46();
}
TColor TlfCustomLookAndFeelPainter::StyleColor44() const {
  return clWindowText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor45() const {
  return clHighlight;
}
TColor TlfCustomLookAndFeelPainter::StyleColor46() const {
  return clHighlightText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor47() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor48() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor49() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor50() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor51() const {
  return clWhite;
}
TColor TlfCustomLookAndFeelPainter::StyleColor52() const {
  return clBlack;
}
TColor TlfCustomLookAndFeelPainter::StyleColor53() const {
  return clBtnFace;
}
TColor TlfCustomLookAndFeelPainter::StyleColor54() const {
  return clBtnText;
}
TColor TlfCustomLookAndFeelPainter::StyleColor55() const {
  return clWhite;
}
TColor TlfCustomLookAndFeelPainter::StyleColor56() const {
  return clBlack;
}
TColor TlfCustomLookAndFeelPainter::StyleColor57() const {
  return clBlack;
}
TColor TlfCustomLookAndFeelPainter::StyleColor58() const {
  return clBlack;
}
TColor TlfCustomLookAndFeelPainter::StyleColor59() const {
  return 0x00CFCFCF;
}
TColor TlfCustomLookAndFeelPainter::StyleColor60() const {
  return clWhite;
}
TColor TlfCustomLookAndFeelPainter::StyleColor61() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor62() const {
  return clSkyBlue;
}
TColor TlfCustomLookAndFeelPainter::StyleColor63() const {
  return clNavy;
}
TColor TlfCustomLookAndFeelPainter::StyleColor64() const {
  return clBtnShadow;
}
TColor TlfCustomLookAndFeelPainter::StyleColor65() const {
  return clBtnShadow;
}

// Arrows

void TlfCustomLookAndFeelPainter::PaintArrow(TlfCanvas* C, const TRect& R, TlfArrowKind Direction,
                                             TColor Color) const {
  SetBrushSolid(C);
  FillPolygon(C, ArrowTriangle(R, Direction, true, 0), Color);
}

void TlfCustomLookAndFeelPainter::PaintArrowButton(TlfCanvas* C, const TRect& R,
                                                   TlfElementState State, TlfArrowKind Direction,
                                                   bool WithFrame) const {
  std::vector<TPoint> P = ArrowTriangle(R, Direction, false, 0);
  SetBrushSolid(C);
  if (WithFrame)
    PaintArrowButtonFrame(C, R, State);
  else
    Fill(C, R, ButtonFaceColor(State));
  FillPolygon(C, P, ButtonGlyphColor(State, clDefault));
}

void TlfCustomLookAndFeelPainter::PaintArrowButtonFrame(TlfCanvas* C, const TRect& R,
                                                        TlfElementState State) const {
  SetBrushSolid(C);
  Fill(C, R, ButtonFaceColor(State));
  PaintButtonFrame(C, R, State);
}

void TlfCustomLookAndFeelPainter::PaintScrollArrow(TlfCanvas* C, const TRect& R,
                                                   TlfElementState State,
                                                   TlfArrowKind Direction) const {
  TRect A = R;
  if (State == esPressed) A = Offset(A, ButtonPressedShift(), ButtonPressedShift());
  std::vector<TPoint> P = ArrowTriangle(A, Direction, true, 0);
  if (State == esDisabled) {
    std::vector<TPoint> Q = P;
    for (auto& p : Q) {
      ++p.X;
      ++p.Y;
    }
    FillPolygon(C, Q, clBtnHighlight);
    FillPolygon(C, P, clBtnShadow);
  } else
    FillPolygon(C, P, ButtonGlyphColor(State, clDefault));
}

// Borders and buttons

int TlfCustomLookAndFeelPainter::BorderWidth() const {
  return 0;
}
void TlfCustomLookAndFeelPainter::PaintControlBorder(TlfCanvas*, const TRect&) const {}
TRect TlfCustomLookAndFeelPainter::GroupButtonDisplayRect(const TRect& R, int, int) const {
  return R;
}
int TlfCustomLookAndFeelPainter::ButtonBorderWidth(TlfElementState) const {
  return 0;
}
TColor TlfCustomLookAndFeelPainter::ButtonFaceColor(TlfElementState) const {
  return clBtnFace;
}

TRect TlfCustomLookAndFeelPainter::ButtonFocusBounds(TlfCanvas*, const TRect& R) const {
  TRect F = Shrink(R, 4);
  return F.IsEmpty() ? R : F;
}

TRect TlfCustomLookAndFeelPainter::GroupButtonBorderWidths(int, int) const {
  int w = ButtonBorderWidth(esNormal);
  return TRect(w, w, w, w);
}

int TlfCustomLookAndFeelPainter::ButtonTextIndent() const {
  return 0;
}
int TlfCustomLookAndFeelPainter::ButtonPressedShift() const {
  return 0;
}

TColor TlfCustomLookAndFeelPainter::ButtonGlyphColor(TlfElementState State,
                                                     TColor DefaultColor) const {
  if (State == esDisabled) return clBtnShadow;
  return DefaultColor == clDefault ? clBtnText : DefaultColor;
}

TlfElementState TlfCustomLookAndFeelPainter::ButtonGlyphState(TlfElementState State) const {
  return State;
}

void TlfCustomLookAndFeelPainter::PaintButton(TlfCanvas* C, const TRect& R,
                                              const std::wstring& Caption, TlfElementState State,
                                              bool WithFrame, TColor Color, TColor TextColor,
                                              bool WordWrap) const {
  TRect F = R;
  if (WithFrame) {
    PaintButtonFrame(C, R, State);
    F = Shrink(F, ButtonBorderWidth(State));
  }
  if (Color == clDefault) Color = ButtonFaceColor(State);
  Fill(C, F, Color);
  if (TextColor == clDefault) TextColor = ButtonGlyphColor(State, clDefault);
  Cv(C)->Font()->SetColor(TextColor);
  SetBrushClear(C);
  if (F.Height() % 2 != 0) --F.Bottom;
  if (F.Height() < 18) --F.Top;
  if (State == esPressed) F = Offset(F, ButtonPressedShift(), ButtonPressedShift());
  if (!Caption.empty())
    DrawTextIn(C, Caption, F,
               tfCenter | tfVCenter | tfPrefix | (WordWrap ? tfWordBreak : tfSingleLine),
               State != esDisabled);
  SetBrushSolid(C);
}

void TlfCustomLookAndFeelPainter::PaintGroupButton(TlfCanvas* C, const TRect& R,
                                                   TlfElementState State, int, int, TColor) const {
  PaintButton(C, R, L"", State, true, clDefault, clDefault, false);
}

void TlfCustomLookAndFeelPainter::PaintButtonFrame(TlfCanvas*, const TRect&,
                                                   TlfElementState) const {}
void TlfCustomLookAndFeelPainter::PaintGroupButtonFrame(TlfCanvas*, const TRect&, bool,
                                                        bool) const {}

// Expand buttons

void TlfCustomLookAndFeelPainter::PaintExpandButton(TlfCanvas*, const TRect&, bool, TColor) const {}
bool TlfCustomLookAndFeelPainter::ExpandButtonPaintedFirst() const {
  return true;
}

void TlfCustomLookAndFeelPainter::PaintGroupExpandButton(TlfCanvas* C, const TRect& R,
                                                         bool Expanded,
                                                         TlfElementState State) const {
  PaintButton(C, R, L"", State, true, clDefault, clDefault, false);
  GroupExpandMark(this, C, R, Expanded, State);
}

void TlfCustomLookAndFeelPainter::PaintSmallExpandButton(TlfCanvas* C, const TRect& R,
                                                         bool Expanded, TColor FrameColor,
                                                         TColor Color) const {
  FrameRing(C, R, FrameColor, FrameColor, lfAllBorders);
  if (Color != clDefault) Fill(C, Shrink(R, 1), Color);
  ExpandSign(C, R, Expanded, clBtnText);
}

int TlfCustomLookAndFeelPainter::ExpandButtonWidth() const {
  return 0;
}
int TlfCustomLookAndFeelPainter::GroupExpandButtonWidth() const {
  return 15;
}
bool TlfCustomLookAndFeelPainter::ButtonHotTracking() const {
  return false;
}
bool TlfCustomLookAndFeelPainter::PointInGroupExpandButton(const TRect& R, const TPoint& P) const {
  return R.Contains(P);
}
int TlfCustomLookAndFeelPainter::SmallExpandButtonWidth() const {
  return 9;
}

// Check boxes and radio buttons

int TlfCustomLookAndFeelPainter::CheckFrameWidth() const {
  return 2;
}

TColor TlfCustomLookAndFeelPainter::CheckFaceColor(TlfElementState State) const {
  return (State == esPressed || State == esDisabled) ? clBtnFace : clWindow;
}

TSize TlfCustomLookAndFeelPainter::CheckBoxExtent() const {
  return CheckBoxGlyphSize();
}

void TlfCustomLookAndFeelPainter::PaintCheckMark(TlfCanvas* C, const TRect& R,
                                                 TlfElementState State, bool Checked,
                                                 TColor Color) const {
  if (Cv(C)->Brush()->Style() == bsSolid) Fill(C, R, CheckFaceColor(State));
  if (!Checked) return;
  int W = R.Right - R.Left - 2, H = R.Bottom - R.Top - 4;
  int x = (R.Left + R.Right) / 2 - 1;
  SetPen(C, Color);
  for (int d = 0; d <= 2; ++d) {
    int y = (R.Top + R.Bottom + H) / 2 - 2 + d;
    Cv(C)->MoveTo(x - (W / 2 - 1), y - H / 2);
    Cv(C)->LineTo(x, y);
    Cv(C)->LineTo(x + W / 2 + 2, y - H);
  }
}

void TlfCustomLookAndFeelPainter::PaintCheckFrame(TlfCanvas*, const TRect&, TlfElementState) const {
}

void TlfCustomLookAndFeelPainter::PaintCheckBoxChecked(TlfCanvas* C, const TRect& R,
                                                       TlfElementState State, bool Checked) const {
  PaintCheckBox(C, R, State, Checked ? cmChecked : cmUnchecked);
}

void TlfCustomLookAndFeelPainter::PaintCheckBox(TlfCanvas* C, const TRect& R, TlfElementState State,
                                                TlfCheckMark Mark) const {
  PaintCheckFrame(C, R, State);
  TRect Inner = Shrink(R, CheckFrameWidth());
  TColor Color = (State == esDisabled || Mark == cmGrayed) ? clGrayText : clBtnText;
  PaintCheckMark(C, Inner, State, Mark == cmChecked, Color);
}

void TlfCustomLookAndFeelPainter::PaintRadioButton(TlfCanvas* C, int X, int Y,
                                                   TlfElementState State, bool Checked,
                                                   bool Focused, TColor BrushColor,
                                                   bool IsDesigning) const {
  RadioButtonImages()->PaintButtonImage(C, X, Y, BrushColor, PaintStyleToKind(PaintStyle()), State,
                                        Checked, Focused, IsDesigning);
}

TSize TlfCustomLookAndFeelPainter::RadioButtonExtent() const {
  return RadioButtonImages()->ImageSize();
}

// Headers

void TlfCustomLookAndFeelPainter::PaintHeader(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor, const TlfPaintBackgroundEvent& OnPaintBackground, bool, bool) const {
  PaintHeaderFrame(C, Bounds, Neighbors, Borders);
  PaintCellContent(C, HeaderContentBounds(Bounds, Borders), TextBounds, State, AlignHorz, AlignVert,
                   MultiLine, EndEllipsis, Text, Font, TextColor, BackColor, OnPaintBackground,
                   false);
}

void TlfCustomLookAndFeelPainter::PaintHeaderPlain(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor, const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintHeader(C, Bounds, TextBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              EndEllipsis, Text, Font, TextColor, BackColor, OnPaintBackground, false, false);
}

void TlfCustomLookAndFeelPainter::PaintHeaderFrame(TlfCanvas*, const TRect&, TlfBorders,
                                                   TlfBorders) const {}

void TlfCustomLookAndFeelPainter::PaintHeaderPushed(TlfCanvas* C, const TRect& R) const {
  InvertRect(C, R);
}

void TlfCustomLookAndFeelPainter::PaintHeaderSection(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders, TlfBorders Borders,
    TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine,
    bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor) const {
  PaintHeaderSectionFrame(C, Bounds, Borders, State);
  PaintHeaderSectionContent(C, HeaderSectionContentBounds(Bounds, State), TextBounds, State,
                            AlignHorz, AlignVert, MultiLine, EndEllipsis, Text, Font, TextColor,
                            BackColor);
}

void TlfCustomLookAndFeelPainter::PaintHeaderSectionFrame(TlfCanvas*, const TRect&, TlfBorders,
                                                          TlfElementState) const {}

void TlfCustomLookAndFeelPainter::PaintHeaderSectionContent(
    TlfCanvas* C, const TRect& R, const TRect& TextBounds, TlfElementState State,
    TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
    const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor) const {
  Fill(C, R, BackColor);
  PaintHeaderSectionText(C, HeaderSectionTextBounds(TextBounds, State), State, AlignHorz, AlignVert,
                         MultiLine, EndEllipsis, Text, Font, TextColor);
}

void TlfCustomLookAndFeelPainter::PaintHeaderSectionText(
    TlfCanvas* C, const TRect& TextBounds, TlfElementState State, TAlignment AlignHorz,
    TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis, const std::wstring& Text,
    TFont* Font, TColor TextColor) const {
  SetBrushClear(C);
  if (!Text.empty()) {
    if (Font) Cv(C)->SetFont(Font);
    int Flags = TextFlags(AlignHorz, AlignVert, MultiLine, EndEllipsis);
    if (State == esDisabled)
      DrawTextIn(C, Text, TextBounds, Flags, false);
    else {
      Cv(C)->Font()->SetColor(TextColor);
      DrawTextIn(C, Text, TextBounds, Flags, true);
    }
  }
  SetBrushSolid(C);
}

void TlfCustomLookAndFeelPainter::PaintHeaderDivider(TlfCanvas* C, const TRect& Bounds, int Indent,
                                                     TColor Color,
                                                     const TlfViewParams& ViewParams) const {
  TRect L = Bounds, Rt = Bounds, M = Bounds;
  L.Right = std::min<LONG>(Bounds.Left + Indent, Bounds.Right);
  Rt.Left = std::max<LONG>(Bounds.Right - Indent, Bounds.Left);
  M.Left = L.Right;
  M.Right = Rt.Left;
  FillView(C, L, ViewParams);
  FillView(C, Rt, ViewParams);
  Fill(C, M, Color);
}

void TlfCustomLookAndFeelPainter::PaintSortMark(TlfCanvas*, const TRect&, bool) const {}
TlfBorders TlfCustomLookAndFeelPainter::HeaderFrameSides(TlfBorders) const {
  return lfAllBorders;
}
int TlfCustomLookAndFeelPainter::HeaderBorderWidth() const {
  return 0;
}

TRect TlfCustomLookAndFeelPainter::HeaderOuterBounds(const TRect& Bounds, TlfBorders Neighbors,
                                                     TlfBorders Borders) const {
  TlfBorders Out = Borders & ~HeaderFrameSides(Neighbors);
  int w = HeaderBorderWidth();
  TRect R = Bounds;
  if (Out & 1) R.Left -= w;
  if (Out & 2) R.Top -= w;
  if (Out & 4) R.Right += w;
  if (Out & 8) R.Bottom += w;
  return R;
}

TRect TlfCustomLookAndFeelPainter::HeaderContentBounds(const TRect& Bounds,
                                                       TlfBorders Borders) const {
  int w = HeaderBorderWidth();
  TRect R = Bounds;
  if (Borders & 1) R.Left += w;
  if (Borders & 2) R.Top += w;
  if (Borders & 4) R.Right -= w;
  if (Borders & 8) R.Bottom -= w;
  return R;
}

bool TlfCustomLookAndFeelPainter::ExtensionFlag1() const {
  return true;
}

int TlfCustomLookAndFeelPainter::HeaderExtentFor(int ContentHeight) const {
  return ContentHeight + 2 * HeaderBorderWidth() + 4;
}

int TlfCustomLookAndFeelPainter::HeaderSectionFrameWidth(TlfElementState) const {
  return 1;
}

TRect TlfCustomLookAndFeelPainter::HeaderSectionTextBounds(const TRect& TextBounds,
                                                           TlfElementState State) const {
  return State == esPressed ? Offset(TextBounds, 1, 1) : TextBounds;
}

TRect TlfCustomLookAndFeelPainter::HeaderSectionContentBounds(const TRect& Bounds,
                                                              TlfElementState State) const {
  return Shrink(Bounds, HeaderSectionFrameWidth(State));
}

int TlfCustomLookAndFeelPainter::HeaderWidthFor(TlfCanvas* C, TlfBorders Borders,
                                                const std::wstring& Text, TFont* Font) const {
  if (Font) Cv(C)->SetFont(Font);
  int w = Cv(C)->TextWidth(Text) + 4;
  if (Borders & 1) w += HeaderBorderWidth();
  if (Borders & 4) w -= HeaderBorderWidth();
  return w;
}

bool TlfCustomLookAndFeelPainter::HeaderHotTracking() const {
  return false;
}
TPoint TlfCustomLookAndFeelPainter::SortMarkAreaExtent() const {
  return TPoint(16, SortMarkExtent().Y);
}
TPoint TlfCustomLookAndFeelPainter::SortMarkExtent() const {
  return TPoint(0, 0);
}

// Footer

void TlfCustomLookAndFeelPainter::PaintFooterPanelBackground(TlfCanvas* C, const TRect& R,
                                                             bool Transparent, TColor BackColor,
                                                             TBitmap* BackBitmap) const {
  PaintBackground(C, R, Transparent, BackColor, BackBitmap);
}
TlfBorders TlfCustomLookAndFeelPainter::FooterPanelSides() const {
  return lfAllBorders;
}
int TlfCustomLookAndFeelPainter::FooterPanelBorderWidth() const {
  return 0;
}
int TlfCustomLookAndFeelPainter::FooterCellBorderWidth() const {
  return 0;
}
int TlfCustomLookAndFeelPainter::FooterCellSpacing() const {
  return 0;
}
bool TlfCustomLookAndFeelPainter::FooterCellsPaintedFirst() const {
  return true;
}
TColor TlfCustomLookAndFeelPainter::FooterLineColor() const {
  return clBtnShadow;
}
int TlfCustomLookAndFeelPainter::ExtensionMetric1() const {
  return 1;
}

void TlfCustomLookAndFeelPainter::PaintFooterCell(
    TlfCanvas* C, const TRect& Bounds, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintFooterCellFrame(C, Bounds);
  PaintCellContent(C, FooterCellContentBounds(Bounds), FooterCellTextBounds(Bounds), esDefault,
                   AlignHorz, AlignVert, MultiLine, false, Text, Font, TextColor, BackColor,
                   OnPaintBackground, true);
}

void TlfCustomLookAndFeelPainter::PaintFooterPanelFrame(TlfCanvas*, const TRect&) const {}
void TlfCustomLookAndFeelPainter::PaintFooterCellFrame(TlfCanvas*, const TRect&) const {}

void TlfCustomLookAndFeelPainter::PaintFooterPanel(TlfCanvas* C, const TRect& R,
                                                   const TlfViewParams& ViewParams) const {
  if (!R.IsEmpty()) FillView(C, R, ViewParams);
}

void TlfCustomLookAndFeelPainter::PaintFooterLine(TlfCanvas* C, const TRect& R) const {
  Fill(C, R, FooterLineColor());
}

// Close, drop-down and activation buttons

void TlfCustomLookAndFeelPainter::PaintActivateCheckBox(TlfCanvas* C, const TRect& R,
                                                        TlfElementState State, bool Checked) const {
  PaintCheckBoxChecked(C, R, State, Checked);
}

void TlfCustomLookAndFeelPainter::PaintCloseButton(TlfCanvas* C, const TRect& R,
                                                   TlfElementState State) const {
  PaintButtonFrame(C, R, State);
  Fill(C, Shrink(R, ButtonBorderWidth(esNormal)), ButtonFaceColor(State));
  CloseCross(this, C, R, ButtonGlyphColor(State, clDefault), ButtonGlyphState(State));
}

void TlfCustomLookAndFeelPainter::PaintDropDownButton(TlfCanvas*, const TRect&, TlfElementState,
                                                      bool) const {}

void TlfCustomLookAndFeelPainter::PaintButtonStripBackground(TlfCanvas* C, const TRect& R,
                                                             bool Transparent, TColor BackColor,
                                                             TBitmap* BackBitmap) const {
  PaintBackground(C, R, Transparent, BackColor, BackBitmap);
}

TPoint TlfCustomLookAndFeelPainter::ActivateCheckExtent() const {
  return TPoint(13, 13);
}
TPoint TlfCustomLookAndFeelPainter::CloseButtonExtent() const {
  return TPoint(16, 14);
}
TPoint TlfCustomLookAndFeelPainter::DropDownButtonExtent() const {
  return TPoint(15, 0);
}
void TlfCustomLookAndFeelPainter::PaintFaceArea(TlfCanvas* C, const TRect& R) const {
  Fill(C, R, clBtnFace);
}
TlfContainerBorderStyle TlfCustomLookAndFeelPainter::ContainerBorderKind() const {
  return cbsSingle;
}

// Tabs

void TlfCustomLookAndFeelPainter::PaintTab(TlfCanvas*, const TRect&, TlfBorders,
                                           const std::wstring&, TlfElementState, bool, TFont*,
                                           TColor, TColor, bool) const {}
void TlfCustomLookAndFeelPainter::PaintTabFrame(TlfCanvas*, const TRect&, TlfBorders, TlfBorders,
                                                bool) const {}
void TlfCustomLookAndFeelPainter::PaintTabArea(TlfCanvas*, const TRect&, TlfBorders, bool) const {}
bool TlfCustomLookAndFeelPainter::TabPaintingSupported(bool) const {
  return false;
}
bool TlfCustomLookAndFeelPainter::TabHotTracking(bool) const {
  return false;
}
int TlfCustomLookAndFeelPainter::TabBorderWidth(bool) const {
  return 0;
}

// Row markers

void TlfCustomLookAndFeelPainter::PaintRowMarkerBars(TlfCanvas* C, const TRect& R,
                                                     TColor Color) const {
  SetPen(C, Color);
  int x0 = R.Left + 3;
  int Wd = R.Right - R.Left - 6;
  int y = (R.Top + R.Bottom - 9) / 2;
  for (int k = 0; k < 5; ++k, y += 2) {
    if (k % 2 == 0) Cv(C)->SetPixels(x0, y, Color);
    Cv(C)->MoveTo(x0 + 2, y);
    Cv(C)->LineTo(x0 + Wd, y);
  }
}

void TlfCustomLookAndFeelPainter::PaintRowMarkerImage(TlfCanvas* C, const TRect& R,
                                                      TlfRowMarkerKind Kind) const {
  if (Kind == rmkNone) return;
  TImageList* List = RowMarkerImages();
  // A list without the image (its bitmap missing from the program) leaves the marker empty.
  if (!List || int(Kind) - 1 >= List->Count()) return;
  List->Draw(Cv(C), (R.Left + R.Right - List->Width()) / 2, (R.Top + R.Bottom - List->Height()) / 2,
             int(Kind) - 1, true);
}

void TlfCustomLookAndFeelPainter::PaintRowMarker(
    TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintHeader(C, R, R, 0, HeaderFrameSides(TlfBorders(2 | 8)), esNormal, taLeftJustify, valTop,
              false, false, L"", nullptr, clNone, BackColor, OnPaintBackground, false, false);
  PaintRowMarkerImage(C, R, Kind);
}

void TlfCustomLookAndFeelPainter::PaintRowMarkerFramed(
    TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintHeaderPlain(C, R, R, 0, lfAllBorders, esNormal, taLeftJustify, valTop, false, false, L"",
                   nullptr, clNone, BackColor, OnPaintBackground);
  PaintRowMarkerImage(C, R, Kind);
}

bool TlfCustomLookAndFeelPainter::RowMarkersPaintedFirst() const {
  return true;
}

// Scroll bars and size grip

int TlfCustomLookAndFeelPainter::ScrollThumbMinLength(bool) const {
  return 8;
}
void TlfCustomLookAndFeelPainter::PaintScrollBarPart(TlfCanvas*, bool, const TRect&, TlfScrollPart,
                                                     TlfElementState) const {}
TSize TlfCustomLookAndFeelPainter::SizeGripExtent() const {
  return TSize{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TlfCustomLookAndFeelPainter::PaintSizeGrip(TlfCanvas* C, const TRect& R,
                                                TColor BackColor) const {
  Fill(C, R, BackColor);
  RECT r = R;
  DrawFrameControl(Cv(C)->Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// Calendar header, navigation buttons and progress bar

TRect TlfCustomLookAndFeelPainter::NavButtonLayout(bool IsNext, bool Compact,
                                                   const TSize& TextExtent1,
                                                   const TSize& TextExtent2, TRect& Bounds,
                                                   TRect& TextRect) const {
  TRect Borders;
  TSize ArrowSize{};
  NavButtonMetrics(IsNext, Borders, ArrowSize);
  int H = 3 * ArrowSize.cy;
  if (Compact) {
    TextRect = TRect();
    int Top = (Bounds.Top + Bounds.Bottom - Borders.Top - Borders.Bottom - H) / 2;
    Bounds.Top = Top;
    Bounds.Bottom = Top + H + Borders.Top + Borders.Bottom;
    return CenterSize(Bounds, ArrowSize.cx, ArrowSize.cy);
  }
  TRect Cn(Bounds.Left + Borders.Left, Bounds.Top + Borders.Top, Bounds.Right - Borders.Right,
           Bounds.Bottom - Borders.Bottom);
  TRect Top = Cn;
  Top.Bottom = Top.Top + H;
  TRect Result = CenterSize(Top, ArrowSize.cx, ArrowSize.cy);
  TextRect = Cn;
  TextRect.Top += H + 5;
  TextRect.Bottom -= 2 * ArrowSize.cy;
  int D = std::max(TextExtent1.cx, TextExtent2.cx) - TextRect.Height();
  if (D > 0) {
    Result = Offset(Result, 0, -D);
    TextRect.Top -= D;
    TextRect.Bottom += D;
    Bounds.Top -= D;
    Bounds.Bottom += D;
  }
  return Result;
}

void TlfCustomLookAndFeelPainter::PaintCalendarHeader(
    TlfCanvas* C, const TRect& R, const std::wstring& Text, TlfBorders Neighbors,
    const TlfViewParams& ViewParams, TlfCalendarArrows Arrows, int ArrowOffset,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintHeader(C, R, R, Neighbors, HeaderFrameSides(Neighbors), esNormal, taCenter, valCenter, false,
              false, Text, ViewFont(ViewParams), ViewTextColor(ViewParams), ViewColor(ViewParams),
              OnPaintBackground, false, false);
  CalendarArrows(this, C, R, Arrows, ArrowOffset, clWindowText);
}

void TlfCustomLookAndFeelPainter::PaintCalendarOutline(TlfCanvas* C, const TRect& R) const {
  PaintControlBorder(C, R);
}

void TlfCustomLookAndFeelPainter::PaintProgressBar(TlfCanvas* C, const TRect& Bounds,
                                                   const TRect& ProgressRect,
                                                   const TlfViewParams& ViewParams,
                                                   bool Transparent) const {
  FrameRing(C, Bounds, clGray, clGray, lfAllBorders);
  if (!Transparent) FillView(C, Shrink(Bounds, 1), ViewParams);
  Fill(C, ProgressRect, clNavy);
}

void TlfCustomLookAndFeelPainter::PaintNavButton(TlfCanvas* C, const TRect& Bounds, bool IsNext,
                                                 TlfElementState State, const std::wstring& Text,
                                                 const TRect& TextRect,
                                                 const TRect& ArrowRect) const {
  if (TextRect.IsEmpty()) {
    PaintNavButtonContent(C, Bounds, ArrowRect, IsNext, State);
    return;
  }
  PaintRotatedNavButton(this, C, Bounds, IsNext, State, Text, TextRect, ArrowRect);
}

void TlfCustomLookAndFeelPainter::PaintNavArrow(TlfCanvas* C, const TRect& R, bool IsNext,
                                                TColor Color) const {
  int n = (R.Bottom - R.Top + 1) / 2;
  int x = IsNext ? R.Left : R.Right - 2;
  int yt = R.Top, yb = R.Bottom - 1;
  for (int i = 0; i < n; ++i) {
    Fill(C, TRect(x, yt, x + 2, yt + 1), Color);
    Fill(C, TRect(x, yb, x + 2, yb + 1), Color);
    ++yt;
    --yb;
    x += IsNext ? 1 : -1;
  }
  int cx = IsNext ? R.Right - 1 : R.Left;
  Fill(C, TRect(cx, R.Top, cx + 1, R.Bottom), Color);
}

void TlfCustomLookAndFeelPainter::PaintNavButtonFace(TlfCanvas* C, const TRect& R,
                                                     TlfElementState State) const {
  PaintButton(C, R, L"", State, true, clDefault, clDefault, false);
}

void TlfCustomLookAndFeelPainter::PaintSplitterFrame(TlfCanvas*, const TRect&, const TlfViewParams&,
                                                     bool) const {}
TRect TlfCustomLookAndFeelPainter::ProgressBarMargins() const {
  return TRect(2, 2, 2, 2);
}

void TlfCustomLookAndFeelPainter::NavButtonMetrics(bool IsNext, TRect& Borders,
                                                   TSize& ArrowSize) const {
  Borders = IsNext ? TRect(2, 6, 0, 6) : TRect(0, 6, 2, 6);
  ArrowSize = TSize{7, 7};
}

int TlfCustomLookAndFeelPainter::ExtensionMetric2() const {
  return 1;
}

void TlfCustomLookAndFeelPainter::PaintClock(TlfCanvas* C, const TRect& R, TDateTime Time,
                                             TColor BackColor) const {
  PaintClockFace(C, R, Time, BackColor);
}

// Image glyph, panel face and extension slots

void TlfCustomLookAndFeelPainter::ExtensionPaint1(TlfCanvas*, const TRect&, int, int) const {}
int TlfCustomLookAndFeelPainter::ExtensionMetric3() const {
  return 0;
}
TSize TlfCustomLookAndFeelPainter::ExtensionExtent1() const {
  return TSize{0, 0};
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor1() const {
  return clDefault;
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor2(bool) const {
  return clDefault;
}

void TlfCustomLookAndFeelPainter::PaintImageGlyph(TlfCanvas* C, TCustomImageList* ImageList,
                                                  int ImageIndex, int, const TRect& Bounds,
                                                  bool Enabled, int) const {
  if (ImageList) ImageList->Draw(Cv(C), Bounds.Left, Bounds.Top, ImageIndex, Enabled);
}

TSize TlfCustomLookAndFeelPainter::ExtensionExtent2() const {
  return TSize{0, 0};
}
void TlfCustomLookAndFeelPainter::ExtensionPaint2(TlfCanvas*, const TRect&, bool) const {}
void TlfCustomLookAndFeelPainter::ExtensionPaint3(TlfCanvas*, const TRect&, bool) const {}
TRect TlfCustomLookAndFeelPainter::ExtensionBounds1(bool) const {
  return TRect();
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor3() const {
  return clDefault;
}
void TlfCustomLookAndFeelPainter::ExtensionPaint4(TlfCanvas*, const TRect&, const TRect&) const {}
void TlfCustomLookAndFeelPainter::ExtensionPaint5(TlfCanvas*, const TRect&, int) const {}
void TlfCustomLookAndFeelPainter::ExtensionPaint6(TlfCanvas*, const TRect&, int, int) const {}
TRect TlfCustomLookAndFeelPainter::ExtensionBounds2(bool, int) const {
  return TRect();
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor4() const {
  return clDefault;
}
bool TlfCustomLookAndFeelPainter::ExtensionFlag2(int, int) const {
  return false;
}
void TlfCustomLookAndFeelPainter::PaintPanelFace(TlfCanvas* C, TWinControl*, const TRect& Bounds,
                                                 TColor, TColor) const {
  ExtensionPaint4(C, Bounds, Bounds);
}
void TlfCustomLookAndFeelPainter::ExtensionPaint7(TlfCanvas*, const TRect&) const {}
void TlfCustomLookAndFeelPainter::ExtensionPaint8(TlfCanvas* C, const TRect& R, int Value) const {
  ExtensionPaint5(C, R, Value);
}
void TlfCustomLookAndFeelPainter::ExtensionPaint9(TlfCanvas*, const TRect&, int) const {}
TRect TlfCustomLookAndFeelPainter::ExtensionBounds3() const {
  return TRect();
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor5() const {
  return clDefault;
}
void TlfCustomLookAndFeelPainter::ExtensionPaint10(TlfCanvas*, const TRect&, int, int, int,
                                                   int) const {}
void TlfCustomLookAndFeelPainter::ExtensionPaint11(TlfCanvas*, const TRect&, int, int, int) const {}
TSize TlfCustomLookAndFeelPainter::ExtensionExtent3(bool) const {
  return TSize{0, 0};
}
TColor TlfCustomLookAndFeelPainter::ExtensionColor6(bool) const {
  return clDefault;
}
int TlfCustomLookAndFeelPainter::ExtensionMetric4() const {
  return 0;
}
void TlfCustomLookAndFeelPainter::ExtensionPaint12(TlfCanvas*, const TRect&, int, int, int) const {}
TSize TlfCustomLookAndFeelPainter::ExtensionExtent4(bool) const {
  return TSize{0, 0};
}

// ---------------------------------------------------------------------------
// Glyphs

std::vector<TPoint> ArrowTriangle(TRect R, TlfArrowKind Direction, bool Square, int Size) {
  if (Square) {
    int D = (R.Right - R.Left) - (R.Bottom - R.Top);
    if (D > 0) {
      R.Left += D / 2;
      R.Right -= D / 2;
    } else if (D < 0) {
      R.Top += (-D) / 2;
      R.Bottom -= (-D) / 2;
    }
  }
  bool Vertical = Direction == TlfArrowKind::akUp || Direction == TlfArrowKind::akDown;
  if (Size == 0) Size = (Vertical ? R.Right - R.Left - 1 : R.Bottom - R.Top - 1) / 4 + 1;
  int W = Vertical ? 2 * Size - 1 : Size;
  int H = Vertical ? Size : 2 * Size - 1;
  int y0 = MulDiv(R.Top + R.Bottom - H, 1, 2);
  int x0 = (R.Left + R.Right - W) / 2;
  switch (Direction) {
  case TlfArrowKind::akUp:
    return {{(R.Left + R.Right - 1) / 2, y0}, {x0, y0 + H - 1}, {x0 + W - 1, y0 + H - 1}};
  case TlfArrowKind::akDown:
    return {{x0, y0}, {x0 + W - 1, y0}, {(R.Left + R.Right - 1) / 2, y0 + H - 1}};
  case TlfArrowKind::akLeft:
    return {{x0, (R.Top + R.Bottom) / 2}, {x0 + W - 1, y0}, {x0 + W - 1, y0 + H - 1}};
  default:
    return {{x0, y0}, {x0, y0 + H - 1}, {x0 + W - 1, (R.Top + R.Bottom) / 2}};
  }
}

void ExpandSign(TlfCanvas* C, const TRect& R, bool Expanded, TColor Color) {
  int cx = RangeCenter(R.Left, R.Right), cy = RangeCenter(R.Top, R.Bottom);
  int A = (R.Right - R.Left - 4) / 2;
  Fill(C, TRect(cx - A, cy, cx + A + 1, cy + 1), Color);
  if (!Expanded) Fill(C, TRect(cx, cy - A, cx + 1, cy + A + 1), Color);
}

void GroupExpandMark(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                     bool Expanded, TlfElementState State) {
  SetPen(C, Painter->ButtonGlyphColor(State, clDefault));
  const int N = 3;
  int x0 = (R.Left + R.Right - 2 * N - 1) / 2;
  int y0 = (R.Top + R.Bottom - 2 * (N + 1)) / 2;
  int s = Expanded ? 1 : -1;
  for (int i = y0; i <= y0 + 3; ++i) {
    int y = i >= y0 + 2 ? i + (N - 1) : i;
    if (Expanded) y += N;
    int b = (i - y0) & 1;
    if (!Expanded) b = 1 - b;
    Cv(C)->MoveTo(x0 + b, y - s * b);
    Cv(C)->LineTo(x0 + N, y - N * s);
    Cv(C)->LineTo(x0 + 2 * N + 1 - b, y + (1 - b) * s);
  }
}

void CalendarArrows(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                    TlfCalendarArrows Arrows, int ArrowOffset, TColor Color) {
  TRect A = R;
  A.Top += Painter->BorderWidth();
  A.Top += 1;
  A.Bottom -= 1;
  int h = (A.Bottom - A.Top) / 2;
  if (h % 2 == 0) ++h;
  auto One = [&](int x, int s) {
    TPoint P0(x + s * (ArrowOffset - 1), (A.Top + A.Bottom - h) / 2 - 1);
    TPoint P1(P0.X, P0.Y + h + 1);
    int m = h / 2;
    TPoint P2(P0.X - s * (m + 1), P0.Y + m + 1);
    FillPolygon(C, {P0, P1, P2}, Color);
  };
  if (Arrows == TlfCalendarArrows::caLeft || Arrows == TlfCalendarArrows::caBoth) One(A.Left, 1);
  if (Arrows == TlfCalendarArrows::caRight || Arrows == TlfCalendarArrows::caBoth) One(A.Right, -1);
}

void SortArrow(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
               TColor DarkColor, TColor LightColor, bool Ascending) {
  TPoint E = Painter->SortMarkExtent();
  int W = E.X, H = E.Y;
  int s = Ascending ? 1 : -1;
  int xc = (R.Left + R.Right) / 2;
  if (W % 2 == 0) --xc;
  int y = Ascending ? (R.Top + R.Bottom - H) / 2 : (R.Top + R.Bottom + H) / 2 - 1;
  int h2 = W / 2;
  int h1 = W % 2 == 0 ? h2 - 1 : h2;
  TCanvas* K = Cv(C);
  SetPen(C, LightColor);
  K->MoveTo(xc + h2, y + (H - 2) * s);
  K->LineTo(xc + h2 - h1, y);
  K->LineTo(xc + h2, y + (H - 1) * s);
  if (!Ascending) K->Pen()->SetColor(DarkColor);
  K->LineTo(xc - h1, y + (H - 1) * s);
  if (Ascending) K->Pen()->SetColor(DarkColor);
  K->LineTo(xc, y);
  K->LineTo(xc - h1, y + (H - (W & 1)) * s);
}

void CloseCross(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C, const TRect& R,
                TColor Color, TlfElementState GlyphState) {
  int s = Painter->CloseButtonExtent().X / 2;
  if (s % 2 == 0) --s;
  SetPen(C, Color);
  for (int k = 0; k <= 1; ++k) {
    int x = (R.Left + R.Right - s) / 2 + k, y = (R.Top + R.Bottom - s) / 2;
    if (GlyphState == esPressed) {
      ++x;
      ++y;
    }
    Cv(C)->MoveTo(x, y);
    Cv(C)->LineTo(x + s, y + s);
    Cv(C)->MoveTo(x, y + s - 1);
    Cv(C)->LineTo(x + s, y - 1);
  }
}

namespace {

void PaintRotatedNavButton(const TlfCustomLookAndFeelPainter* Painter, TlfCanvas* C,
                           const TRect& Bounds, bool IsNext, TlfElementState State,
                           const std::wstring& Text, const TRect& TextRect,
                           const TRect& ArrowRect) {
  int W = Bounds.Width(), H = Bounds.Height();
  if (W <= 0 || H <= 0) return;
  auto B = std::make_unique<TlfBitmap>(W, H);
  TlfCanvas* BC = B->lfCanvas();
  Cv(BC)->CopyRect(TRect(0, 0, W, H), Cv(C), Bounds);
  Painter->PaintNavButtonContent(BC, TRect(0, 0, W, H),
                                 Offset(ArrowRect, -Bounds.Left, -Bounds.Top), IsNext, State);
  RotateBitmap(B.get(), 2, false);
  BC = B->lfCanvas();
  SetBrushClear(BC);
  Cv(BC)->SetFont(Cv(C)->Font());
  Cv(BC)->Font()->SetColor(Painter->ButtonGlyphColor(State, Cv(C)->Font()->Color()));
  TRect T;
  T.Left = Bounds.Bottom - TextRect.Bottom;
  T.Top = TextRect.Left - Bounds.Left;
  T.Right = T.Left + TextRect.Height();
  T.Bottom = T.Top + TextRect.Width();
  BC->DrawTextInRect(Text, T, 4 | 32 | 64 | 512, true);
  RotateBitmap(B.get(), 1, false);
  Cv(C)->CopyRect(Bounds, Cv(B->lfCanvas()), TRect(0, 0, W, H));
}

void PaintClockFace(TlfCanvas* C, const TRect& R, TDateTime Time, TColor BackColor) {
  TCanvas* K = Cv(C);
  int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  int W = R.Width(), H = R.Height();
  const double Pi = 3.14159265358979323846;
  auto Round = [](double v) { return int(std::nearbyint(v)); };
  for (int i = 0; i < 60; i += 5) {
    double a = i * 2 * Pi / 60;
    int x = Round((W / 2 - 2) * std::cos(a) + cx);
    int y = Round((H / 2 - 2) * std::sin(a) + cy);
    Pixel(C, x, y, clTeal);
    SetPen(C, clAqua);
    K->MoveTo(x - 1, y + 1);
    K->LineTo(x - 1, y - 1);
    K->LineTo(x, y - 1);
    SetPen(C, clBtnText);
    K->MoveTo(x, y + 1);
    K->LineTo(x + 1, y + 1);
    K->LineTo(x + 1, y - 1);
    ClipOut(C, TRect(x - 1, y - 1, x + 2, y + 2));
  }
  Fill(C, R, BackColor);
  int Hour, Min, Sec, MSec;
  DecodeTime(Time, Hour, Min, Sec, MSec);
  double rx = W / 2.0 - 2, ry = H / 2.0 - 2;
  auto Hand = [&](double Theta, double Width, double Tip, double Tail) {
    TPoint P[4];
    P[0] = TPoint(Round(cx + rx * Tip * std::cos(Theta)), Round(cy + ry * Tip * std::sin(Theta)));
    P[1] = TPoint(Round(cx + Width / 2 * std::cos(Theta + Pi / 2)),
                  Round(cy + Width / 2 * std::sin(Theta + Pi / 2)));
    P[2] = TPoint(Round(cx + rx * Tail * std::cos(Theta + Pi)),
                  Round(cy + ry * Tail * std::sin(Theta + Pi)));
    P[3] = TPoint(Round(cx + Width / 2 * std::cos(Theta + 3 * Pi / 2)),
                  Round(cy + Width / 2 * std::sin(Theta + 3 * Pi / 2)));
    Pixel(C, P[0].X, P[0].Y, clTeal);
    FillPolygon(C, {P[0], P[1], P[2], P[3], P[0]}, clTeal);
  };
  Hand(((Hour % 12) * 3600 + Min * 60 + Sec - 10800) * 2 * Pi / 43200, 9, 0.75, 0.15);
  Hand((Min * 60 + Sec - 900) * 2 * Pi / 3600, 7, 0.85, 0.2);
  double Phi = (Sec - 15) * 2 * Pi / 60;
  SetPen(C, clRed);
  K->MoveTo(cx, cy);
  K->LineTo(Round(0.9 * rx * std::cos(Phi) + cx), Round(0.9 * ry * std::sin(Phi) + cy));
}

} // namespace

// ---------------------------------------------------------------------------
// Painter images

namespace {

// The unit's process-wide state; it outlives static destruction, since the
// library's shut-down runs from the exit hooks.
struct TPainterState {
  TSize CheckBoxSize{0, 0};
  TlfRadioGeometry Radio;
  std::vector<std::vector<int>> Pattern;
  std::vector<int> ImageMap;
  std::unique_ptr<TlfRadioButtonImageList> RadioImages;
  std::unique_ptr<TImageList> RowMarkers;
  std::unique_ptr<TBitmap> ScrollPatterns[2];
  std::unique_ptr<TlfExtendedStylePainters> Registry;
  std::unique_ptr<TSystemPaletteChangedNotifier> Notifier;
};

TPainterState& PainterState() {
  static auto* s = new TPainterState;
  return *s;
}

// The cell size of the system's check-box bitmap (four columns, three rows).
bool SystemCheckBoxCell(int& W, int& H) {
  HBITMAP B = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759) /* OBM_CHECKBOXES */);
  BITMAP Info{};
  bool Ok = B && GetObjectW(B, sizeof(Info), &Info) != 0;
  if (B) DeleteObject(B);
  W = Ok ? Info.bmWidth / 4 : 0;
  H = Ok ? Info.bmHeight / 3 : 0;
  return Ok;
}

std::unique_ptr<TBitmap> NewBitmap(int W, int H, TPixelFormat Format = pf32bit) {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(Format);
  B->SetSize(W, H);
  return B;
}

COLORREF PixelAt(TBitmap* B, int X, int Y) {
  return ColorToRGB(B->Canvas()->Pixels(X, Y)) & 0xFFFFFF;
}

} // namespace

void MeasureCheckBox() {
  int W = 0, H = 0;
  SystemCheckBoxCell(W, H);
  PainterState().CheckBoxSize = TSize{W, H};
}

TSize CheckBoxGlyphSize() {
  return PainterState().CheckBoxSize;
}

void MeasureRadioButton() {
  TlfRadioGeometry G;
  int Wc = 0, Hc = 0;
  SystemCheckBoxCell(Wc, Hc);
  G.CellWidth = Wc;
  G.CellHeight = Hc;
  G.X0 = G.Y0 = -1;
  if (Wc > 0 && Hc > 0) {
    auto B = NewBitmap(Wc, Hc);
    TCanvas* K = B->Canvas();
    RECT r{0, 0, Wc, Hc};
    K->Brush()->SetColor(clBlack);
    K->FillRect(TRect(r));
    DrawFrameControl(K->Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
    for (int x = 0; x < Wc; ++x)
      for (int y = 0; y < Hc; ++y)
        if (PixelAt(B.get(), x, y) == 0) {
          if (G.X0 == -1) G.X0 = x;
          ++G.CW;
          break;
        }
    for (int y = 0; y < Hc; ++y)
      for (int x = 0; x < Wc; ++x)
        if (PixelAt(B.get(), x, y) == 0) {
          if (G.Y0 == -1) G.Y0 = y;
          ++G.CH;
          break;
        }
    K->Brush()->SetColor(clBlack);
    K->FillRect(TRect(r));
    DrawFrameControl(K->Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
    COLORREF D = ColorToRGB(clWindowText) & 0xFFFFFF;
    int cx = G.X0 + G.CW / 2 - 1, cy = G.Y0 + G.CH / 2 - 1;
    int y = G.Y0 + G.CH / 2 - 2;
    while (y >= 0 && PixelAt(B.get(), cx, y) == D)
      --y;
    G.Dot.Top = y + 1;
    y = G.Dot.Top + 1;
    while (y < Hc && PixelAt(B.get(), cx, y) == D)
      ++y;
    G.Dot.Bottom = y;
    int x = G.X0 + G.CW / 2 - 2;
    while (x >= 0 && PixelAt(B.get(), x, cy) == D)
      --x;
    G.Dot.Left = x + 1;
    x = G.Dot.Left + 1;
    while (x < Wc && PixelAt(B.get(), x, cy) == D)
      ++x;
    G.Dot.Right = x;
  }
  // Without a usable system drawing: a 13-pixel circle with a 4-pixel dot.
  if (G.CW <= 0 || G.CH <= 0) {
    G.CellWidth = G.CellWidth > 0 ? G.CellWidth : 13;
    G.CellHeight = G.CellHeight > 0 ? G.CellHeight : 13;
    G.X0 = G.Y0 = 0;
    G.CW = G.CH = 12;
    G.Dot = TRect(4, 4, 8, 8);
  }
  if (G.Dot.Right - G.Dot.Left <= 0 || G.Dot.Bottom - G.Dot.Top <= 0) {
    int l = G.X0 + G.CW / 2 - 2, t = G.Y0 + G.CH / 2 - 2;
    G.Dot = TRect(l, t, l + 4, t + 4);
  }
  PainterState().Radio = G;
}

const TlfRadioGeometry& RadioGeometry() {
  return PainterState().Radio;
}
const std::vector<std::vector<int>>& RadioPattern() {
  return PainterState().Pattern;
}

void EllipseInRect(TCanvas* Canvas, const TRect& R) {
  Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
}

namespace {

void MarkOuterRing() {
  int CW = PainterState().Radio.CW, CH = PainterState().Radio.CH;
  auto B = NewBitmap(CW, CH);
  TCanvas* K = B->Canvas();
  K->Brush()->SetColor(clWhite);
  K->FillRect(TRect(0, 0, CW, CH));
  K->Pen()->SetColor(clBlack);
  K->Brush()->SetColor(clWhite);
  EllipseInRect(K, TRect(0, 0, CW, CH));
  PainterState().Pattern.assign(CH, std::vector<int>(CW, 0));
  for (int i = 0; i < CH; ++i)
    for (int j = 0; j < CW; ++j)
      if (PixelAt(B.get(), j, i) == 0)
        PainterState().Pattern[i][j] = (CH - 1) * (CW - 1 - j) < i * (CW - 1) ? 2 : 1;
}

void MarkEdge(int r, int c) {
  int CW = PainterState().Radio.CW, CH = PainterState().Radio.CH;
  int d = (CW - 1 - c) * (CH - 1) - r * (CW - 1);
  if (d < 0)
    PainterState().Pattern[r][c] = 4;
  else if (d > 0)
    PainterState().Pattern[r][c] = 3;
  else
    PainterState().Pattern[r][c] = c >= CW / 2 ? 4 : 3;
}

void MarkInnerArea() {
  int CW = PainterState().Radio.CW, CH = PainterState().Radio.CH;
  int c0 = CW / 2, r0 = CH / 2;
  auto& P = PainterState().Pattern;
  auto Ring = [&](int r, int c) { return P[r][c] == 1 || P[r][c] == 2; };
  for (int r = 1; r <= CH - 2; ++r) {
    for (int c = c0 - 1; c >= 0 && P[r][c] == 0; --c)
      P[r][c] = 5;
    for (int c = c0; c < CW && P[r][c] == 0; ++c)
      P[r][c] = 5;
  }
  for (int r = 1; r <= CH - 2; ++r) {
    bool EdgeRow = r == 1 || r == CH - 2;
    int c = c0 - 1;
    for (; c >= 0 && !Ring(r, c); --c)
      if (EdgeRow) MarkEdge(r, c);
    if (c + 1 <= c0 - 1 && c >= 0) MarkEdge(r, c + 1);
    c = c0;
    for (; c < CW && !Ring(r, c); ++c)
      if (EdgeRow) MarkEdge(r, c);
    if (c - 1 >= c0 && c < CW) MarkEdge(r, c - 1);
  }
  for (int c = 1; c <= CW - 2; ++c) {
    bool EdgeCol = c == 1 || c == CW - 2;
    int r = r0 - 1;
    for (; r >= 0 && !Ring(r, c); --r)
      if (EdgeCol) MarkEdge(r, c);
    if (r + 1 <= r0 - 1 && r >= 0) MarkEdge(r + 1, c);
    r = r0;
    for (; r < CH && !Ring(r, c); ++r)
      if (EdgeCol) MarkEdge(r, c);
    if (r - 1 >= r0 && r < CH) MarkEdge(r - 1, c);
  }
}

void MarkDot() {
  int CW = PainterState().Radio.CW, CH = PainterState().Radio.CH;
  auto B = NewBitmap(CW, CH);
  TCanvas* K = B->Canvas();
  K->Brush()->SetColor(clWhite);
  K->FillRect(TRect(0, 0, CW, CH));
  K->Pen()->SetColor(clBlack);
  K->Brush()->SetColor(clBlack);
  EllipseInRect(
      K, Offset(PainterState().Radio.Dot, -PainterState().Radio.X0, -PainterState().Radio.Y0));
  for (int i = 0; i < CH; ++i)
    for (int j = 0; j < CW; ++j)
      if (PixelAt(B.get(), j, i) == 0) PainterState().Pattern[i][j] = 6;
}

} // namespace

void BuildRadioPattern() {
  MarkOuterRing();
  MarkInnerArea();
  MarkDot();
}

TColor RadioBodyColor(TlfLookAndFeelKind Kind, TlfElementState State) {
  switch (Kind) {
  case lfUltraFlat:
    switch (State) {
    case esNormal:
      return clWindow;
    case esHot:
      return LightSelectionColor();
    case esPressed:
      return LightBorderColor();
    default:
      return clBtnFace;
    }
  case lfOffice11:
    if (State == esNormal) return clWindow;
    return TlfOffice11LookAndFeelPainter::Class()->ButtonFaceColor(State);
  default:
    return (State == esPressed || State == esDisabled) ? clBtnFace : clWindow;
  }
}

namespace {

std::uint32_t DibPixel(TColor Color) {
  COLORREF c = ColorToRGB(Color);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// One DIB pixel per pattern value.
std::array<std::uint32_t, 7> BuildColorMap(TlfLookAndFeelKind Kind, TlfElementState State,
                                           bool Checked, bool Focused, bool IsDesigning) {
  TColor Body = RadioBodyColor(Kind, State);
  TColor Ring = clBtnShadow;
  bool Lit = Focused || State == esHot || State == esPressed;
  if (Kind == lfUltraFlat)
    Ring = (Lit || (IsDesigning && State != esDisabled)) ? clHighlight : clBtnShadow;
  else if (Kind == lfOffice11)
    Ring = State == esDisabled    ? Office11Color(52)
           : (Lit || IsDesigning) ? Office11Color(41)
                                  : clBtnText;
  TColor Dot = Body;
  if (Checked)
    Dot =
        State != esDisabled ? clWindowText : (Kind == lfOffice11 ? Office11Color(52) : clBtnShadow);
  TColor M[7];
  M[0] = clBlack;
  M[5] = Body;
  M[6] = Dot;
  switch (Kind) {
  case lfFlat:
    M[1] = clBtnShadow;
    M[2] = clBtnHighlight;
    M[3] = cl3DLight;
    M[4] = cl3DLight;
    break;
  case lfStandard:
    M[1] = clBtnShadow;
    M[2] = clBtnHighlight;
    M[3] = cl3DDkShadow;
    M[4] = cl3DLight;
    break;
  default:
    M[1] = M[2] = Ring;
    M[3] = M[4] = Body;
    break;
  }
  std::array<std::uint32_t, 7> Result{};
  for (int i = 0; i < 7; ++i)
    Result[i] = DibPixel(M[i]);
  return Result;
}

} // namespace

TlfRadioButtonImageList::TlfRadioButtonImageList() {
  MeasureRadioButton();
  FImageList = std::make_unique<TImageList>(nullptr);
  FImageList->SetSize(PainterState().Radio.CW, PainterState().Radio.CH);
  FImageList->SetMasked(true);
  FImageList->SetImageType(itImage);
  FButtonMask = NewBitmap(PainterState().Radio.CW, PainterState().Radio.CH, pf1bit);
  TCanvas* K = FButtonMask->Canvas();
  K->Brush()->SetColor(clWhite);
  K->FillRect(TRect(0, 0, PainterState().Radio.CW, PainterState().Radio.CH));
  K->Pen()->SetColor(clBlack);
  K->Brush()->SetColor(clBlack);
  EllipseInRect(K, TRect(0, 0, PainterState().Radio.CW, PainterState().Radio.CH));
  BuildRadioPattern();
}

TlfRadioButtonImageList::~TlfRadioButtonImageList() = default;

void TlfRadioButtonImageList::BuildImages() {
  if (FImageList->Count() > 0) return;
  int CW = PainterState().Radio.CW, CH = PainterState().Radio.CH;
  auto Scratch = NewBitmap(CW, CH);
  std::vector<std::uint32_t> Buffer(size_t(CW) * CH);
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = 40;
  Info.bmiHeader.biWidth = CW;
  Info.bmiHeader.biHeight = -CH;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  for (int Focused = 0; Focused <= 1; ++Focused)
    for (int Designing = 0; Designing <= 1; ++Designing)
      for (int Kind = lfFlat; Kind <= lfOffice11; ++Kind)
        for (int Checked = 0; Checked <= 1; ++Checked)
          for (int State = esNormal; State <= esDisabled; ++State) {
            auto Map = BuildColorMap(TlfLookAndFeelKind(Kind), TlfElementState(State), Checked != 0,
                                     Focused != 0, Designing != 0);
            for (int y = 0; y < CH; ++y)
              for (int x = 0; x < CW; ++x)
                Buffer[size_t(y) * CW + x] = Map[PainterState().Pattern[y][x]];
            SetDIBits(Scratch->Canvas()->Handle(), Scratch->Handle(), 0, CH, Buffer.data(), &Info,
                      DIB_RGB_COLORS);
            FImageList->Add(Scratch.get(), FButtonMask.get());
            int Slot = ImageMapSlot(TlfLookAndFeelKind(Kind), TlfElementState(State), Checked != 0,
                                    Focused != 0, Designing != 0);
            if (int(PainterState().ImageMap.size()) < Slot + 1)
              PainterState().ImageMap.resize(Slot + 1);
            PainterState().ImageMap[Slot] = FImageList->Count() - 1;
          }
}

void TlfRadioButtonImageList::RebuildImages() {
  FImageList->Clear();
  BuildImages();
}

int TlfRadioButtonImageList::ImageMapSlot(TlfLookAndFeelKind Kind, TlfElementState State,
                                          bool Checked, bool Focused, bool IsDesigning) {
  return (int(State) - 1) + 4 * int(Checked) + 8 * int(Kind) + 32 * int(IsDesigning) +
         64 * int(Focused);
}

int TlfRadioButtonImageList::ImageIndexOf(TlfLookAndFeelKind Kind, TlfElementState State,
                                          bool Checked, bool Focused, bool IsDesigning) const {
  // The default state has no image of its own: it looks like the normal one.
  if (State == esDefault) State = esNormal;
  int Slot = ImageMapSlot(Kind, State, Checked, Focused, IsDesigning);
  return Slot < int(PainterState().ImageMap.size()) ? PainterState().ImageMap[Slot] : -1;
}

void TlfRadioButtonImageList::PaintButtonImage(TlfCanvas* C, int X, int Y, TColor BrushColor,
                                               TlfLookAndFeelKind Kind, TlfElementState State,
                                               bool Checked, bool Focused, bool IsDesigning) {
  int Index = ImageIndexOf(Kind, State, Checked, Focused, IsDesigning);
  if (Index < 0) return;
  if (BrushColor == clDefault)
    FImageList->Draw(Cv(C), X, Y, Index, true);
  else
    DrawListImage(C, FImageList.get(), Index,
                  TRect(X, Y, X + PainterState().Radio.CW, Y + PainterState().Radio.CH), BrushColor,
                  true, nullptr);
}

TSize TlfRadioButtonImageList::ImageSize() const {
  return TSize{FImageList->Width(), FImageList->Height()};
}

void DrawListImage(TlfCanvas* C, TCustomImageList* ImageList, int ImageIndex, const TRect& R,
                   TColor BackColor, bool Enabled, TBitmap* Bitmap) {
  if (Bitmap) {
    ImageList->Draw(Bitmap->Canvas(), 0, 0, ImageIndex, Enabled);
    Cv(C)->Draw(R.Left, R.Top, Bitmap);
    return;
  }
  auto B = NewBitmap(ImageList->Width(), ImageList->Height(), pf24bit);
  RECT r{0, 0, ImageList->Width(), ImageList->Height()};
  HBRUSH Brush = CreateSolidBrush(ColorToRGB(BackColor));
  FillRect(B->Canvas()->Handle(), &r, Brush);
  DeleteObject(Brush);
  ImageList->Draw(B->Canvas(), 0, 0, ImageIndex, Enabled);
  Cv(C)->Draw(R.Left, R.Top, B.get());
}

TlfRadioButtonImageList* RadioButtonImages() {
  if (!PainterState().RadioImages) {
    PainterState().RadioImages = std::make_unique<TlfRadioButtonImageList>();
    PainterState().RadioImages->BuildImages();
  }
  return PainterState().RadioImages.get();
}

// Row markers

void AddRowMarkerImage(const std::wstring& ResName, TBitmap* Scratch) {
  HINSTANCE Module = GetModuleHandleW(nullptr);
  bool Present = FindResourceW(Module, ResName.c_str(), MAKEINTRESOURCEW(2)) != nullptr;
  if (Present) Scratch->LoadFromResourceName(Module, ResName);
  if (!PainterState().RowMarkers) {
    PainterState().RowMarkers = std::make_unique<TImageList>(nullptr);
    if (Present)
      PainterState().RowMarkers->SetSize(Scratch->Width(), Scratch->Height());
    else
      PainterState().RowMarkers->SetSize(8, 9);
  }
  if (!Present) {
    // A marker whose bitmap is missing stays empty: an all-white, fully transparent image.
    Scratch->SetPixelFormat(pf24bit);
    Scratch->SetSize(PainterState().RowMarkers->Width(), PainterState().RowMarkers->Height());
    Scratch->Canvas()->Brush()->SetColor(clWhite);
    Scratch->Canvas()->FillRect(TRect(0, 0, Scratch->Width(), Scratch->Height()));
  }
  PainterState().RowMarkers->AddMasked(Scratch, clWhite);
}

void CreateRowMarkerImages() {
  static const wchar_t* const Names[] = {L"LF_ARROWBITMAP",      L"LF_EDITBITMAP",
                                         L"LF_INSERTBITMAP",     L"LF_MULTIDOTBITMAP",
                                         L"LF_MULTIARROWBITMAP", L"LF_FILTERBITMAP"};
  auto Scratch = std::make_unique<TBitmap>();
  for (const wchar_t* Name : Names)
    AddRowMarkerImage(Name, Scratch.get());
}

void DestroyRowMarkerImages() {
  PainterState().RowMarkers.reset();
}
TImageList* RowMarkerImages() {
  return PainterState().RowMarkers.get();
}

// Scroll-bar patterns

void CreateScrollBarPatterns() {
  for (auto& B : PainterState().ScrollPatterns)
    B = NewBitmap(8, 8, pf24bit);
  PaintScrollBarPatterns();
}

void PaintScrollBarPatterns() {
  if (!PainterState().ScrollPatterns[0])
    for (auto& B : PainterState().ScrollPatterns)
      B = NewBitmap(8, 8, pf24bit);
  COLORREF Light = ColorToRGB(clBtnHighlight), Face = ColorToRGB(clBtnFace),
           Dark = ColorToRGB(cl3DDkShadow);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool Odd = (x + y) % 2 != 0;
      PainterState().ScrollPatterns[0]->Canvas()->SetPixels(x, y, Odd ? Light : Face);
      PainterState().ScrollPatterns[1]->Canvas()->SetPixels(x, y, Odd ? Dark : 0);
    }
}

void DestroyScrollBarPatterns() {
  for (auto& B : PainterState().ScrollPatterns)
    B.reset();
}

TBitmap* ScrollBarPattern(int Index) {
  return PainterState().ScrollPatterns[Index].get();
}

// ---------------------------------------------------------------------------
// Registry of extended-style painters

TlfExtendedStylePainters::TlfExtendedStylePainters() = default;
TlfExtendedStylePainters::~TlfExtendedStylePainters() {
  FListeners.clear();
}

void TlfExtendedStylePainters::AddPainterListener(IPainterChangeListener* Listener) {
  if (std::find(FListeners.begin(), FListeners.end(), Listener) == FListeners.end())
    FListeners.push_back(Listener);
}

void TlfExtendedStylePainters::RemovePainterListener(IPainterChangeListener* Listener) {
  auto It = std::find(FListeners.begin(), FListeners.end(), Listener);
  if (It != FListeners.end()) FListeners.erase(It);
}

namespace {
bool SameTextAscii(const std::wstring& A, const std::wstring& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    wchar_t a = A[i], b = B[i];
    if (a >= L'a' && a <= L'z') a -= 32;
    if (b >= L'a' && b <= L'z') b -= 32;
    if (a != b) return false;
  }
  return true;
}
} // namespace

int TlfExtendedStylePainters::FindEntryByName(const std::wstring& Name,
                                              TlfExtendedStylePainterEntry*& Entry) const {
  for (int i = 0; i < Count(); ++i) {
    auto* E = EntryAt(i);
    if (SameTextAscii(E->Name, Name)) {
      Entry = E;
      return i;
    }
  }
  return -1;
}

bool TlfExtendedStylePainters::PainterByName(const std::wstring& Name,
                                             TlfLookAndFeelPainterClass& Painter) const {
  TlfExtendedStylePainterEntry* E = nullptr;
  if (FindEntryByName(Name, E) < 0) return false;
  Painter = E->Painter;
  return true;
}

TlfExtendedStylePainterEntry* TlfExtendedStylePainters::EntryAt(int Index) const {
  return static_cast<TlfExtendedStylePainterEntry*>(Objects(Index));
}

TlfExtendedStylePainters* ExtendedStyleRegistry() {
  return PainterState().Registry.get();
}

void TSystemPaletteChangedNotifier::FireChanged() {
  if (PainterState().RadioImages) PainterState().RadioImages->RebuildImages();
}

void lfLookAndFeelPaintersInitialize() {
  lfRegisterPainterClasses(
      TlfFlatLookAndFeelPainter::Class(), TlfStandardLookAndFeelPainter::Class(),
      TlfUltraFlatLookAndFeelPainter::Class(), TlfOffice11LookAndFeelPainter::Class(),
      TlfWinXPLookAndFeelPainter::Class());
  PainterState().Registry = std::make_unique<TlfExtendedStylePainters>();
  lfExtendedStyleRegistry().FindPainter = [](const std::wstring& Name,
                                             TlfLookAndFeelPainterClass& Painter) {
    return PainterState().Registry && PainterState().Registry->PainterByName(Name, Painter);
  };
  lfExtendedStyleRegistry().AddPainterListener = [](IPainterChangeListener* L) {
    if (PainterState().Registry) PainterState().Registry->AddPainterListener(L);
  };
  lfExtendedStyleRegistry().RemovePainterListener = [](IPainterChangeListener* L) {
    if (PainterState().Registry) PainterState().Registry->RemovePainterListener(L);
  };
  CreateRowMarkerImages();
  CreateScrollBarPatterns();
  PainterState().Notifier = std::make_unique<TSystemPaletteChangedNotifier>(true);
  MeasureCheckBox();
}

void lfLookAndFeelPaintersFinalize() {
  PainterState().Notifier.reset();
  DestroyScrollBarPatterns();
  DestroyRowMarkerImages();
  PainterState().RadioImages.reset();
  lfExtendedStyleRegistry() = TlfExtendedStyleRegistryLink();
  PainterState().Registry.reset();
  PainterState().Pattern.clear();
  PainterState().ImageMap.clear();
}

// ---------------------------------------------------------------------------
// Standard painter

namespace {

constexpr TlfBorders LeftTop = 1 | 2, RightBottom = 4 | 8;

// The raised and sunken rings of the three-dimensional edges.
void RaisedOuter(TlfCanvas* C, const TRect& R, TlfBorders S) {
  FrameRing(C, R, cl3DLight, cl3DDkShadow, S);
}
void RaisedInner(TlfCanvas* C, const TRect& R, TlfBorders S) {
  FrameRing(C, R, clBtnHighlight, clBtnShadow, S);
}
void SunkenOuter(TlfCanvas* C, const TRect& R, TlfBorders S) {
  FrameRing(C, R, clBtnShadow, clBtnHighlight, S);
}
void SunkenInner(TlfCanvas* C, const TRect& R, TlfBorders S) {
  FrameRing(C, R, cl3DDkShadow, cl3DLight, S);
}

// Corner pixels where two classic headers meet.
void SoftenHeaderCorners(TlfCanvas* C, const TRect& R, TlfBorders Neighbors) {
  if (Neighbors & 1) {
    Pixel(C, R.Left, R.Top + 1, clBtnFace);
    Pixel(C, R.Left, R.Bottom - 2, clBtnFace);
  }
  if (Neighbors & 4) {
    Pixel(C, R.Right - 1, R.Top, clBtnHighlight);
    Pixel(C, R.Right - 1, R.Top + 1, clBtnFace);
    Pixel(C, R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void ClassicTabFrame(TlfCanvas* C, const TRect& Strip, TlfBorders Side, TlfBorders Borders,
                     bool Vertical) {
  TRect R = Strip;
  if (Vertical) {
    if (Side == bLeft) {
      R.Top += (Borders & 2) ? 2 : 1;
      R.Bottom -= (Borders & 8) ? 2 : 1;
    } else if ((Side == bTop || Side == bBottom) && (Borders & 1))
      R.Left += 1;
    if (Side == bLeft) {
      Pixel(C, R.Left + 1, R.Top - 1, clBtnHighlight);
      Pixel(C, R.Left + 1, R.Bottom, clBtnHighlight);
    }
    Fill(C, R, Side == bBottom ? clBtnShadow : clBtnHighlight);
  } else {
    if (Side == bLeft || Side == bRight) {
      if (Borders & 2) R.Top += 2;
      if (Borders & 8) R.Bottom -= 1;
    } else if (Side == bTop) {
      R.Left += 1;
      R.Right -= 1;
      Pixel(C, R.Left - 1, R.Top + 1, clBtnHighlight);
      Pixel(C, R.Right, R.Top + 1, clBtnHighlight);
    }
    Fill(C, R, Side == bRight ? clBtnShadow : clBtnHighlight);
  }
}

// Page areas of a scroll bar: the checkerboard pattern, the dark one when pressed.
void FillScrollPage(TlfCanvas* C, const TRect& R, TlfElementState State) {
  TBrush* B = Cv(C)->Brush();
  B->SetBitmap(ScrollBarPattern(State == esPressed ? 1 : 0));
  Cv(C)->FillRect(R);
  B->SetBitmap(nullptr);
  B->SetStyle(bsSolid);
}

} // namespace

TlfLookAndFeelPainterClass TlfStandardLookAndFeelPainter::Class() {
  static auto* Instance = new TlfStandardLookAndFeelPainter;
  return Instance;
}

TlfPaintStyle TlfStandardLookAndFeelPainter::PaintStyle() const {
  return psStandard;
}
int TlfStandardLookAndFeelPainter::BorderWidth() const {
  return 2;
}
int TlfStandardLookAndFeelPainter::ButtonBorderWidth(TlfElementState State) const {
  return State == esDefault ? 3 : 2;
}
int TlfStandardLookAndFeelPainter::ButtonTextIndent() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::ButtonPressedShift() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::ExpandButtonWidth() const {
  return 12;
}
bool TlfStandardLookAndFeelPainter::ButtonHotTracking() const {
  return false;
}
int TlfStandardLookAndFeelPainter::HeaderBorderWidth() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::HeaderSectionFrameWidth(TlfElementState State) const {
  return State == esPressed ? 1 : 2;
}
TPoint TlfStandardLookAndFeelPainter::SortMarkExtent() const {
  return TPoint(8, 7);
}
int TlfStandardLookAndFeelPainter::FooterPanelBorderWidth() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::FooterCellBorderWidth() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::FooterCellSpacing() const {
  return 1;
}
int TlfStandardLookAndFeelPainter::TabBorderWidth(bool) const {
  return 1;
}
TColor TlfStandardLookAndFeelPainter::StyleColor42() const {
  return clWindow;
}

void TlfStandardLookAndFeelPainter::PaintControlBorder(TlfCanvas* C, const TRect& R) const {
  SunkenOuter(C, R, lfAllBorders);
  SunkenInner(C, Shrink(R, 1), lfAllBorders);
}

void TlfStandardLookAndFeelPainter::PaintButtonFrame(TlfCanvas* C, const TRect& R,
                                                     TlfElementState State) const {
  TRect F = R;
  if (State == esPressed) {
    Frame(C, F, clBlack);
    FrameRing(C, Shrink(F, 1), clBtnShadow, clBtnShadow, lfAllBorders);
    return;
  }
  if (State == esDefault) {
    Frame(C, F, clBlack);
    F = Shrink(F, 1);
  }
  FrameRing(C, F, clBtnHighlight, cl3DDkShadow, lfAllBorders);
  FrameRing(C, Shrink(F, 1), cl3DLight, clBtnShadow, lfAllBorders);
}

void TlfStandardLookAndFeelPainter::PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                      TColor Color) const {
  TRect F = R;
  RaisedInner(C, F, LeftTop);
  RaisedOuter(C, F, RightBottom);
  F = Shrink(F, 1);
  RaisedInner(C, F, RightBottom);
  F.Right -= 1;
  F.Bottom -= 1;
  Fill(C, F, Color == clDefault ? clBtnFace : Color);
  ExpandSign(C, F, Expanded, clBtnText);
  ClipOut(C, R);
}

void TlfStandardLookAndFeelPainter::PaintGroupExpandButton(TlfCanvas* C, const TRect& R,
                                                           bool Expanded,
                                                           TlfElementState State) const {
  TlfFlatLookAndFeelPainter::Class()->TlfCustomLookAndFeelPainter::PaintGroupExpandButton(
      C, R, Expanded, State);
}

void TlfStandardLookAndFeelPainter::PaintCheckFrame(TlfCanvas* C, const TRect& R,
                                                    TlfElementState) const {
  SunkenInner(C, R, lfAllBorders);
  SunkenOuter(C, Shrink(R, 1), lfAllBorders);
}

void TlfStandardLookAndFeelPainter::PaintHeaderFrame(TlfCanvas* C, const TRect& R,
                                                     TlfBorders Neighbors, TlfBorders) const {
  RaisedInner(C, R, lfAllBorders);
  SoftenHeaderCorners(C, R, Neighbors);
}

void TlfStandardLookAndFeelPainter::PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R,
                                                            TlfBorders Borders,
                                                            TlfElementState State) const {
  if (State == esPressed) {
    FrameRing(C, R, clBtnShadow, clBtnShadow, Borders);
    return;
  }
  FrameRing(C, R, clBtnHighlight, cl3DDkShadow, Borders);
  FrameRing(C, Shrink(R, 1), cl3DLight, clBtnShadow, Borders);
}

void TlfStandardLookAndFeelPainter::PaintSortMark(TlfCanvas* C, const TRect& R,
                                                  bool Ascending) const {
  SortArrow(this, C, R, clBtnShadow, clBtnHighlight, Ascending);
}

void TlfStandardLookAndFeelPainter::PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const {
  RaisedInner(C, R, lfAllBorders);
}

void TlfStandardLookAndFeelPainter::PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const {
  SunkenOuter(C, R, lfAllBorders);
}

void TlfStandardLookAndFeelPainter::PaintDropDownButton(TlfCanvas* C, const TRect& R,
                                                        TlfElementState State, bool Active) const {
  if (State == esPressed)
    SunkenOuter(C, R, lfAllBorders);
  else
    RaisedInner(C, R, lfAllBorders);
  TRect F = Shrink(R, 1);
  Fill(C, F, clBtnFace);
  PaintDropDownGlyph(C, F, Active ? clBlue : clBtnText);
}

void TlfStandardLookAndFeelPainter::PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side,
                                                  TlfBorders Borders, bool Vertical) const {
  ClassicTabFrame(C, R, Side, Borders, Vertical);
}

void TlfStandardLookAndFeelPainter::PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                                 bool) const {
  RaisedInner(C, R, Borders);
}

void TlfStandardLookAndFeelPainter::PaintScrollBarPart(TlfCanvas* C, bool Horizontal,
                                                       const TRect& R, TlfScrollPart Part,
                                                       TlfElementState State) const {
  if (R.IsEmpty() || (Part == scpThumb && State == esDisabled)) return;
  if (State == esHot) State = esNormal;
  auto Bevel = [&](bool PressedLine) {
    if (PressedLine) {
      FrameRing(C, R, clBtnShadow, clBtnShadow, lfAllBorders);
      FrameRing(C, Shrink(R, 1), clBtnFace, clBtnFace, lfAllBorders);
    } else {
      FrameRing(C, R, clBtnFace, cl3DDkShadow, lfAllBorders);
      FrameRing(C, Shrink(R, 1), clBtnHighlight, clBtnShadow, lfAllBorders);
    }
  };
  switch (Part) {
  case scpLineUp:
  case scpLineDown: {
    bool Pressed = State == esPressed;
    RECT r = Pressed ? RECT(Offset(R, 1, 1)) : RECT(R);
    UINT Kind;
    if (Horizontal)
      Kind = Part == scpLineUp ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
    else
      Kind = Part == scpLineUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
    if (State == esDisabled) Kind |= DFCS_INACTIVE;
    if (Pressed) Kind |= DFCS_FLAT;
    DrawFrameControl(Cv(C)->Handle(), &r, DFC_SCROLL, Kind);
    Bevel(Pressed);
    break;
  }
  case scpThumb:
    Bevel(false);
    Fill(C, Shrink(R, ButtonBorderWidth(esNormal)), clBtnFace);
    break;
  case scpPageUp:
  case scpPageDown:
    FillScrollPage(C, R, State);
    break;
  default:
    break;
  }
}

void TlfStandardLookAndFeelPainter::PaintCalendarHeader(
    TlfCanvas* C, const TRect& R, const std::wstring& Text, TlfBorders Neighbors,
    const TlfViewParams& ViewParams, TlfCalendarArrows Arrows, int ArrowOffset,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  TlfBorders Sides = lfAllBorders;
  if (Neighbors & 1) Sides &= ~1;
  if (Neighbors & 4) Sides &= ~4;
  FrameRing(C, R, clBlack, clBlack, Sides);
  TRect Inner = HeaderContentBounds(R, Sides);
  PaintHeader(C, Inner, Inner, Neighbors, lfAllBorders, esNormal, taCenter, valCenter, false, false,
              Text, ViewFont(ViewParams), ViewTextColor(ViewParams), ViewColor(ViewParams),
              OnPaintBackground, false, false);
  CalendarArrows(this, C, R, Arrows, ArrowOffset, clWindowText);
}

namespace {

// Lines along the two long sides of a splitter, with R adjusted after each pair.
void SplitterLines(TlfCanvas* C, TRect& R, bool Horizontal, TColor First, TColor Second) {
  if (Horizontal) {
    Fill(C, TRect(R.Left, R.Top, R.Right, R.Top + 1), First);
    Fill(C, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), Second);
    R = TRect(R.Left - 1, R.Top + 1, R.Right + 1, R.Bottom - 1);
  } else {
    Fill(C, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), First);
    Fill(C, TRect(R.Right - 1, R.Top, R.Right, R.Bottom), Second);
    R = TRect(R.Left + 1, R.Top - 1, R.Right - 1, R.Bottom + 1);
  }
}

} // namespace

void TlfStandardLookAndFeelPainter::PaintSplitterFrame(TlfCanvas* C, const TRect& R,
                                                       const TlfViewParams& ViewParams,
                                                       bool Horizontal) const {
  TRect F = R;
  SplitterLines(C, F, Horizontal, clBtnFace, cl3DDkShadow);
  SplitterLines(C, F, Horizontal, clBtnHighlight, clBtnShadow);
  FillView(C, F, ViewParams);
}

// ---------------------------------------------------------------------------
// Flat painter

TlfLookAndFeelPainterClass TlfFlatLookAndFeelPainter::Class() {
  static auto* Instance = new TlfFlatLookAndFeelPainter;
  return Instance;
}

TlfPaintStyle TlfFlatLookAndFeelPainter::PaintStyle() const {
  return psFlat;
}
int TlfFlatLookAndFeelPainter::BorderWidth() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::ButtonBorderWidth(TlfElementState State) const {
  return State == esDefault ? 2 : 1;
}
int TlfFlatLookAndFeelPainter::ButtonTextIndent() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::ButtonPressedShift() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::ExpandButtonWidth() const {
  return 11;
}
bool TlfFlatLookAndFeelPainter::ButtonHotTracking() const {
  return false;
}
int TlfFlatLookAndFeelPainter::HeaderBorderWidth() const {
  return 1;
}
TPoint TlfFlatLookAndFeelPainter::SortMarkExtent() const {
  return TPoint(8, 7);
}
int TlfFlatLookAndFeelPainter::FooterPanelBorderWidth() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::FooterCellBorderWidth() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::FooterCellSpacing() const {
  return 1;
}
int TlfFlatLookAndFeelPainter::TabBorderWidth(bool) const {
  return 1;
}

void TlfFlatLookAndFeelPainter::PaintControlBorder(TlfCanvas* C, const TRect& R) const {
  SunkenOuter(C, R, lfAllBorders);
}

void TlfFlatLookAndFeelPainter::PaintButtonFrame(TlfCanvas* C, const TRect& R,
                                                 TlfElementState State) const {
  if (State == esPressed) {
    SunkenOuter(C, R, lfAllBorders);
    return;
  }
  TRect F = R;
  if (State == esDefault) {
    Frame(C, F, clBlack);
    F = Shrink(F, 1);
  }
  RaisedInner(C, F, lfAllBorders);
}

void TlfFlatLookAndFeelPainter::PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                  TColor Color) const {
  PaintButton(C, R, L"", esNormal, true, Color, clDefault, false);
  ExpandSign(C, Shrink(R, 1), Expanded, clBtnText);
  ClipOut(C, R);
}

void TlfFlatLookAndFeelPainter::PaintCheckFrame(TlfCanvas* C, const TRect& R,
                                                TlfElementState State) const {
  SunkenOuter(C, R, lfAllBorders);
  Frame(C, Shrink(R, 1), CheckFaceColor(State));
}

void TlfFlatLookAndFeelPainter::PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders Neighbors,
                                                 TlfBorders) const {
  RaisedInner(C, R, lfAllBorders);
  SoftenHeaderCorners(C, R, Neighbors);
}

void TlfFlatLookAndFeelPainter::PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R,
                                                        TlfBorders Borders,
                                                        TlfElementState State) const {
  if (State == esPressed)
    FrameRing(C, R, clBtnShadow, clBtnHighlight, Borders);
  else
    FrameRing(C, R, clBtnHighlight, clBtnShadow, Borders);
}

void TlfFlatLookAndFeelPainter::PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const {
  SortArrow(this, C, R, clBtnShadow, clBtnHighlight, Ascending);
}

void TlfFlatLookAndFeelPainter::PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const {
  RaisedInner(C, R, lfAllBorders);
}

void TlfFlatLookAndFeelPainter::PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const {
  SunkenOuter(C, R, lfAllBorders);
}

void TlfFlatLookAndFeelPainter::PaintDropDownButton(TlfCanvas* C, const TRect& R,
                                                    TlfElementState State, bool Active) const {
  if (State == esPressed)
    SunkenOuter(C, R, lfAllBorders);
  else
    RaisedInner(C, R, lfAllBorders);
  TRect F = Shrink(R, 1);
  Fill(C, F, clBtnFace);
  PaintDropDownGlyph(C, F, Active ? clBlue : clBtnText);
}

void TlfFlatLookAndFeelPainter::PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side,
                                              TlfBorders Borders, bool Vertical) const {
  ClassicTabFrame(C, R, Side, Borders, Vertical);
}

void TlfFlatLookAndFeelPainter::PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                             bool) const {
  RaisedInner(C, R, Borders);
}

void TlfFlatLookAndFeelPainter::PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R,
                                                   TlfScrollPart Part,
                                                   TlfElementState State) const {
  if (R.IsEmpty() || (Part == scpThumb && State == esDisabled)) return;
  if (State == esHot) State = esNormal;
  switch (Part) {
  case scpLineUp:
  case scpLineDown:
  case scpThumb:
    PaintButton(C, R, L"", State, true, clDefault, clDefault, false);
    if (Part != scpThumb)
      PaintScrollArrow(C, Shrink(R, ButtonBorderWidth(esNormal)), State,
                       ScrollPartArrow(Horizontal, Part));
    break;
  case scpPageUp:
  case scpPageDown:
    FillScrollPage(C, R, State);
    break;
  default:
    break;
  }
}

void TlfFlatLookAndFeelPainter::PaintSplitterFrame(TlfCanvas* C, const TRect& R,
                                                   const TlfViewParams& ViewParams,
                                                   bool Horizontal) const {
  TRect F = R;
  SplitterLines(C, F, Horizontal, clBtnHighlight, clBtnShadow);
  FillView(C, F, ViewParams);
}

// ---------------------------------------------------------------------------
// Ultra-flat painter

TlfLookAndFeelPainterClass TlfUltraFlatLookAndFeelPainter::Class() {
  static auto* Instance = new TlfUltraFlatLookAndFeelPainter;
  return Instance;
}

TlfPaintStyle TlfUltraFlatLookAndFeelPainter::PaintStyle() const {
  return psUltraFlat;
}
int TlfUltraFlatLookAndFeelPainter::BorderWidth() const {
  return 1;
}
int TlfUltraFlatLookAndFeelPainter::ButtonBorderWidth(TlfElementState State) const {
  return State == esDefault ? 2 : 1;
}
int TlfUltraFlatLookAndFeelPainter::ButtonTextIndent() const {
  return 2;
}
int TlfUltraFlatLookAndFeelPainter::ButtonPressedShift() const {
  return 0;
}
int TlfUltraFlatLookAndFeelPainter::ExpandButtonWidth() const {
  return 11;
}
bool TlfUltraFlatLookAndFeelPainter::ButtonHotTracking() const {
  return true;
}
int TlfUltraFlatLookAndFeelPainter::HeaderBorderWidth() const {
  return 1;
}
TPoint TlfUltraFlatLookAndFeelPainter::SortMarkExtent() const {
  return TPoint(7, 8);
}
TlfBorders TlfUltraFlatLookAndFeelPainter::FooterPanelSides() const {
  return RightBottom;
}
int TlfUltraFlatLookAndFeelPainter::FooterPanelBorderWidth() const {
  return 1;
}
int TlfUltraFlatLookAndFeelPainter::FooterCellBorderWidth() const {
  return 1;
}
int TlfUltraFlatLookAndFeelPainter::FooterCellSpacing() const {
  return 2;
}
int TlfUltraFlatLookAndFeelPainter::TabBorderWidth(bool) const {
  return 1;
}
TColor TlfUltraFlatLookAndFeelPainter::StyleColor39() const {
  return clBtnShadow;
}

TColor TlfUltraFlatLookAndFeelPainter::ButtonFaceColor(TlfElementState State) const {
  if (State == esHot) return LightSelectionColor();
  if (State == esPressed) return LightBorderColor();
  return clBtnFace;
}

TColor TlfUltraFlatLookAndFeelPainter::ButtonGlyphColor(TlfElementState State,
                                                        TColor DefaultColor) const {
  if (State == esPressed) return clHighlightText;
  return TlfCustomLookAndFeelPainter::ButtonGlyphColor(State, DefaultColor);
}

TlfElementState TlfUltraFlatLookAndFeelPainter::ButtonGlyphState(TlfElementState) const {
  return esNormal;
}

TRect TlfUltraFlatLookAndFeelPainter::ButtonFocusBounds(TlfCanvas*, const TRect& R) const {
  TRect F = Shrink(R, 3);
  return F.IsEmpty() ? R : F;
}

TRect TlfUltraFlatLookAndFeelPainter::GroupButtonBorderWidths(int ButtonCount,
                                                              int ButtonIndex) const {
  TRect W(1, 2, 1, 2);
  if (ButtonIndex == 0)
    W.Left = 2;
  else if (ButtonIndex == ButtonCount - 1)
    W.Right = 2;
  return W;
}

TPoint TlfUltraFlatLookAndFeelPainter::CloseButtonExtent() const {
  return TPoint(16, 15);
}

TlfBorders TlfUltraFlatLookAndFeelPainter::HeaderFrameSides(TlfBorders Neighbors) const {
  TlfBorders S = lfAllBorders;
  if (Neighbors & 1) S &= ~1;
  if (Neighbors & 2) S &= ~2;
  return S;
}

TColor TlfUltraFlatLookAndFeelPainter::ButtonFrameColor(TlfElementState State) const {
  return State == esNormal ? clBtnShadow : clHighlight;
}
TColor TlfUltraFlatLookAndFeelPainter::LightEdgeColor() const {
  return clBtnShadow;
}
TColor TlfUltraFlatLookAndFeelPainter::DarkEdgeColor() const {
  return clBtnText;
}
TColor TlfUltraFlatLookAndFeelPainter::FrameHighlightColor() const {
  return clHighlight;
}

void TlfUltraFlatLookAndFeelPainter::PaintControlBorder(TlfCanvas* C, const TRect& R) const {
  Frame(C, R, clBtnShadow);
}

void TlfUltraFlatLookAndFeelPainter::PaintButtonFrame(TlfCanvas* C, const TRect& R,
                                                      TlfElementState State) const {
  switch (State) {
  case esDefault:
    Frame(C, R, clWindowFrame);
    Frame(C, Shrink(R, 1), clWindowFrame);
    break;
  case esNormal:
    Frame(C, R, clBtnText);
    break;
  case esDisabled:
    Frame(C, R, clBtnShadow);
    break;
  default:
    Frame(C, R, clHighlight);
    break;
  }
}

void TlfUltraFlatLookAndFeelPainter::PaintGroupButton(TlfCanvas* C, const TRect& R,
                                                      TlfElementState State, int ButtonCount,
                                                      int ButtonIndex, TColor FrameColor) const {
  TRect F = R;
  bool First = ButtonIndex == 0, Last = ButtonIndex == ButtonCount - 1;
  F.Top += 1;
  F.Bottom -= 1;
  if (First) F.Left += 1;
  if (Last) F.Right -= 1;
  if (State == esNormal || State == esDisabled) {
    Frame(C, F, FrameColor);
    F = Shrink(F, 1);
  } else {
    if (!First) {
      Fill(C, TRect(F.Left, F.Top, F.Left + 1, F.Bottom), FrameHighlightColor());
      F.Left += 1;
    }
    if (!Last) {
      Fill(C, TRect(F.Right - 1, F.Top, F.Right, F.Bottom), FrameHighlightColor());
      F.Right -= 1;
    }
  }
  Fill(C, F, ButtonFaceColor(State));
}

void TlfUltraFlatLookAndFeelPainter::PaintGroupButtonFrame(TlfCanvas* C, const TRect& R,
                                                           bool Emphasized,
                                                           bool Highlighted) const {
  Frame(C, R, Emphasized ? clBtnText : Highlighted ? FrameHighlightColor() : clBtnShadow);
}

void TlfUltraFlatLookAndFeelPainter::PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                       TColor Color) const {
  Frame(C, R, clBtnShadow);
  TRect F = Shrink(R, 1);
  Fill(C, F, Color == clDefault ? clBtnFace : Color);
  ExpandSign(C, F, Expanded, clBtnText);
  ClipOut(C, R);
}

void TlfUltraFlatLookAndFeelPainter::PaintCheckFrame(TlfCanvas* C, const TRect& R,
                                                     TlfElementState State) const {
  Frame(C, R, clBtnText);
  Frame(C, Shrink(R, 1), CheckFaceColor(State));
}

void TlfUltraFlatLookAndFeelPainter::PaintHeaderFrame(TlfCanvas* C, const TRect& R, TlfBorders,
                                                      TlfBorders Borders) const {
  if (Borders & 1) Fill(C, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), clBtnText);
  if (Borders & 2) Fill(C, TRect(R.Left, R.Top, R.Right, R.Top + 1), clBtnText);
  Fill(C, TRect(R.Right - 1, R.Top, R.Right, R.Bottom), clBtnText);
  Fill(C, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), clBtnText);
}

void TlfUltraFlatLookAndFeelPainter::PaintHeaderPlain(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor, const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintCellContent(C, Bounds, Shrink(TextBounds, 1), State, AlignHorz, AlignVert, MultiLine,
                   EndEllipsis, Text, Font, TextColor, BackColor, OnPaintBackground, false);
  PaintHeaderFrame(C, Shrink(Bounds, 1), Neighbors, Borders);
}

void TlfUltraFlatLookAndFeelPainter::PaintHeaderSectionFrame(TlfCanvas* C, const TRect& R,
                                                             TlfBorders Borders,
                                                             TlfElementState State) const {
  TColor Cl = State == esDisabled ? clBtnShadow : clBlack;
  FrameRing(C, R, Cl, Cl, Borders);
}

void TlfUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(
    TlfCanvas* C, const TRect& R, const TRect& TextBounds, TlfElementState State,
    TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
    const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor) const {
  if (State == esHot || State == esPressed || State == esDisabled)
    BackColor = ButtonFaceColor(State);
  Fill(C, R, BackColor);
  Cv(C)->Font()->SetColor(TextColor);
  PaintHeaderSectionText(C, HeaderSectionTextBounds(TextBounds, State), State, AlignHorz, AlignVert,
                         MultiLine, EndEllipsis, Text, Font, TextColor);
}

void TlfUltraFlatLookAndFeelPainter::PaintSortMark(TlfCanvas* C, const TRect& R,
                                                   bool Ascending) const {
  SortArrow(this, C, R, clBtnShadow, clBtnShadow, Ascending);
}

void TlfUltraFlatLookAndFeelPainter::PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const {
  Fill(C, TRect(R.Right - 1, R.Top, R.Right, R.Bottom), FooterLineColor());
  Fill(C, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), FooterLineColor());
}

void TlfUltraFlatLookAndFeelPainter::PaintFooterCellFrame(TlfCanvas* C, const TRect& R) const {
  Frame(C, R, FooterLineColor());
}

void TlfUltraFlatLookAndFeelPainter::PaintDropDownButton(TlfCanvas* C, const TRect& R,
                                                         TlfElementState State, bool Active) const {
  Frame(C, R, ButtonFrameColor(State));
  TRect F = Shrink(R, 1);
  Fill(C, F, ButtonFaceColor(State));
  PaintDropDownGlyph(C, F, Active ? clBlue : ButtonGlyphColor(State, clDefault));
}

void TlfUltraFlatLookAndFeelPainter::PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side,
                                                   TlfBorders, bool Vertical) const {
  TRect F = R;
  bool Shadow = Vertical ? Side == bBottom : Side == bRight;
  if (Shadow && !Vertical) F.Bottom -= TabBorderWidth(Vertical);
  Fill(C, F, Shadow ? DarkEdgeColor() : LightEdgeColor());
}

void TlfUltraFlatLookAndFeelPainter::PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                                  bool Vertical) const {
  C->FrameSides(R, LightEdgeColor(), LightEdgeColor(), Borders, TabBorderWidth(Vertical));
}

void TlfUltraFlatLookAndFeelPainter::PaintScrollBarPart(TlfCanvas* C, bool Horizontal,
                                                        const TRect& R, TlfScrollPart Part,
                                                        TlfElementState State) const {
  if (R.IsEmpty() || (Part == scpThumb && State == esDisabled)) return;
  switch (Part) {
  case scpLineUp:
  case scpLineDown:
  case scpThumb:
    PaintButton(C, R, L"", State, true, clDefault, clDefault, false);
    if (Part != scpThumb) PaintScrollArrow(C, R, State, ScrollPartArrow(Horizontal, Part));
    break;
  case scpPageUp:
  case scpPageDown:
    FillScrollPage(C, R, State);
    break;
  default:
    break;
  }
}

void TlfUltraFlatLookAndFeelPainter::PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds,
                                                           const TRect& ArrowRect, bool IsNext,
                                                           TlfElementState State) const {
  Fill(C, Bounds, clBtnFace);
  TColor Cl = State == esHot ? LightEdgeColor() : DarkEdgeColor();
  FrameRing(C, Bounds, Cl, Cl, IsNext ? TlfBorders(1 | 2 | 8) : TlfBorders(2 | 4 | 8));
  PaintNavArrow(C, ArrowRect, IsNext, ButtonGlyphColor(State, clDefault));
}

void TlfUltraFlatLookAndFeelPainter::PaintNavButtonFace(TlfCanvas* C, const TRect& R,
                                                        TlfElementState State) const {
  PaintButton(C, R, L"", State, State == esHot || State == esPressed, clDefault, clDefault, false);
}

void TlfUltraFlatLookAndFeelPainter::PaintSplitterFrame(TlfCanvas* C, const TRect& R,
                                                        const TlfViewParams& ViewParams,
                                                        bool Horizontal) const {
  TRect F = R;
  SplitterLines(C, F, Horizontal, StyleColor39(), StyleColor39());
  FillView(C, F, ViewParams);
}

// ---------------------------------------------------------------------------
// XP theme painter

namespace {

HTHEME Theme(TlxThemeClass c) {
  return GetThemeHandle(c);
}

int PushButtonState(TlfElementState S) {
  static const int T[] = {5, 1, 2, 3, 4};
  return T[S];
}
int ScrollArrowState(TlfArrowKind D, TlfElementState S) {
  static const int T[] = {1, 1, 2, 3, 4};
  return int(D) * 4 + T[S];
}
int CheckBoxState(bool Checked, TlfElementState S) {
  static const int T[] = {1, 1, 2, 3, 4};
  return T[S] + (Checked ? 4 : 0);
}
int HeaderItemState(TlfElementState S) {
  static const int T[] = {1, 1, 2, 3, 1};
  return T[S];
}
// Small close button, drop-down button and tab item share one table.
int PlainState(TlfElementState S) {
  static const int T[] = {1, 1, 2, 3, 4};
  return T[S];
}
int ToolbarState(TlfElementState S) {
  static const int T[] = {2, 2, 5, 3, 4};
  return T[S];
}
int ScrollTrackState(TlfElementState S) {
  switch (S) {
  case esHot:
    return 2;
  case esPressed:
    return 3;
  case esDisabled:
    return 4;
  default:
    return 1;
  }
}
int GroupExpandState(TlfElementState S) {
  switch (S) {
  case esHot:
    return 2;
  case esPressed:
    return 3;
  default:
    return 1;
  }
}

// The content rectangle of a part within (0, 0, 100, 100).
bool ContentRect(HTHEME T, int Part, int State, RECT& Content) {
  RECT Bounds{0, 0, 100, 100};
  return SUCCEEDED(lx::GetThemeBackgroundContentRect(T, nullptr, Part, State, &Bounds, &Content));
}

void DrawThemed(TlfCanvas* C, HTHEME T, int Part, int State, const TRect& R,
                const RECT* Clip = nullptr) {
  RECT r = R;
  lx::DrawThemeBackground(T, Cv(C)->Handle(), Part, State, r, Clip);
}

} // namespace

TlfLookAndFeelPainterClass TlfWinXPLookAndFeelPainter::Class() {
  static auto* Instance = new TlfWinXPLookAndFeelPainter;
  return Instance;
}

TlfPaintStyle TlfWinXPLookAndFeelPainter::PaintStyle() const {
  return psNative;
}
int TlfWinXPLookAndFeelPainter::ButtonTextIndent() const {
  return 2;
}
int TlfWinXPLookAndFeelPainter::ButtonPressedShift() const {
  return 0;
}
bool TlfWinXPLookAndFeelPainter::ButtonHotTracking() const {
  return true;
}
bool TlfWinXPLookAndFeelPainter::ExpandButtonPaintedFirst() const {
  return false;
}
bool TlfWinXPLookAndFeelPainter::HeaderHotTracking() const {
  return true;
}
bool TlfWinXPLookAndFeelPainter::FooterCellsPaintedFirst() const {
  return false;
}
TRect TlfWinXPLookAndFeelPainter::ProgressBarMargins() const {
  return TRect(3, 3, 3, 3);
}
TPoint TlfWinXPLookAndFeelPainter::SortMarkExtent() const {
  return TlfUltraFlatLookAndFeelPainter::Class()->SortMarkExtent();
}
TColor TlfWinXPLookAndFeelPainter::StyleColor42() const {
  return 0x00D5FFFF;
}

TColor TlfWinXPLookAndFeelPainter::StyleColor39() const {
  COLORREF c;
  if (HTHEME T = Theme(tcComboBox))
    if (SUCCEEDED(lx::GetThemeColor(T, 1, 1, 3801, &c))) return c;
  return TlfStandardLookAndFeelPainter::StyleColor39();
}

void TlfWinXPLookAndFeelPainter::PaintArrowButton(TlfCanvas* C, const TRect& R,
                                                  TlfElementState State, TlfArrowKind Direction,
                                                  bool WithFrame) const {
  if (HTHEME T = Theme(tcScrollBar))
    DrawThemed(C, T, 1, ScrollArrowState(Direction, State), R);
  else
    TlfCustomLookAndFeelPainter::PaintArrowButton(C, R, State, Direction, WithFrame);
}

void TlfWinXPLookAndFeelPainter::PaintArrowButtonFrame(TlfCanvas* C, const TRect& R,
                                                       TlfElementState State) const {
  if (HTHEME T = Theme(tcButton))
    DrawThemed(C, T, 1, PushButtonState(State), R);
  else
    TlfCustomLookAndFeelPainter::PaintArrowButtonFrame(C, R, State);
}

int TlfWinXPLookAndFeelPainter::BorderWidth() const {
  return Theme(tcListView) ? 1 : TlfStandardLookAndFeelPainter::BorderWidth();
}

void TlfWinXPLookAndFeelPainter::PaintControlBorder(TlfCanvas* C, const TRect& R) const {
  HTHEME T = Theme(tcListView);
  if (!T) {
    TlfStandardLookAndFeelPainter::PaintControlBorder(C, R);
    return;
  }
  C->PushState();
  C->ClipOut(Shrink(R, 1));
  DrawThemed(C, T, 5, 0, R);
  C->PopState();
}

TRect TlfWinXPLookAndFeelPainter::GroupButtonDisplayRect(const TRect& R, int, int) const {
  HTHEME T = Theme(tcButton);
  if (T && lx::IsThemeBackgroundPartiallyTransparent(T, 1, 1)) return Shrink(R, -1);
  return R;
}

int TlfWinXPLookAndFeelPainter::ButtonBorderWidth(TlfElementState State) const {
  RECT Content;
  if (HTHEME T = Theme(tcButton))
    if (ContentRect(T, 1, PushButtonState(State), Content)) return Content.left;
  return TlfStandardLookAndFeelPainter::ButtonBorderWidth(esNormal);
}

TColor TlfWinXPLookAndFeelPainter::ButtonFaceColor(TlfElementState State) const {
  COLORREF c;
  if (HTHEME T = Theme(tcButton))
    if (SUCCEEDED(lx::GetThemeColor(T, 1, PushButtonState(State), 204, &c))) return c;
  // A theme without the property keeps the inherited face colour.
  return TlfStandardLookAndFeelPainter::ButtonFaceColor(State);
}

TRect TlfWinXPLookAndFeelPainter::ButtonFocusBounds(TlfCanvas* C, const TRect& R) const {
  if (HTHEME T = Theme(tcButton)) {
    RECT Bounds = R, Content;
    if (SUCCEEDED(lx::GetThemeBackgroundContentRect(T, Cv(C)->Handle(), 1, 1, &Bounds, &Content)))
      return TRect(Content);
  }
  return TlfCustomLookAndFeelPainter::ButtonFocusBounds(C, R);
}

TRect TlfWinXPLookAndFeelPainter::GroupButtonBorderWidths(int ButtonCount, int ButtonIndex) const {
  HTHEME T = Theme(tcButton);
  RECT Content;
  if (!T || !ContentRect(T, 1, 1, Content))
    return TlfStandardLookAndFeelPainter::GroupButtonBorderWidths(ButtonCount, ButtonIndex);
  TRect W(Content.left, Content.top, 100 - Content.right, 100 - Content.bottom);
  if (lx::IsThemeBackgroundPartiallyTransparent(T, 1, 1)) W = Shrink(W, 1);
  return W;
}

TColor TlfWinXPLookAndFeelPainter::ButtonGlyphColor(TlfElementState State,
                                                    TColor DefaultColor) const {
  COLORREF c;
  if (HTHEME T = Theme(tcButton))
    if (SUCCEEDED(lx::GetThemeColor(T, 1, PushButtonState(State), 3803, &c))) return c;
  return TlfCustomLookAndFeelPainter::ButtonGlyphColor(State, DefaultColor);
}

void TlfWinXPLookAndFeelPainter::PaintButton(TlfCanvas* C, const TRect& R,
                                             const std::wstring& Caption, TlfElementState State,
                                             bool WithFrame, TColor Color, TColor TextColor,
                                             bool WordWrap) const {
  HTHEME T = Theme(tcButton);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintButton(C, R, Caption, State, WithFrame, Color, TextColor,
                                             WordWrap);
    return;
  }
  int S = PushButtonState(State);
  DrawThemed(C, T, 1, S, R);
  SelectTextFont(C);
  RECT r = R;
  lx::DrawThemeText(T, Cv(C)->Handle(), 1, S, Caption.c_str(), int(Caption.size()),
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r);
}

void TlfWinXPLookAndFeelPainter::PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                   TColor Color) const {
  HTHEME T = Theme(tcTreeView);
  if (!T) {
    TlfStandardLookAndFeelPainter::PaintExpandButton(C, R, Expanded, Color);
    return;
  }
  DrawThemed(C, T, 2, Expanded ? 2 : 1, R);
  ClipOut(C, R);
}

int TlfWinXPLookAndFeelPainter::ExpandButtonWidth() const {
  SIZE S;
  if (HTHEME T = Theme(tcTreeView))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 2, 2, TS_TRUE, &S))) return S.cx;
  return TlfStandardLookAndFeelPainter::ExpandButtonWidth();
}

void TlfWinXPLookAndFeelPainter::PaintGroupExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                        TlfElementState State) const {
  if (HTHEME T = Theme(tcExplorerBar))
    DrawThemed(C, T, Expanded ? 6 : 7, GroupExpandState(State), R);
  else
    TlfStandardLookAndFeelPainter::PaintGroupExpandButton(C, R, Expanded, State);
}

int TlfWinXPLookAndFeelPainter::GroupExpandButtonWidth() const {
  SIZE S;
  if (HTHEME T = Theme(tcExplorerBar))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 7, 1, TS_TRUE, &S))) return S.cx;
  return TlfCustomLookAndFeelPainter::GroupExpandButtonWidth();
}

bool TlfWinXPLookAndFeelPainter::PointInGroupExpandButton(const TRect& R, const TPoint& P) const {
  HTHEME T = Theme(tcExplorerBar);
  if (!T) return TlfCustomLookAndFeelPainter::PointInGroupExpandButton(R, P);
  RECT r = R;
  HRGN Rgn = nullptr;
  bool In = false;
  if (SUCCEEDED(lx::GetThemeBackgroundRegion(T, nullptr, 7, 1, &r, &Rgn)) && Rgn)
    In = PtInRegion(Rgn, P.X, P.Y) != 0;
  if (Rgn) DeleteObject(Rgn);
  return In;
}

void TlfWinXPLookAndFeelPainter::PaintSmallExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                        TColor, TColor Color) const {
  if (Theme(tcTreeView))
    PaintExpandButton(C, R, Expanded, clDefault);
  else
    TlfCustomLookAndFeelPainter::PaintSmallExpandButton(C, R, Expanded, Color, clDefault);
}

int TlfWinXPLookAndFeelPainter::SmallExpandButtonWidth() const {
  return Theme(tcTreeView) ? ExpandButtonWidth()
                           : TlfCustomLookAndFeelPainter::SmallExpandButtonWidth();
}

int TlfWinXPLookAndFeelPainter::CheckFrameWidth() const {
  return Theme(tcButton) ? 0 : TlfCustomLookAndFeelPainter::CheckFrameWidth();
}

TSize TlfWinXPLookAndFeelPainter::CheckBoxExtent() const {
  SIZE S;
  if (HTHEME T = Theme(tcButton))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 3, 5, TS_TRUE, &S))) return S;
  return TlfCustomLookAndFeelPainter::CheckBoxExtent();
}

void TlfWinXPLookAndFeelPainter::PaintCheckMark(TlfCanvas* C, const TRect& R, TlfElementState State,
                                                bool Checked, TColor Color) const {
  if (HTHEME T = Theme(tcButton))
    DrawThemed(C, T, 3, CheckBoxState(Checked, State), R);
  else
    TlfCustomLookAndFeelPainter::PaintCheckMark(C, R, State, Checked, Color);
}

void TlfWinXPLookAndFeelPainter::PaintCheckFrame(TlfCanvas* C, const TRect& R,
                                                 TlfElementState State) const {
  if (!Theme(tcButton)) TlfStandardLookAndFeelPainter::PaintCheckFrame(C, R, State);
}

void TlfWinXPLookAndFeelPainter::PaintRadioButton(TlfCanvas* C, int X, int Y, TlfElementState State,
                                                  bool Checked, bool Focused, TColor BrushColor,
                                                  bool IsDesigning) const {
  HTHEME T = Theme(tcButton);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintRadioButton(C, X, Y, State, Checked, Focused, BrushColor,
                                                  IsDesigning);
    return;
  }
  TSize S = RadioButtonExtent();
  DrawThemed(C, T, 2, CheckBoxState(Checked, State), TRect(X, Y, X + S.cx, Y + S.cy));
}

TSize TlfWinXPLookAndFeelPainter::RadioButtonExtent() const {
  SIZE S;
  if (HTHEME T = Theme(tcButton))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 2, 1, TS_TRUE, &S))) return S;
  return TlfCustomLookAndFeelPainter::RadioButtonExtent();
}

void TlfWinXPLookAndFeelPainter::PaintHeader(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor, const TlfPaintBackgroundEvent& OnPaintBackground, bool IsLast,
    bool ExtraFlag) const {
  HTHEME T = Theme(tcHeader);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintHeader(
        C, Bounds, TextBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
        EndEllipsis, Text, Font, TextColor, BackColor, OnPaintBackground, IsLast, ExtraFlag);
    return;
  }
  int S = HeaderItemState(State);
  BYTE Scheme = Office11Scheme();
  int Part = (IsLast && S == 1 && (Scheme == 1 || Scheme == 2)) ? 3 : 1;
  DrawThemed(C, T, Part, S, Bounds);
  TRect TextRect = State == esPressed ? Offset(TextBounds, 1, 1) : TextBounds;
  PaintThemedText(C, T, Part, S, Bounds, TextRect, AlignHorz, AlignVert, MultiLine, EndEllipsis,
                  false, Text, Font, TextColor, BackColor);
}

void TlfWinXPLookAndFeelPainter::PaintHeaderPushed(TlfCanvas*, const TRect&) const {}

void TlfWinXPLookAndFeelPainter::PaintHeaderSection(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor) const {
  Fill(C, Bounds, clBtnFace);
  PaintHeader(C, Bounds, TextBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              EndEllipsis, Text, Font, TextColor, BackColor, nullptr, false, false);
}

void TlfWinXPLookAndFeelPainter::PaintSortMark(TlfCanvas* C, const TRect& R, bool Ascending) const {
  SortArrow(TlfUltraFlatLookAndFeelPainter::Class(), C, R, clBtnShadow, clBtnShadow, Ascending);
}

int TlfWinXPLookAndFeelPainter::HeaderBorderWidth() const {
  RECT Content;
  if (HTHEME T = Theme(tcHeader))
    if (ContentRect(T, 1, 1, Content)) return std::max<int>((Content.left + Content.top) / 2, 1);
  return TlfStandardLookAndFeelPainter::HeaderBorderWidth();
}

int TlfWinXPLookAndFeelPainter::HeaderSectionFrameWidth(TlfElementState) const {
  return HeaderBorderWidth();
}

TRect TlfWinXPLookAndFeelPainter::HeaderSectionContentBounds(const TRect& Bounds,
                                                             TlfElementState State) const {
  if (Theme(tcHeader)) return Shrink(Bounds, HeaderBorderWidth());
  return TlfCustomLookAndFeelPainter::HeaderSectionContentBounds(Bounds, State);
}

void TlfWinXPLookAndFeelPainter::PaintFooterPanelFrame(TlfCanvas* C, const TRect& R) const {
  if (HTHEME T = Theme(tcEdit)) {
    RECT r = R;
    lx::DrawThemeEdge(T, Cv(C)->Handle(), 0, 0, &r, BDR_RAISEDINNER, BF_RECT, nullptr);
  } else
    TlfStandardLookAndFeelPainter::PaintFooterPanelFrame(C, R);
}

int TlfWinXPLookAndFeelPainter::FooterPanelBorderWidth() const {
  return Theme(tcEdit) ? 1 : TlfStandardLookAndFeelPainter::FooterPanelBorderWidth();
}

void TlfWinXPLookAndFeelPainter::PaintFooterCell(
    TlfCanvas* C, const TRect& Bounds, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, const std::wstring& Text, TFont* Font, TColor TextColor, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  HTHEME T = Theme(tcTrackBar);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintFooterCell(C, Bounds, AlignHorz, AlignVert, MultiLine, Text,
                                                 Font, TextColor, BackColor, OnPaintBackground);
    return;
  }
  DrawThemed(C, T, 1, 1, Bounds);
  PaintThemedText(C, T, 1, 1, Bounds, FooterCellTextBounds(Bounds), AlignHorz, AlignVert, MultiLine,
                  false, false, Text, Font, TextColor, BackColor);
}

int TlfWinXPLookAndFeelPainter::FooterCellBorderWidth() const {
  RECT Content;
  if (HTHEME T = Theme(tcTrackBar))
    if (ContentRect(T, 1, 1, Content)) return Content.left;
  return TlfStandardLookAndFeelPainter::FooterCellBorderWidth();
}

int TlfWinXPLookAndFeelPainter::FooterCellSpacing() const {
  return Theme(tcTrackBar) ? 1 : TlfStandardLookAndFeelPainter::FooterCellSpacing();
}

void TlfWinXPLookAndFeelPainter::PaintCloseButton(TlfCanvas* C, const TRect& R,
                                                  TlfElementState State) const {
  if (HTHEME T = Theme(tcWindow))
    DrawThemed(C, T, 19, PlainState(State), R);
  else
    TlfCustomLookAndFeelPainter::PaintCloseButton(C, R, State);
}

TPoint TlfWinXPLookAndFeelPainter::CloseButtonExtent() const {
  SIZE S;
  if (HTHEME T = Theme(tcWindow))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 19, 1, TS_TRUE, &S)))
      return TPoint(S.cx + 4, S.cy + 4);
  return TlfCustomLookAndFeelPainter::CloseButtonExtent();
}

void TlfWinXPLookAndFeelPainter::PaintDropDownButton(TlfCanvas* C, const TRect& R,
                                                     TlfElementState State, bool Active) const {
  if (HTHEME T = Theme(tcComboBox))
    DrawThemed(C, T, 1, PlainState(State), R);
  else
    TlfStandardLookAndFeelPainter::PaintDropDownButton(C, R, State, Active);
}

TPoint TlfWinXPLookAndFeelPainter::ActivateCheckExtent() const {
  SIZE S;
  if (HTHEME T = Theme(tcButton))
    if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, 3, 5, TS_TRUE, &S))) return TPoint(S.cx, S.cy);
  return TlfCustomLookAndFeelPainter::ActivateCheckExtent();
}

void TlfWinXPLookAndFeelPainter::PaintTab(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                          const std::wstring& Text, TlfElementState State,
                                          bool Vertical, TFont* Font, TColor TextColor,
                                          TColor BackColor, bool ShowPrefix) const {
  HTHEME T = Theme(tcTab);
  if (!T) {
    TlfStandardLookAndFeelPainter::PaintTab(C, R, Borders, Text, State, Vertical, Font, TextColor,
                                            BackColor, ShowPrefix);
    return;
  }
  int S = PlainState(State);
  TRect TabR = R, ClipR = R;
  std::unique_ptr<TlfBitmap> B;
  HDC DC = Cv(C)->Handle();
  if (Vertical) {
    TabR = TRect(0, 0, R.Height(), R.Width());
    ClipR = TabR;
    B = std::make_unique<TlfBitmap>(TabR.Width(), TabR.Height());
    DC = Cv(B->lfCanvas())->Handle();
    if (!(Borders & bTop)) TabR.Left -= 2;
    if (!(Borders & bBottom)) TabR.Right += 2;
  } else {
    if (!(Borders & bLeft)) TabR.Left -= 2;
    if (!(Borders & bRight)) TabR.Right += 2;
  }
  if (State == esPressed)
    TabR.Bottom += 1;
  else
    ClipR.Bottom -= 1;
  RECT tr = TabR, cr = ClipR;
  lx::DrawThemeBackground(T, DC, 1, S, tr, &cr);
  if (Vertical) {
    RotateBitmap(B.get(), 1, false);
    auto TurnBack = [&](const TRect& X) {
      // Back from the turned bitmap (width R.Height()) into canvas coordinates.
      return TRect(R.Left + X.Top, R.Top + R.Height() - X.Right, R.Left + X.Bottom,
                   R.Top + R.Height() - X.Left);
    };
    TabR = TurnBack(TabR);
    ClipR = TurnBack(ClipR);
    Cv(C)->CopyRect(R, Cv(B->lfCanvas()), TRect(0, 0, R.Width(), R.Height()));
    B.reset();
  }
  if (State == esPressed) {
    if (Vertical)
      TabR.Right -= 2;
    else
      TabR.Bottom -= 2;
  }
  PaintThemedText(C, T, 1, S, ClipR, TabR, taCenter, valCenter, false, false, ShowPrefix, Text,
                  Font, TextColor, BackColor);
}

void TlfWinXPLookAndFeelPainter::PaintTabFrame(TlfCanvas* C, const TRect& R, TlfBorders Side,
                                               TlfBorders Borders, bool Vertical) const {
  if (!Theme(tcTab)) TlfStandardLookAndFeelPainter::PaintTabFrame(C, R, Side, Borders, Vertical);
}

void TlfWinXPLookAndFeelPainter::PaintTabArea(TlfCanvas* C, const TRect& R, TlfBorders Borders,
                                              bool Vertical) const {
  HTHEME T = Theme(tcTab);
  if (!T) {
    TlfStandardLookAndFeelPainter::PaintTabArea(C, R, Borders, Vertical);
    return;
  }
  RECT Bounds = R, Cn;
  if (FAILED(lx::GetThemeBackgroundContentRect(T, Cv(C)->Handle(), 9, 0, &Bounds, &Cn)))
    Cn = Bounds;
  TRect F = R;
  if (Vertical) {
    F.Bottom = R.Bottom + (R.Top + R.Bottom - Cn.top - Cn.bottom);
    F.Right = R.Right + 10;
  } else {
    F.Right = R.Right + (R.Left + R.Right - Cn.left - Cn.right);
    F.Bottom = R.Bottom + 10;
  }
  RECT Clip = R;
  DrawThemed(C, T, 9, 0, F, &Clip);
}

bool TlfWinXPLookAndFeelPainter::TabPaintingSupported(bool Vertical) const {
  return Theme(tcTab) ? true : TlfStandardLookAndFeelPainter::TabPaintingSupported(Vertical);
}
bool TlfWinXPLookAndFeelPainter::TabHotTracking(bool Vertical) const {
  return Theme(tcTab) ? true : TlfStandardLookAndFeelPainter::TabHotTracking(Vertical);
}
int TlfWinXPLookAndFeelPainter::TabBorderWidth(bool) const {
  return 1;
}

void TlfWinXPLookAndFeelPainter::PaintRowMarker(
    TlfCanvas* C, const TRect& R, TlfRowMarkerKind Kind, TColor BackColor,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  TlfFlatLookAndFeelPainter::Class()->TlfCustomLookAndFeelPainter::PaintRowMarker(
      C, R, Kind, BackColor, OnPaintBackground);
}

int TlfWinXPLookAndFeelPainter::ScrollThumbMinLength(bool Horizontal) const {
  HTHEME T = Theme(tcScrollBar);
  if (!T) return TlfStandardLookAndFeelPainter::ScrollThumbMinLength(Horizontal);
  int Part = Horizontal ? 8 : 9;
  SIZE M, Tr;
  if (FAILED(lx::GetThemePartSize(T, nullptr, Part, 1, TS_MIN, &M))) return 8;
  auto Dim = [&](const SIZE& S) { return Horizontal ? S.cy : S.cx; };
  int Value = Dim(M);
  if (SUCCEEDED(lx::GetThemePartSize(T, nullptr, Part, 1, TS_TRUE, &Tr)))
    Value = std::max<int>(Dim(M), Dim(Tr) + 4);
  return std::max(Value, 8);
}

void TlfWinXPLookAndFeelPainter::PaintScrollBarPart(TlfCanvas* C, bool Horizontal, const TRect& R,
                                                    TlfScrollPart Part,
                                                    TlfElementState State) const {
  if (R.IsEmpty()) return;
  HTHEME T = Theme(tcScrollBar);
  if (T) switch (Part) {
    case scpLineUp:
    case scpLineDown:
      PaintArrowButton(C, R, State, ScrollPartArrow(Horizontal, Part), true);
      return;
    case scpThumb:
      DrawThemed(C, T, Horizontal ? 2 : 3, ScrollTrackState(State), R);
      DrawThemed(C, T, Horizontal ? 8 : 9, 0, R);
      return;
    case scpPageUp:
      DrawThemed(C, T, Horizontal ? 4 : 6, ScrollTrackState(State), R);
      return;
    case scpPageDown:
      DrawThemed(C, T, Horizontal ? 5 : 7, ScrollTrackState(State), R);
      return;
    default:
      break;
    }
  TlfStandardLookAndFeelPainter::PaintScrollBarPart(C, Horizontal, R, Part, State);
}

void TlfWinXPLookAndFeelPainter::PaintSizeGrip(TlfCanvas* C, const TRect& R,
                                               TColor BackColor) const {
  HTHEME T = Theme(tcScrollBar);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintSizeGrip(C, R, clDefault);
    return;
  }
  Fill(C, R, BackColor);
  DrawThemed(C, T, 10, 1, R);
}

void TlfWinXPLookAndFeelPainter::PaintCalendarHeader(
    TlfCanvas* C, const TRect& R, const std::wstring& Text, TlfBorders Neighbors,
    const TlfViewParams& ViewParams, TlfCalendarArrows Arrows, int ArrowOffset,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  PaintHeader(C, R, R, Neighbors, lfAllBorders, esNormal, taCenter, valCenter, false, false, Text,
              ViewFont(ViewParams), ViewTextColor(ViewParams), ViewColor(ViewParams),
              OnPaintBackground, !(Neighbors & bRight), false);
  CalendarArrows(this, C, R, Arrows, ArrowOffset, clWindowText);
}

void TlfWinXPLookAndFeelPainter::PaintProgressBar(TlfCanvas* C, const TRect& Bounds,
                                                  const TRect& ProgressRect,
                                                  const TlfViewParams& ViewParams,
                                                  bool Transparent) const {
  HTHEME T = Theme(tcProgress);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintProgressBar(C, Bounds, ProgressRect, ViewParams, Transparent);
    return;
  }
  DrawThemed(C, T, 1, 0, Bounds);
  DrawThemed(C, T, 3, 0, ProgressRect);
}

void TlfWinXPLookAndFeelPainter::PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds,
                                                       const TRect& ArrowRect, bool IsNext,
                                                       TlfElementState State) const {
  HTHEME T = Theme(tcTab);
  if (!T) {
    TlfCustomLookAndFeelPainter::PaintNavButtonContent(C, Bounds, ArrowRect, IsNext, State);
    return;
  }
  int W = Bounds.Width(), H = Bounds.Height();
  if (W > 0 && H > 0) {
    auto B = std::make_unique<TlfBitmap>(W, H);
    Cv(B->lfCanvas())->CopyRect(TRect(0, 0, W, H), Cv(C), Bounds);
    RotateBitmap(B.get(), IsNext ? 2 : 1, false);
    RECT r{0, 0, B->Width(), B->Height()};
    lx::DrawThemeBackground(T, Cv(B->lfCanvas())->Handle(), 1, PlainState(State), r, nullptr);
    RotateBitmap(B.get(), IsNext ? 1 : 2, false);
    Cv(C)->CopyRect(Bounds, Cv(B->lfCanvas()), TRect(0, 0, W, H));
  }
  PaintNavArrow(C, ArrowRect, IsNext, ButtonGlyphColor(State, clDefault));
}

void TlfWinXPLookAndFeelPainter::PaintNavButtonFace(TlfCanvas* C, const TRect& R,
                                                    TlfElementState State) const {
  if (HTHEME T = Theme(tcToolBar))
    DrawThemed(C, T, 1, ToolbarState(State), R);
  else
    TlfCustomLookAndFeelPainter::PaintNavButtonFace(C, R, State);
}

void TlfWinXPLookAndFeelPainter::PaintSplitterFrame(TlfCanvas* C, const TRect& R,
                                                    const TlfViewParams& ViewParams,
                                                    bool Horizontal) const {
  HTHEME T = Theme(tcComboBox);
  COLORREF Line;
  if (!T || !Theme(tcListView) || FAILED(lx::GetThemeColor(T, 1, 1, 3801, &Line))) {
    TlfStandardLookAndFeelPainter::PaintSplitterFrame(C, R, ViewParams, Horizontal);
    return;
  }
  TRect F = R;
  SplitterLines(C, F, Horizontal, Line, Line);
  FillView(C, F, ViewParams);
}

void TlfWinXPLookAndFeelPainter::PaintPanelFace(TlfCanvas* C, TWinControl* Control,
                                                const TRect& Bounds, TColor ColorFrom,
                                                TColor) const {
  if (ColorFrom == clDefault)
    PaintParentIntoCanvas(Control, Cv(C), Bounds);
  else
    Fill(C, Bounds, ColorFrom);
}

void TlfWinXPLookAndFeelPainter::PaintThemedText(
    TlfCanvas* C, HTHEME Theme, int PartId, int StateId, const TRect&, const TRect& TextRect,
    TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
    bool ShowPrefix, const std::wstring& Text, TFont* Font, TColor TextColor, TColor) const {
  if (Text.empty()) return;
  if (Font) Cv(C)->SetFont(Font);
  Cv(C)->Font()->SetColor(TextColor);
  TRect R = TextRect;
  if (MultiLine) {
    static const int Placement[] = {0, 1, 2};
    C->AlignTextVertically(R, Text, false, true, ShowPrefix, true, Placement[AlignVert]);
  }
  static const DWORD Horz[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static const DWORD Vert[] = {DT_TOP, DT_BOTTOM, DT_VCENTER};
  DWORD Flags = Horz[AlignHorz] | Vert[AlignVert] | DT_EDITCONTROL;
  if (EndEllipsis) Flags |= DT_END_ELLIPSIS;
  if (!ShowPrefix) Flags |= DT_NOPREFIX;
  Flags |= MultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  RECT r = R;
  SelectTextFont(C);
  lx::DrawThemeText(Theme, Cv(C)->Handle(), PartId, StateId, Text.c_str(), int(Text.size()), Flags,
                    0, &r);
}

// ---------------------------------------------------------------------------
// Office 2003 painter

namespace {
TColor OC(int n) {
  return Office11Color(n);
}
} // namespace

TlfLookAndFeelPainterClass TlfOffice11LookAndFeelPainter::Class() {
  static auto* Instance = new TlfOffice11LookAndFeelPainter;
  return Instance;
}

TlfPaintStyle TlfOffice11LookAndFeelPainter::PaintStyle() const {
  return psOffice11;
}
TColor TlfOffice11LookAndFeelPainter::StyleColor9() const {
  return OC(24);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor10() const {
  return OC(28);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor12() const {
  return OC(0);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor13() const {
  return StyleColor23();
}
TColor TlfOffice11LookAndFeelPainter::StyleColor16() const {
  return OC(55);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor17() const {
  return OC(2);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor18() const {
  return OC(58);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor20() const {
  return StyleColor16();
}
TColor TlfOffice11LookAndFeelPainter::StyleColor22() const {
  return HeaderFaceColor();
}
TColor TlfOffice11LookAndFeelPainter::StyleColor34() const {
  return OC(0);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor35() const {
  return OC(59);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor36() const {
  return clWindowText;
}
TColor TlfOffice11LookAndFeelPainter::StyleColor39() const {
  return OC(60);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor40() const {
  return OC(61);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor48() const {
  return OC(1);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor50() const {
  return StyleColor48();
}
TColor TlfOffice11LookAndFeelPainter::StyleColor53() const {
  return OC(0);
}
TColor TlfOffice11LookAndFeelPainter::StyleColor55() const {
  return StyleColor40();
}

TColor TlfOffice11LookAndFeelPainter::ButtonFrameColor(TlfElementState State) const {
  return State == esNormal ? HeaderDarkColor() : OC(41);
}
TColor TlfOffice11LookAndFeelPainter::LightEdgeColor() const {
  return HeaderDarkColor();
}
TColor TlfOffice11LookAndFeelPainter::DarkEdgeColor() const {
  return clBtnText;
}
TColor TlfOffice11LookAndFeelPainter::FrameHighlightColor() const {
  return OC(41);
}
TColor TlfOffice11LookAndFeelPainter::FooterLineColor() const {
  return HeaderDarkColor();
}

TColor TlfOffice11LookAndFeelPainter::ButtonFaceColor(TlfElementState State) const {
  switch (State) {
  case esHot:
    return OC(42);
  case esPressed:
    return OC(44);
  case esDisabled:
    return clBtnFace;
  default:
    return OC(0);
  }
}

TColor TlfOffice11LookAndFeelPainter::ButtonGlyphColor(TlfElementState State, TColor) const {
  if (State == esPressed && !Office11SchemeThemed()) return clHighlightText;
  if (State == esDisabled) return OC(52);
  return OC(51);
}

TColor TlfOffice11LookAndFeelPainter::CheckFaceColor(TlfElementState State) const {
  if (State == esHot || State == esPressed || State == esDisabled) return ButtonFaceColor(State);
  return TlfCustomLookAndFeelPainter::CheckFaceColor(State);
}

int TlfOffice11LookAndFeelPainter::ExpandButtonWidth() const {
  return 11;
}
int TlfOffice11LookAndFeelPainter::SmallExpandButtonWidth() const {
  return ExpandButtonWidth();
}
bool TlfOffice11LookAndFeelPainter::ExpandButtonPaintedFirst() const {
  return false;
}
TlfBorders TlfOffice11LookAndFeelPainter::HeaderFrameSides(TlfBorders) const {
  return lfAllBorders;
}
int TlfOffice11LookAndFeelPainter::HeaderBorderWidth() const {
  return 1;
}
bool TlfOffice11LookAndFeelPainter::HeaderHotTracking() const {
  return true;
}

TColor TlfOffice11LookAndFeelPainter::HeaderShadeColor() const {
  return OC(3);
}
TColor TlfOffice11LookAndFeelPainter::HeaderDarkColor() const {
  return OC(20);
}
TColor TlfOffice11LookAndFeelPainter::HeaderLightColor() const {
  return OC(21);
}
TColor TlfOffice11LookAndFeelPainter::HeaderFaceColor() const {
  return MixColors(OC(2), OC(3), 50);
}

void TlfOffice11LookAndFeelPainter::PaintControlBorder(TlfCanvas* C, const TRect& R) const {
  Frame(C, R, OC(57));
}

void TlfOffice11LookAndFeelPainter::PaintButtonFrame(TlfCanvas* C, const TRect& R,
                                                     TlfElementState State) const {
  switch (State) {
  case esDefault:
    TlfUltraFlatLookAndFeelPainter::PaintButtonFrame(C, R, State);
    break;
  case esNormal:
    Frame(C, R, clBtnText);
    break;
  case esDisabled:
    Frame(C, R, OC(52));
    break;
  default:
    Frame(C, R, OC(41));
    break;
  }
}

void TlfOffice11LookAndFeelPainter::PaintExpandButton(TlfCanvas* C, const TRect& R, bool Expanded,
                                                      TColor) const {
  TBitmap* B = Office11Bitmap(Expanded ? obExpandButtonMinus : obExpandButtonPlus);
  if (!B || B->Empty()) return;
  TCanvas* K = Cv(C);
  TColor TopLeft = K->Pixels(R.Left, R.Top), BottomRight = K->Pixels(R.Right - 1, R.Bottom - 1);
  B->Canvas()->SetPixels(0, 0, MixColors(OC(79), TopLeft, 25));
  TColor Corner = MixColors(OC(80), BottomRight, 25);
  B->Canvas()->SetPixels(10, 10, Corner);
  B->Canvas()->SetPixels(0, 10, Corner);
  B->Canvas()->SetPixels(10, 0, Corner);
  K->Draw(R.Left, R.Top, B);
}

void TlfOffice11LookAndFeelPainter::PaintSmallExpandButton(TlfCanvas* C, const TRect& R,
                                                           bool Expanded, TColor,
                                                           TColor Color) const {
  PaintExpandButton(C, R, Expanded, Color);
}

void TlfOffice11LookAndFeelPainter::PaintDropDownButton(TlfCanvas* C, const TRect& R,
                                                        TlfElementState State, bool Active) const {
  Frame(C, R, ButtonFrameColor(State));
  TRect F = Shrink(R, 1);
  Fill(C, F, ButtonFaceColor(State));
  PaintDropDownGlyph(C, F, Active ? clBlue : ButtonGlyphColor(State, clDefault));
}

void TlfOffice11LookAndFeelPainter::PaintCellContent(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfElementState State,
    TAlignment AlignHorz, TlfVerticalAlignment AlignVert, bool MultiLine, bool EndEllipsis,
    const std::wstring& Text, TFont* Font, TColor TextColor, TColor,
    const TlfPaintBackgroundEvent& OnPaintBackground, bool IsFooter) const {
  HDC DC = Cv(C)->Handle();
  if (!OnPaintBackground || !OnPaintBackground(C, Bounds)) {
    TColor c1 = State == esHot ? OC(2) : HeaderFaceColor();
    TColor c2 = State == esHot ? OC(2) : HeaderShadeColor();
    if (IsFooter)
      FillSolid(DC, Bounds, c1);
    else {
      FillSolid(DC, TRect(Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Bottom - 3), c1);
      FillGradient(DC, TRect(Bounds.Left, Bounds.Bottom - 4, Bounds.Right, Bounds.Bottom), c1, c2,
                   false);
    }
  }
  TlfCustomLookAndFeelPainter::PaintCellContent(
      C, Bounds, TextBounds, State, AlignHorz, AlignVert, MultiLine, EndEllipsis, Text, Font,
      TextColor, clNone, [](TlfCanvas*, const TRect&) { return true; }, IsFooter);
  if (State == esHot)
    FillGradient(DC, TRect(Bounds.Left - 1, Bounds.Bottom - 2, Bounds.Right, Bounds.Bottom + 1),
                 OC(42), OC(43), false);
}

void TlfOffice11LookAndFeelPainter::PaintHeader(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor, const TlfPaintBackgroundEvent&, bool IsLast, bool) const {
  TlfCustomLookAndFeelPainter::PaintHeader(C, Bounds, TextBounds, Neighbors, Borders, State,
                                           AlignHorz, AlignVert, MultiLine, EndEllipsis, Text, Font,
                                           TextColor, BackColor, nullptr, IsLast, false);
}

void TlfOffice11LookAndFeelPainter::PaintHeaderFrame(TlfCanvas* C, const TRect& R,
                                                     TlfBorders Neighbors,
                                                     TlfBorders Borders) const {
  TColor F = HeaderFaceColor(), S = HeaderShadeColor(), D = HeaderDarkColor(),
         G = HeaderLightColor();
  int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  if (Borders & bTop) Fill(C, TRect(L, T, Rt, T + 1), F);
  if (Borders & bBottom) Fill(C, TRect(L, B - 1, Rt, B), D);
  if (Borders & bLeft) {
    Pixel(C, L, T + 1, F);
    if (Neighbors & bLeft) {
      Pixel(C, L, T + 2, F);
      Pixel(C, L, B - 3, MixColors(F, S, 25));
      Pixel(C, L, B - 2, S);
      Fill(C, TRect(L, T + 2, L + 1, B - 3), G);
    } else {
      Pixel(C, L, B - 2, S);
      Fill(C, TRect(L, T + 1, L + 1, B - 2), G);
    }
  }
  if (Borders & bRight) {
    if (Neighbors & bRight) {
      Pixel(C, Rt - 1, T + 1, F);
      Pixel(C, Rt - 1, T + 2, F);
      Pixel(C, Rt - 1, B - 3, MixColors(F, S, 25));
      Pixel(C, Rt - 1, B - 2, S);
      Fill(C, TRect(Rt - 1, T + 2, Rt, B - 3), D);
    } else {
      Pixel(C, Rt - 1, T, MixColors(F, D, 50));
      Pixel(C, Rt - 1, B - 2, MixColors(S, D, 50));
      Fill(C, TRect(Rt - 1, T + 1, Rt, B - 2), D);
    }
  }
}

void TlfOffice11LookAndFeelPainter::PaintHeaderSection(
    TlfCanvas* C, const TRect& Bounds, const TRect& TextBounds, TlfBorders Neighbors,
    TlfBorders Borders, TlfElementState State, TAlignment AlignHorz, TlfVerticalAlignment AlignVert,
    bool MultiLine, bool EndEllipsis, const std::wstring& Text, TFont* Font, TColor TextColor,
    TColor BackColor) const {
  PaintHeader(C, Bounds, TextBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              EndEllipsis, Text, Font, TextColor, BackColor, nullptr, false, false);
  if (State == esPressed) PaintHeaderPushed(C, Bounds);
}

void TlfOffice11LookAndFeelPainter::PaintSortMark(TlfCanvas* C, const TRect& R,
                                                  bool Ascending) const {
  SortArrow(this, C, R, HeaderDarkColor(), HeaderLightColor(), Ascending);
}

void TlfOffice11LookAndFeelPainter::PaintScrollBarPart(TlfCanvas* C, bool Horizontal,
                                                       const TRect& R, TlfScrollPart Part,
                                                       TlfElementState State) const {
  if (CanUseVisualStyles(ThemeClassBit(tcScrollBar)))
    TlfWinXPLookAndFeelPainter::Class()->PaintScrollBarPart(C, Horizontal, R, Part, State);
  else
    TlfStandardLookAndFeelPainter::Class()->PaintScrollBarPart(C, Horizontal, R, Part, State);
}

void TlfOffice11LookAndFeelPainter::PaintSizeGrip(TlfCanvas* C, const TRect& R,
                                                  TColor BackColor) const {
  Fill(C, R, BackColor);
  DrawSizeGripDots(Cv(C)->Handle(), R, clDefault, clDefault);
}

void TlfOffice11LookAndFeelPainter::PaintCalendarHeader(
    TlfCanvas* C, const TRect& R, const std::wstring& Text, TlfBorders, const TlfViewParams& VP,
    TlfCalendarArrows Arrows, int ArrowOffset,
    const TlfPaintBackgroundEvent& OnPaintBackground) const {
  TRect Inner = Shrink(R, 1);
  if (!OnPaintBackground || !OnPaintBackground(C, Inner)) FillView(C, Inner, VP);
  if (!Text.empty()) {
    SetBrushClear(C);
    if (VP.Font) Cv(C)->SetFont(VP.Font);
    Cv(C)->Font()->SetColor(VP.TextColor);
    DrawTextIn(C, Text, Inner, tfCenter | tfVCenter | tfSingleLine, true);
    SetBrushSolid(C);
  }
  CalendarArrows(this, C, R, Arrows, ArrowOffset, clWindowText);
}

void TlfOffice11LookAndFeelPainter::PaintCalendarOutline(TlfCanvas* C, const TRect& R) const {
  Frame(C, R, StyleColor39());
}

void TlfOffice11LookAndFeelPainter::PaintNavButtonContent(TlfCanvas* C, const TRect& Bounds,
                                                          const TRect& ArrowRect, bool IsNext,
                                                          TlfElementState State) const {
  Fill(C, Bounds, State == esHot ? OC(42) : State == esPressed ? OC(44) : OC(0));
  FrameRing(C, Bounds, OC(60), OC(60), IsNext ? TlfBorders(1 | 2 | 8) : TlfBorders(2 | 4 | 8));
  PaintNavArrow(C, ArrowRect, IsNext, ButtonGlyphColor(State, clDefault));
}

void TlfOffice11LookAndFeelPainter::PaintNavButtonFace(TlfCanvas* C, const TRect& R,
                                                       TlfElementState State) const {
  TlfWinXPLookAndFeelPainter::Class()->PaintNavButtonFace(C, R, State);
}

void TlfOffice11LookAndFeelPainter::PaintPanelFace(TlfCanvas* C, TWinControl* Control,
                                                   const TRect& Bounds, TColor ColorFrom,
                                                   TColor ColorTo) const {
  if (ColorFrom == clDefault)
    PaintParentIntoCanvas(Control, Cv(C), Bounds);
  else if (ColorTo == clDefault)
    Fill(C, Bounds, ColorFrom);
  else
    FillGradient(Cv(C)->Handle(), Bounds, ColorFrom, ColorTo, false);
}
