#include "controls/FcCommon.h"

#include <cmath>
#include <vector>

#include <shlobj.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "framework/SysUtils.h"

uint8_t XPColorScheme = 0;
bool HighColorDisplay = IsHighColorDisplay();

namespace {

// Canvas access kept in one place.
HDC DC(TCanvas* Canvas) {
  return Canvas->Handle();
}
int PenWidth(TCanvas* Canvas) {
  return Canvas->Pen()->Width();
}

COLORREF Rgb(TColor C) {
  return static_cast<COLORREF>(ColorToRGB(C)) & 0xFFFFFF;
}

void Line(HDC dc, int x1, int y1, int x2, int y2, TColor Color, int Width) {
  HPEN pen = CreatePen(PS_SOLID, Width < 1 ? 1 : Width, Rgb(Color));
  HGDIOBJ old = SelectObject(dc, pen);
  POINT prev;
  MoveToEx(dc, x1, y1, &prev);
  LineTo(dc, x2, y2);
  MoveToEx(dc, prev.x, prev.y, nullptr);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Pixel(HDC dc, int x, int y, TColor Color) {
  SetPixelV(dc, x, y, Rgb(Color));
}

void Fill(HDC dc, const TRect& R, TColor Color) {
  if (R.IsEmpty()) return;
  HBRUSH b = CreateSolidBrush(Rgb(Color));
  RECT r = R;
  FillRect(dc, &r, b);
  DeleteObject(b);
}

const TColor FrameUL[11] = {clWindow,    cl3DDkShadow,   clBtnShadow,  clBtnHighlight,
                            clBtnShadow, clNone,         cl3DDkShadow, clNone,
                            clBtnShadow, clBtnHighlight, clBtnShadow};
const TColor FrameLR[11] = {clWindow,       cl3DDkShadow, clBtnHighlight, clBtnShadow,
                            clBtnHighlight, clNone,       clBtnFace,      clNone,
                            clBtnHighlight, clBtnShadow,  clBtnShadow};

struct TEdgeColors {
  TColor OuterUL, OuterLR, InnerUL, InnerLR;
};
const TEdgeColors Edge3DRaised{cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow};
const TEdgeColors Edge3DLowered{clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight};
const TEdgeColors PushUp{clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow};
const TEdgeColors PushDown{clBtnText, clBtnText, clBtnShadow, clBtnShadow};

const TColor SchemeColors[3][3] = {
    {0xFFEFE3, 0xEABB99, 0xBF7F57}, {0xEDFFFF, 0x92C7B8, 0x77A17F}, {0xFFF9F9, 0xD0BCBD, 0xB19F9F}};

TRect EtchedBorder(TCanvas* Canvas, const TRect& Rect, TColor UL, TColor LR, TSides Sides) {
  HDC dc = DC(Canvas);
  bool l = Sides & sdsLeft, t = Sides & sdsTop, r = Sides & sdsRight, b = Sides & sdsBottom;
  if (r)
    Pixel(dc, Rect.Right - 1, Rect.Top, LR);
  else if (t)
    Pixel(dc, Rect.Right - 1, Rect.Top, UL);
  if (b)
    Pixel(dc, Rect.Left, Rect.Bottom - 1, LR);
  else if (l)
    Pixel(dc, Rect.Left, Rect.Bottom - 1, UL);
  if (t && !l) Pixel(dc, Rect.Left, Rect.Top + 1, LR);
  if (l && !t) Pixel(dc, Rect.Left + 1, Rect.Top, LR);
  if (b && !r) Pixel(dc, Rect.Right - 1, Rect.Bottom - 2, UL);
  if (r && !b) Pixel(dc, Rect.Right - 2, Rect.Bottom - 1, UL);
  TRect shifted = Rect;
  shifted.Left += 1;
  shifted.Top += 1;
  DrawSideLines(Canvas, shifted, LR, LR, Sides);
  shifted.Left -= 1;
  shifted.Top -= 1;
  shifted.Right -= 1;
  shifted.Bottom -= 1;
  DrawSideLines(Canvas, shifted, UL, UL, Sides);
  TRect inner = Rect;
  if (l) inner.Left += 2;
  if (t) inner.Top += 2;
  if (r) inner.Right -= 2;
  if (b) inner.Bottom -= 2;
  return inner;
}

// A pixel rectangle helper for the glyphs.
void PixelRow(HDC dc, int x1, int x2, int y, TColor c) {
  for (int x = x1; x <= x2; ++x)
    Pixel(dc, x, y, c);
}
void PixelCol(HDC dc, int x, int y1, int y2, TColor c) {
  for (int y = y1; y <= y2; ++y)
    Pixel(dc, x, y, c);
}

} // namespace

// ---------------------------------------------------------------------------
// Colour arithmetic

void ColorToHslBytes(TColor Color, uint8_t& H, uint8_t& S, uint8_t& L) {
  COLORREF c = Rgb(Color);
  double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
  double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
  double l = (mx + mn) / 2, h = 0, s = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
      h = (g - b) / d;
    else if (g == mx)
      h = (b - r) / d + 2;
    else
      h = (r - g) / d + 4;
    h /= 6;
    if (h < 0) h += 1;
  }
  H = static_cast<uint8_t>(Round(h * 240));
  S = static_cast<uint8_t>(Round(s * 240));
  L = static_cast<uint8_t>(Round(l * 240));
}

TColor HslToColorL(uint8_t H, uint8_t S, int L) {
  double h = H / 239.0, s = S / 240.0, l = L / 240.0;
  double v = l < 0.5 ? l * (1 + s) : l + s - l * s;
  if (v <= 0) return 0;
  double m = 2 * l - v, sv = (v - m) / v;
  h *= 6;
  int sextant = static_cast<int>(h);
  double fract = h - sextant, vsf = v * sv * fract, mid1 = m + vsf, mid2 = v - vsf;
  double r, g, b;
  switch (sextant) {
  case 1:
    r = mid2, g = v, b = m;
    break;
  case 2:
    r = m, g = v, b = mid1;
    break;
  case 3:
    r = m, g = mid2, b = v;
    break;
  case 4:
    r = mid1, g = m, b = v;
    break;
  case 5:
    r = v, g = m, b = mid2;
    break;
  default:
    r = v, g = mid1, b = m;
    break;
  }
  auto ch = [](double x) {
    if (x > 1.0) x = 1.0;
    if (x < 0) x = 0;
    return static_cast<int>(Round(x * 255));
  };
  return static_cast<TColor>(RGB(ch(r), ch(g), ch(b)));
}

TColor HslBytesToColor(uint8_t H, uint8_t S, uint8_t L) {
  return HslToColorL(H, S, L);
}

TColor DarkenColor(TColor Color, uint8_t Amount) {
  uint8_t h, s, l;
  ColorToHslBytes(Color, h, s, l);
  return HslToColorL(h, s, std::max(l - Amount, 0));
}

TColor LightenColor(TColor Color, uint8_t Amount) {
  uint8_t h, s, l;
  ColorToHslBytes(Color, h, s, l);
  return HslToColorL(h, s, std::min(l + Amount, 255));
}

TColor AdjustLuminance(TColor Color, int Adjustment) {
  if (Adjustment < 0) return DarkenColor(Color, static_cast<uint8_t>(std::min(-Adjustment, 255)));
  if (Adjustment > 0) return LightenColor(Color, static_cast<uint8_t>(std::min(Adjustment, 255)));
  return Color;
}

bool ColorsAreSimilar(TColor ForeColor, TColor BackColor) {
  uint8_t h1, s1, l1, h2, s2, l2;
  ColorToHslBytes(ForeColor, h1, s1, l1);
  ColorToHslBytes(BackColor, h2, s2, l2);
  return std::abs(h1 - h2) < 20 && std::abs(l1 - l2) < 60;
}

// ---------------------------------------------------------------------------
// Lines and frames

TRect DrawSideLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                    TSides Sides) {
  HDC dc = DC(Canvas);
  int w = PenWidth(Canvas);
  if (ULColor != clNone) {
    if (Sides & sdsLeft) Line(dc, Rect.Left, Rect.Top, Rect.Left, Rect.Bottom, ULColor, w);
    if (Sides & sdsTop) Line(dc, Rect.Left, Rect.Top, Rect.Right, Rect.Top, ULColor, w);
  }
  if (LRColor != clNone) {
    if (Sides & sdsRight)
      Line(dc, Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom, LRColor, w);
    if (Sides & sdsBottom)
      Line(dc, Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom - 1, LRColor, w);
  }
  TRect r = Rect;
  if (Sides & sdsLeft) ++r.Left;
  if (Sides & sdsTop) ++r.Top;
  if (Sides & sdsRight) --r.Right;
  if (Sides & sdsBottom) --r.Bottom;
  return r;
}

TRect DrawBevelLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                     TSides Sides, int Count) {
  Canvas->Pen()->SetWidth(1);
  TRect r = Rect;
  for (int i = 0; i < Count; ++i)
    r = DrawSideLines(Canvas, r, ULColor, LRColor, Sides);
  return r;
}

TRect DrawRectOutline(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  DrawSideLines(Canvas, Rect, Color, Color, sdsAll);
  TRect r = Rect;
  r.Inflate(-1, -1);
  return r;
}

TRect DrawRoundedLineBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides) {
  HDC dc = DC(Canvas);
  bool l = Sides & sdsLeft, t = Sides & sdsTop, r = Sides & sdsRight, b = Sides & sdsBottom;
  int vTop = t ? Rect.Top + 2 : Rect.Top, vBottom = b ? Rect.Bottom - 2 : Rect.Bottom;
  int hLeft = l ? Rect.Left + 2 : Rect.Left, hRight = r ? Rect.Right - 2 : Rect.Right;
  if (l) Line(dc, Rect.Left, vTop, Rect.Left, vBottom, Color, 1);
  if (r) Line(dc, Rect.Right - 1, vTop, Rect.Right - 1, vBottom, Color, 1);
  if (t) Line(dc, hLeft, Rect.Top, hRight, Rect.Top, Color, 1);
  if (b) Line(dc, hLeft, Rect.Bottom - 1, hRight, Rect.Bottom - 1, Color, 1);
  if (l && t) Pixel(dc, Rect.Left + 1, Rect.Top + 1, Color);
  if (r && t) Pixel(dc, Rect.Right - 2, Rect.Top + 1, Color);
  if (r && b) Pixel(dc, Rect.Right - 2, Rect.Bottom - 2, Color);
  if (l && b) Pixel(dc, Rect.Left + 1, Rect.Bottom - 2, Color);
  return TRect(l ? Rect.Left + 2 : Rect.Left, t ? Rect.Top + 2 : Rect.Top,
               r ? Rect.Right - 2 : Rect.Right, b ? Rect.Bottom - 2 : Rect.Bottom);
}

static TRect TwoBevels(TCanvas* Canvas, const TRect& Rect, const TEdgeColors& c, TSides Sides) {
  TRect r = DrawBevelLines(Canvas, Rect, c.OuterUL, c.OuterLR, Sides, 1);
  return DrawBevelLines(Canvas, r, c.InnerUL, c.InnerLR, Sides, 1);
}

TRect Draw3DEdgeBorderSides(TCanvas* Canvas, const TRect& Rect, bool Lowered, TSides Sides) {
  return TwoBevels(Canvas, Rect, Lowered ? Edge3DLowered : Edge3DRaised, Sides);
}
TRect Draw3DEdgeBorder(TCanvas* Canvas, const TRect& Rect, bool Lowered) {
  return Draw3DEdgeBorderSides(Canvas, Rect, Lowered, sdsAll);
}
TRect DrawPushButtonBorderSides(TCanvas* Canvas, const TRect& Rect, bool Down, TSides Sides) {
  return TwoBevels(Canvas, Rect, Down ? PushDown : PushUp, Sides);
}
TRect DrawPushButtonBorder(TCanvas* Canvas, const TRect& Rect, bool Down) {
  return DrawPushButtonBorderSides(Canvas, Rect, Down, sdsAll);
}

TRect DrawShadedButtonBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  bool Down) {
  TRect r;
  if (Down) {
    TColor d100 = DarkenColor(Color, 100), d50 = DarkenColor(Color, 50);
    r = DrawBevelLines(Canvas, Rect, d100, d100, Sides, 1);
    return DrawBevelLines(Canvas, r, d50, d50, Sides, 1);
  }
  r = DrawBevelLines(Canvas, Rect, LightenColor(Color, 100), DarkenColor(Color, 100), Sides, 1);
  return DrawBevelLines(Canvas, r, LightenColor(Color, 40), DarkenColor(Color, 50), Sides, 1);
}
TRect DrawShadedButtonBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, bool Down) {
  return DrawShadedButtonBorderSides(Canvas, Rect, Color, sdsAll, Down);
}

TRect DrawStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle,
                            TSides Sides) {
  int fs = FrameStyle > FrameStyleLast ? fsNone : FrameStyle;
  switch (fs) {
  case fsNone:
    return Rect;
  case fsFlat:
  case fsStatus:
  case fsPopup:
    return DrawBevelLines(Canvas, Rect, FrameUL[fs], FrameLR[fs], Sides, 1);
  case fsLowered:
  case fsRaised:
    return Draw3DEdgeBorderSides(Canvas, Rect, fs == fsLowered, Sides);
  case fsButtonDown:
  case fsButtonUp:
    return DrawPushButtonBorderSides(Canvas, Rect, fs == fsButtonDown, Sides);
  case fsFlatBold:
    return DrawBevelLines(Canvas, Rect, FrameUL[fs], FrameLR[fs], Sides, 2);
  default:
    return EtchedBorder(Canvas, Rect, FrameUL[fs], FrameLR[fs], Sides);
  }
}
TRect DrawStyledBorder(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle) {
  return DrawStyledBorderSides(Canvas, Rect, FrameStyle, sdsAll);
}

TRect DrawShadedStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  TFrameStyleEx FrameStyle) {
  TColor d50 = DarkenColor(Color, 50), d100 = DarkenColor(Color, 100);
  TColor l50 = LightenColor(Color, 50), l100 = LightenColor(Color, 100);
  TRect r;
  switch (FrameStyle) {
  case fsNone:
    return Rect;
  case fsFlat:
    return DrawBevelLines(Canvas, Rect, d50, d50, sdsAll, 1);
  case fsGroove:
    return EtchedBorder(Canvas, Rect, d50, l100, Sides);
  case fsLowered:
    r = DrawBevelLines(Canvas, Rect, d50, l100, Sides, 1);
    return DrawBevelLines(Canvas, r, d100, l50, Sides, 1);
  case fsRaised:
    r = DrawBevelLines(Canvas, Rect, l50, d100, Sides, 1);
    return DrawBevelLines(Canvas, r, l100, d50, Sides, 1);
  case fsButtonDown:
  case fsButtonUp:
    return DrawShadedButtonBorderSides(Canvas, Rect, Color, Sides, FrameStyle == fsButtonDown);
  case fsStatus:
    return DrawBevelLines(Canvas, Rect, d50, l100, Sides, 1);
  case fsPopup:
    return DrawBevelLines(Canvas, Rect, l100, d50, Sides, 1);
  case fsFlatBold:
    return DrawBevelLines(Canvas, Rect, d50, d50, Sides, 2);
  default:
    return EtchedBorder(Canvas, Rect, l100, d50, Sides); // fsBump and above
  }
}
TRect DrawShadedStyledBorder(TCanvas* Canvas, const TRect& Rect, TColor Color,
                             TFrameStyleEx FrameStyle) {
  return DrawShadedStyledBorderSides(Canvas, Rect, Color, sdsAll, FrameStyle);
}

void PaintControlFrame(TCanvas* Canvas, int Width, int Height, bool NoErase, TSides FrameSides,
                       TColor FrameColor, TColor ControlColor, TFrameStyle FrameStyle) {
  TRect r(0, 0, Width, Height);
  if (!NoErase) DrawBevelLines(Canvas, r, ControlColor, ControlColor, sdsAll, 2);
  if (FrameStyle == fsFlat)
    DrawBevelLines(Canvas, r, FrameColor, FrameColor, FrameSides, 1);
  else if (FrameStyle == fsFlatBold)
    DrawBevelLines(Canvas, r, FrameColor, FrameColor, FrameSides, 2);
  else if (ControlColor == clWindow)
    DrawStyledBorderSides(Canvas, r, FrameStyle, FrameSides);
  else
    DrawShadedStyledBorderSides(Canvas, r, ControlColor, FrameSides, FrameStyle);
}

void RedrawWindowFrame(HWND Wnd, const TRect& Rect) {
  HDC dc = GetWindowDC(Wnd);
  if (!dc) return;
  RECT clip;
  int kind = GetClipBox(dc, &clip);
  ReleaseDC(Wnd, dc);
  if (kind != ERROR && kind != NULLREGION) {
    RECT r = Rect;
    RedrawWindow(Wnd, &r, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

// The border styles a panel draws alike outside and inside.
static TRect DrawPanelBorder(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx Style, TSides Sides,
                             int BevelWidth, TColor FlatColor, TColor Highlight, TColor Shadow) {
  switch (Style) {
  case fsFlat:
    return DrawBevelLines(Canvas, Rect, FlatColor, FlatColor, Sides, 1);
  case fsFlatBold:
    return DrawBevelLines(Canvas, Rect, FlatColor, FlatColor, Sides, 2);
  case fsPopup:
    return DrawBevelLines(Canvas, Rect, Highlight, Shadow, Sides, BevelWidth);
  case fsStatus:
    return DrawBevelLines(Canvas, Rect, Shadow, Highlight, Sides, BevelWidth);
  default:
    return DrawStyledBorderSides(Canvas, Rect, Style, Sides);
  }
}

void DrawPanelBorders(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx BorderOuter,
                      TFrameStyleEx BorderInner, int BorderWidth, TSides BorderSides,
                      int BevelWidth, TColor BorderColor, TColor BorderHighlight,
                      TColor BorderShadow, TColor FlatColor, int FlatColorAdjustment, TColor Color,
                      TColor ParentColor, bool Transparent, bool CutCorners, TRect& InnerRect) {
  TColor fc = AdjustLuminance(FlatColor, FlatColorAdjustment);
  TRect r = Rect;
  bool widthOrInner = BorderWidth > 0 || BorderInner != fsNone;
  if (BorderOuter == fsFlatRounded) {
    if (!Transparent) {
      TRect t = DrawBevelLines(Canvas, r, ParentColor, ParentColor, BorderSides, 1);
      TColor c = widthOrInner ? BorderColor : Color;
      DrawBevelLines(Canvas, t, c, c, BorderSides, 1);
    } else if (widthOrInner) {
      TRect t = r;
      t.Inflate(-1, -1);
      DrawBevelLines(Canvas, t, BorderColor, BorderColor, BorderSides, 1);
    }
    r = DrawRoundedLineBorder(Canvas, r, fc, BorderSides);
  } else {
    r = DrawPanelBorder(Canvas, r, BorderOuter, BorderSides, BevelWidth, fc, BorderHighlight,
                        BorderShadow);
  }
  if (BorderWidth > 0)
    r = DrawBevelLines(Canvas, r, BorderColor, BorderColor, BorderSides, BorderWidth);
  if (BorderInner == fsFlat && CutCorners) {
    HDC dc = DC(Canvas);
    Line(dc, r.Left + 1, r.Top, r.Right - 1, r.Top, fc, 1);
    Line(dc, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1, fc, 1);
    Line(dc, r.Left, r.Top + 1, r.Left, r.Bottom - 1, fc, 1);
    Line(dc, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1, fc, 1);
    r.Inflate(-1, -1);
  } else if (BorderInner == fsFlatRounded) {
    TRect t = DrawBevelLines(Canvas, r, BorderColor, BorderColor, BorderSides, 1);
    if (!Transparent) DrawBevelLines(Canvas, t, Color, Color, BorderSides, 1);
    r = DrawRoundedLineBorder(Canvas, r, fc, BorderSides);
  } else {
    r = DrawPanelBorder(Canvas, r, BorderInner, BorderSides, BevelWidth, fc, BorderHighlight,
                        BorderShadow);
  }
  InnerRect = r;
}

// ---------------------------------------------------------------------------
// Progress bars

static int FilledLength(uint16_t Percent, int Length) {
  if (Percent >= 100) return Length;
  return static_cast<int>(Round(Percent * static_cast<double>(Length) / 100.0));
}

static void TextBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation, uint16_t Percent,
                    bool ShowPercent, bool Transparent,
                    const std::function<void(const TRect&)>& paintBar,
                    const std::function<void(const TRect&)>& paintRest, TColor BarColor,
                    TColor BackColor) {
  std::wstring text = ShowPercent ? Format(L"%u%%", {static_cast<unsigned>(Percent)}) : L"";
  HDC dc = DC(Canvas);
  SetTextAlign(dc, TA_CENTER | TA_TOP);
  TRect bar = Rect, rest = Rect;
  if (Orientation == orHorizontal) {
    bar.Right = Rect.Left + FilledLength(Percent, Rect.Width());
    rest.Left = bar.Right;
  } else {
    bar.Top = Rect.Bottom - FilledLength(Percent, Rect.Height());
    rest.Bottom = bar.Top;
  }
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc, L"X", 1, &sz);
  int ty = Rect.Top + (Rect.Height() - sz.cy) / 2;
  int tx = Rect.Right / 2;
  SetBkMode(dc, TRANSPARENT);
  if (!bar.IsEmpty()) {
    paintBar(bar);
    SetTextColor(dc, Rgb(BackColor));
    RECT rb = bar;
    ExtTextOutW(dc, tx, ty, ETO_CLIPPED, &rb, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
  }
  if (!rest.IsEmpty()) {
    if (!Transparent) paintRest(rest);
    SetTextColor(dc, Rgb(BarColor));
    RECT rr = rest;
    ExtTextOutW(dc, tx, ty, ETO_CLIPPED, &rr, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
  }
  SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void DrawTraditionalProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                                TColor BarColor, TColor BackColor, uint16_t Percent,
                                bool ShowPercent, bool Transparent) {
  HDC dc = DC(Canvas);
  TextBar(
      Canvas, Rect, Orientation, Percent, ShowPercent, Transparent,
      [&](const TRect& r) { Fill(dc, r, BarColor); },
      [&](const TRect& r) { Fill(dc, r, BackColor); }, BarColor, BackColor);
}

void DrawGradientProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                             TColor BarColor, TColor BarColorStop, TColor BackColor,
                             TColor BackColorStop, TGradientDirection GradientDirection,
                             uint16_t Percent, bool ShowPercent, bool Transparent) {
  TextBar(
      Canvas, Rect, Orientation, Percent, ShowPercent, Transparent,
      [&](const TRect& r) {
        FillGradientRect(Canvas, r, GradientDirection, BarColor, BarColorStop, 1);
      },
      [&](const TRect& r) {
        FillGradientRect(Canvas, r, GradientDirection, BackColor, BackColorStop, 1);
      },
      BarColor, BackColor);
}

TLedLayout LedProgressLayout(int Total, int NumSegments) {
  TLedLayout l;
  if (NumSegments < 1 || Total < 1) return l;
  int seg = Total / NumSegments;
  if (Total <= 80 && NumSegments > 10) {
    seg = Total / 10;
    NumSegments = 10;
  }
  int extra = seg > 0 ? (Total - seg * NumSegments) / seg : 0;
  if (extra > 0) NumSegments += extra;
  l.Segment = seg;
  l.Count = seg > 0 ? NumSegments : 0;
  l.Margin = (Total - seg * NumSegments) / 2;
  if (l.Count == 0) l.Margin = 0;
  return l;
}

void DrawLedProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                        TColor BarColor, TColor BackColor, int NumSegments, uint16_t Percent,
                        bool ThemeAware, bool Transparent) {
  HDC dc = DC(Canvas);
  if (ThemeAware && ThemesEnabled()) {
    HTHEME th = OpenThemeData(nullptr, L"PROGRESS");
    if (th) {
      TRect r = Rect;
      r.Inflate(-1, -1);
      if (Orientation == orHorizontal) {
        r.Right = r.Left + FilledLength(Percent, r.Width());
        RECT rr = r;
        if (!r.IsEmpty()) DrawThemeBackground(th, dc, PP_CHUNK, 0, &rr, nullptr);
      } else {
        r.Top = r.Bottom - std::max(1, FilledLength(Percent, r.Height()));
        RECT rr = r;
        DrawThemeBackground(th, dc, PP_CHUNKVERT, 0, &rr, nullptr);
      }
      CloseThemeData(th);
      return;
    }
  }
  int total = Orientation == orHorizontal ? Rect.Width() : Rect.Height();
  TLedLayout lay = LedProgressLayout(total, NumSegments);
  if (lay.Count == 0) {
    // Nothing to light: the bar shows only its background.
    if (!Transparent) Fill(dc, Rect, BackColor);
    return;
  }
  if (!Transparent) {
    TRect a = Rect, b = Rect;
    if (Orientation == orHorizontal) {
      a.Right = Rect.Left + lay.Margin;
      b.Left = Rect.Left + lay.Margin + lay.Segment * lay.Count;
    } else {
      a.Bottom = Rect.Top + lay.Margin;
      b.Top = Rect.Top + lay.Margin + lay.Segment * lay.Count;
    }
    Fill(dc, a, BackColor);
    Fill(dc, b, BackColor);
  }
  int lit = std::min(static_cast<int>(Percent * lay.Count / 100), lay.Count);
  for (int k = 1; k <= lay.Count; ++k) {
    bool on = k <= lit;
    if (!on && Transparent) continue;
    TRect s = Rect;
    if (Orientation == orHorizontal) {
      s.Left = Rect.Left + lay.Segment * (k - 1) + lay.Margin;
      s.Right = s.Left + lay.Segment;
    } else {
      s.Top = Rect.Top + lay.Segment * (lay.Count - k) + lay.Margin;
      s.Bottom = s.Top + lay.Segment;
    }
    if (Transparent) {
      ++s.Left;
      ++s.Top;
      Fill(dc, s, BarColor);
    } else {
      // Rectangle with a one-pixel pen of BackColor around the segment.
      Fill(dc, s, BackColor);
      TRect in = s;
      in.Inflate(-1, -1);
      Fill(dc, in, on ? BarColor : BackColor);
    }
  }
}

// ---------------------------------------------------------------------------
// Glyphs

static TColor GlyphColor(TCanvas* Canvas, bool Themed, bool Enabled) {
  if (!Enabled) return clBtnShadow;
  if (Themed && ThemesEnabled()) {
    TColor c = clBlack;
    HTHEME th = OpenThemeData(nullptr, L"COMBOBOX");
    if (th) {
      HDC sdc = GetDC(nullptr);
      HDC mdc = CreateCompatibleDC(sdc);
      HBITMAP bmp = CreateCompatibleBitmap(sdc, 17, 21);
      HGDIOBJ old = SelectObject(mdc, bmp);
      RECT r{0, 0, 16, 20};
      DrawThemeBackground(th, mdc, CP_DROPDOWNBUTTON, CBXS_NORMAL, &r, nullptr);
      c = static_cast<TColor>(GetPixel(mdc, 8, 10));
      SelectObject(mdc, old);
      DeleteObject(bmp);
      DeleteDC(mdc);
      ReleaseDC(nullptr, sdc);
      CloseThemeData(th);
    }
    if (ColorsAreSimilar(c, clWindow)) c = cl3DDkShadow;
    return c;
  }
  return ColorsAreSimilar(Canvas->Brush()->Color(), clBlack) ? cl3DDkShadow : clBlack;
}

static void Polygon6(HDC dc, const POINT* pts, TColor c) {
  HBRUSH b = CreateSolidBrush(Rgb(c));
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, GetStockObject(NULL_PEN));
  Polygon(dc, pts, 6);
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
}

void DrawDropDownArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled) {
  HDC dc = DC(Canvas);
  TColor c = GlyphColor(Canvas, Themed, Enabled);
  bool themed = Themed && ThemesEnabled();
  int x = Rect.Left + (Rect.Right - Rect.Left) / 2;
  int y = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - ((Rect.Height() % 2 == 0) ? 1 : 0);
  y += themed ? 4 : 2;
  if (themed) {
    POINT p[6] = {{x, y},     {x - 4, y - 5}, {x - 3, y - 7},
                  {x, y - 3}, {x + 3, y - 7}, {x + 5, y - 5}};
    Polygon6(dc, p, c);
  } else {
    for (int i = 0; i < 4; ++i)
      PixelRow(dc, x - i, x + i, y - i, c);
  }
}

void DrawSpinArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled, int Direction) {
  HDC dc = DC(Canvas);
  TColor c = GlyphColor(Canvas, Themed, Enabled);
  bool themed = Themed && ThemesEnabled();
  int x = Rect.Left + (Rect.Right - Rect.Left) / 2;
  int y = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - ((Rect.Height() % 2 == 0) ? 1 : 0);
  if (!themed) {
    if (Direction <= 1)
      y += 1;
    else
      x -= 2;
    for (int i = 0; i < 4; ++i) {
      switch (Direction) {
      case 0:
        PixelRow(dc, x - i, x + i, y - 3 + i, c);
        break;
      case 1:
        PixelRow(dc, x - i, x + i, y - i, c);
        break;
      case 2:
        PixelCol(dc, x + i, y - i, y + i, c);
        break;
      default:
        PixelCol(dc, x + 3 - i, y - i, y + i, c);
        break;
      }
    }
    return;
  }
  POINT p[6];
  switch (Direction) {
  case 0:
    y += 4;
    p[0] = {x, y - 5}, p[1] = {x + 4, y}, p[2] = {x + 1, y}, p[3] = {x, y - 2}, p[4] = {x - 1, y},
    p[5] = {x - 4, y};
    break;
  case 1:
    y += 2;
    p[0] = {x, y}, p[1] = {x - 3, y - 4}, p[2] = {x, y - 4}, p[3] = {x, y - 3},
    p[4] = {x + 1, y - 4}, p[5] = {x + 4, y - 4};
    break;
  case 2:
    x -= 1;
    p[0] = {x, y}, p[1] = {x + 4, y - 4}, p[2] = {x + 4, y - 1}, p[3] = {x + 3, y},
    p[4] = {x + 4, y + 1}, p[5] = {x + 4, y + 4};
    break;
  default:
    x -= 3;
    p[0] = {x + 4, y}, p[1] = {x, y + 4}, p[2] = {x, y + 1}, p[3] = {x + 1, y}, p[4] = {x, y - 1},
    p[5] = {x, y - 4};
    break;
  }
  Polygon6(dc, p, c);
}

// ---------------------------------------------------------------------------
// Look-ups

uint8_t XPColorSchemeOfName(const std::wstring& Name) {
  std::wstring n = UpperCase(Name);
  if (n == L"HOMESTEAD") return 1;
  if (n == L"METALLIC") return 2;
  return 0;
}

uint8_t GetXPColorScheme() {
  HKEY key;
  std::wstring value;
  if (RegOpenKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0,
                    KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    wchar_t buf[260];
    DWORD size = sizeof(buf), type = 0;
    if (RegQueryValueExW(key, L"ColorName", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
      buf[std::min<DWORD>(size / sizeof(wchar_t), 259)] = 0;
      value = buf;
    }
    RegCloseKey(key);
  }
  return XPColorSchemeOfName(value);
}

bool ThemesEnabled() {
  return IsThemeActive() && IsAppThemed();
}

TColor GetThemedColor(int Index) {
  if (!ThemesEnabled()) return clBtnFace;
  struct Q {
    const wchar_t* cls;
    int part, state, prop;
  };
  static const Q q[] = {{L"EDIT", 0, 0, TMT_BORDERCOLOR},
                        {L"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 1, TMT_TEXTCOLOR},
                        {L"EXPLORERBAR", EBP_SPECIALGROUPBACKGROUND, 1, TMT_TEXTCOLOR},
                        {L"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 1, TMT_FILLCOLOR},
                        {L"EXPLORERBAR", 0, 0, TMT_GRADIENTCOLOR1},
                        {L"EXPLORERBAR", EBP_SPECIALGROUPHEAD, 1, TMT_FILLCOLOR},
                        {L"BUTTON", BP_GROUPBOX, 1, TMT_TEXTCOLOR}};
  if (Index < 0 || Index > 6) return 0xFFFFFF;
  COLORREF c = 0;
  HTHEME th = OpenThemeData(nullptr, q[Index].cls);
  if (th) {
    GetThemeColor(th, q[Index].part, q[Index].state, q[Index].prop, &c);
    CloseThemeData(th);
  }
  return static_cast<TColor>(c);
}

void GetGradientColors(TFcGradientColorStyle ColorStyle, TColor& StartColor, TColor& StopColor) {
  if (ColorStyle == gcsMSOffice && ThemesEnabled()) {
    StartColor = SchemeColors[XPColorScheme % 3][0];
    StopColor = SchemeColors[XPColorScheme % 3][1];
  } else {
    StartColor = clWindow;
    StopColor = DarkenColor(clBtnFace, 10);
  }
}

TColor GetGradientFrameColor(TFcGradientColorStyle ColorStyle) {
  if (ColorStyle == gcsMSOffice && ThemesEnabled()) return SchemeColors[XPColorScheme % 3][2];
  return LightenColor(clBtnShadow, 30);
}

void GetStatusGradientColors(TFcGradientColorStyle ColorStyle, TColor& StopColor,
                             TColor& StartColor, TColor& LineColor) {
  if (ColorStyle == gcsMSOffice && ThemesEnabled()) {
    StopColor = SchemeColors[XPColorScheme % 3][1];
    StartColor = SchemeColors[XPColorScheme % 3][0];
    LineColor = SchemeColors[XPColorScheme % 3][1];
  } else {
    StopColor = DarkenColor(clBtnFace, 20);
    StartColor = clWindow;
    LineColor = DarkenColor(clBtnFace, 40);
  }
}

// ---------------------------------------------------------------------------
// Platform and text

bool IsHighColorDisplay() {
  HDC dc = GetDC(nullptr);
  int n = GetDeviceCaps(dc, NUMCOLORS);
  ReleaseDC(nullptr, dc);
  return n == -1;
}

bool IsWindowsVersionOf(int Version, DWORD PlatformId, DWORD Major, DWORD Minor) {
  bool any = PlatformId == 1 || PlatformId == 2, nt = PlatformId == 2;
  switch (Version) {
  case 0:
    return any && Major > 3;
  case 1:
    return nt && Major > 3;
  case 2:
    return any && Major >= 4 && Minor >= 10;
  case 3:
    return any && Major >= 4 && Minor >= 90;
  case 4:
    return nt && Major >= 5;
  case 5:
    return nt && Major >= 5 && Minor >= 1;
  case 6:
    return nt && Major >= 5 && Minor >= 2;
  case 7:
    return nt && Major >= 6;
  default:
    return false;
  }
}

bool IsWindowsVersion(int Version) {
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&vi);
#pragma GCC diagnostic pop
  return IsWindowsVersionOf(Version, vi.dwPlatformId, vi.dwMajorVersion, vi.dwMinorVersion);
}

TRect CenterRectangle(const TRect& Rect, int Width, int Height) {
  int l = (Rect.Left + Rect.Right - Width) / 2, t = (Rect.Top + Rect.Bottom - Height) / 2;
  return TRect(l, t, l + Width, t + Height);
}

HFONT CreateRotatedFont(TFont* Font, int Angle) {
  LOGFONTW lf{};
  GetObjectW(Font->Handle(), sizeof(lf), &lf);
  lf.lfWidth = 0;
  lf.lfEscapement = Angle * 10;
  lf.lfOrientation = 0;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  return CreateFontIndirectW(&lf);
}

int GetEditTextHeight(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 2;
}

bool IsCharInSet(wchar_t Ch, const std::wstring& Set) {
  return Set.find(Ch) != std::wstring::npos;
}

int DrawCanvasText(TCanvas* Canvas, const std::wstring& Text, TRect& Rect, UINT Format) {
  return DrawTextW(DC(Canvas), Text.c_str(), -1, Rect.R(), Format);
}

void DrawCanvasTextCentered(TCanvas* Canvas, const std::wstring& Text, const TRect& Rect) {
  TRect r = Rect;
  DrawCanvasText(Canvas, Text, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void InvalidateTransparentChildren(TWinControl* Container) {
  if (!Container) return;
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* c = Container->Controls(i);
    auto* t = dynamic_cast<IFcTransparency*>(c);
    if (t && t->GetTransparent()) c->Invalidate();
  }
}

// ---------------------------------------------------------------------------
// Graphics

void DrawTransparentBitmapRect(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect,
                               TColor TransparentColor, const TRect& SourceRect) {
  int w = DestRect.Width(), h = DestRect.Height();
  if (w <= 0 || h <= 0) return;
  HDC dest = DC(Canvas);
  HDC src = Bitmap->Canvas()->Handle();
  HDC img = CreateCompatibleDC(dest);
  HBITMAP imgBmp = CreateCompatibleBitmap(dest, w, h);
  HGDIOBJ oi = SelectObject(img, imgBmp);
  SetStretchBltMode(img, COLORONCOLOR);
  StretchBlt(img, 0, 0, w, h, src, SourceRect.Left, SourceRect.Top, SourceRect.Width(),
             SourceRect.Height(), SRCCOPY);
  TransparentBlt(dest, DestRect.Left, DestRect.Top, w, h, img, 0, 0, w, h, Rgb(TransparentColor));
  SelectObject(img, oi);
  DeleteObject(imgBmp);
  DeleteDC(img);
}

void FlipBitmapVertically(TBitmap* Bitmap) {
  int w = Bitmap->Width(), h = Bitmap->Height();
  if (w <= 0 || h <= 0) return;
  HDC dc = Bitmap->Canvas()->Handle();
  HDC tmp = CreateCompatibleDC(dc);
  HBITMAP b = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(tmp, b);
  for (int i = 0; i < h; ++i)
    BitBlt(tmp, 0, h - 1 - i, w, 1, dc, 0, i, SRCCOPY);
  BitBlt(dc, 0, 0, w, h, tmp, 0, 0, SRCCOPY);
  SelectObject(tmp, old);
  DeleteObject(b);
  DeleteDC(tmp);
}

namespace {

// Colour stepping in 16.16 fixed point with band merging.
struct TStepper {
  int r, g, b, dr, dg, db;
  TStepper(COLORREF a, COLORREF z, int steps) {
    if (steps < 1) steps = 1;
    r = GetRValue(a) << 16, g = GetGValue(a) << 16, b = GetBValue(a) << 16;
    dr = ((GetRValue(z) << 16) - r) / steps;
    dg = ((GetGValue(z) << 16) - g) / steps;
    db = ((GetBValue(z) << 16) - b) / steps;
  }
  COLORREF At(int i) const {
    return RGB((r + dr * i) >> 16, (g + dg * i) >> 16, (b + db * i) >> 16);
  }
};

int MergeOf(int ColorStep) {
  int m = ColorStep > 8 ? 255 / ColorStep + 1 : ColorStep;
  return std::max(m - 1, 0);
}

void FillBand(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// Bands along one axis of length len: paint(i0, i1, colour) for [i0, i1).
template <class F> void Bands(int len, COLORREF a, COLORREF z, int merge, F paint) {
  if (len <= 0) return;
  TStepper st(a, z, len > 1 ? len - 1 : 1);
  int i = 0;
  while (i < len) {
    COLORREF c = st.At(i);
    int j = i + 1, left = merge;
    while (j < len && (st.At(j) == c || left > 0)) {
      if (st.At(j) != c) --left;
      ++j;
    }
    paint(i, j, c);
    i = j;
  }
}

void ReplicateStrip(HDC dc, int w, int h, int done, bool horizontal) {
  // Copies the first strip across the bitmap by doubling.
  int total = horizontal ? w : h;
  while (done < total) {
    int n = std::min(done, total - done);
    if (horizontal)
      BitBlt(dc, done, 0, n, h, dc, 0, 0, SRCCOPY);
    else
      BitBlt(dc, 0, done, w, n, dc, 0, 0, SRCCOPY);
    done += n;
  }
}

} // namespace

void FillGradientRect(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor, int ColorStep) {
  int w = Rect.Width(), h = Rect.Height();
  if (w <= 0 || h <= 0) return;
  COLORREF a = Rgb(StartColor), z = Rgb(StopColor);
  int merge = MergeOf(ColorStep);
  HDC dest = DC(Canvas);
  HDC dc = CreateCompatibleDC(dest);
  HBITMAP bmp = CreateCompatibleBitmap(dest, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  switch (Direction) {
  case gdHorizontalEnd:
  case gdHorizontalCenter: {
    int sw = std::min(8, w);
    if (Direction == gdHorizontalEnd) {
      Bands(h, a, z, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{0, i0, sw, i1}, c);
      });
    } else {
      int mid = h / 2;
      Bands(mid + 1, a, z, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{0, i0, sw, i1}, c);
      });
      Bands(h - mid, z, a, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{0, mid + i0, sw, mid + i1}, c);
      });
    }
    ReplicateStrip(dc, w, h, sw, true);
    break;
  }
  case gdVerticalEnd:
  case gdVerticalCenter: {
    int sh = std::min(8, h);
    if (Direction == gdVerticalEnd) {
      Bands(w, a, z, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{i0, 0, i1, sh}, c);
      });
    } else {
      int mid = w / 2;
      Bands(mid + 1, a, z, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{i0, 0, i1, sh}, c);
      });
      Bands(w - mid, z, a, merge, [&](int i0, int i1, COLORREF c) {
        FillBand(dc, RECT{mid + i0, 0, mid + i1, sh}, c);
      });
    }
    ReplicateStrip(dc, w, h, sh, false);
    break;
  }
  case gdDiagonalUp:
  case gdDiagonalDown: {
    if (a == z) {
      FillBand(dc, RECT{0, 0, w, h}, a);
      break;
    }
    // Bands perpendicular to the gradient axis, drawn as polygons.
    int steps = static_cast<int>(std::sqrt(double(w) * w + double(h) * h)) + 1;
    TStepper st(a, z, steps);
    HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int i = 0; i < steps; ++i) {
      double t0 = double(i) / steps, t1 = double(i + 1) / steps;
      // Lines x/w + y/h = 2t (down) from the start corner.
      auto pt = [&](double t, bool first) -> std::pair<POINT, POINT> {
        double s = 2 * t;
        POINT p, q;
        if (s <= 1) {
          p = {LONG(s * w), 0};
          q = {0, LONG(s * h)};
        } else {
          p = {LONG(w), LONG((s - 1) * h)};
          q = {LONG((s - 1) * w), LONG(h)};
        }
        (void)first;
        return {p, q};
      };
      auto [p0, q0] = pt(t0, true);
      auto [p1, q1] = pt(t1, false);
      POINT poly[6] = {p0, p1, {p1.x + 1, p1.y}, q1, {q1.x, q1.y + 1}, q0};
      if (2 * t0 < 1 && 2 * t1 > 1) {
        poly[2] = {LONG(w), 0};
        poly[4] = {0, LONG(h)};
      }
      if (Direction == gdDiagonalUp)
        for (auto& p : poly)
          p.y = h - p.y;
      HBRUSH b = CreateSolidBrush(st.At(i));
      HGDIOBJ ob = SelectObject(dc, b);
      Polygon(dc, poly, 6);
      SelectObject(dc, ob);
      DeleteObject(b);
    }
    SelectObject(dc, op);
    break;
  }
  default: {
    // Box variants: one quadrant of L-shaped bands, mirrored.
    FillBand(dc, RECT{0, 0, w, h}, a);
    if (a == z || w < 5 || h <= 4) break;
    int cx = (w - 1) / 2, cy = (h - 1) / 2;
    int xi = (Direction == gdHorizontalBox || Direction == gdBigSquareBox) ? w / 4 : 0;
    int yi = (Direction == gdVerticalBox || Direction == gdBigSquareBox) ? h / 4 : 0;
    int hx = cx - xi, hy = cy - yi;
    int steps = std::max(hx, hy) + 1;
    TStepper st(z, a, steps);
    for (int i = steps - 1; i >= 0; --i) {
      int ex = std::max(cx - i, 0), ey = std::max(cy - i, 0);
      (void)hx;
      FillBand(dc, RECT{ex - (i >= hx ? 0 : 0), ey, cx + 1, cy + 1}, st.At(i));
    }
    // Mirror the top-left quadrant into the others.
    int qw = cx + 1, qh = cy + 1;
    StretchBlt(dc, w - 1, 0, -qw, qh, dc, 0, 0, qw, qh, SRCCOPY);
    StretchBlt(dc, 0, h - 1, w, -qh, dc, 0, 0, w, qh, SRCCOPY);
    break;
  }
  }
  BitBlt(dest, Rect.Left, Rect.Top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

void RenderParentBackground(TControl* Control, HDC DC, bool InvalidateParent) {
  TWinControl* parent = Control ? Control->Parent() : nullptr;
  if (!parent || !parent->HandleAllocated()) return;
  bool designing = Control->ComponentState() & csDesigning;
  int saved = SaveDC(DC);
  OffsetViewportOrgEx(DC, -Control->Left(), -Control->Top(), nullptr);
  IntersectClipRect(DC, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  {
    TScopeGuard restore([&] { RestoreDC(DC, saved); });
    try {
      SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
      SendMessageW(parent->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
    } catch (...) {
      if (!designing) throw; // a designer goes on without the parent's picture
    }
  }
  if (InvalidateParent && !designing && !dynamic_cast<TCustomControl*>(parent))
    parent->Invalidate();
}

// ---------------------------------------------------------------------------
// Timer

TFcTimer::TFcTimer() = default;

TFcTimer::~TFcTimer() {
  if (FWnd) {
    KillTimer(FWnd, 1);
    DeallocateHWnd(FWnd);
  }
}

void TFcTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Update();
}

void TFcTimer::SetInterval(unsigned Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  Update();
}

void TFcTimer::Update() {
  if (!FWnd)
    FWnd = AllocateMessageHWnd([this](TMessage& m) {
      if (m.Msg == WM_TIMER) {
        if (OnTimer) OnTimer();
      } else {
        m.Result = DefWindowProcW(FWnd, m.Msg, m.WParam, m.LParam);
      }
    });
  KillTimer(FWnd, 1);
  if (FEnabled && FInterval > 0) SetTimer(FWnd, 1, FInterval, nullptr);
}

// ---------------------------------------------------------------------------
// Blinking list

TFcBlinkingControlsList* BlinkingControls = nullptr;

TFcBlinkingControlsList::TFcBlinkingControlsList() {
  FTimer.OnTimer = [this] { Tick(); };
  FTimer.SetInterval(FIntervals[0]);
  FTimer.SetEnabled(true);
}

TFcBlinkingControlsList::~TFcBlinkingControlsList() = default;

void TFcBlinkingControlsList::Add(TControl* Control) {
  FControls.Add(Control);
}

void TFcBlinkingControlsList::Remove(TControl* Control) {
  FControls.Delete(FControls.IndexOf(Control));
}

void TFcBlinkingControlsList::Tick() {
  if (FBlinkState != 0) {
    FBlinkState = 0;
    FTimer.SetInterval(FIntervals[0]);
  } else {
    FBlinkState = 1;
    FTimer.SetInterval(FIntervals[1]);
  }
  for (int i = 0; i < FControls.Count(); ++i) {
    auto* c = static_cast<TControl*>(FControls.Items(i));
    if (c->Perform(CM_BLINKQUERY, 0, 0) == 1) c->Perform(CM_BLINK, FBlinkState, 0);
  }
}

TFcBlinkingControlsList* NeedBlinkingControls() {
  if (!BlinkingControls) BlinkingControls = new TFcBlinkingControlsList();
  return BlinkingControls;
}

void FreeBlinkingListIfEmpty() {
  if (BlinkingControls && BlinkingControls->Count() == 0) {
    delete BlinkingControls;
    BlinkingControls = nullptr;
  }
}

// ---------------------------------------------------------------------------
// Frame controller

TFcFrameController::TFcFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TFcFrameController::~TFcFrameController() = default;

void TFcFrameController::SetColor(TColor V) {
  if (V == FColor) return;
  if (FColor == FFocusColor) FFocusColor = V;
  FColor = V;
  FParentColor = false;
  UpdateFrames(fcpColor);
}

void TFcFrameController::SetParentColor(bool V) {
  if (V == FParentColor) return;
  FParentColor = V;
  UpdateFrames(fcpParentColor);
  if (!V) UpdateFrames(fcpColor);
}

void TFcFrameController::SetFrameHotTrack(bool V) {
  if (V == FFrameHotTrack) return;
  FFrameHotTrack = V;
  if (V) {
    SetFrameVisible(true);
    if (!(ComponentState() & csLoading)) FFrameSides = sdsAll;
  }
  UpdateFrames(fcpFrameHotTrack);
}

void TFcFrameController::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount <= 0) {
    FUpdateCount = 0;
    UpdateFrames(fcpAll);
  }
}

void TFcFrameController::SetRegIniFile(TFcRegIniFile* V) {
  if (V == FRegIniFile) return;
  if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
  FRegIniFile = V;
  if (V) V->FreeNotification(this);
}

void TFcFrameController::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRegIniFile) FRegIniFile = nullptr;
}

void TFcFrameController::Loaded() {
  TComponent::Loaded();
  UpdateFrames(fcpAll);
}

TFcFrameControllerNotifications TFcFrameController::GetNotifications(TControl* Control) const {
  auto* c = dynamic_cast<IFcFrameControlled*>(Control);
  return c ? c->FrameControllerNotifications() : fcnAll;
}

void TFcFrameController::UpdateFrames(TFcFrameControllerProperty Property) {
  if (FUpdateCount > 0 || !FControls) return;
  for (int i = 0; i < FControls->Count(); ++i)
    UpdateControlFrame(static_cast<TControl*>(FControls->Items(i)), Property);
}

void TFcFrameController::UpdateControlFrame(TControl* Control, TFcFrameControllerProperty P) {
  if (!Control) return;
  if (auto* client = dynamic_cast<IFrameControllerClient*>(Control)) {
    client->ApplyFrameController();
    return;
  }
  auto* target = dynamic_cast<IFcFrameControlled*>(Control);
  if (!target) return;
  TFcFrameControllerNotifications bits = target->FrameControllerNotifications();
  auto push = [&](TFcFrameControllerProperty p) {
    if (bits & (1u << p)) target->SetControllerProperty(p, *this);
  };
  if (P != fcpAll) {
    push(P);
    return;
  }
  push(fcpParentColor);
  if (!FParentColor) push(fcpColor);
  for (auto p :
       {fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpFocusColor,
        fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack,
        fcpFrameHotStyle, fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference})
    push(p);
}

TFcFrameControllerLink::~TFcFrameControllerLink() {
  if (FController) FController->DetachControl(FControl);
}

void TFcFrameControllerLink::SetController(TFcFrameController* Value) {
  if (Value == FController) return;
  if (FController) {
    FController->DetachControl(FControl);
    FController->RemoveFreeNotification(FControl);
  }
  FController = Value;
  if (Value) {
    Value->FreeNotification(FControl);
    Value->AttachControl(FControl);
  }
}

void TFcFrameControllerLink::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FController) FController = nullptr;
}

void TFcFrameController::AttachControl(TControl* Control) {
  if (!FControls) FControls = std::make_unique<TList>();
  if (FControls->IndexOf(Control) < 0) {
    FControls->Add(Control);
    UpdateControlFrame(Control, fcpAll);
  }
}

void TFcFrameController::DetachControl(TControl* Control) {
  if (!FControls) return;
  FControls->Remove(Control);
  if (FControls->Count() == 0) FControls.reset();
}

void TFcFrameController::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TFcFrameController*>(Source);
  if (!s) {
    TComponent::Assign(Source);
    return;
  }
  BeginUpdate();
  FColor = s->FColor;
  FDisabledColor = s->FDisabledColor;
  FReadOnlyColor = s->FReadOnlyColor;
  FReadOnlyColorOnFocus = s->FReadOnlyColorOnFocus;
  FFlatButtonColor = s->FFlatButtonColor;
  FFlatButtons = s->FFlatButtons;
  FFocusColor = s->FFocusColor;
  FFrameColor = s->FFrameColor;
  FFrameHotColor = s->FFrameHotColor;
  FFrameHotStyle = s->FFrameHotStyle;
  FFrameHotTrack = s->FFrameHotTrack;
  FFrameSides = s->FFrameSides;
  FFrameStyle = s->FFrameStyle;
  FFrameVisible = s->FFrameVisible;
  FFramingPreference = s->FFramingPreference;
  FParentColor = s->FParentColor;
  EndUpdate();
}

bool FrameStyleFromName(const std::wstring& Name, TFrameStyle& Style) {
  static const wchar_t* const names[] = {L"fsNone",    L"fsFlat",       L"fsGroove",  L"fsBump",
                                         L"fsLowered", L"fsButtonDown", L"fsRaised",  L"fsButtonUp",
                                         L"fsStatus",  L"fsPopup",      L"fsFlatBold"};
  for (int i = 0; i <= FrameStyleLast; ++i)
    if (SameText(Name, names[i])) {
      Style = static_cast<TFrameStyle>(i);
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
// TFcRegIniFile

namespace {

struct TRootKeyInfo {
  HKEY Key;
  const wchar_t* Name;
};
const TRootKeyInfo kRootKeys[] = {{HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
                                  {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
                                  {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
                                  {HKEY_USERS, L"HKEY_USERS"},
                                  {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
                                  {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
                                  {HKEY_DYN_DATA, L"HKEY_DYN_DATA"}};

REGSAM AccessMask(TFcRegAccess a) {
  static const REGSAM bits[] = {
      KEY_QUERY_VALUE, KEY_SET_VALUE,   KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS,
      KEY_NOTIFY,      KEY_CREATE_LINK, KEY_READ,           KEY_WRITE,
      KEY_EXECUTE,     KEY_ALL_ACCESS};
  REGSAM m = 0;
  for (int i = 0; i < 10; ++i)
    if (a & (1u << i)) m |= bits[i];
  return m;
}

std::wstring SpecialFolderPath(TFcSpecialFolder f) {
  static const int csidl[] = {0, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL,
                              CSIDL_COMMON_APPDATA};
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl[f] | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              buf)))
    throw EIniFileException(L"The special folder of the settings file is not available");
  return buf;
}

bool IsRelative(const std::wstring& p) {
  return !(p.size() >= 2 && (p[1] == L':' || (p[0] == L'\\' && p[1] == L'\\')));
}

} // namespace

TFcRegIniFile::TFcRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

TFcRegIniFile::~TFcRegIniFile() = default;

void TFcRegIniFile::SetPath(const std::wstring& V) {
  Set(FPath, V);
}
void TFcRegIniFile::SetPathType(TFcPathType V) {
  Set(FPathType, V);
}
void TFcRegIniFile::SetRegKey(TFcRegKey V) {
  Set(FRegKey, V);
}
void TFcRegIniFile::SetRegAccess(TFcRegAccess V) {
  Set(FRegAccess, V);
}
void TFcRegIniFile::SetSpecialFolder(TFcSpecialFolder V) {
  Set(FSpecialFolder, V);
}

std::wstring TFcRegIniFile::Location() const {
  if (FPathType == ptRegistry) {
    std::wstring key = FPath;
    while (!key.empty() && key[0] == L'\\')
      key.erase(0, 1);
    return std::wstring(kRootKeys[FRegKey].Name) + L"\\" + key;
  }
  if (FSpecialFolder != sfNone)
    return IncludeTrailingBackslash(SpecialFolderPath(FSpecialFolder)) + FPath;
  if (IsRelative(FPath)) return ExtractFilePath(ParamStr(0)) + FPath;
  return FPath;
}

void TFcRegIniFile::Open() {
  if (!FChanged && (FIniFile || FRegistry)) return;
  FIniFile.reset();
  FRegistry.reset();
  if (FPath.empty()) throw EIniFileException(L"The settings component has no path");
  if (FPathType == ptIniFile) {
    FIniFile = std::make_unique<TIniFile>(Location());
  } else {
    FRegistry = std::make_unique<TRegistry>();
    FRegistry->SetRootKey(kRootKeys[FRegKey].Key);
  }
  FChanged = false;
}

std::wstring TFcRegIniFile::SectionKey(const std::wstring& Section) const {
  std::wstring key = FPath;
  if (!key.empty() && key.back() != L'\\') key += L'\\';
  return key + Section;
}

bool TFcRegIniFile::OpenSection(const std::wstring& Section, bool Write) {
  if (!Write) {
    FRegistry->SetAccess(AccessMask(FRegAccess) & KEY_READ);
    return FRegistry->OpenKey(SectionKey(Section), false);
  }
  const std::wstring where = Location() + L"\\" + Section;
  if (FRegKey != hkeyCurrentUser)
    throw ERegistryException(L"Settings are written only under HKEY_CURRENT_USER; \"" + where +
                             L"\" is read only");
  REGSAM access = AccessMask(FRegAccess);
  if ((access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != (KEY_SET_VALUE | KEY_CREATE_SUB_KEY))
    throw ERegistryException(L"The access rights of the settings allow no writing to \"" + where +
                             L"\"");
  FRegistry->SetAccess(access);
  if (!FRegistry->OpenKey(SectionKey(Section), true))
    throw ERegistryException(L"Cannot create the registry key \"" + where + L"\"");
  return true;
}

std::wstring TFcRegIniFile::ReadString(const std::wstring& Section, const std::wstring& Ident,
                                       const std::wstring& Default) {
  Open();
  if (FIniFile) return FIniFile->ReadString(Section, Ident, Default);
  if (!OpenSection(Section, false) || !FRegistry->ValueExists(Ident)) return Default;
  return FRegistry->ReadString(Ident);
}

int TFcRegIniFile::ReadInteger(const std::wstring& Section, const std::wstring& Ident,
                               int Default) {
  Open();
  if (FIniFile) return FIniFile->ReadInteger(Section, Ident, Default);
  if (!OpenSection(Section, false) || !FRegistry->ValueExists(Ident)) return Default;
  try {
    return FRegistry->ReadInteger(Ident);
  } catch (const ERegistryException&) {
    return Default; // a value of another type
  }
}

bool TFcRegIniFile::ReadBool(const std::wstring& Section, const std::wstring& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TFcRegIniFile::WriteString(const std::wstring& Section, const std::wstring& Ident,
                                const std::wstring& Value) {
  Open();
  if (FIniFile) {
    ForceDirectories(ExtractFilePath(FIniFile->FileName()));
    FIniFile->WriteString(Section, Ident, Value);
    return;
  }
  OpenSection(Section, true);
  FRegistry->WriteString(Ident, Value);
}

void TFcRegIniFile::WriteInteger(const std::wstring& Section, const std::wstring& Ident,
                                 int Value) {
  Open();
  if (FIniFile) {
    ForceDirectories(ExtractFilePath(FIniFile->FileName()));
    FIniFile->WriteInteger(Section, Ident, Value);
    return;
  }
  OpenSection(Section, true);
  FRegistry->WriteInteger(Ident, Value);
}

void TFcRegIniFile::WriteBool(const std::wstring& Section, const std::wstring& Ident, bool Value) {
  WriteInteger(Section, Ident, Value ? 1 : 0);
}

bool TFcRegIniFile::ValueExists(const std::wstring& Section, const std::wstring& Ident) {
  Open();
  if (FIniFile) return FIniFile->ValueExists(Section, Ident);
  return OpenSection(Section, false) && FRegistry->ValueExists(Ident);
}

void TFcRegIniFile::DeleteKey(const std::wstring& Section, const std::wstring& Ident) {
  Open();
  if (FIniFile) {
    if (FileExists(FIniFile->FileName())) FIniFile->DeleteKey(Section, Ident);
    return;
  }
  OpenSection(Section, true);
  FRegistry->DeleteValue(Ident);
}

void TFcRegIniFile::EraseSection(const std::wstring& Section) {
  Open();
  if (FIniFile) {
    if (FileExists(FIniFile->FileName())) FIniFile->EraseSection(Section);
    return;
  }
  OpenSection(Section, true);
  FRegistry->CloseKey();
  FRegistry->DeleteKey(SectionKey(Section));
}
