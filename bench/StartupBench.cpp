// Start-up time of the two programs against the smallest Win32 program that
// opens one window (StartupWindow.exe), measured in the same run. Each round
// launches the reference, the editor and the recorder in turn and times, from
// the process launch, when the program's main window is on the screen and
// painted: visible, and the screen's pixels over it with no black square of
// kBlackSquare pixels left (an area nothing has painted yet), then without a
// change of more than kSmallChange of its pixels for kSettledMs (the time
// counted is when that picture first appeared; a button's highlight fading in
// is not painting the window). Prints each program's median and spread (fastest to slowest round),
// the ratio of the medians, the spread of the rounds' own ratios, and "met" when the upper quartile
// of those ratios is within the target. Usage: wine StartupBench.exe [rounds [picture folder
// [program.exe...]]] (after a build; see bench/startup.sh); with a folder (or "-"), the screen each
// program counted as painted in the last round is saved there as <program>.bmp; more programs of
// the same folder (a build kept from before a change) are measured with the others.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlackSquare = 10;
constexpr double kTarget = 5.0;
constexpr DWORD kTimeoutMs = 20000, kSettledMs = 500;
constexpr double kSmallChange = 0.01;

// Whether readings A and B of one area differ in more than kSmallChange of their pixels.
bool Changed(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  if (a.size() != b.size()) return true;
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i)
    n += a[i] != b[i];
  return double(n) > kSmallChange * double(a.size());
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(q * (v.size() - 1) + 0.5)];
}

std::wstring Folder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

struct WindowFind {
  DWORD process;
  HWND found = nullptr;
  long area = 0;
};

// The largest visible top-level window of the process.
BOOL CALLBACK FindProcessWindow(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<WindowFind*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r;
  if (pid == d->process && IsWindowVisible(h) && GetWindowRect(h, &r)) {
    long area = long(r.right - r.left) * (r.bottom - r.top);
    if (area > d->area) {
      d->area = area;
      d->found = h;
    }
  }
  return TRUE;
}

// The side of the largest square of black pixels in PX, rows of WIDTH.
int LargestBlackSquare(const std::vector<DWORD>& px, int width) {
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

void SaveBmp(const std::wstring& path, int w, int h, const std::vector<DWORD>& px) {
  BITMAPINFOHEADER bi{sizeof(bi), w, -h, 1, 32, BI_RGB};
  DWORD bytes = DWORD(px.size() * 4);
  BITMAPFILEHEADER fh{0x4D42, DWORD(sizeof(fh) + sizeof(bi) + bytes), 0, 0,
                      DWORD(sizeof(fh) + sizeof(bi))};
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD n;
  WriteFile(f, &fh, sizeof(fh), &n, nullptr);
  WriteFile(f, &bi, sizeof(bi), &n, nullptr);
  WriteFile(f, px.data(), bytes, &n, nullptr);
  CloseHandle(f);
}

// The pixels the screen shows over WND's client area (the frame is the window
// manager's, or nobody's), with the area's width; empty when it has none.
std::vector<DWORD> ClientPixels(HWND wnd, int& w) {
  RECT r;
  w = 0;
  if (!GetClientRect(wnd, &r)) return {};
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  r.left = std::max(r.left, 0L);
  r.top = std::max(r.top, 0L);
  r.right = std::min(r.right, long(GetSystemMetrics(SM_CXSCREEN)));
  r.bottom = std::min(r.bottom, long(GetSystemMetrics(SM_CYSCREEN)));
  int h = r.bottom - r.top;
  w = r.right - r.left;
  if (w <= 0 || h <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> px(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + size_t(w) * h);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

// Launches EXE and returns the milliseconds until its main window was shown
// painted (negative when it never was): the time of the first reading of the
// screen over it that holds no black square and after which no reading for
// kSettledMs differs from it in more than kSmallChange of its pixels (a
// window half painted is still changing). The program is then ended. The
// reading that counts is saved to PICTURE when one is given.
double TimeToPainted(const std::wstring& exe, const std::wstring& picture = L"") {
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  auto start = Clock::now();
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return -1;
  double ms = -1;
  HWND wnd = nullptr;
  std::vector<DWORD> last;
  int lastWidth = 0;
  bool lastPainted = false;
  Clock::time_point since{};
  while (Clock::now() - start < std::chrono::milliseconds(kTimeoutMs)) {
    WindowFind d{pi.dwProcessId};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&d));
    int w = 0;
    std::vector<DWORD> px;
    if (d.found) px = ClientPixels(d.found, w);
    auto now = Clock::now();
    if (d.found != wnd || w != lastWidth || Changed(px, last)) {
      wnd = d.found;
      lastWidth = w;
      last = std::move(px);
      lastPainted = !last.empty() && LargestBlackSquare(last, w) < kBlackSquare;
      since = now;
    } else if (lastPainted && now - since >= std::chrono::milliseconds(kSettledMs)) {
      ms = std::chrono::duration<double, std::milli>(since - start).count();
      if (!picture.empty()) SaveBmp(picture, w, int(last.size() / w), last);
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0) break;
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // Until its window has left the screen, so the next program starts on a bare one.
  for (int i = 0; wnd && IsWindow(wnd) && i < 200; ++i)
    Sleep(10);
  Sleep(300);
  return ms;
}

std::wstring Widen(const char* s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
  return w;
}

struct Program {
  std::string name;
  std::wstring exe;
  std::vector<double> ms;
};

} // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(5, atoi(argv[1])) : 7;
  std::wstring folder = Folder();
  // The pointer away from the windows: no hover, no hint.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  Program reference{"minimal window (reference)", L"StartupWindow.exe", {}};
  std::vector<Program> programs = {{"Tessaro (editor)", L"Tessaro.exe", {}},
                                   {"Korvane (recorder)", L"Korvane.exe", {}}};
  for (int i = 3; i < argc; ++i)
    programs.push_back({argv[i], Widen(argv[i]), {}});
  const bool pictures = argc > 2 && std::string(argv[2]) != "-";
  // One start of each first: the system's own caches, not the programs, are warmed.
  TimeToPainted(folder + reference.exe);
  for (Program& p : programs)
    TimeToPainted(folder + p.exe);
  for (int r = 0; r < rounds; ++r) {
    auto picture = [&](const Program& p) {
      return pictures && r == rounds - 1 ? Widen(argv[2]) + L"\\" + p.exe + L".bmp"
                                         : std::wstring();
    };
    reference.ms.push_back(TimeToPainted(folder + reference.exe, picture(reference)));
    for (Program& p : programs)
      p.ms.push_back(TimeToPainted(folder + p.exe, picture(p)));
  }
  auto failed = [](const Program& p) {
    return std::any_of(p.ms.begin(), p.ms.end(), [](double v) { return v < 0; });
  };
  if (failed(reference)) {
    std::printf("the reference window was not shown painted within %lu s\n", kTimeoutMs / 1000);
    return 2;
  }
  std::printf("Start-up until the main window is shown painted, from the process launch (%d "
              "rounds)\n",
              rounds);
  std::printf("  %-28s %9s %20s %7s %20s\n", "program", "median", "spread (ms)", "ratio",
              "rounds' ratios");
  auto line = [](const Program& p) {
    std::printf("  %-28s %6.0f ms %9.0f - %-8.0f", p.name.c_str(), Quantile(p.ms, 0.5),
                Quantile(p.ms, 0), Quantile(p.ms, 1));
  };
  line(reference);
  std::printf("\n");
  bool allMet = true;
  for (const Program& p : programs) {
    if (failed(p)) {
      std::printf("  %-28s not shown painted within %lu s\n", p.name.c_str(), kTimeoutMs / 1000);
      allMet = false;
      continue;
    }
    std::vector<double> ratios;
    for (int r = 0; r < rounds; ++r)
      ratios.push_back(p.ms[r] / reference.ms[r]);
    double upper = Quantile(ratios, 0.75);
    bool met = upper <= kTarget;
    allMet = allMet && met;
    line(p);
    std::printf(" %6.2f %9.2f - %-5.2f %s\n", Quantile(p.ms, 0.5) / Quantile(reference.ms, 0.5),
                Quantile(ratios, 0), Quantile(ratios, 1), met ? "met" : "NOT met");
  }
  std::printf("target: each program's rounds' ratio within %.0fx in three rounds of four "
              "(upper quartile)\n",
              kTarget);
  return allMet ? 0 : 1;
}
