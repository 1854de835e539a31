// Reading what the screen shows of a window: its pixels from the screen
// itself, not a picture the window is asked to paint.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// The pixels the screen shows now in R (top-down BGRA).
std::vector<DWORD> ScreenPixels(const RECT& r);
// Share of the pixels (0..1) in colour C, give or take what a screen of
// fewer colours makes of it.
double ColourShare(const std::vector<DWORD>& px, COLORREF c);

// The side of the largest square of black pixels in PX, rows of WIDTH: an
// area that was never painted (text and lines make none this large).
int LargestBlackSquare(const std::vector<DWORD>& px, int width);
constexpr int kBlackSquare = 10;
// Time a watched window has to appear.
constexpr long long kAppearMs = 5000;

struct ScreenFinding {
  bool found = false;
  bool shown = false; // the contents were on the screen within the time
  double background = 0, black = 0;
  int blackSquare = 0;
  long long foundAfterMs = 0, shownAfterMs = 0;
};

// From a thread of its own: waits for the window Find answers (found when it
// came within kAppearMs), then reads
// the screen over its client area until at least Share of it shows Background and no
// black square of kBlackSquare pixels is left (at most 500 ms after it
// appeared), saves the last reading as Picture and closes
// the window with Close.
class ScreenWatch {
public:
  ScreenWatch(std::function<HWND()> Find, COLORREF Background, double Share,
              std::function<void(HWND)> Close, std::wstring Picture);
  ~ScreenWatch();
  ScreenWatch(const ScreenWatch&) = delete;
  ScreenWatch& operator=(const ScreenWatch&) = delete;
  bool Done() const { return done_; }
  ScreenFinding Result();

private:
  void Run();
  std::function<HWND()> find_;
  std::function<void(HWND)> close_;
  std::wstring picture_;
  COLORREF background_;
  double share_;
  ScreenFinding finding_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// A visible top-level window of class ClassName on thread Thread.
std::function<HWND()> WindowOfClass(DWORD thread, const wchar_t* className);

// Expects the watched window to have appeared and shown its contents in time.
void ExpectShown(const ScreenFinding& f, const char* what);

} // namespace testsupport
