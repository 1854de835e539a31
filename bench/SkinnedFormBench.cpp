// The skinned main window's painting and idle cost. For both skins and both
// window heights: the median of 50 full repaints of the client area (the
// composed skin with its objects, drawn to the window) against the median of
// 50 plain copies of a picture of the same size to the same window, measured
// in the same run; then the processor share of the idle window (no hover)
// over 10 s. Prints one line per case and "ok" or "SLOW"/"BUSY".
// Usage: wine SkinnedFormBench.exe <project folder> (after a build).
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
  return v[v.size() / 2];
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
      std::vector<double> repaint, copy;
      HDC dc = GetDC(wnd);
      for (int i = 0; i < 50; ++i) {
        repaint.push_back(TimeMs([&] {
          SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
          GdiFlush();
        }));
        copy.push_back(TimeMs([&] {
          DrawPicture(dc, 0, 0, plain);
          GdiFlush();
        }));
      }
      ReleaseDC(wnd, dc);
      double r = Median(repaint), c = Median(copy);
      bool fast = r <= 2 * c;
      ok = ok && fast;
      std::printf("%s %dx%d: repaint %.3f ms, plain copy %.3f ms, ratio %.2f %s\n",
                  s == 0 ? "builtin" : "alt", int(cr.right), int(cr.bottom), r, c, r / c,
                  fast ? "ok" : "SLOW");
    }
  }
  // Idle: 1 s to settle, then 10 s of nothing.
  Pump(1000);
  uint64_t before = ProcessCpu();
  DWORD t0 = GetTickCount();
  Pump(10000);
  double share = double(ProcessCpu() - before) / 1e4 / double(GetTickCount() - t0) * 100.0;
  bool idle = share < 1.0;
  std::printf(
      "idle window: %.2f %% of one core over 10 s %s (timers: mouse %d morph %d animation %d)\n",
      share, idle ? "ok" : "BUSY", sf.MouseTimerRunning(), sf.MorphTimerRunning(),
      sf.AnimateTimerRunning());
  return ok && idle ? 0 : 1;
}
