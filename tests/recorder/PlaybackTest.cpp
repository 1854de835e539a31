// Playback of history rows: play, pause and resume, stop, the end of a file,
// the position slider with dragging, files that cannot be played, a player
// that cannot start, and positions past the 32-bit range.
#include <gtest/gtest.h>

#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace recorder;

namespace {

class PlaybackTest : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    dir = testsupport::MakeTempDir(L"playback");
    TGlobalVars g;
    SetDefaultSettings(g, dir);
    g.OP_OutputFormat = ofWAV;
    SaveSettingsTo(GetSettingsFileName(), g);
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    testsupport::PumpFor(200);
    form->SetCaption(L"Recorder under test");
  }
  void TearDown() override {
    if (form) {
      form->StopPlaying();
      delete form;
    }
  }
  std::wstring Add(const std::wstring& name, double seconds) {
    std::wstring p = dir + L"\\" + name;
    testsupport::WriteToneWav(p, 44100, 2, uint32_t(seconds * 44100), 660, 6000);
    form->AddFileToList(p, true);
    return p;
  }
  void Select(int row) {
    form->ListViewFiles->ClearSelection();
    form->ListViewFiles->Items()->Item(row)->SetSelected(true);
  }
  // Seconds shown by the time label.
  int ShownSeconds() {
    int h = 0, m = 0, s = 0;
    swscanf(form->LabelTime->Caption().c_str(), L"%d:%d:%d", &h, &m, &s);
    return h * 3600 + m * 60 + s;
  }
  TFormMain* form = nullptr;
  std::wstring dir;
};

TEST_F(PlaybackTest, PlayPauseResumeStop) {
  std::wstring first = Add(L"first.wav", 6.0);
  Add(L"second.wav", 6.0);
  Select(0);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  EXPECT_FALSE(form->ActionPlay->Enabled());
  EXPECT_FALSE(form->ActionRecord->Enabled());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->SliderPlay->Value() >= 10; }, 60000));
  EXPECT_GE(ShownSeconds(), 0);

  form->ActionPlayPause->Execute();
  EXPECT_TRUE(form->PlayPaused());
  EXPECT_FALSE(form->Playing());
  int64_t pausedAt = form->PlayBase();
  EXPECT_GT(pausedAt, 44100 * 6 / 20);
  testsupport::PumpFor(300);
  int pausedSlider = form->SliderPlay->Value();

  // Another row selected: Play resumes the paused file where it stopped.
  Select(1);
  form->ActionPlay->Execute();
  EXPECT_TRUE(form->Playing());
  EXPECT_FALSE(form->PlayPaused());
  EXPECT_EQ(form->PlayFileName(), first);
  EXPECT_EQ(form->PlayBase(), pausedAt);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->SliderPlay->Value() >= pausedSlider + 10; },
                                     60000));

  form->ActionPlayStop->Execute();
  EXPECT_FALSE(form->Playing());
  EXPECT_FALSE(form->PlayPaused());
  EXPECT_EQ(form->LabelTime->Caption(), L"0:00:00");
  EXPECT_EQ(form->SliderPlay->Value(), 0);
  EXPECT_EQ(form->AudioFile->Length(), 0); // closed
  EXPECT_TRUE(form->ActionPlay->Enabled());
}

TEST_F(PlaybackTest, PlaysToTheEnd) {
  Add(L"short.wav", 1.0);
  Select(0);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  int highest = 0;
  ASSERT_TRUE(testsupport::PumpUntil(
      [&] {
        highest = std::max(highest, form->SliderPlay->Value());
        return !form->Playing();
      },
      60000));
  EXPECT_LE(highest, 100);
  EXPECT_EQ(form->LabelTime->Caption(), L"0:00:00");
  EXPECT_EQ(form->SliderPlay->Value(), 0);
  EXPECT_TRUE(form->ActionPlay->Enabled());
}

TEST_F(PlaybackTest, DraggingTheSliderToHalfway) {
  Add(L"eight.wav", 8.0);
  Select(0);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  form->SliderPlayMouseDown(form->SliderPlay, mbLeft, 0, 0, 0);
  form->SliderPlay->SetValue(50);
  // While dragged, the player's position does not move the slider.
  form->AudioPlayerTimer(form->AudioPlayer.get(), 1000, 0, 0);
  EXPECT_EQ(form->SliderPlay->Value(), 50);
  form->SliderPlayMouseUp(form->SliderPlay, mbLeft, 0, 0, 0);
  EXPECT_TRUE(form->Playing());
  EXPECT_NEAR(static_cast<double>(form->PlayBase()), 44100 * 4.0, 44100 * 0.05);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ShownSeconds() >= 4; }, 60000));
  EXPECT_GE(form->SliderPlay->Value(), 50);
}

TEST_F(PlaybackTest, StartsAtTheSliderPosition) {
  Add(L"ten.wav", 10.0);
  Select(0);
  form->SliderPlay->SetValue(50);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  EXPECT_NEAR(static_cast<double>(form->PlayBase()), 44100 * 5.0, 44100 * 0.05);
}

TEST_F(PlaybackTest, AFileThatCannotBeOpenedIsReported) {
  std::wstring broken = dir + L"\\broken.wav";
  {
    std::ofstream f(std::filesystem::path(broken), std::ios::binary);
    f << "no sound in here";
  }
  form->AddFileToList(broken, true);
  ASSERT_EQ(form->ListViewFiles->Items()->Count(), 1);
  Select(0);
  testsupport::ModalAnswerer answer(AppTitle, IDOK);
  form->ActionPlay->Execute();
  ASSERT_TRUE(answer.Wait());
  EXPECT_NE(answer.SeenText().find(broken), std::wstring::npos);
  EXPECT_FALSE(form->Playing());
  EXPECT_FALSE(form->PlayPaused());
  EXPECT_TRUE(form->ActionPlay->Enabled());
}

TEST_F(PlaybackTest, AFailedResumeLeavesNoPausedState) {
  Add(L"four.wav", 4.0);
  Select(0);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->SliderPlay->Value() >= 5; }, 60000));
  form->ActionPlayPause->Execute();
  ASSERT_TRUE(form->PlayPaused());
  form->AudioPlayer->SetDevice(250); // no such output
  testsupport::ModalAnswerer answer(AppTitle, IDOK);
  form->ActionPlayPause->Execute();
  ASSERT_TRUE(answer.Wait());
  EXPECT_FALSE(form->Playing());
  EXPECT_FALSE(form->PlayPaused());
  EXPECT_EQ(form->AudioFile->Length(), 0);
  EXPECT_EQ(form->PlayBase(), 0);
  form->AudioPlayer->SetDevice(0);
  // A later play works again.
  form->ActionPlay->Execute();
  EXPECT_TRUE(form->Playing());
}

TEST_F(PlaybackTest, PositionsPastThe32BitRange) {
  Add(L"two.wav", 2.0);
  Select(0);
  form->ActionPlay->Execute();
  ASSERT_TRUE(form->Playing());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->SliderPlay->Value() >= 5; }, 60000));
  form->ActionPlayPause->Execute();
  ASSERT_TRUE(form->PlayPaused());
  int64_t base = form->PlayBase();
  ASSERT_GT(base, 0);
  form->AudioPlayerTimer(form->AudioPlayer.get(), INT_MAX, 0, 0);
  EXPECT_EQ(form->SliderPlay->Value(), 100);
  int64_t ms = (static_cast<int64_t>(INT_MAX) + base) * 1000 / 44100;
  EXPECT_EQ(form->LabelTime->Caption(), FormatDuration(ms));
  EXPECT_EQ(form->LabelTime->Caption().substr(0, 3), L"13:");
}

TEST_F(PlaybackTest, StopWhileIdleResetsTheTime) {
  form->LabelTime->SetCaption(L"0:01:02");
  form->ActionPlayStop->Execute();
  EXPECT_EQ(form->LabelTime->Caption(), L"0:00:00");
  EXPECT_FALSE(form->Playing());
}

} // namespace
