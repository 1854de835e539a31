// The bench shows real windows: one is created, painted, captured and destroyed.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/Gui.h"

namespace {
int paints = 0;
LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(RGB(0, 128, 255));
    FillRect(dc, &r, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    ++paints;
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}
} // namespace

TEST(WindowSmoke, CreatePaintCaptureDestroy) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SmokeWindow";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_TRUE(RegisterClassW(&wc));
  HWND h = CreateWindowExW(0, L"SmokeWindow", L"Smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 320,
                           200, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(h, nullptr);
  UpdateWindow(h);
  EXPECT_TRUE(testsupport::PumpUntil([] { return paints > 0; }));
  ASSERT_TRUE(testsupport::SaveWindowPng(h, L"smoke-window"));
  // The client area shows the painted colour.
  HDC dc = GetDC(h);
  COLORREF c = GetPixel(dc, 10, 10);
  ReleaseDC(h, dc);
  EXPECT_EQ(c, RGB(0, 128, 255));
  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_FALSE(IsWindow(h));
  UnregisterClassW(L"SmokeWindow", wc.hInstance);
}
