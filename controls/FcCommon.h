// Frame, border and colour routines shared by the framed controls.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

// ---------------------------------------------------------------------------
// Enumerations of the framed controls

enum TFrameStyleEx : uint8_t {
  fsNone,
  fsFlat,
  fsGroove,
  fsBump,
  fsLowered,
  fsButtonDown,
  fsRaised,
  fsButtonUp,
  fsStatus,
  fsPopup,
  fsFlatBold,
  fsFlatRounded
};
// Controls' frame properties use fsNone..fsFlatBold.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle FrameStyleLast = fsFlatBold;

enum TSide : uint8_t { sdLeft, sdTop, sdRight, sdBottom };
// Bit 1 left, 2 top, 4 right, 8 bottom.
using TSides = uint8_t;
constexpr TSides sdsLeft = 1, sdsTop = 2, sdsRight = 4, sdsBottom = 8, sdsAll = 15;

enum TFramingPreference : uint8_t { fpCustomFraming, fpXPThemes };
enum TGradientDirection : uint8_t {
  gdDiagonalUp,
  gdDiagonalDown,
  gdHorizontalEnd,
  gdHorizontalCenter,
  gdHorizontalBox,
  gdVerticalEnd,
  gdVerticalCenter,
  gdVerticalBox,
  gdSquareBox,
  gdBigSquareBox
};
enum TFcGradientColorStyle : uint8_t { gcsSystem, gcsMSOffice, gcsCustom };
enum TFcVisualStyle : uint8_t { vsClassic, vsWinXP, vsGradient };
enum TBarStyle : uint8_t { bsTraditional, bsLED, bsGradient };
enum TOrientation : uint8_t { orHorizontal, orVertical };
enum TAlignmentVertical : uint8_t { avTop, avCenter, avBottom };

// Controls with a Transparent property answer through this.
class IFcTransparency {
public:
  virtual ~IFcTransparency() = default;
  virtual bool GetTransparent() const = 0;
};

// Unit-wide settings made at start-up.
extern uint8_t XPColorScheme;
extern bool HighColorDisplay;

// ---------------------------------------------------------------------------
// Colour arithmetic (hue, saturation and luminance on 0..240)

void ColorToHslBytes(TColor Color, uint8_t& H, uint8_t& S, uint8_t& L);
TColor HslBytesToColor(uint8_t H, uint8_t S, uint8_t L);
// Luminance arguments may pass 240; the conversion clips each channel.
TColor HslToColorL(uint8_t H, uint8_t S, int L);
TColor DarkenColor(TColor Color, uint8_t Amount);
TColor LightenColor(TColor Color, uint8_t Amount);
TColor AdjustLuminance(TColor Color, int Adjustment);
bool ColorsAreSimilar(TColor ForeColor, TColor BackColor);

// ---------------------------------------------------------------------------
// Lines and frames; each returns the rectangle left inside what it drew.

TRect DrawSideLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                    TSides Sides);
TRect DrawBevelLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                     TSides Sides, int Count);
TRect DrawRectOutline(TCanvas* Canvas, const TRect& Rect, TColor Color);
TRect DrawRoundedLineBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides);
TRect Draw3DEdgeBorderSides(TCanvas* Canvas, const TRect& Rect, bool Lowered, TSides Sides);
TRect Draw3DEdgeBorder(TCanvas* Canvas, const TRect& Rect, bool Lowered);
TRect DrawPushButtonBorderSides(TCanvas* Canvas, const TRect& Rect, bool Down, TSides Sides);
TRect DrawPushButtonBorder(TCanvas* Canvas, const TRect& Rect, bool Down);
TRect DrawShadedButtonBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  bool Down);
TRect DrawShadedButtonBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, bool Down);
TRect DrawStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle,
                            TSides Sides);
TRect DrawStyledBorder(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle);
TRect DrawShadedStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  TFrameStyleEx FrameStyle);
TRect DrawShadedStyledBorder(TCanvas* Canvas, const TRect& Rect, TColor Color,
                             TFrameStyleEx FrameStyle);

void PaintControlFrame(TCanvas* Canvas, int Width, int Height, bool NoErase, TSides FrameSides,
                       TColor FrameColor, TColor ControlColor, TFrameStyle FrameStyle);
void RedrawWindowFrame(HWND Wnd, const TRect& Rect);

void DrawPanelBorders(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx BorderOuter,
                      TFrameStyleEx BorderInner, int BorderWidth, TSides BorderSides,
                      int BevelWidth, TColor BorderColor, TColor BorderHighlight,
                      TColor BorderShadow, TColor FlatColor, int FlatColorAdjustment, TColor Color,
                      TColor ParentColor, bool Transparent, bool CutCorners, TRect& InnerRect);

// ---------------------------------------------------------------------------
// Progress bars

void DrawTraditionalProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                                TColor BarColor, TColor BackColor, uint16_t Percent,
                                bool ShowPercent, bool Transparent);
void DrawLedProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                        TColor BarColor, TColor BackColor, int NumSegments, uint16_t Percent,
                        bool ThemeAware, bool Transparent);
void DrawGradientProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                             TColor BarColor, TColor BarColorStop, TColor BackColor,
                             TColor BackColorStop, TGradientDirection GradientDirection,
                             uint16_t Percent, bool ShowPercent, bool Transparent);

// The segment layout of an LED bar along Total pixels. Zero or fewer
// segments give Count 0 (nothing to draw).
struct TLedLayout {
  int Segment = 0; // pixels per segment
  int Count = 0;   // segments drawn
  int Margin = 0;  // background strip at each end
};
TLedLayout LedProgressLayout(int Total, int NumSegments);

// ---------------------------------------------------------------------------
// Glyphs: Direction 0 up, 1 down, 2 left, 3 right.

void DrawDropDownArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled);
void DrawSpinArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled, int Direction);

// ---------------------------------------------------------------------------
// Look-ups

uint8_t GetXPColorScheme();
// The scheme number of a colour-scheme name (case does not matter).
uint8_t XPColorSchemeOfName(const std::wstring& Name);
TColor GetThemedColor(int Index);
void GetGradientColors(TFcGradientColorStyle ColorStyle, TColor& StartColor, TColor& StopColor);
TColor GetGradientFrameColor(TFcGradientColorStyle ColorStyle);
void GetStatusGradientColors(TFcGradientColorStyle ColorStyle, TColor& StopColor,
                             TColor& StartColor, TColor& LineColor);
bool ThemesEnabled();

// ---------------------------------------------------------------------------
// Platform and text

bool IsHighColorDisplay();
bool IsWindowsVersion(int Version);
// The same test on given version numbers (platform 1 = 95 family, 2 = NT).
bool IsWindowsVersionOf(int Version, DWORD PlatformId, DWORD Major, DWORD Minor);
TRect CenterRectangle(const TRect& Rect, int Width, int Height);
HFONT CreateRotatedFont(TFont* Font, int Angle);
int GetEditTextHeight(TFont* Font);
bool IsCharInSet(wchar_t Ch, const std::wstring& Set);
int DrawCanvasText(TCanvas* Canvas, const std::wstring& Text, TRect& Rect, UINT Format);
void DrawCanvasTextCentered(TCanvas* Canvas, const std::wstring& Text, const TRect& Rect);
void InvalidateTransparentChildren(TWinControl* Container);
inline int MinInt(int A, int B) {
  return A < B ? A : B;
}
inline int MaxInt(int A, int B) {
  return A > B ? A : B;
}

// ---------------------------------------------------------------------------
// Graphics

void DrawTransparentBitmapRect(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect,
                               TColor TransparentColor, const TRect& SourceRect);
void FlipBitmapVertically(TBitmap* Bitmap);
void FillGradientRect(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor, int ColorStep);
void RenderParentBackground(TControl* Control, HDC DC, bool InvalidateParent);
