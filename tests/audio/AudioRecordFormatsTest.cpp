// Every output format setting of the recorder: written through TAudioFile2
// (from a synthesized tone, and from a live capture of a tone played into the
// default output) and decoded back: duration, rate, channels and pitch.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioError.h"
#include "audio/AudioFile2.h"
#include "audio/AudioRecord2.h"
#include "audio/SafeArrays.h"
#include "tests/audio/AudioTestSignals.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

namespace {

using namespace audiotest;

struct TFormatRow {
  std::string Name;
  std::function<void(TAudioFile2&, TAudioFile2LameEnc&)> Apply;
  int FileType;
  int Rate, Channels;
  const wchar_t* Ext;
};

void PrintTo(const TFormatRow& r, std::ostream* os) {
  *os << r.Name;
}

std::vector<TFormatRow> FormatRows() {
  std::vector<TFormatRow> rows;
  // WAV: every allowed rate, channel count and depth.
  for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 96000})
    for (int ch : {1, 2})
      for (int bits : {8, 16, 24, 32})
        rows.push_back(
            {"wav_" + std::to_string(rate) + "_" + std::to_string(ch) + "ch_" +
                 std::to_string(bits),
             [=](TAudioFile2& f, TAudioFile2LameEnc&) { f.SetPcmFormat(rate, ch, bits); }, 1, rate,
             ch, L".wav"});
  // MP3 constant bit rate.
  for (int kbps : {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320})
    rows.push_back({"mp3_cbr_" + std::to_string(kbps),
                    [=](TAudioFile2& f, TAudioFile2LameEnc&) { f.SetMp3Cbr(44100, kbps, 2); }, 2,
                    44100, 2, L".mp3"});
  rows.push_back({"mp3_cbr_64_mono",
                  [](TAudioFile2& f, TAudioFile2LameEnc&) { f.SetMp3Cbr(44100, 64, 1); }, 2, 44100,
                  1, L".mp3"});
  // MP3 presets 1..11.
  const int presetRate[11] = {8000,  11025, 22050, 22050, 44100, 44100,
                              44100, 44100, 44100, 44100, 44100};
  const int presetCh[11] = {1, 1, 1, 2, 1, 2, 2, 2, 2, 2, 2};
  for (int p = 1; p <= 11; ++p)
    rows.push_back({"mp3_preset_" + std::to_string(p),
                    [=](TAudioFile2& f, TAudioFile2LameEnc& e) {
                      e.SetPreset(p);
                      f.SetLameEncoder(&e);
                    },
                    2, presetRate[p - 1], presetCh[p - 1], L".mp3"});
  // MP3 variable bit rate by quality and average bit rate, in each mode.
  struct TVbr {
    const char* Name;
    int Channels, Stereo, VbrMode, Quality, Abr;
  };
  for (TVbr v :
       {TVbr{"mp3_vbr_q9_stereo", 2, 1, 0, 9, 0}, TVbr{"mp3_vbr_q7_joint", 2, 2, 0, 7, 0},
        TVbr{"mp3_vbr_q0_dual", 2, 4, 0, 0, 0}, TVbr{"mp3_vbr_q5_mono", 1, 0, 0, 5, 0},
        TVbr{"mp3_abr_128_joint", 2, 2, 4, 0, 128}, TVbr{"mp3_abr_96_mono", 1, 0, 4, 0, 96},
        TVbr{"mp3_abr_256_stereo", 2, 1, 4, 0, 256}})
    rows.push_back({v.Name,
                    [=](TAudioFile2& f, TAudioFile2LameEnc& e) {
                      e.SetChannels(v.Channels);
                      if (v.Channels == 2) e.SetStereoMode(v.Stereo);
                      e.SetMaxBitrate(320);
                      e.SetMinBitrate(32);
                      e.SetVbrMode(v.VbrMode);
                      if (v.VbrMode == 0)
                        e.SetQuality(v.Quality);
                      else
                        e.SetAbrBitrate(v.Abr);
                      e.SetWriteXing(true);
                      e.SetChecksum(v.Quality == 0);
                      f.SetLameEncoder(&e);
                    },
                    2, 44100, v.Channels, L".mp3"});
  // OGG presets, average bit rates and qualities.
  const int oggPreset[7][2] = {{1, 64}, {2, 96}, {2, 128}, {2, 160}, {2, 192}, {2, 256}, {2, 320}};
  for (int p = 0; p < 7; ++p)
    rows.push_back({"ogg_preset_" + std::to_string(p),
                    [=](TAudioFile2& f, TAudioFile2LameEnc&) {
                      f.SetOggFormat(44100, oggPreset[p][0], oggPreset[p][1], 0, 0, -1);
                    },
                    6, 44100, oggPreset[p][0], L".ogg"});
  for (int kbps : {64, 96, 128, 160, 192, 256, 350})
    for (int ch : {1, 2}) {
      if (ch == 1 && kbps > 192) continue; // above what Vorbis offers for mono
      rows.push_back(
          {"ogg_abr_" + std::to_string(kbps) + "_" + std::to_string(ch) + "ch",
           [=](TAudioFile2& f, TAudioFile2LameEnc&) { f.SetOggFormat(44100, ch, kbps, 0, 0, -1); },
           6, 44100, ch, L".ogg"});
    }
  for (int q : {10, 500, 1000})
    for (int ch : {1, 2})
      rows.push_back({"ogg_vbr_" + std::to_string(q) + "_" + std::to_string(ch) + "ch",
                      [=](TAudioFile2& f, TAudioFile2LameEnc&) {
                        f.SetOggFormat(44100, ch, 0, 0, 0, static_cast<int16_t>(q));
                      },
                      6, 44100, ch, L".ogg"});
  // WMA: the recorder's profiles.
  const int wma[7][3] = {{36, 8000, 1},  {23, 22050, 2}, {16, 44100, 1}, {13, 44100, 2},
                         {11, 44100, 2}, {10, 44100, 2}, {8, 44100, 2}};
  for (auto& w : wma)
    rows.push_back({"wma_profile_" + std::to_string(w[0]),
                    [=](TAudioFile2& f, TAudioFile2LameEnc&) { f.SetWmaProfile(w[0]); }, 11, w[1],
                    w[2], L".wma"});
  return rows;
}

std::wstring Widen(const std::string& s) {
  return std::wstring(s.begin(), s.end());
}

// Checks a closed file against what was written.
void CheckFile(const TFormatRow& row, const std::wstring& path, size_t framesWritten,
               int blockFrames, double pitchTolerance = 0.02, bool checkPitch = true) {
  SCOPED_TRACE(row.Name);
  TDecoded d;
  try {
    d = DecodeAll(path);
  } catch (const EAudioError& e) {
    FAIL() << audio::WideToUtf8(e.Message());
  }
  EXPECT_EQ(d.Rate, row.Rate);
  EXPECT_EQ(d.Channels, row.Channels);
  // Lossy files may keep one encoder frame of delay and padding (MP3 at 8 kHz).
  double slack = row.FileType == 1 ? blockFrames : blockFrames + 2048;
  EXPECT_NEAR(static_cast<double>(d.Frames()), static_cast<double>(framesWritten), slack);
  if (!checkPitch) return;
  EXPECT_NEAR(DominantFrequency(d.Samples, d.Rate, d.Channels), kToneHz, kToneHz * pitchTolerance);
}

// ---------------------------------------------------------------------------
// From a synthesized tone, one row at a time.

class WriteFormat : public testing::TestWithParam<TFormatRow> {};

TEST_P(WriteFormat, DecodesToTheToneWritten) {
  const TFormatRow& row = GetParam();
  std::wstring dir = testsupport::MakeTempDir(L"formats-" + Widen(row.Name));
  std::wstring path = dir + L"\\tone" + row.Ext;
  TAudioFile2 file;
  TAudioFile2LameEnc enc;
  row.Apply(file, enc);
  EXPECT_FALSE(file.FormatDescription().empty());
  file.NewFile(path, row.FileType);
  ASSERT_EQ(file.SampleRate(), row.Rate);
  ASSERT_EQ(file.Channels(), row.Channels);
  int block = MulDiv(200, row.Rate, 1000);
  size_t written = 0;
  for (int b = 0; b < 5; ++b) {
    auto tone = Tone(row.Rate, row.Channels, block, kToneHz, 0.3, written);
    SAFEARRAY* a = audio::CreateSampleArray(tone);
    file.WriteArray(a);
    SafeArrayDestroy(a);
    written += block;
  }
  EXPECT_EQ(file.Length(), static_cast<int>(written));
  file.CloseFile();
  file.CloseFile(); // closing twice is silent
  CheckFile(row, path, written, block);
}

INSTANTIATE_TEST_SUITE_P(AllSettings, WriteFormat, testing::ValuesIn(FormatRows()),
                         [](const testing::TestParamInfo<TFormatRow>& i) { return i.param.Name; });

// ---------------------------------------------------------------------------
// From a live capture: one capture per rate and channel count feeds every
// file of that format.

struct TGroup {
  int Rate, Channels;
};

void PrintTo(const TGroup& g, std::ostream* os) {
  *os << g.Rate << " Hz, " << g.Channels << " ch";
}

class RecordFormats : public testing::TestWithParam<TGroup> {};

TEST_P(RecordFormats, CapturedToneReachesEveryFile) {
  TGroup g = GetParam();
  std::vector<TFormatRow> rows;
  std::map<int, int> perType;
  for (auto& r : FormatRows()) {
    if (r.Rate != g.Rate || r.Channels != g.Channels) continue;
    // Every setting is covered from a synthesized tone above; a live capture
    // feeds up to four files of each type so that it keeps up in real time.
    if (++perType[r.FileType] > 4) continue;
    rows.push_back(r);
  }
  ASSERT_FALSE(rows.empty());
  std::wstring dir = testsupport::MakeTempDir(L"record-" + std::to_wstring(g.Rate) + L"-" +
                                              std::to_wstring(g.Channels));
  std::vector<std::unique_ptr<TAudioFile2>> files;
  std::vector<std::unique_ptr<TAudioFile2LameEnc>> encs;
  std::vector<std::wstring> paths;
  for (auto& r : rows) {
    files.push_back(std::make_unique<TAudioFile2>());
    encs.push_back(std::make_unique<TAudioFile2LameEnc>());
    r.Apply(*files.back(), *encs.back());
    paths.push_back(dir + L"\\" + Widen(r.Name) + r.Ext);
    files.back()->NewFile(paths.back(), r.FileType);
    ASSERT_EQ(files.back()->SampleRate(), g.Rate) << r.Name;
    ASSERT_EQ(files.back()->Channels(), g.Channels) << r.Name;
  }

  TAudioRecord2 rec;
  rec.SetFormat(files[0]->SampleRate(), files[0]->Channels());
  int blockFrames = rec.MsToSamples(200);
  EXPECT_EQ(blockFrames, MulDiv(200, g.Rate, 1000));
  rec.SetBlockSize(blockFrames);
  DWORD gui = GetCurrentThreadId();
  int events = 0, offThread = 0, wrongSize = 0;
  std::vector<DWORD> times;
  bool recording = true;
  size_t framesWritten = 0;
  rec.OnEndArrayRecord = [&](TAudioRecord2* sender, int) {
    ++events;
    times.push_back(GetTickCount());
    if (GetCurrentThreadId() != gui) ++offThread;
    if (!recording) return;
    SAFEARRAY* a = sender->GetRecordArray();
    if (audio::SampleArrayUBound(a) >= 1) {
      size_t frames = audio::SampleArrayCount(a) / g.Channels;
      if (frames % blockFrames != 0 && recording && sender->Recording()) ++wrongSize;
      for (auto& f : files)
        f->WriteArray(a);
      framesWritten += frames;
    }
    SafeArrayDestroy(a);
  };

  // The tone plays until the capture has ended: on a busy machine the sound
  // card may take seconds to deliver the first block.
  testsupport::TonePlayer tone(kToneHz, 0.3, 0.3);
  ASSERT_TRUE(tone.Ok());
  testsupport::PumpFor(300);
  rec.StartRecord();
  ASSERT_EQ(rec.Status(), 0) << audio::WideToUtf8(rec.LastError());
  EXPECT_TRUE(testsupport::PumpUntil([&] { return events >= 6; }, 20000));
  rec.StopRecord();
  recording = false;
  rec.StopRecord(); // idle: nothing happens
  for (auto& f : files)
    f->CloseFile();

  EXPECT_EQ(offThread, 0);
  EXPECT_EQ(wrongSize, 0);
  ASSERT_GE(times.size(), 4u);
  // Blocks arrive every 200 ms on average.
  double avg = double(times[times.size() - 2] - times[0]) / double(times.size() - 2);
  EXPECT_NEAR(avg, 200.0, 60.0);
  EXPECT_GE(framesWritten, static_cast<size_t>(6 * blockFrames));
  for (size_t i = 0; i < rows.size(); ++i)
    CheckFile(rows[i], paths[i], framesWritten, blockFrames);
}

std::vector<TGroup> Groups() {
  std::vector<TGroup> g;
  for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 96000})
    for (int ch : {1, 2})
      g.push_back({rate, ch});
  return g;
}

INSTANTIATE_TEST_SUITE_P(AllRates, RecordFormats, testing::ValuesIn(Groups()),
                         [](const testing::TestParamInfo<TGroup>& i) {
                           return std::to_string(i.param.Rate) + "_" +
                                  std::to_string(i.param.Channels) + "ch";
                         });

} // namespace
