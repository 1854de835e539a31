#include "framework/Themes.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace {

// A function found by name, as its own type.
template <class T> T As(FARPROC p) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(p));
}

const char* const FunctionNames[thfCount] = {"IsThemeActive",
                                             "IsAppThemed",
                                             "OpenThemeData",
                                             "CloseThemeData",
                                             "DrawThemeBackground",
                                             "DrawThemeParentBackground",
                                             "IsThemeBackgroundPartiallyTransparent"};

using TIsThemeActive = BOOL(WINAPI*)();
using TOpenThemeData = HTHEME(WINAPI*)(HWND, LPCWSTR);
using TCloseThemeData = HRESULT(WINAPI*)(HTHEME);
using TDrawThemeBackground = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using TDrawThemeParentBackground = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
using TIsPartiallyTransparent = BOOL(WINAPI*)(HTHEME, int, int);

} // namespace

TThemeServices::TThemeServices() = default;

TThemeServices::~TThemeServices() {
  if (FLib) FreeLibrary(FLib);
}

void TThemeServices::Bind() {
  if (FBound) return;
  FBound = true;
  FLib = LoadLibraryW(L"uxtheme.dll");
  if (!FLib) return;
  for (int i = 0; i < thfCount; ++i)
    if (!FSlots[i]) FSlots[i] = GetProcAddress(FLib, FunctionNames[i]);
}

FARPROC TThemeServices::Function(TThemeFunction F) {
  Bind();
  return F >= 0 && F < thfCount ? FSlots[F] : nullptr;
}

FARPROC TThemeServices::SetFunction(TThemeFunction F, FARPROC P) {
  Bind();
  if (F < 0 || F >= thfCount) return nullptr;
  FARPROC old = FSlots[F];
  FSlots[F] = P;
  return old;
}

bool TThemeServices::ThemesEnabled() {
  auto active = As<TIsThemeActive>(Function(thfIsThemeActive));
  auto themed = As<TIsThemeActive>(Function(thfIsAppThemed));
  return active && themed && Function(thfOpenThemeData) && active() && themed();
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedButton Detail) const {
  static const int States[] = {PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED, PBS_DEFAULTED};
  return {L"BUTTON", BP_PUSHBUTTON, States[Detail]};
}

bool TThemeServices::DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R,
                                 const TRect* ClipRect) {
  auto open = As<TOpenThemeData>(Function(thfOpenThemeData));
  auto close = As<TCloseThemeData>(Function(thfCloseThemeData));
  auto draw = As<TDrawThemeBackground>(Function(thfDrawThemeBackground));
  if (!open || !draw) return false;
  HTHEME th = open(nullptr, Details.ClassName);
  if (!th) return false;
  RECT r = R;
  RECT clip = ClipRect ? static_cast<RECT>(*ClipRect) : r;
  bool ok = SUCCEEDED(draw(th, DC, Details.Part, Details.State, &r, &clip));
  if (close) close(th);
  return ok;
}

bool TThemeServices::HasTransparentParts(const TThemedElementDetails& Details) {
  auto open = As<TOpenThemeData>(Function(thfOpenThemeData));
  auto close = As<TCloseThemeData>(Function(thfCloseThemeData));
  auto test = As<TIsPartiallyTransparent>(Function(thfIsThemeBackgroundPartiallyTransparent));
  if (!open || !test) return false;
  HTHEME th = open(nullptr, Details.ClassName);
  if (!th) return false;
  bool result = test(th, Details.Part, Details.State) != FALSE;
  if (close) close(th);
  return result;
}

void TThemeServices::DrawParentBackground(HWND Wnd, HDC DC, const TRect* R) {
  auto draw = As<TDrawThemeParentBackground>(Function(thfDrawThemeParentBackground));
  if (!draw) return;
  RECT r = R ? static_cast<RECT>(*R) : RECT{};
  draw(Wnd, DC, R ? &r : nullptr);
}

TThemeServices* ThemeServices() {
  static TThemeServices services;
  return &services;
}
