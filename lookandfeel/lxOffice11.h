// Colours of the Office 2003 look: 81 colours from three fixed schemes or the
// system colours, 13 brushes and three bitmaps, rebuilt when the system
// colours change; gradient fill with a software fallback and grip dots.
#pragma once

#include <windows.h>

#include "framework/Graphics.h"

constexpr int Office11ColorCount = 81;
constexpr int Office11BrushCount = 16;

// 0 none, 1 blue, 2 olive, 3 silver.
BYTE Office11Scheme();
bool Office11SchemeThemed();
// The per-scheme value (41, 125, 40; 75 without a themed scheme).
int Office11SchemeValue();
BYTE ReadThemeColorScheme();
// The scheme named by a theme's file and colour names on a system of the
// given major version.
BYTE SchemeFromThemeName(const wchar_t* FileName, const wchar_t* ColorName, DWORD Major);

TColor Office11Color(int Index);
// Null while the colour set has no users.
HBRUSH Office11Brush(int Index);
enum TlxOffice11Bitmap { obSubMenuExpand, obExpandButtonMinus, obExpandButtonPlus };
// Null while the colour set has no users.
TBitmap* Office11Bitmap(TlxOffice11Bitmap Which);
int Office11ColorsUserCount();

void AddOffice11ColorsUser();
void UpdateOffice11Colors();
void RemoveOffice11ColorsUser();
// Computes colours 0 to 78 for a scheme (themed) or from the system colours.
void BuildOffice11Colors(BYTE Scheme, bool Themed);

// Recolours a grey image between Light and Dark (pixel (0, 0) is the
// background; black pixels stay).
void TintGreyBitmap(TBitmap* Bitmap, TColor Light, TColor Dark);

// p is the share of c1 in percent.
TColor MixColors(TColor c1, TColor c2, int p);
TColor SystemTintColor(int FacePercent, int HighlightPercent, int WindowPercent);
TColor NearestScreenColor(TColor c);
TColor CaptionTintColor(bool Start);

void FillGradient(HDC DC, const TRect& R, TColor c1, TColor c2, bool Horizontal);
void FillSolid(HDC DC, const TRect& R, TColor c);
// Without GradientFill (msimg32 missing, or switched off for tests).
bool GradientFillAvailable();
extern bool lxGradientFillDisabled;

void DrawGripDots(HDC DC, const TRect& R, bool Vertical, HBRUSH Light = nullptr,
                  HBRUSH Dark = nullptr);
void DrawSizeGripDots(HDC DC, const TRect& R, TColor Dark = clDefault, TColor Light = clDefault);

void lxOffice11Initialize();
void lxOffice11Finalize();
