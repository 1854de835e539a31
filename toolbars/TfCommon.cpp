#include "toolbars/TfCommon.h"

#include <atomic>

#include <mmsystem.h>

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using TMonitorFromRect = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
using TGetMonitorInfo = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using TLockSetForegroundWindow = BOOL(WINAPI*)(UINT);
using TTrackMouseEvent = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
using TNotifyWinEventProc = void(WINAPI*)(DWORD, HWND, LONG, LONG);

struct Bound {
  TGradientFill GradientFill = nullptr;
  TMonitorFromRect MonitorFromRect = nullptr;
  TMonitorFromPoint MonitorFromPoint = nullptr;
  TMonitorFromWindow MonitorFromWindow = nullptr;
  TGetMonitorInfo GetMonitorInfo = nullptr;
  TLockSetForegroundWindow LockSetForegroundWindow = nullptr;
  bool Monitors = false;
  Bound() {
    if (WindowsVersion() > 409) {
      UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
      HMODULE msimg = LoadLibraryW(L"msimg32.dll");
      SetErrorMode(old);
      if (msimg)
        GradientFill = reinterpret_cast<TGradientFill>(
            reinterpret_cast<void*>(GetProcAddress(msimg, "GradientFill")));
    }
    HMODULE user = GetModuleHandleW(L"user32.dll");
    MonitorFromRect = reinterpret_cast<TMonitorFromRect>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromRect")));
    MonitorFromPoint = reinterpret_cast<TMonitorFromPoint>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromPoint")));
    MonitorFromWindow = reinterpret_cast<TMonitorFromWindow>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
    GetMonitorInfo = reinterpret_cast<TGetMonitorInfo>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoW")));
    Monitors = MonitorFromRect && MonitorFromPoint && MonitorFromWindow && GetMonitorInfo;
    LockSetForegroundWindow = reinterpret_cast<TLockSetForegroundWindow>(
        reinterpret_cast<void*>(GetProcAddress(user, "LockSetForegroundWindow")));
  }
};

const Bound& B() {
  static Bound b;
  return b;
}

std::atomic<TTrackMouseEvent> gTrackMouseEvent{nullptr};
std::atomic<LONG> gTrackMouseBound{0};
std::atomic<TNotifyWinEventProc> gNotifyWinEvent{nullptr};
std::atomic<LONG> gNotifyBound{0};
std::atomic<LONG> gMenuDelayRead{0};
std::atomic<int> gRegistryMenuDelay{400};

bool IsNT() {
  return true;
}

} // namespace

int WindowsVersion() {
  static int v = [] {
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    auto f = reinterpret_cast<TRtlGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (f && f(&vi) == 0) return static_cast<int>(vi.dwMajorVersion * 100 + vi.dwMinorVersion);
    return 501;
  }();
  return v;
}

bool IsXPOrLater() {
  return IsNT() && WindowsVersion() >= 501;
}

int RegistryMenuDelay() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return 400;
  wchar_t buf[16]{};
  DWORD size = sizeof(buf), type = 0;
  LONG rc =
      RegQueryValueExW(key, L"MenuShowDelay", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (rc == ERROR_FILE_NOT_FOUND) return 400;
  if (rc != ERROR_SUCCESS || type != REG_SZ) return 0;
  std::wstring s(buf, wcsnlen(buf, size / sizeof(wchar_t)));
  size_t i = 0;
  bool negative = false;
  if (!s.empty() && (s[0] == L'-' || s[0] == L'+')) negative = s[i++] == L'-';
  if (i >= s.size()) return 0;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < L'0' || s[i] > L'9') return 0;
    v = v * 10 + (s[i] - L'0');
    // Out of the integer range: not a number either.
    if (v > 2147483648LL || (!negative && v > 2147483647LL)) return 0;
  }
  return static_cast<int>(negative ? -v : v);
}

int MenuShowDelay() {
  if (WindowsVersion() < 400) return 400;
  UINT v = 0;
  int r;
  if (SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &v, 0)) {
    r = static_cast<int>(v);
  } else {
    if (gMenuDelayRead.load() == 0) {
      gRegistryMenuDelay = RegistryMenuDelay();
      gMenuDelayRead.exchange(1);
    }
    r = gRegistryMenuDelay;
  }
  return r < 0 ? 0 : r;
}

bool FlatMenusEnabled() {
  BOOL v = FALSE;
  return IsXPOrLater() && SystemParametersInfoW(SPI_GETFLATMENU, 0, &v, 0) && v;
}

bool KeyboardCuesEnabled() {
  if (WindowsVersion() < 500) return true;
  BOOL v = FALSE;
  if (!SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &v, 0)) return true;
  return v != FALSE;
}

UINT SystemParamUInt(UINT Action, UINT Default) {
  UINT v = 0;
  return SystemParametersInfoW(Action, 0, &v, 0) ? v : Default;
}

bool ReadNonClientMetrics(NONCLIENTMETRICSW& m) {
  m = NONCLIENTMETRICSW{};
  m.cbSize = sizeof(m);
  return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0) != FALSE;
}

UINT KeyboardCodePage() {
  wchar_t buf[16]{};
  LANGID lang = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)));
  if (!GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, buf, 16)) return 0;
  wchar_t* end = nullptr;
  unsigned long cp = wcstoul(buf, &end, 10);
  if (end == buf || *end) return 0;
  if (!IsValidCodePage(static_cast<UINT>(cp))) return 0;
  return static_cast<UINT>(cp);
}

bool HasActiveWindow() {
  return GetActiveWindow() != nullptr;
}

TPoint CurrentMessagePos() {
  DWORD p = GetMessagePos();
  return TPoint(static_cast<short>(LOWORD(p)), static_cast<short>(HIWORD(p)));
}

bool SoundEventSet(const std::wstring& Name) {
  if (!IsNT() || WindowsVersion() < 500) return true;
  HKEY key;
  std::wstring path = L"AppEvents\\Schemes\\Apps\\.Default\\" + Name + L"\\.Current";
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  wchar_t buf[4]{};
  DWORD size = sizeof(buf), type = 0;
  LONG rc = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (rc == ERROR_MORE_DATA) return true;
  return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size >= 2 && buf[0];
}

void PlayMenuSound(const std::wstring& Name) {
  DWORD flags = SND_ALIAS | SND_ASYNC | SND_NODEFAULT;
  if (WindowsVersion() >= 600) flags |= 0x00200000; // SND_SYSTEM
  PlaySoundW(Name.c_str(), nullptr, flags);
}

void ScreenArea(bool WorkArea, TRect& R) {
  RECT r;
  if (WorkArea && SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) {
    R = r;
    return;
  }
  R = TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool HasSeveralMonitors() {
  return B().Monitors && GetSystemMetrics(SM_CMONITORS) > 1;
}

bool MonitorArea(HMONITOR M, bool WorkArea, TRect& R) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!B().Monitors || !B().GetMonitorInfo(M, &mi)) return false;
  R = WorkArea ? mi.rcWork : mi.rcMonitor;
  return true;
}

bool MonitorAreaOfRect(const TRect& Rect, bool WorkArea, TRect& R) {
  if (HasSeveralMonitors()) {
    RECT r = Rect;
    if (MonitorArea(B().MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), WorkArea, R)) return true;
  }
  ScreenArea(WorkArea, R);
  return true;
}

bool MonitorAreaOfPoint(const TPoint& P, bool WorkArea, TRect& R) {
  if (HasSeveralMonitors()) {
    if (MonitorArea(B().MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), WorkArea, R)) return true;
  }
  ScreenArea(WorkArea, R);
  return true;
}

bool GradientFillAvailable() {
  return B().GradientFill != nullptr;
}

void GradientFillRect(HDC DC, const TRect& R, COLORREF C1, COLORREF C2, bool Horizontal) {
  if (!B().GradientFill) return;
  TRIVERTEX v[2]{};
  v[0].x = R.Left;
  v[0].y = R.Top;
  v[0].Red = static_cast<COLOR16>(GetRValue(C1) << 8);
  v[0].Green = static_cast<COLOR16>(GetGValue(C1) << 8);
  v[0].Blue = static_cast<COLOR16>(GetBValue(C1) << 8);
  v[1].x = R.Right;
  v[1].y = R.Bottom;
  v[1].Red = static_cast<COLOR16>(GetRValue(C2) << 8);
  v[1].Green = static_cast<COLOR16>(GetGValue(C2) << 8);
  v[1].Blue = static_cast<COLOR16>(GetBValue(C2) << 8);
  GRADIENT_RECT gr{0, 1};
  B().GradientFill(DC, v, 2, &gr, 1, Horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

bool TrackMouse(HWND Wnd, DWORD Flags) {
  if (gTrackMouseBound.load() == 0) {
    auto f = reinterpret_cast<TTrackMouseEvent>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "TrackMouseEvent")));
    if (!f) {
      HMODULE cc = GetModuleHandleW(L"comctl32.dll");
      if (cc)
        f = reinterpret_cast<TTrackMouseEvent>(
            reinterpret_cast<void*>(GetProcAddress(cc, "_TrackMouseEvent")));
    }
    gTrackMouseEvent = f;
    gTrackMouseBound.exchange(1);
  }
  TTrackMouseEvent f = gTrackMouseEvent.load();
  if (!f) return false;
  TRACKMOUSEEVENT t{sizeof(t), Flags, Wnd, 0};
  return f(&t) != FALSE;
}

void LockForeground(bool Lock) {
  if (B().LockSetForegroundWindow) B().LockSetForegroundWindow(Lock ? LSFW_LOCK : LSFW_UNLOCK);
}

void TfNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId) {
  if (gNotifyBound.load() == 0) {
    gNotifyWinEvent = reinterpret_cast<TNotifyWinEventProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "NotifyWinEvent")));
    gNotifyBound.exchange(1);
  }
  if (auto f = gNotifyWinEvent.load()) f(Event, Wnd, ObjectId, ChildId);
}

std::wstring StripAccelMarks(const std::wstring& Text) {
  std::wstring r;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == L'&') {
      if (i + 1 < Text.size()) r += Text[++i];
      continue;
    }
    r += Text[i];
  }
  return r;
}

std::wstring DoubleAmpersands(const std::wstring& Text) {
  std::wstring r;
  for (wchar_t c : Text) {
    r += c;
    if (c == L'&') r += L'&';
  }
  return r;
}

std::wstring TrimEllipsisOrColon(const std::wstring& Text) {
  size_t n = Text.size();
  if (n >= 2 && Text[n - 1] == L':') return Text.substr(0, n - 1);
  if (n >= 4 && Text.compare(n - 3, 3, L"...") == 0) return Text.substr(0, n - 3);
  return Text;
}

wchar_t AccelCharOf(const std::wstring& Text) {
  wchar_t r = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != L'&') continue;
    if (i + 1 >= Text.size()) break;
    if (Text[i + 1] == L'&') {
      ++i;
      continue;
    }
    r = Text[i + 1];
  }
  return r;
}

int CaptionTextWidth(HDC DC, const std::wstring& Text, bool StripMarks) {
  std::wstring s = StripMarks ? StripAccelMarks(Text) : Text;
  SIZE sz{};
  GetTextExtentPoint32W(DC, s.c_str(), static_cast<int>(s.size()), &sz);
  return sz.cx;
}

wchar_t LowerChar(wchar_t C) {
  wchar_t buf[2] = {C, 0};
  CharLowerBuffW(buf, 1);
  return buf[0];
}

namespace {
thread_local bool tFontFound = false;

int CALLBACK FontFoundProc(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) {
  tFontFound = true;
  return 0;
}
} // namespace

bool FontInstalled(HDC DC, const std::wstring& Name) {
  tFontFound = false;
  EnumFontsW(DC, Name.c_str(), FontFoundProc, 0);
  return tFontFound;
}

HFONT CreateVerticalFont(HDC DC) {
  LOGFONTW lf{};
  GetObjectW(GetCurrentObject(DC, OBJ_FONT), sizeof(lf), &lf);
  lf.lfEscapement = 2700;
  lf.lfOrientation = 2700;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  if (_wcsicmp(lf.lfFaceName, L"MS Sans Serif") == 0 ||
      _wcsicmp(lf.lfFaceName, L"Microsoft Sans Serif") == 0) {
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    wcscpy_s(lf.lfFaceName, WindowsVersion() >= 500 ? L"Tahoma" : L"Arial");
    lf.lfHeight = lf.lfHeight > 0 ? tm.tmHeight : tm.tmInternalLeading - tm.tmHeight;
  }
  // A face made for vertical writing is named with a leading "@".
  std::wstring vertical = std::wstring(L"@") + lf.lfFaceName;
  if (vertical.size() < LF_FACESIZE && FontInstalled(DC, vertical))
    wcscpy_s(lf.lfFaceName, vertical.c_str());
  return CreateFontIndirectW(&lf);
}

void DrawVerticalText(HDC DC, const std::wstring& Text, const TRect& R, UINT Format) {
  HFONT f = CreateVerticalFont(DC);
  HGDIOBJ old = SelectObject(DC, f);
  TEXTMETRICW tm{};
  GetTextMetricsW(DC, &tm);
  std::wstring s;
  int accelPos = -1;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == L'&' && i + 1 < Text.size()) {
      if (Text[i + 1] != L'&') accelPos = static_cast<int>(s.size());
      s += Text[++i];
      continue;
    }
    s += Text[i];
  }
  SIZE sz{};
  GetTextExtentPoint32W(DC, s.c_str(), static_cast<int>(s.size()), &sz);
  int x = R.Left + (R.Width() - tm.tmHeight) / 2;
  int y = R.Top + (R.Height() - sz.cx) / 2;
  UINT oldAlign = SetTextAlign(DC, TA_BOTTOM);
  TextOutW(DC, x, y, s.c_str(), static_cast<int>(s.size()));
  SetTextAlign(DC, oldAlign);
  if (!(Format & DT_HIDEPREFIX) && accelPos >= 0) {
    SIZE before{}, ch{};
    GetTextExtentPoint32W(DC, s.c_str(), accelPos, &before);
    GetTextExtentPoint32W(DC, s.c_str() + accelPos, 1, &ch);
    HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(DC));
    HGDIOBJ op = SelectObject(DC, pen);
    int lx = x + tm.tmDescent - 2;
    MoveToEx(DC, lx, y + before.cx, nullptr);
    LineTo(DC, lx, y + before.cx + ch.cx);
    SelectObject(DC, op);
    DeleteObject(pen);
  }
  SelectObject(DC, old);
  DeleteObject(f);
}

HBRUSH HalftoneBrush() {
  WORD bits[8];
  for (int i = 0; i < 8; ++i)
    bits[i] = (i & 1) ? 0xAA : 0x55;
  HBITMAP bmp = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH br = CreatePatternBrush(bmp);
  DeleteObject(bmp);
  return br;
}

HRGN FrameRegion(const TRect& R, int Thickness) {
  if (R.IsEmpty()) return CreateRectRgn(0, 0, 0, 0);
  HRGN outer = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
  TRect in = R;
  in.Inflate(-Thickness, -Thickness);
  if (!in.IsEmpty()) {
    HRGN inner = CreateRectRgn(in.Left, in.Top, in.Right, in.Bottom);
    CombineRgn(outer, outer, inner, RGN_DIFF);
    DeleteObject(inner);
  }
  return outer;
}

void InvertFrameRegion(HDC DC, const TRect& NewRect, const TRect& OldRect, HBRUSH Brush,
                       int NewThickness, int OldThickness) {
  HRGN a = FrameRegion(NewRect, NewThickness);
  HRGN b = FrameRegion(OldRect, OldThickness);
  CombineRgn(a, a, b, RGN_XOR);
  SelectClipRgn(DC, a);
  RECT box;
  GetClipBox(DC, &box);
  HGDIOBJ old = SelectObject(DC, Brush);
  PatBlt(DC, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
  SelectObject(DC, old);
  SelectClipRgn(DC, nullptr);
  DeleteObject(a);
  DeleteObject(b);
}

void InvertHalftoneFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, int NewThickness,
                         int OldThickness) {
  HBRUSH br = HalftoneBrush();
  InvertFrameRegion(DC, NewRect, OldRect, br, NewThickness, OldThickness);
  DeleteObject(br);
}

void FillCaptionBackground(HDC DC, const TRect& R, bool Active) {
  BOOL grad = FALSE;
  SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &grad, 0);
  int c1 = Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
  int c2 = Active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION;
  if (grad && GradientFillAvailable() && GetSysColor(c1) != GetSysColor(c2)) {
    GradientFillRect(DC, R, GetSysColor(c1), GetSysColor(c2), true);
  } else {
    RECT r = R;
    FillRect(DC, &r, GetSysColorBrush(c1));
  }
}

void DrawSmallCaption(HWND Wnd, HDC DC, const TRect& R, bool Active, const std::wstring& Caption) {
  if (R.Width() <= 0) return;
  if (WindowsVersion() < 600) {
    UINT flags = DC_SMALLCAP | DC_TEXT;
    if (Active) flags |= DC_ACTIVE;
    if (SystemParamUInt(SPI_GETGRADIENTCAPTIONS, 0)) flags |= DC_GRADIENT;
    RECT r = R;
    DrawCaption(Wnd, DC, &r, flags);
    return;
  }
  FillCaptionBackground(DC, R, Active);
  TRect t = R;
  t.Left += GetSystemMetrics(SM_CXEDGE);
  NONCLIENTMETRICSW m;
  HFONT f = ReadNonClientMetrics(m) ? CreateFontIndirectW(&m.lfSmCaptionFont) : nullptr;
  HGDIOBJ old = f ? SelectObject(DC, f) : nullptr;
  int mode = SetBkMode(DC, TRANSPARENT);
  COLORREF col =
      SetTextColor(DC, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT r = t;
  DrawTextW(DC, Caption.c_str(), static_cast<int>(Caption.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SetTextColor(DC, col);
  SetBkMode(DC, mode);
  if (f) {
    SelectObject(DC, old);
    DeleteObject(f);
  }
}

void RepaintBuffered(HWND Wnd) {
  RECT cr;
  if (!IsWindowVisible(Wnd) || !GetClientRect(Wnd, &cr) || IsRectEmpty(&cr)) {
    InvalidateRect(Wnd, nullptr, TRUE);
    return;
  }
  ValidateRect(Wnd, nullptr);
  HDC dc = GetDC(Wnd);
  RECT clip;
  GetClipBox(dc, &clip);
  IntersectRect(&clip, &clip, &cr);
  int w = clip.right - clip.left, h = clip.bottom - clip.top;
  HDC mem = w > 0 && h > 0 ? CreateCompatibleDC(dc) : nullptr;
  HBITMAP bmp = mem ? CreateCompatibleBitmap(dc, w, h) : nullptr;
  if (!bmp) {
    if (mem) DeleteDC(mem);
    ReleaseDC(Wnd, dc);
    InvalidateRect(Wnd, nullptr, TRUE);
    return;
  }
  HGDIOBJ old = SelectObject(mem, bmp);
  SetWindowOrgEx(mem, clip.left, clip.top, nullptr);
  SendMessageW(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
  SendMessageW(Wnd, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  SetWindowOrgEx(mem, 0, 0, nullptr);
  BitBlt(dc, clip.left, clip.top, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(Wnd, dc);
}

void FlushPaintMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    DispatchMessageW(&m);
  }
}

void PurgeMessages(UINT First, UINT Last) {
  MSG m;
  while (PeekMessageW(&m, nullptr, First, Last, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
  }
}

namespace {

// Prints a window into DC at its place relative to Origin (screen point of the DC's origin).
void PrintAt(HWND Child, HDC DC, POINT Origin, LPARAM Flags) {
  RECT r;
  GetWindowRect(Child, &r);
  OffsetRect(&r, -Origin.x, -Origin.y);
  int saved = SaveDC(DC);
  IntersectClipRect(DC, r.left, r.top, r.right, r.bottom);
  OffsetWindowOrgEx(DC, -r.left, -r.top, nullptr);
  SendMessageW(Child, WM_PRINT, reinterpret_cast<WPARAM>(DC), Flags);
  RestoreDC(DC, saved);
}

} // namespace

LRESULT PrintWindowNonClient(HWND Wnd, HDC DC, LPARAM Flags,
                             const std::function<void(HDC)>& Frame) {
  if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Wnd)) return 0;
  RECT wr;
  GetWindowRect(Wnd, &wr);
  if (Flags & PRF_NONCLIENT) {
    int saved = SaveDC(DC);
    Frame(DC);
    RestoreDC(DC, saved);
  }
  if (Flags & PRF_CLIENT) {
    int saved = SaveDC(DC);
    if (Flags & PRF_NONCLIENT) {
      POINT o{0, 0};
      ClientToScreen(Wnd, &o);
      OffsetWindowOrgEx(DC, -(o.x - wr.left), -(o.y - wr.top), nullptr);
    }
    RECT cr;
    GetClientRect(Wnd, &cr);
    IntersectClipRect(DC, 0, 0, cr.right, cr.bottom);
    if (Flags & PRF_ERASEBKGND) SendMessageW(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    SendMessageW(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), Flags);
    RestoreDC(DC, saved);
  }
  POINT origin{wr.left, wr.top};
  if (!(Flags & PRF_NONCLIENT)) {
    origin = POINT{0, 0};
    ClientToScreen(Wnd, &origin);
  }
  if (Flags & PRF_CHILDREN) {
    // Bottom of the z-order first, so that upper children paint over lower ones.
    HWND child = GetWindow(Wnd, GW_CHILD);
    HWND last = child ? GetWindow(child, GW_HWNDLAST) : nullptr;
    for (HWND h = last; h; h = GetWindow(h, GW_HWNDPREV))
      if (IsWindowVisible(h))
        PrintAt(h, DC, origin, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  }
  if (Flags & PRF_OWNED) {
    struct Data {
      HWND Owner;
      std::vector<HWND> Owned;
    } d{Wnd, {}};
    EnumThreadWindows(
        GetWindowThreadProcessId(Wnd, nullptr),
        [](HWND h, LPARAM l) -> BOOL {
          auto* d = reinterpret_cast<Data*>(l);
          if (GetWindow(h, GW_OWNER) == d->Owner && IsWindowVisible(h)) d->Owned.push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&d));
    for (auto it = d.Owned.rbegin(); it != d.Owned.rend(); ++it)
      PrintAt(*it, DC, origin, Flags);
  }
  return 1;
}

void PrintWindowClient(HDC DC, const std::function<void(HDC)>& Paint) {
  int saved = SaveDC(DC);
  Paint(DC);
  RestoreDC(DC, saved);
}
