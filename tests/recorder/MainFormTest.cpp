// The recorder's main window on a real window under the bench: start-up,
// command enabling, recording into each format, the overwrite question and
// closing during a recording.
#include <gtest/gtest.h>

#include "audio/AudioInformation2.h"
#include "audio/MediaDecoder.h"
#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

#include <atomic>
#include <cmath>
#include <thread>

using namespace recorder;

namespace {

class MainFormTest : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    outDir = testsupport::MakeTempDir(L"recordings");
  }
  void TearDown() override {
    if (form) {
      if (form->Recording() || form->RecordPaused()) form->StopRecording();
      delete form;
    }
    form = nullptr;
  }
  // Writes a settings file that points recordings into the test folder.
  void WriteSettings(int format) {
    TGlobalVars g;
    SetDefaultSettings(g, outDir);
    g.OP_OutputFormat = static_cast<uint8_t>(format);
    SaveSettingsTo(GetSettingsFileName(), g);
  }
  void Create() {
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    testsupport::PumpFor(200);
  }
  std::vector<std::wstring> ListedFiles() {
    TStringList l;
    if (FileExists(GetListFileName())) l.LoadFromFile(GetListFileName());
    std::vector<std::wstring> v;
    for (int i = 0; i < l.Count(); ++i)
      v.push_back(l[i]);
    return v;
  }
  TFormMain* form = nullptr;
  std::wstring outDir;
};

TEST_F(MainFormTest, FirstStartWritesDefaultsAndCentres) {
  Create();
  EXPECT_TRUE(FileExists(GetSettingsFileName()));
  EXPECT_EQ(form->Height(), 398);
  EXPECT_EQ(form->ClientWidth(), 408);
  EXPECT_TRUE(form->ListViewFiles->Visible());
  EXPECT_FALSE(form->ImageMixer->Visible());
  EXPECT_EQ(form->Left(), (Screen->Width() - form->Width()) / 2);
  EXPECT_EQ(form->LabelStaus->Caption(), L"Ready!");
  EXPECT_EQ(form->ListViewFiles->Columns()->Count(), 4);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"recorder-main"));
}

TEST_F(MainFormTest, SavedPositionIsKeptOnScreen) {
  WriteSettings(ofWAV);
  {
    TIniFile ini(GetSettingsFileName());
    ini.WriteInteger(L"FormPos", L"x", -50);
    ini.WriteInteger(L"FormPos", L"y", 100000);
    ini.UpdateFile();
  }
  Create();
  EXPECT_EQ(form->Left(), 0);
  EXPECT_GE(form->Top(), 0);
  EXPECT_LE(form->Top() + form->Height(), Screen->Height());
}

TEST_F(MainFormTest, PanelsToggle) {
  WriteSettings(ofWAV);
  Create();
  form->ActionShowHideMixer->Execute();
  EXPECT_TRUE(form->ImageMixer->Visible());
  EXPECT_FALSE(form->ListViewFiles->Visible());
  form->ActionShowHideFileList->Execute();
  EXPECT_EQ(form->Height(), 178);
  form->ActionShowHideFileList->Execute();
  EXPECT_EQ(form->Height(), 398);
  EXPECT_TRUE(form->ImageMixer->Visible());
  form->ActionShowHideFileList->Execute(); // compact
  form->ActionShowHideMixer->Execute();    // expands and toggles to the list
  EXPECT_EQ(form->Height(), 398);
  EXPECT_TRUE(form->ListViewFiles->Visible());
}

TEST_F(MainFormTest, CommandsFollowRecordingState) {
  WriteSettings(ofWAV);
  Create();
  testsupport::TonePlayer tone;
  auto check = [&](bool record, bool pause, bool play, bool others) {
    EXPECT_EQ(form->ActionRecord->Enabled(), record);
    EXPECT_EQ(form->ActionRecordPause->Enabled(), pause);
    EXPECT_EQ(form->ActionPlay->Enabled(), play);
    for (TAction* a :
         {form->ActionEditAudioFiles, form->ActionOptions, form->ActionSchedule,
          form->ActionListAddFiles, form->ActionListDel, form->ActionListCopy, form->ActionAbout})
      EXPECT_EQ(a->Enabled(), others) << WideToUtf8(a->Name());
  };
  check(true, false, true, true);
  form->ActionRecord->Execute();
  ASSERT_TRUE(form->Recording());
  EXPECT_EQ(form->LabelStaus->Caption(), L"Recording");
  check(false, true, false, false);
  form->ActionRecordPause->Execute();
  ASSERT_TRUE(form->RecordPaused());
  EXPECT_EQ(form->LabelStaus->Caption(), L"Pause");
  check(true, false, false, false);
  form->ActionRecord->Execute(); // resumes
  EXPECT_TRUE(form->Recording());
  form->ActionRecordStop->Execute();
  EXPECT_FALSE(form->Recording());
  EXPECT_EQ(form->LabelStaus->Caption(), L"Ready!");
  EXPECT_EQ(form->LabelTime->Caption(), L"0:00:00");
  check(true, false, true, true);
}

struct FormatCase {
  int format;
  const wchar_t* ext;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << WideToUtf8(c.ext);
}

class RecordFormatTest : public MainFormTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(RecordFormatTest, RecordsToneIntoFile) {
  const FormatCase& c = GetParam();
  WriteSettings(c.format);
  Create();
  testsupport::TonePlayer tone;
  ASSERT_TRUE(tone.Ok());
  testsupport::PumpFor(500);
  form->ActionRecord->Execute();
  ASSERT_TRUE(form->Recording());
  // 15 blocks of 200 ms; a loaded machine may deliver them late.
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->RecordedBlocks() >= 15; }, 30000));
  form->ActionRecordStop->Execute();
  auto files = ListedFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(LowerCase(ExtractFileExt(files[0])), c.ext);
  EXPECT_EQ(ExtractFileName(files[0]).substr(0, 3), L"rec");
  TAudioInformation2 info;
  info.OpenFile(files[0]);
  // Everything captured up to the stop is in the file: the blocks written so
  // far, the last one possibly partial.
  int blocks = form->RecordedBlocks();
  EXPECT_GE(blocks, 15);
  EXPECT_NEAR(info.Duration(), blocks * 200, 300);
  EXPECT_EQ(form->ListViewFiles->Items()->Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordFormatTest,
                         testing::Values(FormatCase{ofMP3, L".mp3"}, FormatCase{ofOGG, L".ogg"},
                                         FormatCase{ofWMA, L".wma"}, FormatCase{ofWAV, L".wav"}),
                         [](const testing::TestParamInfo<FormatCase>& i) {
                           return WideToUtf8(std::wstring(i.param.ext + 1));
                         });

TEST_F(MainFormTest, ExistingFileIsOverwrittenOnlyOnYes) {
  WriteSettings(ofWAV);
  Create();
  // The automatic name holds the time to the second: occupy the next few names.
  std::vector<std::wstring> taken;
  for (int s = 0; s < 20; ++s) {
    std::wstring name = L"rec" + FormatDateTime(L"mmdd-hhnnss", Now() + s / 86400.0) + L".wav";
    std::wstring path = outDir + L"\\" + name;
    TStringList marker;
    marker.Add(L"keep me");
    marker.SaveToFile(path);
    taken.push_back(path);
  }
  for (int answer : {IDNO, IDCANCEL}) {
    testsupport::ModalAnswerer box(L"File already exist", answer);
    form->ActionRecord->Execute();
    EXPECT_TRUE(box.Wait());
    EXPECT_EQ(box.SeenText(), L"File already exist, do you want to overwrite it?");
    EXPECT_FALSE(form->Recording());
  }
  for (const auto& path : taken)
    EXPECT_EQ(GetFileSize64(path), 9) << WideToUtf8(path);
  testsupport::TonePlayer tone;
  {
    testsupport::ModalAnswerer box(L"File already exist", IDYES);
    form->ActionRecord->Execute();
    EXPECT_TRUE(box.Wait());
  }
  ASSERT_TRUE(form->Recording());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->RecordedBlocks() >= 3; }, 30000));
  form->ActionRecordStop->Execute();
  auto files = ListedFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_GT(GetFileSize64(files[0]), 1000);
}

TEST_F(MainFormTest, CloseDuringRecordingFinishesTheFile) {
  WriteSettings(ofWAV);
  Create();
  testsupport::TonePlayer tone;
  form->ActionRecord->Execute();
  ASSERT_TRUE(form->Recording());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->RecordedBlocks() >= 6; }, 30000));
  form->Close();
  testsupport::PumpFor(200);
  auto files = ListedFiles();
  ASSERT_EQ(files.size(), 1u);
  TAudioInformation2 info;
  info.OpenFile(files[0]);
  EXPECT_GT(info.Duration(), 1000);
}

} // namespace

// Unreadable mixer pictures in the skin folder are reported once; the window
// still finishes its start-up: height, panel, format text and history.
TEST_F(MainFormTest, UnreadableSkinPicturesAreReportedOnceAndStartUpGoesOn) {
  const std::wstring skinDir = AddBackslash(ExtractFilePath(Application->ExeName())) + L"skin\\";
  CreateDirectoryW(skinDir.c_str(), nullptr);
  struct Cleanup {
    std::wstring dir;
    ~Cleanup() {
      DeleteFileW((dir + L"mixerl.bmp").c_str());
      DeleteFileW((dir + L"devl.bmp").c_str());
      RemoveDirectoryW(dir.c_str());
    }
  } cleanup{skinDir};
  for (const wchar_t* name : {L"mixerl.bmp", L"devl.bmp"}) {
    TFileStream f(skinDir + name, fmCreate);
    f.WriteBuffer("BM this is no picture", 21);
  }
  WriteSettings(0);
  const std::wstring wav = outDir + L"\\kept.wav";
  testsupport::WriteToneWav(wav, 44100, 2, 44100, 440, 0);
  {
    TStringList l;
    l.Add(wav);
    l.SaveToFile(GetListFileName());
  }

  // The main window has the same caption as the message box: look for the box's class.
  std::atomic<int> boxes{0};
  std::atomic<bool> stop{false};
  std::wstring seen;
  std::thread answerer([&] {
    while (!stop) {
      if (HWND box = FindWindowW(L"#32770", AppTitle)) {
        if (boxes == 0) seen = testsupport::WindowText(GetDlgItem(box, 0xFFFF));
        ++boxes;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        while (IsWindow(box) && !stop)
          Sleep(20);
      }
      Sleep(20);
    }
  });
  Create();
  testsupport::PumpUntil([&] { return boxes > 0; }, 5000);
  testsupport::PumpFor(1000);
  stop = true;
  answerer.join();
  EXPECT_EQ(boxes, 1);
  EXPECT_NE(seen.find(skinDir + L"mixerl.bmp"), std::wstring::npos) << WideToUtf8(seen);
  EXPECT_NE(seen.find(skinDir + L"devl.bmp"), std::wstring::npos);

  EXPECT_EQ(form->Height(), 398);
  EXPECT_TRUE(form->ListViewFiles->Visible());
  for (TControl* c : std::initializer_list<TControl*>{form->tbGain, form->tbBalance,
                                                      form->ComboBoxDevice, form->ImageMixer})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_FALSE(form->LabelFormat->Caption().empty());
  ASSERT_EQ(form->ListViewFiles->Items()->Count(), 1);
  EXPECT_EQ(form->FileItemAt(0)->FileName, wav);
  // The mixer panel keeps its built-in pictures, and its rows line up with them.
  EXPECT_GT(form->ImageMixer->Picture()->Width(), 0);
  EXPECT_GT(form->ImageMixerLabel->Picture()->Width(), 0);
  form->ShowMixerPanel();
  EXPECT_EQ(form->ComboBoxDevice->Left(),
            form->ImageMixerLabel->Left() + form->ImageMixerLabel->Width() + 10);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"recorder-mixer-built-in-pictures"));
}
