#include "lookandfeel/lxUxTheme.h"

#include <commctrl.h>

namespace {

HMODULE gLib = nullptr;
bool gUsable = false;
int gUseCount = 0;
FARPROC gSlots[tfCount] = {};
bool gVersionSet = false;
TlxSystemVersion gVersion;

template <class F> F Slot(TlxThemeFunction f) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(gSlots[f]));
}

} // namespace

bool lxUxThemeDisabled = false;

const TlxSystemVersion& lxSystemVersion() {
  if (!gVersionSet) {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&vi);
#pragma GCC diagnostic pop
    gVersion = {vi.dwMajorVersion, vi.dwMinorVersion, vi.dwPlatformId};
    gVersionSet = true;
  }
  return gVersion;
}

void lxSetSystemVersion(const TlxSystemVersion& Value) {
  gVersion = Value;
  gVersionSet = true;
}

void lxResetSystemVersion() {
  gVersionSet = false;
}

const char* const lxThemeFunctionNames[tfCount] = {"CloseThemeData",
                                                   "DrawThemeBackground",
                                                   "DrawThemeEdge",
                                                   "DrawThemeIcon",
                                                   "DrawThemeParentBackground",
                                                   "DrawThemeText",
                                                   "DrawThemeTextEx",
                                                   "EnableThemeDialogTexture",
                                                   "GetCurrentThemeName",
                                                   "GetThemeAppProperties",
                                                   "GetThemeBackgroundContentRect",
                                                   "GetThemeBackgroundRegion",
                                                   "GetThemeBackgroundExtent",
                                                   "GetThemeBool",
                                                   "GetThemeColor",
                                                   "GetThemeDocumentationProperty",
                                                   "GetThemeEnumValue",
                                                   "GetThemeFilename",
                                                   "GetThemeFont",
                                                   "GetThemeInt",
                                                   "GetThemeIntList",
                                                   "GetThemeMargins",
                                                   "GetThemeMetric",
                                                   "GetThemePartSize",
                                                   "GetThemePosition",
                                                   "GetThemePropertyOrigin",
                                                   "GetThemeRect",
                                                   "GetThemeString",
                                                   "GetThemeSysBool",
                                                   "GetThemeSysColor",
                                                   "GetThemeSysColorBrush",
                                                   "GetThemeSysFont",
                                                   "GetThemeSysInt",
                                                   "GetThemeSysSize",
                                                   "GetThemeSysString",
                                                   "GetThemeTextExtent",
                                                   "GetThemeTextMetrics",
                                                   "GetWindowTheme",
                                                   "HitTestThemeBackground",
                                                   "IsAppThemed",
                                                   "IsThemeActive",
                                                   "IsThemePartDefined",
                                                   "IsThemeBackgroundPartiallyTransparent",
                                                   "IsThemeDialogTextureEnabled",
                                                   "OpenThemeData",
                                                   "SetThemeAppProperties",
                                                   "SetWindowTheme",
                                                   "BufferedPaintInit",
                                                   "BufferedPaintUnInit",
                                                   "BeginBufferedPaint",
                                                   "EndBufferedPaint",
                                                   "BufferedPaintSetAlpha"};

FARPROC lxThemeFunction(TlxThemeFunction F) {
  return F >= 0 && F < tfCount ? gSlots[F] : nullptr;
}

FARPROC lxSetThemeFunction(TlxThemeFunction F, FARPROC P) {
  if (F < 0 || F >= tfCount) return nullptr;
  FARPROC Old = gSlots[F];
  gSlots[F] = P;
  return Old;
}

bool ThemeLibraryLoaded() {
  return gLib != nullptr;
}

bool ThemeLibraryUsable() {
  return gUsable;
}

namespace lx {

HTHEME OpenThemeData(HWND hwnd, LPCWSTR ClassList) {
  auto f = Slot<HTHEME(WINAPI*)(HWND, LPCWSTR)>(tfOpenThemeData);
  return f ? f(hwnd, ClassList) : nullptr;
}

HRESULT CloseThemeData(HTHEME Theme) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME)>(tfCloseThemeData);
  return f ? f(Theme) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC dc, int Part, int State, const RECT& R,
                            const RECT* Clip) {
  return lx::DrawThemeBackground(Theme, dc, Part, State, &R, Clip);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC dc, int Part, int State, const RECT* R,
                            const RECT* Clip) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>(
      tfDrawThemeBackground);
  return f ? f(Theme, dc, Part, State, R, Clip) : E_NOTIMPL;
}

HRESULT DrawThemeText(HTHEME Theme, HDC dc, int Part, int State, LPCWSTR Text, int Count,
                      DWORD Flags, DWORD Flags2, const RECT* R) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)>(
      tfDrawThemeText);
  return f ? f(Theme, dc, Part, State, Text, Count, Flags, Flags2, R) : E_NOTIMPL;
}

HRESULT DrawThemeText(HTHEME Theme, HDC dc, int Part, int State, const std::string& Text, int Count,
                      DWORD Flags, DWORD Flags2, const RECT* R) {
  int n = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), w.data(), n);
  return lx::DrawThemeText(Theme, dc, Part, State, w.c_str(), Count, Flags, Flags2, R);
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC dc, int Part, int State,
                                      const RECT* Bounding, RECT* Content) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*)>(
      tfGetThemeBackgroundContentRect);
  return f ? f(Theme, dc, Part, State, Bounding, Content) : E_NOTIMPL;
}

HRESULT GetThemePartSize(HTHEME Theme, HDC dc, int Part, int State, const RECT* R, THEMESIZE Size,
                         SIZE* Result) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*)>(
      tfGetThemePartSize);
  return f ? f(Theme, dc, Part, State, R, Size, Result) : E_NOTIMPL;
}

HRESULT GetThemePartSize(HTHEME Theme, HDC dc, int Part, int State, THEMESIZE Size, SIZE* Result) {
  return lx::GetThemePartSize(Theme, dc, Part, State, nullptr, Size, Result);
}

HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC dc, int Part, int State, const RECT* R,
                                 HRGN* Region) {
  auto f =
      Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, HRGN*)>(tfGetThemeBackgroundRegion);
  return f ? f(Theme, dc, Part, State, R, Region) : E_NOTIMPL;
}

HRESULT DrawThemeEdge(HTHEME Theme, HDC dc, int Part, int State, const RECT* Dest, UINT Edge,
                      UINT Flags, RECT* Content) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*)>(
      tfDrawThemeEdge);
  return f ? f(Theme, dc, Part, State, Dest, Edge, Flags, Content) : E_NOTIMPL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State) {
  auto f = Slot<BOOL(WINAPI*)(HTHEME, int, int)>(tfIsThemeBackgroundPartiallyTransparent);
  return f ? f(Theme, Part, State) : FALSE;
}

HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int Prop, COLORREF* Color) {
  auto f = Slot<HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*)>(tfGetThemeColor);
  return f ? f(Theme, Part, State, Prop, Color) : E_NOTIMPL;
}

HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileName, LPWSTR ColorName, int MaxColorName,
                            LPWSTR SizeName, int MaxSizeName) {
  auto f = Slot<HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int)>(tfGetCurrentThemeName);
  return f ? f(FileName, MaxFileName, ColorName, MaxColorName, SizeName, MaxSizeName) : E_NOTIMPL;
}

BOOL IsThemeActive() {
  auto f = Slot<BOOL(WINAPI*)()>(tfIsThemeActive);
  return f ? f() : FALSE;
}

} // namespace lx

void lxUxThemeInitialize() {
  if (gUseCount++ > 0) return;
  const auto& v = lxSystemVersion();
  gUsable = v.Major > 5 || (v.Major == 5 && v.Minor != 0);
  InitCommonControls();
  if (!gUsable || lxUxThemeDisabled) return;
  gLib = LoadLibraryW(L"UxTheme.dll");
  if (!gLib) return;
  for (int i = 0; i < tfCount; ++i)
    gSlots[i] = GetProcAddress(gLib, lxThemeFunctionNames[i]);
}

void lxUxThemeFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  for (auto& s : gSlots)
    s = nullptr;
  if (gLib) FreeLibrary(gLib);
  gLib = nullptr;
}
