// Per-thread window hooks shared by the toolbar framework: at most one hook
// of each kind per thread, installed for the first user and removed with the
// last, with every event passed to the procedures registered for it.
#pragma once

#include <windows.h>

// Hook codes passed to the callbacks.
enum THookProcCode {
  hpSendActivate = 0,         // WM_ACTIVATE about to be received
  hpSendActivateApp = 1,      // WM_ACTIVATEAPP
  hpSendWindowPosChanged = 2, // WM_WINDOWPOSCHANGED
  hpPreDestroy = 3,           // a window is about to be destroyed
  hpGetMessage = 4            // a message was retrieved (LParam: MSG*)
};
using THookProcCodes = unsigned; // bit (1 << code)

constexpr THookProcCodes HookCode(THookProcCode c) {
  return 1u << c;
}

using THookProc = void (*)(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

// Registers Proc for UserObject and installs the hook kinds Codes need.
void InstallHookProc(void* UserObject, THookProc Proc, THookProcCodes Codes);
// Removes UserObject's registration of Proc; hook kinds nobody uses are removed.
void UninstallHookProc(void* UserObject, THookProc Proc);
// Whether the calling thread has the hook of a kind (WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE).
bool HookInstalled(int Kind);
// Removes every hook of the calling thread (thread shutdown).
void RemoveAllHooks();
