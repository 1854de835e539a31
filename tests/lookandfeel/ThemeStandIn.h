// A stand-in for the theme library's entry points: the real library is
// loaded (the manager needs it), and its slots are pointed at these fakes so
// that visual styles count as active and theme names can be chosen.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"

namespace themestandin {

inline BOOL gActive = TRUE;
inline std::vector<std::wstring> gOpened;
inline int gCloses = 0;
inline std::wstring gFile = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
inline std::wstring gColour = L"NormalColor";

inline HTHEME WINAPI Open(HWND, LPCWSTR List) {
  std::wstring l = List ? List : L"";
  if (_wcsicmp(l.c_str(), L"Header") == 0) return nullptr; // a class that cannot open
  gOpened.push_back(l);
  return reinterpret_cast<HTHEME>(static_cast<intptr_t>(0x1000 + gOpened.size()));
}
inline HRESULT WINAPI Close(HTHEME) {
  ++gCloses;
  return S_OK;
}
inline BOOL WINAPI Active() {
  return gActive;
}
inline HRESULT WINAPI Name(LPWSTR File, int MaxFile, LPWSTR Colour, int MaxColour, LPWSTR Size,
                           int MaxSize) {
  lstrcpynW(File, gFile.c_str(), MaxFile);
  lstrcpynW(Colour, gColour.c_str(), MaxColour);
  lstrcpynW(Size, L"NormalSize", MaxSize);
  return S_OK;
}

// Starts the theme units with the fakes in place; false when the system has
// no theme library to stand in for.
struct Library {
  Library() {
    gActive = TRUE;
    gOpened.clear();
    gCloses = 0;
    lxUxThemeInitialize();
    if (!ThemeLibraryLoaded()) return;
    loaded = true;
    saved[0] = lxSetThemeFunction(tfOpenThemeData, reinterpret_cast<FARPROC>(&Open));
    saved[1] = lxSetThemeFunction(tfCloseThemeData, reinterpret_cast<FARPROC>(&Close));
    saved[2] = lxSetThemeFunction(tfIsThemeActive, reinterpret_cast<FARPROC>(&Active));
    saved[3] = lxSetThemeFunction(tfGetCurrentThemeName, reinterpret_cast<FARPROC>(&Name));
    lxThemeManagerInitialize();
  }
  ~Library() {
    if (loaded) {
      lxThemeManagerFinalize();
      lxSetThemeFunction(tfOpenThemeData, saved[0]);
      lxSetThemeFunction(tfCloseThemeData, saved[1]);
      lxSetThemeFunction(tfIsThemeActive, saved[2]);
      lxSetThemeFunction(tfGetCurrentThemeName, saved[3]);
    }
    lxUxThemeFinalize();
  }
  bool loaded = false;
  FARPROC saved[4] = {};
};

} // namespace themestandin
