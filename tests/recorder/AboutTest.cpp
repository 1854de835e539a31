// The About window: version from "msvr.dll" beside the program, the title,
// the address links and the update page; opened from the main window.
#include <gtest/gtest.h>

#include "version.h"

#define KORVANE_WIDEN2(x) L##x
#define KORVANE_WIDEN(x) KORVANE_WIDEN2(x)
#define KORVANE_VERSION_TEXT_W KORVANE_WIDEN(KORVANE_VERSION_TEXT)

#include "framework/SysUtils.h"
#include "recorder/About.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"

#include <filesystem>
#include <fstream>

using namespace recorder;

namespace {

class AboutTest : public testing::Test {
protected:
  void SetUp() override {
    versionFile = TFormMain::ProgramFolder() + L"msvr.dll";
    DeleteFileW(versionFile.c_str());
    GlobalVars.HomePageUrl = L"https://korvane.example/";
    GlobalVars.UpdatesPageUrl = L"https://korvane.example/updates/";
  }
  void TearDown() override {
    ShellOpen = saved;
    DeleteFileW(versionFile.c_str());
  }
  std::wstring versionFile;
  TShellOpenFunc saved = ShellOpen;
};

TEST_F(AboutTest, ShowsTheVersionFromTheVersionFile) {
  {
    std::ofstream f(std::filesystem::path(versionFile), std::ios::binary);
    f << "[SYSTEM]\r\nVersion=4.7.1 build 302\r\n";
  }
  TFormAbout about(nullptr);
  about.AfterConstruction();
  about.Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return about.Showing(); }));
  EXPECT_EQ(about.Caption(), L"About ");
  EXPECT_EQ(about.ClientWidth(), 454);
  EXPECT_EQ(about.ClientHeight(), 337);
  EXPECT_EQ(about.LabelVersion->Caption(), L"4.7.1 build 302");
  EXPECT_EQ(about.LabelTitle->Caption(), L"Virelle Audio Recorder version: 4.7.1 build 302");
  EXPECT_EQ(about.LabelWeb->Caption(), GlobalVars.HomePageUrl);
  EXPECT_EQ(about.LabelSupport->Caption(), GlobalVars.HomePageUrl);
  EXPECT_EQ(about.LabelWeb->Cursor(), crHandPoint);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(about.Handle(), L"recorder-about"));
}

// Without "msvr.dll", or without its value, the program's version resource
// gives the version (the test program carries the recorder's resource).
TEST_F(AboutTest, MissingVersionFileShowsTheProgramVersion) {
  EXPECT_EQ(ProgramFileVersion(), KORVANE_VERSION_TEXT_W);
  for (const char* content : {static_cast<const char*>(nullptr), "[SYSTEM]\r\nOther=1\r\n"}) {
    DeleteFileW(versionFile.c_str());
    if (content) {
      std::ofstream f(std::filesystem::path(versionFile), std::ios::binary);
      f << content;
    }
    TFormAbout about(nullptr);
    about.AfterConstruction();
    about.Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return about.Showing(); }));
    EXPECT_EQ(about.LabelVersion->Caption(), KORVANE_VERSION_TEXT_W);
    EXPECT_EQ(about.LabelTitle->Caption(),
              std::wstring(L"Virelle Audio Recorder version: ") + KORVANE_VERSION_TEXT_W);
  }
}

TEST_F(AboutTest, LinksAndUpdatesOpenTheirAddresses) {
  std::vector<std::wstring> opened;
  ShellOpen = [&](HWND o, const std::wstring& v, const std::wstring& f, const std::wstring&,
                  int s) {
    EXPECT_EQ(o, nullptr);
    EXPECT_EQ(v, L"Open");
    EXPECT_EQ(s, SW_SHOWNORMAL);
    opened.push_back(f);
    return true;
  };
  TFormAbout about(nullptr);
  about.AfterConstruction();
  about.Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return about.Showing(); }));
  about.LabelWeb->Click();
  about.LabelSupport->Click();
  about.ButtonUpdates->Click();
  EXPECT_EQ(opened, (std::vector<std::wstring>{GlobalVars.HomePageUrl, GlobalVars.HomePageUrl,
                                               GlobalVars.UpdatesPageUrl}));
  EXPECT_EQ(BusyCount(), 0);
}

TEST_F(AboutTest, OpenedFromTheMainWindow) {
  DeleteFileW(GetSettingsFileName().c_str());
  {
    std::ofstream f(std::filesystem::path(versionFile), std::ios::binary);
    f << "[SYSTEM]\r\nVersion=1.2\r\n";
  }
  auto* form = new TFormMain(nullptr);
  form->AfterConstruction();
  form->Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  {
    testsupport::ModalAnswerer answer(L"About ", L"&OK");
    form->ActionAbout->Execute();
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.SeenCaption(), L"About ");
  }
  delete form;
}

} // namespace
