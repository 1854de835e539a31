// Helpers for tests that drive real windows: pumping, finding, clicking,
// typing, answering modal boxes, and saving pictures.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <memory>

namespace testsupport {

// Folder where tests write what a person may want to look at (PNG pictures, files).
std::wstring OutputDir();
std::wstring OutputPath(const std::wstring& name);
// A fresh, empty folder under the output folder.
std::wstring MakeTempDir(const std::wstring& name);

// Dispatches queued messages of this thread once.
void PumpMessages();
// Pumps messages until pred() is true or the timeout ends; returns pred()'s last value.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Processor time (user and kernel) this thread has used, in milliseconds: a
// measure of work that other processes' load does not stretch.
double ThreadCpuMs();
// Pumps messages for the given time.
void PumpFor(int ms);

// Finds a window by class and caption (either may be empty = any). Top-level
// windows of every thread of this process are searched, then their children.
HWND FindWindowOf(const std::wstring& className, const std::wstring& caption,
                  HWND parent = nullptr);
// Finds a child by its control id or its caption.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption);
std::wstring WindowText(HWND h);
// The window's rectangle on the screen.
RECT WindowRect(HWND h);
std::wstring ClassOf(HWND h);

// Mouse and keys through window messages (client coordinates).
void Click(HWND h, int x, int y);
void ClickCenter(HWND h);
void DoubleClick(HWND h, int x, int y);
void RightClick(HWND h, int x, int y);
void KeyPress(HWND h, UINT vk);
void TypeText(HWND h, const std::wstring& text);
// Real input through SendInput to the focused window.
void SendKeyInput(UINT vk, bool ctrl = false, bool shift = false, bool alt = false);

// Brings a window to the front with the keyboard focus, also on the X server
// (global hot keys reach a Wine window only while it has X focus).
// True when the prefix leaves windows unmanaged (the test bench's default).
bool WindowsAreUnmanaged();
bool ForceForeground(HWND h, int timeoutMs = 3000);

// Saves the window's picture (client and frame) as a PNG into the output folder.
bool SaveWindowPng(HWND h, const std::wstring& name);
// Saves 32-bit top-down BGRA pixels as a PNG.
bool SavePixelsPng(const std::wstring& path, int width, int height, const void* bgra, int stride);
// A 32-bit top-down DIB section of the given size; bits receives its pixels.
HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits);

// Starts this test program again running only the tests of Filter, with the
// environment variable Name set to Value in it; the caller closes the handles.
bool StartSelf(const std::wstring& filter, const wchar_t* name, const std::wstring& value,
               PROCESS_INFORMATION& pi);

class ModalActor;

// Answers the next modal window of this thread (message box or dialog) with
// the caption (empty: any) by pressing the button with the given id (IDOK,
// IDYES, ...) or caption; see ModalActor, which it runs. Records the texts it saw.
class ModalAnswerer {
public:
  ModalAnswerer(std::wstring caption, int buttonId, int timeoutMs = 10000);
  ModalAnswerer(std::wstring caption, std::wstring buttonCaption, int timeoutMs = 10000);
  ~ModalAnswerer();
  // Pumps messages until the window was answered (or the time is out); true when it was.
  bool Wait();
  // Caption and static texts of the window that was answered.
  std::wstring SeenCaption() const;
  std::wstring SeenText() const;

private:
  std::unique_ptr<ModalActor> actor_;
  int timeoutMs_;
};

} // namespace testsupport
