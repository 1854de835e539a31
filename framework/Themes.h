// Visual styles of the platform's theme library ("uxtheme.dll"), bound by
// name at first use; without the library every query answers "no themes".
#pragma once

#include <windows.h>

#include "framework/Classes.h"

// The theme functions the services use, in binding order.
enum TThemeFunction {
  thfIsThemeActive,
  thfIsAppThemed,
  thfOpenThemeData,
  thfCloseThemeData,
  thfDrawThemeBackground,
  thfDrawThemeParentBackground,
  thfIsThemeBackgroundPartiallyTransparent,
  thfCount
};

enum TThemedButton {
  tbPushButtonNormal,
  tbPushButtonHot,
  tbPushButtonPressed,
  tbPushButtonDisabled,
  tbPushButtonDefaulted
};

// One element of a theme class: its part and state.
struct TThemedElementDetails {
  const wchar_t* ClassName = L"";
  int Part = 0;
  int State = 0;
};

class TThemeServices {
public:
  TThemeServices();
  ~TThemeServices();
  TThemeServices(const TThemeServices&) = delete;
  TThemeServices& operator=(const TThemeServices&) = delete;

  // The library is there, a visual style is active and the program uses it.
  bool ThemesEnabled();
  TThemedElementDetails GetElementDetails(TThemedButton Detail) const;
  // False when the element could not be drawn.
  bool DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                   const TRect* ClipRect = nullptr);
  // The element lets what lies behind it show through somewhere.
  bool HasTransparentParts(const TThemedElementDetails& Details);
  // Draws the part of Wnd's parent that lies behind R (Wnd's client
  // coordinates; the whole client area without R).
  void DrawParentBackground(HWND Wnd, HDC DC, const TRect* R);

  // The bound entry point, or null.
  FARPROC Function(TThemeFunction F);
  // Puts another entry point into a slot (tests put a double of the theme
  // library there); returns the one it replaces.
  FARPROC SetFunction(TThemeFunction F, FARPROC P);

private:
  void Bind();
  bool FBound = false;
  HMODULE FLib = nullptr;
  FARPROC FSlots[thfCount] = {};
};

// The one instance of the program, made at first use.
TThemeServices* ThemeServices();
