#include "tests/support/Gui.h"

#include "tests/support/ModalActor.h"

#include <zlib.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#ifndef KORVANE_TEST_OUTPUT_DIR
#define KORVANE_TEST_OUTPUT_DIR "."
#endif

namespace testsupport {

namespace {
std::wstring Widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  return w;
}

struct FindData {
  std::wstring cls, caption;
  HWND found = nullptr;
};

bool Matches(HWND h, const FindData& d) {
  if (!d.cls.empty() && _wcsicmp(ClassOf(h).c_str(), d.cls.c_str()) != 0) return false;
  if (!d.caption.empty() && WindowText(h) != d.caption) return false;
  return true;
}

BOOL CALLBACK FindChildProc(HWND h, LPARAM lp) {
  auto* d = reinterpret_cast<FindData*>(lp);
  if (Matches(h, *d)) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindTopProc(HWND h, LPARAM lp) {
  auto* d = reinterpret_cast<FindData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  if (Matches(h, *d)) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}
} // namespace

std::wstring OutputDir() {
  static std::wstring dir = [] {
    wchar_t full[MAX_PATH];
    std::wstring d = Widen(KORVANE_TEST_OUTPUT_DIR);
    // The build path is a Unix path; Wine maps it through the Z: drive.
    if (!d.empty() && d[0] == L'/') {
      for (auto& c : d)
        if (c == L'/') c = L'\\';
      d = L"Z:" + d;
    }
    GetFullPathNameW(d.c_str(), MAX_PATH, full, nullptr);
    CreateDirectoryW(full, nullptr);
    return std::wstring(full);
  }();
  return dir;
}

std::wstring OutputPath(const std::wstring& name) {
  return OutputDir() + L"\\" + name;
}

std::wstring MakeTempDir(const std::wstring& name) {
  std::wstring d = OutputPath(L"tmp");
  CreateDirectoryW(d.c_str(), nullptr);
  d += L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
       std::to_wstring(GetTickCount());
  CreateDirectoryW(d.c_str(), nullptr);
  return d;
}

double ThreadCpuMs() {
  FILETIME c, e, k, u;
  GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
  auto v = [](FILETIME f) { return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return double(v(k) + v(u)) / 1e4; // from 100 ns units
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    PumpMessages();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

HWND FindWindowOf(const std::wstring& className, const std::wstring& caption, HWND parent) {
  FindData d{className, caption};
  if (parent) {
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&d));
  } else {
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&d));
  }
  return d.found;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption) {
  return FindWindowOf(className, caption, parent);
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::wstring WindowText(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(n + 1, L'\0');
  GetWindowTextW(h, s.data(), n + 1);
  s.resize(wcslen(s.c_str()));
  return s;
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

void Click(HWND h, int x, int y) {
  LPARAM lp = MAKELPARAM(x, y);
  SendMessageW(h, WM_MOUSEMOVE, 0, lp);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, lp);
  SendMessageW(h, WM_LBUTTONUP, 0, lp);
  PumpMessages();
}

void ClickCenter(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  Click(h, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
}

void DoubleClick(HWND h, int x, int y) {
  LPARAM lp = MAKELPARAM(x, y);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, lp);
  SendMessageW(h, WM_LBUTTONUP, 0, lp);
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
  SendMessageW(h, WM_LBUTTONUP, 0, lp);
  PumpMessages();
}

void RightClick(HWND h, int x, int y) {
  LPARAM lp = MAKELPARAM(x, y);
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, lp);
  SendMessageW(h, WM_RBUTTONUP, 0, lp);
  POINT p{x, y};
  ClientToScreen(h, &p);
  SendMessageW(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(p.x, p.y));
  PumpMessages();
}

void KeyPress(HWND h, UINT vk) {
  UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  SendMessageW(h, WM_KEYDOWN, vk, 1 | (scan << 16));
  wchar_t ch = static_cast<wchar_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR));
  if (ch) SendMessageW(h, WM_CHAR, ch, 1 | (scan << 16));
  SendMessageW(h, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
  PumpMessages();
}

void TypeText(HWND h, const std::wstring& text) {
  for (wchar_t c : text)
    SendMessageW(h, WM_CHAR, c, 1);
  PumpMessages();
}

void SendKeyInput(UINT vk, bool ctrl, bool shift, bool alt) {
  std::vector<INPUT> in;
  auto key = [&](UINT k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = static_cast<WORD>(k);
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (ctrl) key(VK_CONTROL, false);
  if (shift) key(VK_SHIFT, false);
  if (alt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (alt) key(VK_MENU, true);
  if (shift) key(VK_SHIFT, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  PumpFor(50);
}

namespace {
// Marks the button release of the focusing click, so that the wait can see
// it leave the input queue.
constexpr ULONG_PTR kFocusClickMark = 0x4B6F7276;
bool focusClickSeen = false;

LRESULT CALLBACK FocusClickHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    auto* m = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp);
    if (m->dwExtraInfo == kFocusClickMark) focusClickSeen = true;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// Lets the desktop window's thread (another process) handle what it has been
// sent: activation changes it makes, for example after the window that had
// the activation went away with an earlier program, then arrive now and not
// in the middle of the test.
void SyncWithDesktop() {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r);
  PumpMessages();
}
} // namespace

bool WindowsAreUnmanaged() {
  // The prefix's own setting, so that a test run by hand sees what the bench set.
  static const bool unmanaged = [] {
    wchar_t v[8] = {};
    DWORD size = sizeof(v);
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", RRF_RT_REG_SZ,
                        nullptr, v, &size) == ERROR_SUCCESS &&
           (v[0] == L'N' || v[0] == L'n');
  }();
  return unmanaged;
}

bool ForceForeground(HWND h, int timeoutMs) {
  ShowWindow(h, SW_SHOW);
  auto isFront = [&] { return GetForegroundWindow() == h || IsChild(h, GetForegroundWindow()); };
  // A click into the window makes the X server give it the focus even
  // without a window manager. Unmanaged windows (the test bench's default, see
  // scripts/bench.sh) get it from Wine on activation, and there the click
  // would land on a sizing border that Wine handles itself.
  const bool unmanaged = WindowsAreUnmanaged();
  RECT r;
  GetWindowRect(h, &r);
  const POINT corner{r.left + 5, r.top + 5};
  // Only a click that the window itself gets: one beside a shaped window
  // lands on the desktop, whose program takes the activation with it later.
  HWND under = WindowFromPoint(corner);
  if (!unmanaged) SetCursorPos(corner.x, corner.y);
  if (!unmanaged && (under == h || IsChild(h, under))) {
    // The click goes on only once the window's thread has taken its release
    // out of the queue: a click left behind would land later, in the middle
    // of the test (closing a menu, taking the activation).
    focusClickSeen = false;
    HHOOK hook = GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId()
                     ? SetWindowsHookExW(WH_MOUSE, FocusClickHook, nullptr, GetCurrentThreadId())
                     : nullptr;
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    in[1].mi.dwExtraInfo = kFocusClickMark;
    SendInput(2, in, sizeof(INPUT));
    if (hook) {
      PumpUntil([] { return focusClickSeen; }, timeoutMs);
      UnhookWindowsHookEx(hook);
    }
  }
  // The activation holds once the desktop's thread has caught up with it.
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    SetForegroundWindow(h);
    SetActiveWindow(h);
    SetFocus(h);
    PumpUntil(isFront, 200);
    SyncWithDesktop();
    if (isFront()) return true;
  } while (std::chrono::steady_clock::now() < end);
  return isFront();
}

static void PutU32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x >> 24));
  v.push_back(uint8_t(x >> 16));
  v.push_back(uint8_t(x >> 8));
  v.push_back(uint8_t(x));
}

static void PutChunk(std::vector<uint8_t>& out, const char* type,
                     const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  PutU32(out, static_cast<uint32_t>(crc));
}

HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool SavePixelsPng(const std::wstring& path, int width, int height, const void* bgra, int stride) {
  // A picture no screen could hold (a rectangle never filled in, a window
  // already gone) is refused rather than sized.
  constexpr int kMaxSide = 1 << 15;
  if (!bgra || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      stride < width * 4)
    return false;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const uint8_t* row = static_cast<const uint8_t*>(bgra) + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      raw.push_back(row[x * 4 + 2]);
      raw.push_back(row[x * 4 + 1]);
      raw.push_back(row[x * 4 + 0]);
    }
  }
  uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> z(zlen);
  if (compress2(z.data(), &zlen, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
    return false;
  z.resize(zlen);
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  PutU32(ihdr, width);
  PutU32(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == png.size();
}

bool SaveWindowPng(HWND h, const std::wstring& name) {
  // The window may be gone by now (a menu closed by another program taking
  // the activation): its rectangle is then never filled in.
  RECT r{};
  if (!GetWindowRect(h, &r)) return false;
  int w = r.right - r.left, ht = r.bottom - r.top;
  if (w <= 0 || ht <= 0) return false;
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  PumpMessages();
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateTopDownDib(screen, w, ht, &bits);
  if (!bmp) {
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return false;
  }
  HGDIOBJ old = SelectObject(mem, bmp);
  // A visible window is copied from the screen, children and all, once it is
  // on top; a hidden one is asked to paint itself.
  if (IsWindowVisible(h)) {
    bool wasTopMost = (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpFor(150);
    BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
    if (!wasTopMost)
      SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (!PrintWindow(h, mem, 0)) {
    BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
  }
  GdiFlush();
  std::wstring n = name;
  if (n.size() < 4 || _wcsicmp(n.c_str() + n.size() - 4, L".png") != 0) n += L".png";
  bool ok = SavePixelsPng(OutputPath(n), w, ht, bits, w * 4);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool StartSelf(const std::wstring& filter, const wchar_t* name, const std::wstring& value,
               PROCESS_INFORMATION& pi) {
  wchar_t exe[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  if (n == 0) return false;
  std::wstring cmd = L"\"" + std::wstring(exe, n) + L"\" --gtest_filter=" + filter;
  SetEnvironmentVariableW(name, value.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  pi = PROCESS_INFORMATION{};
  BOOL started =
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  DWORD error = GetLastError();
  SetEnvironmentVariableW(name, nullptr);
  if (!started) // the reason, for a failure that does not come back on its retry
    std::fwprintf(stderr, L"CreateProcess failed with error %lu: %ls\n", error, cmd.c_str());
  return started != FALSE;
}

ModalAnswerer::ModalAnswerer(std::wstring caption, int buttonId, int timeoutMs)
    : actor_(std::make_unique<ModalActor>(std::move(caption), buttonId)), timeoutMs_(timeoutMs) {}

ModalAnswerer::ModalAnswerer(std::wstring caption, std::wstring buttonCaption, int timeoutMs)
    : actor_(std::make_unique<ModalActor>(std::move(caption), std::move(buttonCaption))),
      timeoutMs_(timeoutMs) {}

ModalAnswerer::~ModalAnswerer() = default;

bool ModalAnswerer::Wait() {
  PumpUntil([&] { return actor_->Acted(); }, timeoutMs_);
  PumpMessages();
  return actor_->Acted();
}

std::wstring ModalAnswerer::SeenCaption() const {
  return actor_->SeenCaption();
}

std::wstring ModalAnswerer::SeenText() const {
  return actor_->SeenText();
}

} // namespace testsupport
