#include "tests/support/Screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tests/support/Gui.h"

namespace testsupport {

namespace {
using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

struct ThreadWindowFind {
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK FindThreadWindow(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<ThreadWindowFind*>(l);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (IsWindowVisible(h) && lstrcmpiW(cls, d->className) == 0) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}
} // namespace

std::vector<DWORD> ScreenPixels(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<DWORD> px(static_cast<size_t>(w) * h);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateTopDownDib(screen, w, h, &bits);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  memcpy(px.data(), bits, px.size() * sizeof(DWORD));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

double ColourShare(const std::vector<DWORD>& px, COLORREF c) {
  auto within = [](int a, int b) { return a - b <= 8 && b - a <= 8; };
  size_t n = 0;
  for (DWORD p : px)
    if (within((p >> 16) & 0xFF, GetRValue(c)) && within((p >> 8) & 0xFF, GetGValue(c)) &&
        within(p & 0xFF, GetBValue(c)))
      ++n;
  return px.empty() ? 0 : static_cast<double>(n) / px.size();
}

int LargestBlackSquare(const std::vector<DWORD>& px, int width) {
  if (width <= 0) return 0;
  // side[x]: the side of the largest black square ending at (x, y) of this row.
  std::vector<int> side(width + 1, 0), previous(width + 1, 0);
  int best = 0;
  for (size_t row = 0; row * width < px.size(); ++row) {
    for (int x = 0; x < width; ++x) {
      DWORD p = px[row * width + x];
      bool black = ((p >> 16) & 0xFF) < 8 && ((p >> 8) & 0xFF) < 8 && (p & 0xFF) < 8;
      side[x + 1] = black ? 1 + std::min({side[x], previous[x], previous[x + 1]}) : 0;
      best = std::max(best, side[x + 1]);
    }
    std::swap(side, previous);
  }
  return best;
}

ScreenWatch::ScreenWatch(std::function<HWND()> Find, COLORREF Background, double Share,
                         std::function<void(HWND)> Close, std::wstring Picture)
    : find_(std::move(Find)), close_(std::move(Close)), picture_(std::move(Picture)),
      background_(Background), share_(Share) {
  thread_ = std::thread([this] { Run(); });
}

ScreenWatch::~ScreenWatch() {
  if (thread_.joinable()) thread_.join();
}

ScreenFinding ScreenWatch::Result() {
  if (thread_.joinable()) thread_.join();
  return finding_;
}

void ScreenWatch::Run() {
  HWND h = nullptr;
  auto start = Clock::now();
  // A window later than kAppearMs fails the test but is still waited for (up
  // to a minute) and closed, so a slow window cannot leave the test hanging.
  while (!(h = find_()) && Clock::now() - start < std::chrono::seconds(60))
    Sleep(5);
  if (h) {
    finding_.foundAfterMs = MsSince(start);
    finding_.found = finding_.foundAfterMs < kAppearMs;
    auto shownAt = Clock::now();
    std::vector<DWORD> px;
    RECT r{};
    do {
      // The client area: the frame is the window manager's (or nobody's).
      GetClientRect(h, &r);
      MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
      px = ScreenPixels(r);
      finding_.background = ColourShare(px, background_);
      finding_.black = ColourShare(px, RGB(0, 0, 0));
      finding_.blackSquare = LargestBlackSquare(px, r.right - r.left);
      if (finding_.background >= share_ && finding_.blackSquare < kBlackSquare) {
        finding_.shown = true;
        finding_.shownAfterMs = MsSince(shownAt);
        break;
      }
      Sleep(10);
    } while (Clock::now() - shownAt < std::chrono::milliseconds(500));
    SavePixelsPng(OutputPath(picture_), r.right - r.left, r.bottom - r.top, px.data(),
                  (r.right - r.left) * 4);
    close_(h);
  }
  done_ = true;
}

std::function<HWND()> WindowOfClass(DWORD thread, const wchar_t* className) {
  return [thread, className]() -> HWND {
    ThreadWindowFind d{className};
    EnumThreadWindows(thread, FindThreadWindow, reinterpret_cast<LPARAM>(&d));
    return d.found;
  };
}

void ExpectShown(const ScreenFinding& f, const char* what) {
  printf("%s: appeared after %lld ms, its contents %lld ms later\n", what, f.foundAfterMs,
         f.shownAfterMs);
  EXPECT_TRUE(f.found) << what << " did not appear within " << kAppearMs << " ms"
                       << (f.foundAfterMs
                               ? " (it came after " + std::to_string(f.foundAfterMs) + " ms)"
                               : std::string());
  EXPECT_TRUE(f.shown) << what << " was not painted on the screen within 500 ms: "
                       << static_cast<int>(f.background * 100) << "% in its colour, "
                       << static_cast<int>(f.black * 100) << "% black, a black square of "
                       << f.blackSquare << " pixels";
}

} // namespace testsupport
