// Windows that pop up (message boxes, modal forms, popup menus, hints) show
// their contents on the screen at once: the screen's own pixels are read, not
// a picture the window is asked to paint.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "tests/support/Gui.h"
#include "tests/support/Screen.h"

namespace {

using testsupport::ExpectShown;
using testsupport::ScreenWatch;
using testsupport::WindowOfClass;

class Owner : public TForm {
public:
  explicit Owner(TComponent* AOwner) : TForm(AOwner) {
    SetBounds(120, 120, 420, 300);
    SetCaption(L"Screen paint owner");
  }
};

class ScreenPaint : public ::testing::Test {
protected:
  void SetUp() override {
    owner = new Owner(nullptr);
    owner->Show();
    testsupport::PumpFor(100);
  }
  void TearDown() override { delete owner; }
  Owner* owner = nullptr;
  DWORD thread = GetCurrentThreadId();
};

TEST_F(ScreenPaint, MessageBoxOfTheApplication) {
  ScreenWatch watch(
      WindowOfClass(thread, L"#32770"), GetSysColor(COLOR_BTNFACE), 0.3,
      [](HWND h) { PostMessageW(h, WM_COMMAND, IDOK, 0); }, L"framework_screen_messagebox.png");
  Application->MessageBox(L"Contents on the screen", L"Screen paint", MB_OK);
  ExpectShown(watch.Result(), "the message box");
}

TEST_F(ScreenPaint, ModalForm) {
  const COLORREF face = RGB(40, 160, 90);
  auto* dialog = new TForm(owner);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetCaption(L"Screen paint dialog");
  dialog->SetBounds(200, 200, 300, 200);
  dialog->SetColor(static_cast<TColor>(face));
  ScreenWatch watch(
      [&]() -> HWND {
        return dialog->HandleAllocated() && IsWindowVisible(dialog->Handle()) ? dialog->Handle()
                                                                              : nullptr;
      },
      face, 0.5, [](HWND h) { PostMessageW(h, WM_CLOSE, 0, 0); },
      L"framework_screen_modalform.png");
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  ExpectShown(watch.Result(), "the modal form");
}

TEST_F(ScreenPaint, PopupMenu) {
  auto* menu = new TPopupMenu(owner);
  for (const wchar_t* caption : {L"&First", L"&Second", L"&Third", L"F&ourth"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  ScreenWatch watch(
      WindowOfClass(thread, L"#32768"), GetSysColor(COLOR_MENU), 0.5,
      [](HWND h) { PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0); }, L"framework_screen_popupmenu.png");
  menu->Popup(250, 250);
  ExpectShown(watch.Result(), "the popup menu");
}

TEST_F(ScreenPaint, Hint) {
  auto* hint = new THintWindow(owner);
  hint->SetColor(clInfoBk);
  std::wstring text = L"A hint on the screen";
  TRect r = hint->CalcHintRect(400, text, nullptr);
  r.Offset(260, 260);
  ScreenWatch watch(
      [&]() -> HWND {
        return hint->HandleAllocated() && IsWindowVisible(hint->Handle()) ? hint->Handle()
                                                                          : nullptr;
      },
      GetSysColor(COLOR_INFOBK), 0.5,
      // Wakes the loop below.
      [](HWND h) { PostMessageW(h, WM_NULL, 0, 0); }, L"framework_screen_hint.png");
  hint->ActivateHint(r, text);
  // The application's own loop runs while the hint shows.
  while (!watch.Done())
    Application->HandleMessage();
  ExpectShown(watch.Result(), "the hint");
}

} // namespace
