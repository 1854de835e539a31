// Playback of written files the way the recorder drives it, file reading and
// seeking, and file information.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "audio/AudioError.h"
#include "audio/AudioFile2.h"
#include "audio/AudioInformation2.h"
#include "audio/AudioPlayer2.h"
#include "audio/SafeArrays.h"
#include "tests/audio/AudioTestSignals.h"
#include "tests/support/Gui.h"

namespace {

using namespace audiotest;

struct TFileRow {
  const char* Name;
  int FileType;
  const wchar_t* Ext;
  void (*Apply)(TAudioFile2&);
};

const TFileRow kFiles[] = {
    {"wav", 1, L".wav", [](TAudioFile2& f) { f.SetPcmFormat(44100, 2, 16); }},
    {"wav_mono_8bit", 1, L".wav", [](TAudioFile2& f) { f.SetPcmFormat(22050, 1, 8); }},
    {"mp3", 2, L".mp3", [](TAudioFile2& f) { f.SetMp3Cbr(44100, 128, 2); }},
    {"ogg", 6, L".ogg", [](TAudioFile2& f) { f.SetOggFormat(44100, 2, 128, 0, 0, -1); }},
    {"wma", 11, L".wma", [](TAudioFile2& f) { f.SetWmaProfile(10); }},
};

void PrintTo(const TFileRow& r, std::ostream* os) {
  *os << r.Name;
}

// Writes ms milliseconds of tone in the row's format; returns the path.
std::wstring WriteToneFile(const TFileRow& row, int ms, const std::wstring& dirName) {
  std::wstring dir = testsupport::MakeTempDir(dirName);
  std::wstring path = dir + L"\\tone" + row.Ext;
  TAudioFile2 f;
  row.Apply(f);
  f.NewFile(path, row.FileType);
  size_t frames = static_cast<size_t>(f.SampleRate()) * ms / 1000;
  auto tone = Tone(f.SampleRate(), f.Channels(), frames);
  SAFEARRAY* a = audio::CreateSampleArray(tone);
  f.WriteArray(a);
  SafeArrayDestroy(a);
  f.CloseFile();
  return path;
}

class PlayFile : public testing::TestWithParam<TFileRow> {};

TEST_P(PlayFile, PlaysToTheEndLikeTheRecorder) {
  const TFileRow& row = GetParam();
  std::wstring path = WriteToneFile(row, 1000, L"play-" + audio::Utf8ToWide(row.Name));
  TAudioFile2 file;
  TAudioPlayer2 player;
  player.Stop(); // idle: silent
  file.CloseFile();

  file.OpenFile(path, 0, 1);
  ASSERT_EQ(file.Status(), 0) << audio::WideToUtf8(file.LastError());
  int length = file.Length();
  int rate = file.SampleRate();
  // 1 s: exact for WAV and MP3, within the last encoder frame otherwise.
  EXPECT_NEAR(length, rate, row.FileType <= 2 ? 0 : rate / 20);
  player.SetFormat(file.SampleRate(), file.Channels());
  int block = player.MsToSamples(200);
  EXPECT_EQ(block, MulDiv(200, rate, 1000));
  EXPECT_EQ(file.Seek(0, 3), 0);

  std::vector<std::string> events;
  int endPlay = 0, maxPos = 0, timerCalls = 0;
  DWORD gui = GetCurrentThreadId();
  int offThread = 0;
  auto feed = [&] {
    SAFEARRAY* a = file.ReadArray(block);
    player.LoadArray(a);
    SafeArrayDestroy(a);
  };
  player.OnEndArrayPlay = [&](TAudioPlayer2*) {
    events.push_back("block");
    if (GetCurrentThreadId() != gui) ++offThread;
    feed();
  };
  player.OnRequestOnLoadArray = [&](TAudioPlayer2*) {
    events.push_back("request");
    feed();
  };
  player.OnEndPlay = [&](TAudioPlayer2* p) {
    events.push_back("end");
    ++endPlay;
    p->Stop();
    file.CloseFile();
  };
  player.OnTimer = [&](TAudioPlayer2*, int samples, int, int) {
    ++timerCalls;
    EXPECT_GE(samples, maxPos);
    maxPos = std::max(maxPos, samples);
  };
  player.Play();
  ASSERT_EQ(player.Status(), 0) << audio::WideToUtf8(player.LastError());
  feed();
  feed();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return endPlay > 0; }, 5000));
  testsupport::PumpFor(300);
  EXPECT_EQ(endPlay, 1);
  EXPECT_EQ(offThread, 0);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "end");
  // One block event per queued block: 1 s in 200 ms blocks.
  EXPECT_GE(std::count(events.begin(), events.end(), "block"), 5);
  EXPECT_GT(timerCalls, 3);
  EXPECT_GT(maxPos, rate / 2);
  EXPECT_LE(maxPos, length);
  EXPECT_FALSE(player.Playing());
  player.Stop();
  file.CloseFile();
}

TEST_P(PlayFile, SeekLandsOnTheFrame) {
  const TFileRow& row = GetParam();
  std::wstring path = WriteToneFile(row, 1000, L"seek-" + audio::Utf8ToWide(row.Name));
  TDecoded whole = DecodeAll(path);
  TAudioFile2 file;
  file.OpenFile(path, 0, 1);
  ASSERT_EQ(file.Status(), 0);
  int length = file.Length();
  int target = MulDiv(50, length, 100);
  int reached = file.Seek(target, 3);
  EXPECT_EQ(reached, target);
  EXPECT_EQ(file.Position(), target);
  SAFEARRAY* a = file.ReadArray(4096);
  std::vector<int16_t> got = audio::SampleArrayToVector(a);
  SafeArrayDestroy(a);
  ASSERT_EQ(got.size(), 4096u * whole.Channels);
  // The frames read after the seek are the file's frames at that position.
  double diff = 0;
  for (size_t i = 0; i < got.size(); ++i)
    diff += std::abs(got[i] - whole.Samples[static_cast<size_t>(target) * whole.Channels + i]);
  diff /= got.size();
  if (row.FileType == 1)
    EXPECT_EQ(diff, 0.0);
  else
    EXPECT_LT(diff, 3500.0); // a few frames at most: a misplaced seek averages about 8000
  // Past the end: position clamps, reads come back empty without raising.
  int end = file.Seek(length + 1000, 3);
  EXPECT_LE(end, length);
  EXPECT_GE(end, length - length / 20);
  for (int i = 0; i < 3; ++i) {
    SAFEARRAY* e = file.ReadArray(4096);
    EXPECT_EQ(audio::SampleArrayUBound(e), -1);
    SafeArrayDestroy(e);
  }
  file.CloseFile();
  SAFEARRAY* closed = file.ReadArray(100);
  EXPECT_EQ(audio::SampleArrayCount(closed), 0u);
  SafeArrayDestroy(closed);
}

TEST_P(PlayFile, InformationDurationMatchesFFmpeg) {
  const TFileRow& row = GetParam();
  std::wstring path = WriteToneFile(row, 1500, L"info-" + audio::Utf8ToWide(row.Name));
  TAudioInformation2 info;
  info.OpenFile(path);
  AVFormatContext* fc = nullptr;
  std::string u = audio::WideToUtf8(path);
  ASSERT_EQ(avformat_open_input(&fc, u.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(fc, nullptr), 0);
  double ffmpegMs = fc->duration / 1000.0;
  avformat_close_input(&fc);
  EXPECT_NEAR(info.Duration(), ffmpegMs, 20.0);
  EXPECT_NEAR(info.Duration(), 1500, 60);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayFile, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<TFileRow>& i) { return i.param.Name; });

TEST(AudioInformation, UnreadableFileRaisesAClearError) {
  std::wstring dir = testsupport::MakeTempDir(L"info-bad");
  struct {
    std::wstring Name;
    std::string Content;
  } cases[] = {{L"\\missing.mp3", ""}, {L"\\garbage.wav", "this is not a sound file"}};
  for (auto& c : cases) {
    std::wstring path = dir + c.Name;
    if (!c.Content.empty()) {
      HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD n = 0;
      WriteFile(h, c.Content.data(), static_cast<DWORD>(c.Content.size()), &n, nullptr);
      CloseHandle(h);
    }
    TAudioInformation2 info;
    try {
      info.OpenFile(path);
      ADD_FAILURE() << "no error for " << audio::WideToUtf8(path);
    } catch (const EAudioError& e) {
      EXPECT_NE(e.Message().find(path), std::wstring::npos);
      EXPECT_NE(e.Message().find(L"Cannot open"), std::wstring::npos);
    }
    TAudioFile2 file;
    file.OpenFile(path, 0, 1);
    EXPECT_NE(file.Status(), 0);
    EXPECT_EQ(file.Length(), 0);
    file.CloseFile();
  }
}

} // namespace
