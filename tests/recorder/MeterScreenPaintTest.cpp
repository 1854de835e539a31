// While the level meter moves with a sound at the input, windows that pop up
// over the recorder (a message box, a format set-up dialog, the help menu, a
// hint) show their contents on the screen at once: the screen's own pixels
// are read.
#include <gtest/gtest.h>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "recorder/Mp3Format.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"
#include "tests/support/Screen.h"
#include "tests/support/Tone.h"

using namespace recorder;
using testsupport::ExpectShown;
using testsupport::ScreenWatch;
using testsupport::WindowOfClass;

namespace {

class MeterScreenPaint : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(tone.Ok());
    // The meter shows the tone and its decay timer runs.
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] { return form->skSkinGaugeLeft->Value() > 4000 && form->TimerDeLevel->Enabled(); },
        10000));
    testsupport::PumpFor(300);
  }
  void TearDown() override {
    // The meter was still moving with the tone while the window showed.
    EXPECT_GT(form->skSkinGaugeLeft->Value(), 0);
    delete form;
  }
  TFormMain* form = nullptr;
  testsupport::TonePlayer tone;
  DWORD thread = GetCurrentThreadId();
};

TEST_F(MeterScreenPaint, MessageBoxOfTheRecorder) {
  ScreenWatch watch(
      WindowOfClass(thread, L"#32770"), GetSysColor(COLOR_BTNFACE), 0.3,
      [](HWND h) { PostMessageW(h, WM_COMMAND, IDOK, 0); }, L"recorder_screen_messagebox.png");
  Application->MessageBox(L"Contents on the screen", AppTitle, MB_OK | MB_ICONWARNING);
  ExpectShown(watch.Result(), "the message box");
}

TEST_F(MeterScreenPaint, FormatSetupDialog) {
  ScreenWatch watch(
      [] {
        HWND h = testsupport::FindWindowOf(L"", L"MP3 File Setup");
        return h && IsWindowVisible(h) ? h : nullptr;
      },
      GetSysColor(COLOR_BTNFACE), 0.3, [](HWND h) { PostMessageW(h, WM_CLOSE, 0, 0); },
      L"recorder_screen_formatsetup.png");
  TGlobalVars g;
  SetDefaultSettings(g, L"C:\\");
  EXPECT_FALSE(RunSpecifyDialog<TMp3FormatForm>(form, g));
  ExpectShown(watch.Result(), "the MP3 set-up dialog");
}

TEST_F(MeterScreenPaint, HelpMenu) {
  ScreenWatch watch(
      WindowOfClass(thread, L"#32768"), GetSysColor(COLOR_MENU), 0.5,
      [](HWND h) { PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0); }, L"recorder_screen_helpmenu.png");
  TRect r = form->BoundsRect();
  form->PopupMenuHelp->Popup(r.Left + 40, r.Top + 60);
  ExpectShown(watch.Result(), "the help menu");
}

TEST_F(MeterScreenPaint, Hint) {
  auto* hint = new THintWindow(form);
  hint->SetColor(clInfoBk);
  std::wstring text = L"A hint over the moving meter";
  TRect r = hint->CalcHintRect(400, text, nullptr);
  TRect f = form->BoundsRect();
  r.Offset(f.Left + 40, f.Top + 80);
  ScreenWatch watch(
      [&]() -> HWND {
        return hint->HandleAllocated() && IsWindowVisible(hint->Handle()) ? hint->Handle()
                                                                          : nullptr;
      },
      GetSysColor(COLOR_INFOBK), 0.5,
      // Wakes the loop below.
      [](HWND h) { PostMessageW(h, WM_NULL, 0, 0); }, L"recorder_screen_hint.png");
  hint->ActivateHint(r, text);
  // The application's own loop runs while the hint shows.
  while (!watch.Done())
    Application->HandleMessage();
  ExpectShown(watch.Result(), "the hint");
}

} // namespace
