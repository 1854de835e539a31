// While the editor plays (its play position moving), windows that pop up over
// it (a message box, an effect dialog, a menu of the toolbar library, a hint)
// show their contents on the screen at once: the screen's own pixels are read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "editor/vibrato.h"
#include "framework/SysUtils.h"
#include "toolbars/TfItem.h"
#include "tests/support/Gui.h"
#include "tests/support/Screen.h"
#include "tests/support/Tone.h"

using namespace editor;
using testsupport::ExpectShown;
using testsupport::ScreenWatch;
using testsupport::WindowOfClass;

namespace {

// A visible top-level popup window of this thread other than Except.
std::function<HWND()> PopupOfThread(DWORD thread, HWND except) {
  return [thread, except]() -> HWND {
    struct Find {
      HWND except, found = nullptr;
    } d{except};
    EnumThreadWindows(
        thread,
        [](HWND h, LPARAM l) -> BOOL {
          auto* d = reinterpret_cast<Find*>(l);
          if (h != d->except && IsWindowVisible(h) && (GetWindowLongW(h, GWL_STYLE) & WS_POPUP)) {
            d->found = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&d));
    return d.found;
  };
}

class PlayingScreenPaint : public testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = testsupport::MakeTempDir(L"editor-screen-paint");
    ForceDirectories(DefaultSettingsDir());
    DeleteFileW((DefaultSettingsDir() + SettingsFileTitle).c_str());
    std::wstring tone = dir + L"\\tone.wav";
    testsupport::WriteToneWav(tone, 44100, 2, 44100 * 30);
    form = new TfrmMain(nullptr);
    form->AfterConstruction();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    ASSERT_TRUE(form->OpenDocument(tone));
    form->ActionPlay->Execute();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->AudioEditor->State() == 1; }, 3000));
    testsupport::PumpFor(300);
  }
  void TearDown() override {
    if (form) {
      // It was still playing while the window showed.
      EXPECT_EQ(form->AudioEditor->State(), 1);
      delete form;
    }
  }
  TfrmMain* form = nullptr;
  DWORD thread = GetCurrentThreadId();
};

TEST_F(PlayingScreenPaint, MessageBoxOfTheEditor) {
  ScreenWatch watch(
      WindowOfClass(thread, L"#32770"), GetSysColor(COLOR_BTNFACE), 0.3,
      [](HWND h) { PostMessageW(h, WM_COMMAND, IDOK, 0); }, L"editor_screen_messagebox.png");
  Application->MessageBox(L"Contents on the screen", L"Screen paint", MB_OK | MB_ICONWARNING);
  ExpectShown(watch.Result(), "the message box");
}

TEST_F(PlayingScreenPaint, EffectDialog) {
  auto* dialog = new TfrmVibrato(form);
  TRect r = form->BoundsRect();
  dialog->SetBounds(r.Left + 40, r.Top + 60, dialog->Width(), dialog->Height());
  ScreenWatch watch(
      [&]() -> HWND {
        return dialog->HandleAllocated() && IsWindowVisible(dialog->Handle()) ? dialog->Handle()
                                                                              : nullptr;
      },
      GetSysColor(COLOR_BTNFACE), 0.3, [](HWND h) { PostMessageW(h, WM_CLOSE, 0, 0); },
      L"editor_screen_effectdialog.png");
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  ExpectShown(watch.Result(), "the effect dialog");
}

TEST_F(PlayingScreenPaint, ToolbarLibraryMenu) {
  ScreenWatch watch(
      PopupOfThread(thread, form->Handle()), GetSysColor(COLOR_MENU), 0.5,
      [](HWND h) { PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0); }, L"editor_screen_menu.png");
  TRect r = form->BoundsRect();
  form->PopupMenuScaleX->Popup(r.Left + 60, r.Top + 80);
  ExpectShown(watch.Result(), "the menu");
}

TEST_F(PlayingScreenPaint, Hint) {
  auto* hint = new THintWindow(form);
  hint->SetColor(clInfoBk);
  std::wstring text = L"A hint over the playing editor";
  TRect r = hint->CalcHintRect(400, text, nullptr);
  TRect f = form->BoundsRect();
  r.Offset(f.Left + 60, f.Top + 100);
  ScreenWatch watch(
      [&]() -> HWND {
        return hint->HandleAllocated() && IsWindowVisible(hint->Handle()) ? hint->Handle()
                                                                          : nullptr;
      },
      GetSysColor(COLOR_INFOBK), 0.5,
      // Wakes the loop below.
      [](HWND h) { PostMessageW(h, WM_NULL, 0, 0); }, L"editor_screen_hint.png");
  hint->ActivateHint(r, text);
  // The application's own loop runs while the hint shows.
  while (!watch.Done())
    Application->HandleMessage();
  ExpectShown(watch.Result(), "the hint");
}

} // namespace
