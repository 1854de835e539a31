// The library's start-up and shut-down: each step in order, what it leaves
// behind while the program runs, and that shut-down takes it all back.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lfContainer.h"
#include "lookandfeel/lfControls.h"
#include "lookandfeel/lfLibrary.h"
#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lxGDIPlusAPI.h"
#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/support/Gui.h"

namespace {

class StandInPng : public TBitmap {};

const int kCursorIds[] = {2100, 2101, 2102, 2103, 2104, 2105, 2106, 2107,
                          2108, 2109, 2110, 2111, 2112, 2113, 2114, -2099};
const wchar_t* const kRowMarkers[] = {L"LF_ARROWBITMAP",      L"LF_EDITBITMAP",
                                      L"LF_INSERTBITMAP",     L"LF_MULTIDOTBITMAP",
                                      L"LF_MULTIARROWBITMAP", L"LF_FILTERBITMAP"};
const wchar_t* const kCursorNames[] = {
    L"LF_DRAGCOPYCURSOR", L"LF_FULLSCROLLCURSOR",  L"LF_HORSCROLLCURSOR",   L"LF_VERSCROLLCURSOR",
    L"LF_UPSCROLLCURSOR", L"LF_RIGHTSCROLLCURSOR", L"LF_DOWNSCROLLCURSOR",  L"LF_LEFTSCROLLCURSOR",
    L"LF_REMOVECURSOR",   L"LF_VERTSIZECURSOR",    L"LF_HORZSIZECURSOR",    L"LF_MULTIDRAGCURSOR",
    L"LF_NODROPCURSOR",   L"LF_DRAGCURSOR",        L"LF_COLORPICKERCURSOR", L"LF_HANDPOINTCURSOR"};

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

std::wstring PngClass() {
  std::unique_ptr<TGraphic> g(TPicture::CreateGraphicForExtension(L"png"));
  return g ? g->ClassName() : L"";
}

void RealClick(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  testsupport::PumpFor(50);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// A stand-in for the painters' step: one primary palette-change notifier.
TlfSystemPaletteChangedNotifier* gPainterNotifier = nullptr;

void UsePainterStandIn() {
  lfPaintersUnitStep().Init = [] { gPainterNotifier = new TlfSystemPaletteChangedNotifier(true); };
  lfPaintersUnitStep().Done = [] {
    delete gPainterNotifier;
    gPainterNotifier = nullptr;
  };
}

void RunStartupAndShutdown(bool themeLibrary) {
  lxUxThemeDisabled = !themeLibrary;
  UsePainterStandIn();
  TPicture::RegisterFileFormat(L"PNG", L"Stand-in", L"StandInPng",
                               [] { return static_cast<TGraphic*>(new StandInPng); });
  int windows0 = UtilWindowCount();
  auto steps = lfUnitSteps();
  for (auto& s : steps)
    s.Init();

  // Cursors.
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  for (int id : kCursorIds)
    EXPECT_NE(Screen->Cursors(id), arrow) << id;
  EXPECT_EQ(Screen->Cursors(-2099), LoadCursorW(nullptr, IDC_HAND));
  // Hidden windows: theme-change receiver (with the theme library only),
  // palette-change listener, system controller.
  EXPECT_EQ(ThemeLibraryLoaded(), themeLibrary && lxSystemVersion().Major >= 5);
  EXPECT_EQ(UtilWindowCount() - windows0, ThemeLibraryLoaded() ? 3 : 2);
  // Hooks, the PNG format, the colour set and its listener.
  EXPECT_NE(lfContainerHook(WH_CALLWNDPROC), nullptr);
  EXPECT_NE(lfContainerHook(WH_GETMESSAGE), nullptr);
  EXPECT_NE(lfContainerHook(WH_MOUSE), nullptr);
  EXPECT_EQ(PngClass(), L"TlxPNGImage");
  EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 2);
  EXPECT_EQ(Office11ColorsUserCount(), 1);
  ASSERT_NE(GetRootLookAndFeel(), nullptr);
  EXPECT_EQ(GetRootLookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_NE(FindClass(L"TlfRect"), nullptr);
  EXPECT_EQ(ClassGroupOf(L"TlfLookAndFeelController"), L"TForm");

  // System colour changes rebuild the colours without losing GDI objects.
  HWND palette = lfSystemPaletteChangedListener()->Handle();
  SendMessageW(palette, WM_SYSCOLORCHANGE, 0, 0);
  DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 20; ++i)
    SendMessageW(palette, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
  EXPECT_NE(Office11Brush(0), nullptr);
  EXPECT_NE(Office11Bitmap(obSubMenuExpand), nullptr);
  EXPECT_FALSE(Office11Bitmap(obSubMenuExpand)->Empty());

  // The controller's message runs queued calls.
  int ran = 0;
  Queue([&] { ++ran; });
  PostMessageW(lfSystemController()->Handle(), WM_LF_SYNCHRONIZE, 0, 0);
  testsupport::PumpUntil([&] { return ran == 1; }, 2000);
  EXPECT_EQ(ran, 1);

  // Clicks still reach the program's own controls.
  TForm* form = new TForm(nullptr);
  form->SetBounds(40, 40, 200, 100);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  testsupport::ForceForeground(form->Handle());
  RealClick(button->Handle());
  testsupport::PumpUntil([&] { return clicks == 1; }, 3000);
  EXPECT_EQ(clicks, 1);
  delete form;

  // Shut-down in reverse.
  for (int i = static_cast<int>(steps.size()) - 1; i >= 0; --i) {
    steps[i].Done();
    if (steps[i].Unit == L"lfLookAndFeelPainters") {
      EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 1);
      EXPECT_EQ(Office11ColorsUserCount(), 1);
    }
    if (steps[i].Unit == L"lfLookAndFeels") {
      EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 0);
      EXPECT_EQ(lfSystemPaletteChangedListener(), nullptr);
      EXPECT_EQ(Office11ColorsUserCount(), 0);
      EXPECT_EQ(Office11Brush(0), nullptr);
    }
    if (steps[i].Unit == L"lfContainer") {
      // Hooks come off mouse first, call-window-procedure last.
      EXPECT_EQ(lfContainerHook(WH_MOUSE), nullptr);
      EXPECT_EQ(lfContainerHook(WH_CALLWNDPROC), nullptr);
    }
    if (steps[i].Unit == L"lxGDIPlusClasses") EXPECT_EQ(PngClass(), L"StandInPng");
  }
  EXPECT_EQ(UtilWindowCount(), windows0);
  EXPECT_EQ(GetRootLookAndFeel(), nullptr);
  EXPECT_EQ(lfSystemController(), nullptr);
  EXPECT_FALSE(GdiPlusLoaded());
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_EQ(FindClass(L"TlfRect"), nullptr);
  EXPECT_EQ(lfClassesState(), 2);

  TPicture::UnregisterGraphicClass(L"StandInPng");
  lfPaintersUnitStep().Init = lfLookAndFeelPaintersInitialize;
  lfPaintersUnitStep().Done = lfLookAndFeelPaintersFinalize;
  lxUxThemeDisabled = false;
}

std::wstring ChildReportPath() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(L"LF_STARTUP_REPORT", buf, MAX_PATH * 2);
  return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
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

} // namespace

TEST(lfStartup, StepsInOrderAndBack) {
  RunStartupAndShutdown(true);
}

TEST(lfStartup, WithoutTheThemeLibrary) {
  RunStartupAndShutdown(false);
}

TEST(lfStartupResources, ProgramCarriesTheLibrarysPictures) {
  HINSTANCE self = GetModuleHandleW(nullptr);
  for (auto* name : kRowMarkers) {
    EXPECT_NE(FindResourceW(self, name, MAKEINTRESOURCEW(2)), nullptr) << name;
    TBitmap bm;
    bm.LoadFromResourceName(self, name);
    EXPECT_EQ(bm.Width(), 8) << name;
    EXPECT_EQ(bm.Height(), 9) << name;
  }
  for (auto* name : kCursorNames)
    EXPECT_NE(LoadCursorW(self, name), nullptr) << name;
  for (auto* name : {L"LXSUBMENUEXPAND", L"LXEXPANDBUTTON_MINUS", L"LXEXPANDBUTTON_PLUS"})
    EXPECT_NE(FindResourceW(self, name, MAKEINTRESOURCEW(2)), nullptr) << name;
  // The arrow row marker: black on white, its tip in the fifth row.
  TBitmap arrow;
  arrow.LoadFromResourceName(self, L"LF_ARROWBITMAP");
  EXPECT_EQ(arrow.Canvas()->Pixels(6, 4), 0x000000u);
  EXPECT_EQ(arrow.Canvas()->Pixels(7, 4), 0xFFFFFFu);
  EXPECT_EQ(arrow.Canvas()->Pixels(2, 0), 0x000000u);
}

TEST(lfStartupResources, RecorderCarriesTheLibrarysPictures) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"Korvane.exe";
  HMODULE korvane = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!korvane) GTEST_SKIP() << "Korvane.exe is not built beside the tests";
  for (auto* name : kRowMarkers)
    EXPECT_NE(FindResourceW(korvane, name, MAKEINTRESOURCEW(2)), nullptr) << name;
  for (auto* name : kCursorNames)
    EXPECT_NE(FindResourceW(korvane, name, MAKEINTRESOURCEW(12)), nullptr) << name;
  FreeLibrary(korvane);
}

// Run on its own by the test below: the library through the framework's unit hooks.
TEST(lfStartup, ChildRun) {
  std::wstring report = ChildReportPath();
  if (report.empty()) GTEST_SKIP() << "runs as a child process";
  // Registered first, so that its exit step runs after the library's.
  AddUnitHooks(nullptr, [report] {
    std::wstring text = L"shut down";
    if (GetRootLookAndFeel()) text += L"; root left";
    if (lfSystemController()) text += L"; controller left";
    if (lfContainerHook(WH_MOUSE) || lfContainerHook(WH_CALLWNDPROC)) text += L"; hooks left";
    if (GdiPlusLoaded()) text += L"; GDI+ left";
    if (FindClass(L"TlfRect")) text += L"; TlfRect left";
    if (Office11ColorsUserCount()) text += L"; colours left";
    WriteWide(report, text);
  });
  lfAddUnitHooks();
  lfAddUnitHooks(); // a second request only counts once
  Application->Initialize();
  for (int id : kCursorIds)
    EXPECT_NE(Screen->Cursors(id), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_NE(GetRootLookAndFeel(), nullptr);
  EXPECT_NE(lfSystemController(), nullptr);
  EXPECT_NE(lfContainerHook(WH_MOUSE), nullptr);
  EXPECT_EQ(PngClass(), L"TlxPNGImage");
  EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 2); // the root's and the painters'
}

TEST(lfStartup, ThroughUnitHooksInAChildProcess) {
  std::wstring report = testsupport::MakeTempDir(L"lf-startup") + L"\\report.txt";
  DeleteFileW(report.c_str());
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(testsupport::StartSelf(L"lfStartup.ChildRun", L"LF_STARTUP_REPORT", report, pi));
  DWORD wait = WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(wait, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadWide(report), L"shut down");
}

namespace {

struct FoundWindow {
  DWORD pid;
  HWND wnd = nullptr;
};

HWND VisibleWindowOf(DWORD pid) {
  FoundWindow f{pid};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<FoundWindow*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == f->pid && IsWindowVisible(h) &&
            testsupport::ClassOf(h) != UtilWindowClassName) {
          f->wnd = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.wnd;
}

} // namespace

TEST(lfStartupKorvane, RecorderStartsAndExitsCleanly) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"Korvane.exe";
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "Korvane.exe is not built beside the tests";
  std::wstring cmd = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND main = nullptr;
  for (int i = 0; i < 300 && !main; ++i) {
    if (WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) break;
    main = VisibleWindowOf(pi.dwProcessId);
  }
  ASSERT_NE(main, nullptr) << "the recorder's window did not appear";
  // The library's hidden windows live on the recorder's GUI thread.
  int util = 0;
  EnumThreadWindows(
      pi.dwThreadId,
      [](HWND h, LPARAM p) -> BOOL {
        if (testsupport::ClassOf(h) == UtilWindowClassName) ++*reinterpret_cast<int*>(p);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&util));
  EXPECT_GE(util, 2);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD wait = WaitForSingleObject(pi.hProcess, 60000);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 3);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(wait, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
}
