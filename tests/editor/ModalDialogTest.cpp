// The editor's modal dialogs on the real main window: each command's dialog
// disables the main window while it is open and enables it again after; and
// the message log that such checks are written with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/globals.h"
#include "editor/main.h"
#include "editor/new.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/MessageLog.h"
#include "tests/support/ModalActor.h"

using namespace editor;
using testsupport::MessageLog;

TEST(EditorModalDialogs, MainWindowIsDisabledWhileEachDialogIsOpen) {
  ForceDirectories(DefaultSettingsDir());
  DeleteFileW((DefaultSettingsDir() + SettingsFileTitle).c_str());
  auto* form = new TfrmMain(nullptr);
  form->AfterConstruction();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  struct Case {
    const wchar_t* Action;
    const wchar_t* Caption;
    const wchar_t* Button;
  };
  // New comes first: the commands after it need a document.
  const Case cases[] = {
      {L"ActionNew", L"New Sample", L"OK"},
      {L"ActionSetSelection", L"Set Selection", L"Cancel"},
      {L"ActionProperties", L"Properties", L"Cancel"},
      {L"ActionOutputFormatSetting", L"Output Format", L"Cancel"},
      {L"ActionCompressor", L"Compressor - New Recording", L"Cancel"},
  };
  const std::vector<MessageLog::Expected> expected = {{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.Action));
    TAction* action = form->FindAction(c.Action);
    ASSERT_NE(action, nullptr);
    MessageLog log(form->Handle(), {WM_ENABLE});
    bool enabledInside = true;
    testsupport::ModalActor actor(c.Caption, c.Button,
                                  [&](HWND) { enabledInside = IsWindowEnabled(form->Handle()); });
    log.Start();
    action->Execute();
    log.Stop();
    EXPECT_TRUE(actor.Acted());
    EXPECT_FALSE(enabledInside);
    EXPECT_TRUE(log.Matches(expected));
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
  EXPECT_TRUE(form->IsDocumentLoaded());
  delete form;
}

namespace {

// A plain window that takes whatever it is sent.
HWND PlainWindow() {
  return CreateWindowExW(0, L"Static", L"log", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

} // namespace

TEST(TestMessageLog, RecordsTheWatchedMessagesBetweenStartAndStop) {
  HWND h = PlainWindow();
  ASSERT_NE(h, nullptr);
  {
    MessageLog log(h, {WM_ENABLE, WM_USER + 1});
    SendMessageW(h, WM_USER + 1, 1, 0); // before Start
    log.Start();
    EnableWindow(h, FALSE);
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"not watched"));
    SendMessageW(h, WM_USER + 1, 7, 9);
    EnableWindow(h, TRUE);
    log.Stop();
    SendMessageW(h, WM_USER + 1, 2, 0); // after Stop
    EXPECT_TRUE(log.Matches({{WM_ENABLE, FALSE}, {WM_USER + 1, 7, 9}, {WM_ENABLE, TRUE}}));
    // Parameters left out match any value.
    EXPECT_TRUE(log.Matches({{WM_ENABLE}, {WM_USER + 1}, {WM_ENABLE}}));
  }
  // The log is gone: the window's own procedure answers again.
  EXPECT_TRUE(SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"after")));
  DestroyWindow(h);
}

TEST(TestMessageLog, DifferenceIsShownSideBySide) {
  HWND h = PlainWindow();
  ASSERT_NE(h, nullptr);
  MessageLog log(h, {WM_ENABLE, WM_USER + 1});
  log.Start();
  EnableWindow(h, FALSE);
  SendMessageW(h, WM_USER + 1, 3, 0);
  log.Stop();
  const testing::AssertionResult r = log.Matches({{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}});
  ASSERT_FALSE(r);
  const std::string text = r.message();
  EXPECT_NE(text.find("messages differ from row 1"), std::string::npos) << text;
  EXPECT_NE(text.find("   WM_ENABLE(0x0, *)"), std::string::npos) << text;
  EXPECT_NE(text.find(">> WM_ENABLE(0x1, *)"), std::string::npos) << text;
  EXPECT_NE(text.find("WM_USER+1(0x3, 0x0)"), std::string::npos) << text;
  // A missing message shows as "-".
  EXPECT_FALSE(log.Matches({{WM_ENABLE, FALSE}, {WM_USER + 1, 3, 0}, {WM_ENABLE}}));
  EXPECT_EQ(MessageLog::Name(WM_APP + 2), "WM_APP+2");
  DestroyWindow(h);
}
