// The skinned main window's painting and idle cost. For both skins and both
// window heights: full repaints of the client area (the composed skin with
// its objects, drawn to the window) against plain copies of a picture of the
// same size to the same window, alternated over at least five rounds (the
// repaints first in even rounds, the copies in odd ones), each round the
// median of 20 of each; then the processor share of the idle window (no
// hover) over 10 s in five rounds of 2 s. Prints the medians and the spread
// of the per-round figures, and "met" or "NOT met" only when the whole
// spread lies on one side of the target (repaint at most twice the copy,
// idle below 1 % of a core); otherwise "undecided (spread)".
// Usage: wine SkinnedFormBench.exe <project folder> [rounds (5)] (after a build).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinData.h"
#include "skin/SkinnedForm.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "met" when every round is within the target, "NOT met" when none is.
const char* Verdict(const std::vector<double>& rounds, double target, bool& met) {
  double lo = *std::min_element(rounds.begin(), rounds.end());
  double hi = *std::max_element(rounds.begin(), rounds.end());
  met = hi <= target;
  return met ? "met" : lo > target ? "NOT met" : "undecided (spread)";
}

template <class F> double TimeMs(F f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

uint64_t Ticks(FILETIME f) {
  return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

uint64_t ProcessCpu() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  return Ticks(k) + Ticks(u);
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  while (int(end - GetTickCount()) > 0) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

} // namespace

int main(int argc, char** argv) {
  std::string root = argc > 1 ? argv[1] : "..\\..\\";
  const int rounds = std::max(5, argc > 2 ? atoi(argv[2]) : 5);
  if (!root.empty() && root.back() != '\\' && root.back() != '/') root += '\\';
  std::wstring wroot(root.begin(), root.end());
  Application->Initialize();
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetCaption(L"Skinned form bench");
  form.SetBounds(100, 100, 408, 398);
  TskSkinData skin(&form);
  TskSkinnedForm sf(&form);
  sf.SetSupportNCArea(false);
  sf.Sizeable = false;
  sf.DraggAble = true;
  sf.Magnetic = true;
  sf.SetBorderIcons(biSkSystemMenu | biSkMinimize);
  form.Show();
  // The cursor away from the window: nothing hovers.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  bool ok = true;
  for (int s = 0; s < 2; ++s) {
    bool loaded = s == 0 ? skin.LoadSkinFromSknFile(wroot + L"resources\\skin\\builtin.skn")
                         : skin.LoadSkinFromIni(wroot + L"resources\\skin\\alt\\skin.ini");
    if (!loaded) {
      std::printf("cannot load skin %d: %s\n", s, skin.LastError().c_str());
      return 2;
    }
    sf.SetSkinData(&skin);
    for (int h : {398, 178}) {
      form.SetHeight(h);
      Pump(100);
      HWND wnd = form.Handle();
      RECT cr;
      GetClientRect(wnd, &cr);
      TskPicture plain;
      sf.ComposeSkinPicture(plain);
      std::vector<double> repaint, copy, ratio;
      HDC dc = GetDC(wnd);
      auto repaintMs = [&] {
        return TimeMs([&] {
          SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
          GdiFlush();
        });
      };
      auto copyMs = [&] {
        return TimeMs([&] {
          DrawPicture(dc, 0, 0, plain);
          GdiFlush();
        });
      };
      for (int k = 0; k < rounds; ++k) {
        std::vector<double> r, c;
        for (int i = 0; i < 20; ++i) {
          if (k % 2 == 0) {
            r.push_back(repaintMs());
            c.push_back(copyMs());
          } else {
            c.push_back(copyMs());
            r.push_back(repaintMs());
          }
        }
        repaint.push_back(Median(r));
        copy.push_back(Median(c));
        ratio.push_back(repaint.back() / std::max(copy.back(), 1e-6));
      }
      ReleaseDC(wnd, dc);
      bool met = false;
      const char* verdict = Verdict(ratio, 2.0, met);
      ok = ok && met;
      std::printf("%s %dx%d: repaint %.3f ms, plain copy %.3f ms (medians of %d rounds), ratio "
                  "%.2f, spread %.2f..%.2f: %s\n",
                  s == 0 ? "builtin" : "alt", int(cr.right), int(cr.bottom), Median(repaint),
                  Median(copy), rounds, Median(ratio),
                  *std::min_element(ratio.begin(), ratio.end()),
                  *std::max_element(ratio.begin(), ratio.end()), verdict);
    }
  }
  // Idle: 1 s to settle, then 10 s of nothing in rounds of 2 s.
  Pump(1000);
  std::vector<double> shares;
  for (int k = 0; k < 5; ++k) {
    uint64_t before = ProcessCpu();
    DWORD t0 = GetTickCount();
    Pump(2000);
    shares.push_back(double(ProcessCpu() - before) / 1e4 / double(GetTickCount() - t0) * 100.0);
  }
  bool idle = false;
  const char* verdict = Verdict(shares, 1.0, idle);
  std::printf("idle window: %.2f %% of one core (median of 5 rounds of 2 s), spread %.2f..%.2f: "
              "%s (timers: mouse %d morph %d animation %d)\n",
              Median(shares), *std::min_element(shares.begin(), shares.end()),
              *std::max_element(shares.begin(), shares.end()), verdict, sf.MouseTimerRunning(),
              sf.MorphTimerRunning(), sf.AnimateTimerRunning());
  return ok && idle ? 0 : 1;
}
