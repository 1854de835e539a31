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
  HWND h = CreateWindowExW(0, L"SmokeWindow", L"Smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                           320, 200, nullptr, nullptr, wc.hInstance, nullptr);
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
  // A window gone before its picture is taken (a menu closed meanwhile) has
  // no rectangle: no picture, and no size made up from garbage.
  EXPECT_FALSE(testsupport::SaveWindowPng(h, L"smoke-window-gone"));
  UnregisterClassW(L"SmokeWindow", wc.hInstance);
}

// Sizes no window has are refused instead of sizing a buffer from them.
TEST(WindowSmoke, PictureOfImpossibleSizeIsRefused) {
  const uint32_t px[4] = {};
  const std::wstring path = testsupport::OutputPath(L"smoke-impossible.png");
  struct Case {
    int w, h, stride;
  } cases[] = {{-1, 1, 4},         {1, -1, 4},         {0, 1, 4}, {1, 0, 4},
               {0x40000000, 1, 4}, {1, 0x7fffffff, 4}, {2, 1, 4}, {-858993460, -858993460, 4}};
  for (const Case& c : cases)
    EXPECT_FALSE(testsupport::SavePixelsPng(path, c.w, c.h, px, c.stride)) << c.w << "x" << c.h;
  EXPECT_FALSE(testsupport::SavePixelsPng(path, 1, 1, nullptr, 4));
  EXPECT_TRUE(testsupport::SavePixelsPng(path, 2, 2, px, 8));
}
