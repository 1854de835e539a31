#include "tests/support/Program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace testsupport {

namespace {

struct MainWindowFind {
  DWORD pid;
  HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<MainWindowFind*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != d->pid || !IsWindowVisible(h) || GetWindow(h, GW_OWNER)) return TRUE;
  if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
  RECT r;
  GetWindowRect(h, &r);
  if (r.right - r.left < 50 || r.bottom - r.top < 50) return TRUE;
  d->found = h;
  return FALSE;
}

std::wstring FaultText(const EXCEPTION_RECORD& e) {
  const wchar_t* kind = L"exception";
  switch (e.ExceptionCode) {
  case EXCEPTION_ACCESS_VIOLATION:
    kind = L"page fault";
    break;
  case EXCEPTION_STACK_OVERFLOW:
    kind = L"stack overflow";
    break;
  case EXCEPTION_ILLEGAL_INSTRUCTION:
    kind = L"illegal instruction";
    break;
  case EXCEPTION_INT_DIVIDE_BY_ZERO:
    kind = L"division by zero";
    break;
  default:
    break;
  }
  wchar_t buf[160];
  swprintf(buf, 160, L"Unhandled %ls (%08lx) at %p", kind, e.ExceptionCode, e.ExceptionAddress);
  std::wstring s = buf;
  if (e.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && e.NumberParameters >= 2) {
    swprintf(buf, 160, L" on %ls access to %p", e.ExceptionInformation[0] ? L"write" : L"read",
             reinterpret_cast<void*>(e.ExceptionInformation[1]));
    s += buf;
  }
  return s;
}

} // namespace

std::wstring ProgramPath(const std::wstring& exeName) {
  wchar_t self[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring path(self, n);
  size_t slash = path.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? L"" : path.substr(0, slash + 1)) + exeName;
}

ProgramRun RunAndCloseProgram(const std::wstring& Exe, UINT CloseMsg, int StartMs, int EndMs) {
  ProgramRun run;
  std::wstring dir = Exe.substr(0, Exe.find_last_of(L"\\/") + 1);
  std::wstring cmd = L"\"" + Exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // The test is the program's debugger: every unhandled exception comes here
  // as a last-chance event, whatever the prefix's crash debugger does.
  if (!CreateProcessW(Exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, dir.empty() ? nullptr : dir.c_str(), &si, &pi))
    return run;
  run.Started = true;
  using clock = std::chrono::steady_clock;
  auto start = clock::now();
  auto closedAt = clock::time_point{};
  auto elapsed = [](clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - since).count();
  };
  bool exited = false;
  while (!exited) {
    DEBUG_EVENT ev{};
    if (WaitForDebugEvent(&ev, 50)) {
      DWORD status = DBG_CONTINUE;
      switch (ev.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& e = ev.u.Exception.ExceptionRecord;
        bool breakpoint = e.ExceptionCode == EXCEPTION_BREAKPOINT || e.ExceptionCode == 0x4000001F;
        // First-chance exceptions go to the program's own handlers.
        if (!ev.u.Exception.dwFirstChance) run.Faults.push_back(FaultText(e));
        if (!ev.u.Exception.dwFirstChance || !breakpoint) status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        exited = true;
        run.Ended = run.WindowClosed;
        run.ExitCode = ev.u.ExitProcess.dwExitCode;
        break;
      default:
        break;
      }
      ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
      continue;
    }
    if (!run.WindowClosed) {
      MainWindowFind find{pi.dwProcessId};
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
      if (find.found) {
        // Let the window come up fully before it is closed.
        Sleep(500);
        if (CloseMsg == WM_SYSCOMMAND)
          PostMessageW(find.found, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
          PostMessageW(find.found, CloseMsg, 0, 0);
        run.WindowClosed = true;
        closedAt = clock::now();
      } else if (elapsed(start) > StartMs) {
        break;
      }
    } else if (elapsed(closedAt) > EndMs) {
      break;
    }
  }
  if (!exited) {
    TerminateProcess(pi.hProcess, 1);
    DebugActiveProcessStop(pi.dwProcessId);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}

std::string CloseMessageName(UINT CloseMsg) {
  return CloseMsg == WM_CLOSE ? "WmClose" : "ScClose";
}

void ExpectCleanExit(const std::wstring& ExeName, UINT CloseMsg) {
  ProgramRun run = RunAndCloseProgram(ProgramPath(ExeName), CloseMsg);
  ASSERT_TRUE(run.Started);
  EXPECT_TRUE(run.WindowClosed) << "no main window appeared";
  EXPECT_TRUE(run.Ended) << "the program did not end after its window was closed";
  EXPECT_EQ(run.ExitCode, 0u);
  for (const std::wstring& fault : run.Faults)
    ADD_FAILURE() << std::string(fault.begin(), fault.end());
}

} // namespace testsupport
