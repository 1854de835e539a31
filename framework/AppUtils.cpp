#include "framework/AppUtils.h"

#include <algorithm>
#include <cstdint>

#include "framework/Forms.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"

std::wstring AddBackslash(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return path + L"\\";
}

std::wstring GetShellFolder(const std::wstring& valueName) {
  TRegistry reg;
  std::wstring value;
  if (reg.OpenKeyReadOnly(
          L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) {
    if (reg.ValueExists(valueName)) value = reg.ReadString(valueName);
    reg.CloseKey();
  }
  return value.empty() ? L"C:\\" : value;
}

std::wstring GetSystemDir() {
  wchar_t buf[256] = {};
  GetSystemDirectoryW(buf, 255);
  return buf;
}

bool IsVistaOrLater() {
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&vi);
#pragma GCC diagnostic pop
  return vi.dwMajorVersion > 5;
}

namespace {
int busyCount = 0;
}

void BeginBusy() {
  ++busyCount;
  Screen->SetCursor(crHourGlass);
}

void EndBusy() {
  if (busyCount <= 0) return;
  if (--busyCount == 0) Screen->SetCursor(crDefault);
}

int BusyCount() {
  return busyCount;
}

namespace {
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
HMODULE helpLibrary = nullptr;
HtmlHelpFn htmlHelp = nullptr;
DWORD helpCookie = 0;
} // namespace

bool HelpFileFound(const std::wstring& url) {
  const size_t topic = url.find(L"::");
  const std::wstring file = url.substr(0, topic);
  if (file.empty() || FileExists(file)) return true;
  std::wstring folder = ExtractFilePath(file);
  if (folder.empty()) folder = GetCurrentDir();
  Application->MessageBox(Format(L"The help file \"%s\" was not found.\r\nIt was looked for in "
                                 L"the folder \"%s\".",
                                 {ExtractFileName(file), folder}),
                          Application->Title(), MB_OK | MB_ICONWARNING);
  return false;
}

int ShowHtmlHelp(HWND window, const std::wstring& url, UINT command, DWORD_PTR data) {
  if (!HelpFileFound(url)) return 0;
  if (!helpLibrary) {
    helpLibrary = LoadLibraryW((GetSystemDir() + L"\\HHCTRL.OCX").c_str());
    if (!helpLibrary) throw Exception(L"HHCtrl.OCX not installed!\r HTMLHELP cannot displayed!");
  }
  if (!htmlHelp) {
    htmlHelp = reinterpret_cast<HtmlHelpFn>(
        reinterpret_cast<void*>(GetProcAddress(helpLibrary, "HtmlHelpA")));
    if (!htmlHelp) throw Exception(L"Function HTMLHELP cannot loaded!");
    htmlHelp(nullptr, nullptr, 28 /* initialise */, reinterpret_cast<DWORD_PTR>(&helpCookie));
  }
  std::string ansi = WideToAnsi(url);
  return static_cast<int>(reinterpret_cast<INT_PTR>(htmlHelp(window, ansi.c_str(), command, data)));
}

void FitOntoArea(const RECT& work, int& x, int& y, int& width, int& height, int minWidth,
                 int minHeight) {
  const int64_t areaW = std::max<int64_t>(1, int64_t(work.right) - work.left);
  const int64_t areaH = std::max<int64_t>(1, int64_t(work.bottom) - work.top);
  int64_t w = std::clamp<int64_t>(width, std::min<int64_t>(minWidth, areaW), areaW);
  int64_t h = std::clamp<int64_t>(height, std::min<int64_t>(minHeight, areaH), areaH);
  int64_t left = std::clamp<int64_t>(x, work.left, int64_t(work.right) - w);
  int64_t top = std::clamp<int64_t>(y, work.top, int64_t(work.bottom) - h);
  x = int(left), y = int(top), width = int(w), height = int(h);
}

void FitOntoWorkArea(int& x, int& y, int& width, int& height, int minWidth, int minHeight) {
  // The monitor nearest the stored rectangle, its corners kept in range.
  auto clampCoord = [](int64_t v) { return LONG(std::clamp<int64_t>(v, -0x3FFFFFFF, 0x3FFFFFFF)); };
  RECT want{clampCoord(x), clampCoord(y), clampCoord(int64_t(x) + std::max(width, 1)),
            clampCoord(int64_t(y) + std::max(height, 1))};
  HMONITOR mon = MonitorFromRect(&want, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (mon && GetMonitorInfoW(mon, &mi)) work = mi.rcWork;
  FitOntoArea(work, x, y, width, height, minWidth, minHeight);
}
