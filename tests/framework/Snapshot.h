// Pictures of a window and all its children, painted into memory: every
// window draws its client area into a bitmap of its own (the system controls
// expect the DC's origin at their client's corner), its frame is drawn here,
// and the bitmaps are put together bottom child first. Unlike a screen copy,
// other windows on the display cannot cover the picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Gui.h"

namespace snapshot {

// Frame, client edge and caption of a window into DC (origin = window corner).
inline void DrawFrame(HWND wnd, HDC dc, const RECT& window, const RECT& client) {
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
  RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  // Client area in window coordinates.
  RECT c{client.left - window.left, client.top - window.top, client.right - window.left,
         client.bottom - window.top};
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  if (caption || (style & WS_THICKFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  } else if (style & WS_BORDER) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  if (ex & WS_EX_CLIENTEDGE) {
    RECT e{c.left - 2, c.top - 2, c.right + 2, c.bottom + 2};
    DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
  } else if (ex & WS_EX_STATICEDGE) {
    RECT e{c.left - 1, c.top - 1, c.right + 1, c.bottom + 1};
    DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
  }
  if (caption) {
    const int menu = GetMenu(wnd) ? GetSystemMetrics(SM_CYMENU) : 0;
    RECT cap{r.left, c.top - menu - GetSystemMetrics(SM_CYCAPTION), r.right, c.top - menu};
    if (cap.top < r.top) cap.top = r.top;
    DrawCaption(wnd, dc, &cap, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
  }
}

// Paints Wnd and its children into Dest, whose origin is the corner of Top.
inline void PaintInto(HWND wnd, HDC dest, const RECT& top) {
  if (!IsWindowVisible(wnd)) return;
  RECT wr, cr;
  GetWindowRect(wnd, &wr);
  GetClientRect(wnd, &cr);
  POINT client{0, 0};
  ClientToScreen(wnd, &client);
  RECT clientScreen{client.x, client.y, client.x + cr.right, client.y + cr.bottom};

  // The frame straight into Dest.
  int saved = SaveDC(dest);
  SetViewportOrgEx(dest, wr.left - top.left, wr.top - top.top, nullptr);
  DrawFrame(wnd, dest, wr, clientScreen);
  RestoreDC(dest, saved);

  // The client area through a bitmap of its own.
  if (cr.right > 0 && cr.bottom > 0) {
    HDC mem = CreateCompatibleDC(dest);
    HBITMAP bmp = CreateCompatibleBitmap(dest, cr.right, cr.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    FillRect(mem, &cr, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    SendMessageW(wnd, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    BitBlt(dest, client.x - top.left, client.y - top.top, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }

  // Children, the bottom one first, clipped to this client area.
  std::vector<HWND> children;
  for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    saved = SaveDC(dest);
    IntersectClipRect(dest, client.x - top.left, client.y - top.top, client.x - top.left + cr.right,
                      client.y - top.top + cr.bottom);
    PaintInto(*it, dest, top);
    RestoreDC(dest, saved);
  }
}

// Saves the picture of Wnd as a PNG in the test output folder.
inline bool SaveWindowPng(HWND wnd, const std::wstring& name) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  testsupport::PumpMessages();
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = testsupport::CreateTopDownDib(screen, w, h, &bits);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, w, h};
  FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
  PaintInto(wnd, mem, r);
  GdiFlush();
  std::wstring n = name;
  if (n.size() < 4 || _wcsicmp(n.c_str() + n.size() - 4, L".png") != 0) n += L".png";
  bool ok = testsupport::SavePixelsPng(testsupport::OutputPath(n), w, h, bits, w * 4);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

} // namespace snapshot
