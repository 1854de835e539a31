// Runs one of the real programs under a debugger of its own, so that a fault
// shows whatever crash debugger the Wine prefix names.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
  bool Started = false;
  // A visible main window appeared and was asked to close.
  bool WindowClosed = false;
  // The process ended by itself after its window was closed.
  bool Ended = false;
  DWORD ExitCode = 0;
  // Exceptions no handler of the program took, e.g. "Unhandled page fault
  // (c0000005) at 00000002282e9e29".
  std::vector<std::wstring> Faults;
};

// The path of a program built beside the test executable.
std::wstring ProgramPath(const std::wstring& exeName);

// Starts Exe (working folder: its own), waits up to StartMs for its main
// window, closes it with CloseMsg (WM_CLOSE, or WM_SYSCOMMAND with SC_CLOSE as
// the window menu and Alt+F4 send it) and waits up to EndMs for the end.
ProgramRun RunAndCloseProgram(const std::wstring& Exe, UINT CloseMsg = WM_CLOSE,
                              int StartMs = 30000, int EndMs = 20000);

// The messages that close a main window: WM_CLOSE as the window's close button
// sends it; WM_SYSCOMMAND with SC_CLOSE as Alt+F4 and the window menu send it.
inline constexpr UINT CloseMessages[] = {WM_CLOSE, WM_SYSCOMMAND};

// A test name for one of CloseMessages: "WmClose" or "ScClose".
std::string CloseMessageName(UINT CloseMsg);

// Runs the program built beside the test as ExeName, closes its main window
// with CloseMsg and fails the test unless it ended by itself with exit code 0
// and without a fault.
void ExpectCleanExit(const std::wstring& ExeName, UINT CloseMsg);

} // namespace testsupport
