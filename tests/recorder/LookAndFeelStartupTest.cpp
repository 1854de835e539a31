// The look-and-feel library in the recorder: started before the main window
// through the unit hooks, serving no control, and taken back at exit.
#include <gtest/gtest.h>

#include "framework/Forms.h"
#include "lookandfeel/lfContainer.h"
#include "lookandfeel/lfControls.h"
#include "lookandfeel/lfLibrary.h"
#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lxGDIPlusAPI.h"
#include "lookandfeel/lxUxTheme.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"

using namespace recorder;

namespace {

const wchar_t kReportVar[] = L"KORVANE_LF_REPORT";

std::wstring ReportPath() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(kReportVar, buf, MAX_PATH * 2);
  return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}

int UtilWindowCount() {
  int n = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        if (testsupport::ClassOf(h) == UtilWindowClassName) ++*reinterpret_cast<int*>(p);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}

void WriteWide(const std::wstring& path, const std::wstring& text) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(f);
}

std::wstring ReadWide(const std::wstring& path) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return L"";
  std::wstring s(4096, L'\0');
  DWORD got = 0;
  ReadFile(f, s.data(), static_cast<DWORD>(s.size() * sizeof(wchar_t)), &got, nullptr);
  CloseHandle(f);
  s.resize(got / sizeof(wchar_t));
  return s;
}

TFormMain* gForm = nullptr;
int gListClicks = 0;
int gStage = 0;

// Drives the running recorder: a real click on the history list, then closing.
void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  if (!gForm || !gForm->Showing()) return;
  HWND list = gForm->ListViewFiles->Handle();
  if (gStage == 0) {
    testsupport::ForceForeground(gForm->Handle());
    RECT r;
    GetWindowRect(list, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    gStage = 1;
  } else if (gListClicks > 0 || ++gStage > 20) {
    KillTimer(nullptr, id);
    gForm->Close();
  }
}

} // namespace

// Run on its own by the test below: the recorder's start as its program entry does it.
TEST(RecorderLookAndFeel, ChildRun) {
  std::wstring report = ReportPath();
  if (report.empty()) GTEST_SKIP() << "runs as a child process";
  // Registered first, so that its exit step runs after the library's.
  AddUnitHooks(nullptr, [report] {
    std::wstring text = L"shut down";
    if (GetRootLookAndFeel()) text += L"; root left";
    if (lfSystemController()) text += L"; controller left";
    if (lfContainerHook(WH_MOUSE) || lfContainerHook(WH_GETMESSAGE) ||
        lfContainerHook(WH_CALLWNDPROC))
      text += L"; hooks left";
    if (GdiPlusLoaded()) text += L"; GDI+ left";
    WriteWide(report, text);
  });
  int windows0 = UtilWindowCount();
  Screen->SetCursors(crHandPoint, LoadCursorW(nullptr, IDC_HAND));
  lfAddUnitHooks();
  Application->Initialize();
  EXPECT_EQ(UtilWindowCount() - windows0, ThemeLibraryLoaded() ? 3 : 2);
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  for (int id = 2100; id <= 2114; ++id)
    EXPECT_NE(Screen->Cursors(id), arrow) << id;
  EXPECT_EQ(Screen->Cursors(-2099), LoadCursorW(nullptr, IDC_HAND));
  EXPECT_NE(lfContainerHook(WH_MOUSE), nullptr);
  {
    std::unique_ptr<TGraphic> png(TPicture::CreateGraphicForExtension(L"png"));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->ClassName(), L"TlxPNGImage"); // registered after the PNG codec
  }
  Application->SetTitle(AppTitle);
  Application->OnMessage = [](MSG& msg, bool&) {
    if (msg.message == WM_LBUTTONDOWN && gForm && msg.hwnd == gForm->ListViewFiles->Handle())
      ++gListClicks;
  };
  Application->CreateForm(gForm);
  SetTimer(nullptr, 0, 300, Drive);
  Application->Run();
  EXPECT_EQ(gListClicks, 1);
}

TEST(RecorderLookAndFeel, StartsAndEndsWithTheRecorder) {
  std::wstring report = testsupport::MakeTempDir(L"recorder-lf") + L"\\report.txt";
  DeleteFileW(report.c_str());
  DeleteFileW(GetSettingsFileName().c_str());
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(testsupport::StartSelf(L"RecorderLookAndFeel.ChildRun", kReportVar, report, pi));
  DWORD wait = WaitForSingleObject(pi.hProcess, 120000);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 3);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(wait, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadWide(report), L"shut down");
}
