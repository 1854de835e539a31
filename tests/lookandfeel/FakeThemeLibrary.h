// A double of the theme library in the theme binding's slots: every theme
// class opens (unless listed as missing), drawing calls are recorded and
// fill their rectangle, and sizes and colours come from small tables.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"

namespace faketheme {

struct Call {
  std::wstring Function, Class;
  int Part = 0, State = 0;
  RECT Rect{};
  bool Clipped = false;
  std::wstring Text{};
  DWORD Flags = 0;
};

inline Call MakeCall(const wchar_t* Function, const std::wstring& Class, int Part, int State,
                     const RECT& R, bool Clipped = false) {
  Call c;
  c.Function = Function;
  c.Class = Class;
  c.Part = Part;
  c.State = State;
  c.Rect = R;
  c.Clipped = Clipped;
  return c;
}

struct State {
  std::vector<std::wstring> Classes; // index + 1 is the handle
  std::set<std::wstring> Missing;
  std::vector<Call> Calls;
  std::set<int> FailingColorProps;
  SIZE PartSize{13, 13};
  bool Active = true;
};

inline State& S() {
  static State s;
  return s;
}

inline std::wstring ClassOf(HTHEME T) {
  size_t i = reinterpret_cast<size_t>(T);
  return i >= 1 && i <= S().Classes.size() ? S().Classes[i - 1] : L"?";
}

inline COLORREF PartColour(int Part, int State) {
  return RGB((Part * 37) % 200 + 40, (State * 53) % 200 + 40, 180);
}

inline HTHEME WINAPI Open(HWND, LPCWSTR List) {
  std::wstring Name = List;
  for (auto& c : Name)
    c = towupper(c);
  if (S().Missing.count(Name)) return nullptr;
  S().Classes.push_back(Name);
  return reinterpret_cast<HTHEME>(S().Classes.size());
}
inline HRESULT WINAPI Close(HTHEME) {
  return S_OK;
}
inline HRESULT WINAPI DrawBackground(HTHEME T, HDC DC, int Part, int St, const RECT* R,
                                     const RECT* Clip) {
  S().Calls.push_back(MakeCall(L"DrawThemeBackground", ClassOf(T), Part, St, *R, Clip != nullptr));
  RECT F = *R;
  if (Clip) IntersectRect(&F, R, Clip);
  HBRUSH B = CreateSolidBrush(PartColour(Part, St));
  FillRect(DC, &F, B);
  DeleteObject(B);
  return S_OK;
}
inline HRESULT WINAPI DrawText(HTHEME T, HDC, int Part, int St, LPCWSTR Text, int Count,
                               DWORD Flags, DWORD, const RECT* R) {
  Call c = MakeCall(L"DrawThemeText", ClassOf(T), Part, St, *R);
  c.Text.assign(Text, Count < 0 ? wcslen(Text) : Count);
  c.Flags = Flags;
  S().Calls.push_back(c);
  return S_OK;
}
inline HRESULT WINAPI DrawEdge(HTHEME T, HDC, int Part, int St, const RECT* R, UINT, UINT, RECT*) {
  S().Calls.push_back(MakeCall(L"DrawThemeEdge", ClassOf(T), Part, St, *R));
  return S_OK;
}
inline HRESULT WINAPI ContentRect(HTHEME, HDC, int, int, const RECT* B, RECT* C) {
  *C = RECT{B->left + 3, B->top + 2, B->right - 3, B->bottom - 2};
  return S_OK;
}
inline HRESULT WINAPI PartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE* Size) {
  *Size = S().PartSize;
  return S_OK;
}
inline HRESULT WINAPI Region(HTHEME, HDC, int, int, const RECT* R, HRGN* Rgn) {
  *Rgn = CreateEllipticRgnIndirect(R);
  return S_OK;
}
inline BOOL WINAPI PartiallyTransparent(HTHEME, int, int) {
  return FALSE;
}
inline HRESULT WINAPI Color(HTHEME, int Part, int St, int Prop, COLORREF* C) {
  if (S().FailingColorProps.count(Prop)) return E_FAIL;
  *C = RGB(Part, St, Prop % 256);
  return S_OK;
}
inline HRESULT WINAPI ThemeName(LPWSTR, int, LPWSTR, int, LPWSTR, int) {
  return E_FAIL;
}
inline BOOL WINAPI IsActive() {
  return S().Active ? TRUE : FALSE;
}

// Puts the double in place for the life of the object; visual styles count as active.
class Installed {
public:
  explicit Installed(std::set<std::wstring> Missing = {}) {
    S() = State();
    S().Missing = std::move(Missing);
    lxUxThemeInitialize();
    Set(tfOpenThemeData, Open);
    Set(tfCloseThemeData, Close);
    Set(tfDrawThemeBackground, DrawBackground);
    Set(tfDrawThemeText, DrawText);
    Set(tfDrawThemeEdge, DrawEdge);
    Set(tfGetThemeBackgroundContentRect, ContentRect);
    Set(tfGetThemePartSize, PartSize);
    Set(tfGetThemeBackgroundRegion, Region);
    Set(tfIsThemeBackgroundPartiallyTransparent, PartiallyTransparent);
    Set(tfGetThemeColor, Color);
    Set(tfGetCurrentThemeName, ThemeName);
    Set(tfIsThemeActive, IsActive);
    lxThemeManagerInitialize();
  }
  ~Installed() {
    lxThemeManagerFinalize();
    lxUxThemeFinalize();
  }
  bool Usable() const { return CanUseVisualStyles(0); }

private:
  template <class F> void Set(TlxThemeFunction Slot, F* Fn) {
    lxSetThemeFunction(Slot, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(Fn)));
  }
};

inline std::vector<Call>& Calls() {
  return S().Calls;
}
inline void ClearCalls() {
  S().Calls.clear();
}

} // namespace faketheme
