// The theme library ("UxTheme.dll") bound at run time, with thin wrappers, so
// that the program also starts where it is missing.
#pragma once

#include <string>

#include <windows.h>
#include <uxtheme.h>

// The system's version as the library reads it at start-up; tests may set
// it before start-up to act as another system.
struct TlxSystemVersion {
  DWORD Major = 0, Minor = 0, Platform = VER_PLATFORM_WIN32_NT;
};
const TlxSystemVersion& lxSystemVersion();
void lxSetSystemVersion(const TlxSystemVersion& Value);
void lxResetSystemVersion();

// The entry points, in binding order.
enum TlxThemeFunction {
  tfCloseThemeData,
  tfDrawThemeBackground,
  tfDrawThemeEdge,
  tfDrawThemeIcon,
  tfDrawThemeParentBackground,
  tfDrawThemeText,
  tfDrawThemeTextEx,
  tfEnableThemeDialogTexture,
  tfGetCurrentThemeName,
  tfGetThemeAppProperties,
  tfGetThemeBackgroundContentRect,
  tfGetThemeBackgroundRegion,
  tfGetThemeBackgroundExtent,
  tfGetThemeBool,
  tfGetThemeColor,
  tfGetThemeDocumentationProperty,
  tfGetThemeEnumValue,
  tfGetThemeFilename,
  tfGetThemeFont,
  tfGetThemeInt,
  tfGetThemeIntList,
  tfGetThemeMargins,
  tfGetThemeMetric,
  tfGetThemePartSize,
  tfGetThemePosition,
  tfGetThemePropertyOrigin,
  tfGetThemeRect,
  tfGetThemeString,
  tfGetThemeSysBool,
  tfGetThemeSysColor,
  tfGetThemeSysColorBrush,
  tfGetThemeSysFont,
  tfGetThemeSysInt,
  tfGetThemeSysSize,
  tfGetThemeSysString,
  tfGetThemeTextExtent,
  tfGetThemeTextMetrics,
  tfGetWindowTheme,
  tfHitTestThemeBackground,
  tfIsAppThemed,
  tfIsThemeActive,
  tfIsThemePartDefined,
  tfIsThemeBackgroundPartiallyTransparent,
  tfIsThemeDialogTextureEnabled,
  tfOpenThemeData,
  tfSetThemeAppProperties,
  tfSetWindowTheme,
  tfBufferedPaintInit,
  tfBufferedPaintUnInit,
  tfBeginBufferedPaint,
  tfEndBufferedPaint,
  tfBufferedPaintSetAlpha,
  tfCount
};
extern const char* const lxThemeFunctionNames[tfCount];
// The bound entry point, or null.
FARPROC lxThemeFunction(TlxThemeFunction F);
// Puts another entry point into a bound slot (tests put a double of the
// theme library there); returns the one it replaces.
FARPROC lxSetThemeFunction(TlxThemeFunction F, FARPROC P);

bool ThemeLibraryLoaded();
// True when the system may use the theme library (5.1 or later).
bool ThemeLibraryUsable();

// Wrappers (namespace lx beside the platform's own declarations): an empty slot gives a failure
// result (E_NOTIMPL, 0 or null).
namespace lx {

HTHEME OpenThemeData(HWND hwnd, LPCWSTR ClassList);
HRESULT CloseThemeData(HTHEME Theme);
HRESULT DrawThemeBackground(HTHEME Theme, HDC dc, int Part, int State, const RECT& R,
                            const RECT* Clip);
HRESULT DrawThemeBackground(HTHEME Theme, HDC dc, int Part, int State, const RECT* R,
                            const RECT* Clip);
HRESULT DrawThemeText(HTHEME Theme, HDC dc, int Part, int State, LPCWSTR Text, int Count,
                      DWORD Flags, DWORD Flags2, const RECT* R);
HRESULT DrawThemeText(HTHEME Theme, HDC dc, int Part, int State, const std::string& Text, int Count,
                      DWORD Flags, DWORD Flags2, const RECT* R);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC dc, int Part, int State,
                                      const RECT* Bounding, RECT* Content);
HRESULT GetThemePartSize(HTHEME Theme, HDC dc, int Part, int State, const RECT* R, THEMESIZE Size,
                         SIZE* Result);
HRESULT GetThemePartSize(HTHEME Theme, HDC dc, int Part, int State, THEMESIZE Size, SIZE* Result);
HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC dc, int Part, int State, const RECT* R,
                                 HRGN* Region);
HRESULT DrawThemeEdge(HTHEME Theme, HDC dc, int Part, int State, const RECT* Dest, UINT Edge,
                      UINT Flags, RECT* Content);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State);
HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int Prop, COLORREF* Color);
HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileName, LPWSTR ColorName, int MaxColorName,
                            LPWSTR SizeName, int MaxSizeName);
// 0 when the slot is empty.
BOOL IsThemeActive();

} // namespace lx

// Unit start-up (initialises the common controls, loads the library when
// usable) and shut-down.
void lxUxThemeInitialize();
void lxUxThemeFinalize();
// Tests may keep the theme library from loading (before start-up).
extern bool lxUxThemeDisabled;
