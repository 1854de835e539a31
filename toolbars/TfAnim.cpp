#include "toolbars/TfAnim.h"

#include "framework/SysUtils.h"
#include "toolbars/TfCommon.h"

namespace {

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                           BLENDFUNCTION*, DWORD);

TUpdateLayeredWindow UpdateLayered() {
  static TUpdateLayeredWindow f = reinterpret_cast<TUpdateLayeredWindow>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")));
  return f;
}

struct TAnimState {
  bool Active = false;
  HWND AnimWnd = nullptr;
  bool UseFade = false;
  unsigned Direction = 0;
  DWORD Duration = 0;
  int StartLevel = 0, CurrentLevel = 0;
  DWORD StartTick = 0, LastTick = 0;
  HDC WindowDC = nullptr, MemDC = nullptr;
  HBITMAP Snapshot = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  int Width = 0, Height = 0;
  RECT ClientScreenRect{};
  POINT LastCursor{};
  // A thread that ends mid-animation frees the snapshot; its windows are gone.
  ~TAnimState() {
    if (MemDC) {
      SelectObject(MemDC, OldBitmap);
      DeleteDC(MemDC);
    }
    if (Snapshot) DeleteObject(Snapshot);
    if (WindowDC) ReleaseDC(AnimWnd, WindowDC);
  }
};
thread_local TAnimState tAnim;

void SetAlpha(int level) {
  BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(level), 0};
  UpdateLayered()(tAnim.AnimWnd, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &bf, ULW_ALPHA);
}

void Finish() {
  TAnimState& a = tAnim;
  a.Active = false;
  if (a.Snapshot) {
    if (a.UseFade)
      SetWindowLongPtrW(a.AnimWnd, GWL_EXSTYLE,
                        GetWindowLongPtrW(a.AnimWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    else
      SetWindowRgn(a.AnimWnd, nullptr, FALSE);
    BitBlt(a.WindowDC, 0, 0, a.Width, a.Height, a.MemDC, 0, 0, SRCCOPY);
  }
  if (a.MemDC) {
    SelectObject(a.MemDC, a.OldBitmap);
    DeleteDC(a.MemDC);
  }
  if (a.Snapshot) DeleteObject(a.Snapshot);
  if (a.WindowDC) ReleaseDC(a.AnimWnd, a.WindowDC);
  a.MemDC = nullptr;
  a.Snapshot = nullptr;
  a.WindowDC = nullptr;
  if (a.AnimWnd) SendNotifyMessageW(a.AnimWnd, WM_TF_ANIMATIONENDED, 0, 0);
  a.AnimWnd = nullptr;
}

} // namespace

bool LayeredWindowsAvailable() {
  return UpdateLayered() != nullptr;
}

void StartAnimation(HWND Wnd, bool Fade, unsigned Direction) {
  if (tAnim.Active) Finish();
  TAnimState& a = tAnim;
  a.AnimWnd = Wnd;
  a.UseFade = Fade && UpdateLayered();
  a.Direction = Direction;
  GetCursorPos(&a.LastCursor);
  GetClientRect(Wnd, &a.ClientScreenRect);
  MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&a.ClientScreenRect), 2);
  RECT wr;
  GetWindowRect(Wnd, &wr);
  a.Width = wr.right - wr.left;
  a.Height = wr.bottom - wr.top;
  TScopeGuard finish([&] { Finish(); });
  a.WindowDC = GetDCEx(Wnd, nullptr, DCX_WINDOW | DCX_CACHE);
  if (!a.WindowDC) RaiseLastOSError();
  a.Snapshot = CreateCompatibleBitmap(a.WindowDC, a.Width, a.Height);
  if (!a.Snapshot) RaiseLastOSError();
  a.MemDC = CreateCompatibleDC(a.WindowDC);
  if (!a.MemDC) RaiseLastOSError();
  a.OldBitmap = SelectObject(a.MemDC, a.Snapshot);
  SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(a.MemDC),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  int level;
  if (a.UseFade) {
    SetWindowLongPtrW(Wnd, GWL_EXSTYLE, GetWindowLongPtrW(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    a.Duration = 175;
    level = 40;
    POINT pos{wr.left, wr.top}, src{0, 0};
    SIZE size{a.Width, a.Height};
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 40, 0};
    if (!UpdateLayered()(Wnd, nullptr, &pos, &size, a.MemDC, &src, 0, &bf, ULW_ALPHA))
      RaiseLastOSError();
  } else {
    a.Duration = 150;
    level = 0;
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    if (!SetWindowRgn(Wnd, r, FALSE)) DeleteObject(r);
  }
  a.StartLevel = a.CurrentLevel = level;
  a.StartTick = a.LastTick = GetTickCount();
  SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                   SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
  a.Active = true;
  finish.Dismiss();
}

void AnimationStep() {
  TAnimState& a = tAnim;
  if (!a.Active) return;
  DWORD now = GetTickCount();
  if (now - a.LastTick < 10) return;
  a.LastTick = now;
  DWORD elapsed = now - a.StartTick;
  if (elapsed < a.Duration) {
    int level = static_cast<int>(elapsed * 255 / a.Duration) + a.StartLevel;
    if (level >= 0 && level < 255) {
      POINT c;
      GetCursorPos(&c);
      if (c.x != a.LastCursor.x || c.y != a.LastCursor.y) {
        if (PtInRect(&a.ClientScreenRect, c)) {
          Finish();
          return;
        }
        a.LastCursor = c;
      }
      if (level <= a.CurrentLevel) return;
      a.CurrentLevel = level;
      if (a.UseFade) {
        SetAlpha(level);
      } else {
        int dx = 0, dy = 0;
        if (a.Direction & tfadDown) dy = MulDiv(a.Height, level, 255) - a.Height;
        if (a.Direction & tfadUp) dy = a.Height - MulDiv(a.Height, level, 255);
        if (a.Direction & tfadRight) dx = MulDiv(a.Width, level, 255) - a.Width;
        if (a.Direction & tfadLeft) dx = a.Width - MulDiv(a.Width, level, 255);
        HRGN r = CreateRectRgn(dx, dy, dx + a.Width, dy + a.Height);
        if (!SetWindowRgn(a.AnimWnd, r, FALSE)) DeleteObject(r);
        BitBlt(a.WindowDC, dx, dy, a.Width, a.Height, a.MemDC, 0, 0, SRCCOPY);
      }
      return;
    }
  }
  Finish();
}

void StopAnimation() {
  if (tAnim.Active) Finish();
}

void StopAnimationOf(HWND Wnd) {
  if (tAnim.Active && (!Wnd || Wnd == tAnim.AnimWnd)) Finish();
}

bool IsAnimating() {
  return tAnim.Active;
}
