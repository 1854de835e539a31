// Saving a tone in every output format and decoding it back.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio/EditorEngine.h"
#include "audio/EditorFormats.h"
#include "tests/support/Gui.h"

using namespace audioedit;

namespace {

double PitchOf(EditorEngine& e) {
  std::vector<float> v(size_t(e.Length() * e.Channels()));
  e.ReadFrames(0, e.Length(), v.data());
  int ch = e.Channels(), crossings = 0;
  size_t first = 0, last = 0, frames = v.size() / size_t(ch);
  for (size_t i = frames / 10 + 1; i < frames * 9 / 10; ++i)
    if (v[(i - 1) * size_t(ch)] < 0 && v[i * size_t(ch)] >= 0) {
      if (!crossings) first = i;
      last = i;
      ++crossings;
    }
  return crossings > 1 ? double(crossings - 1) * e.SampleRate() / double(last - first) : 0;
}

} // namespace

TEST(EditorFormats, SaveEachFormatAndDecodeBack) {
  struct Case {
    const wchar_t* file;
    OutputFormat::Kind kind;
    int rate, channels, bits, kbps, extra;
    int wantRate, wantChannels;
  } cases[] = {
      {L"pcm16.wav", OutputFormat::Pcm, 22050, 1, 16, 0, 0, 22050, 1},
      {L"pcm8.wav", OutputFormat::Pcm, 44100, 2, 8, 0, 0, 44100, 2},
      {L"tone.mp3", OutputFormat::Mp3, 44100, 2, 0, 128, 0, 44100, 2},
      {L"low.mp3", OutputFormat::Mp3, 6000, 1, 0, 320, 0, 8000, 1},
      {L"tone.mp2", OutputFormat::Mp2, 8000, 2, 0, 128, 3, 16000, 2},
      {L"tone.ogg", OutputFormat::Ogg, 44100, 2, 0, 192, 0, 44100, 2},
      {L"tone.wma", OutputFormat::Wma, 0, 0, 0, 0, 41, 44100, 2},
      {L"tone.vox", OutputFormat::Vox, 44100, 2, 0, 0, 0, 8000, 1},
      {L"ulaw.wav", OutputFormat::ULaw, 8000, 1, 0, 0, 0, 8000, 1},
      {L"alaw.wav", OutputFormat::ALaw, 22050, 2, 0, 0, 0, 22050, 2},
      {L"gsm.wav", OutputFormat::Gsm, 44100, 2, 0, 0, 0, 8000, 1},
      {L"msadpcm.wav", OutputFormat::MsAdpcm, 11025, 2, 0, 0, 0, 11025, 2},
      {L"tone.raw", OutputFormat::Raw, 44100, 2, 16, 0, 1, 44100, 2},
  };
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats");
  EditorEngine e;
  e.SetTempDirectory(dir);
  std::vector<float> tone(44100 * 2 * 2);
  for (size_t i = 0; i < tone.size() / 2; ++i)
    tone[2 * i] = tone[2 * i + 1] =
        0.5f * float(std::sin(2 * std::numbers::pi * 440.0 * double(i) / 44100.0));
  for (auto& c : cases) {
    e.LoadFrames(44100, 2, tone.data(), int64_t(tone.size() / 2));
    e.Format = OutputFormat{};
    e.Format.Type = c.kind;
    e.Format.SampleRate = c.rate;
    e.Format.Channels = c.channels;
    e.Format.BitsPerSample = c.bits;
    e.Format.Kbps = c.kbps;
    e.Format.RawCompression = c.kind == OutputFormat::Raw ? c.extra : 1;
    e.Format.StereoMode = c.kind == OutputFormat::Mp2 ? c.extra : 0;
    e.Format.WmaProfile = c.kind == OutputFormat::Wma ? c.extra : 24;
    int rate, ch;
    EffectiveFormat(e.Format, rate, ch);
    EXPECT_EQ(rate, c.wantRate) << c.file;
    EXPECT_EQ(ch, c.wantChannels) << c.file;
    std::wstring path = dir + L"\\" + c.file;
    ASSERT_NO_THROW(e.SaveFile(path, false)) << c.file;
    e.CloseFile();
    ASSERT_NO_THROW(e.OpenFile(path)) << c.file;
    EXPECT_EQ(e.SampleRate(), c.wantRate) << c.file;
    EXPECT_EQ(e.Channels(), c.wantChannels) << c.file;
    EXPECT_NEAR(double(e.Length()) / e.SampleRate(), 2.0, 0.08) << c.file;
    EXPECT_NEAR(PitchOf(e), 440.0, 440.0 * 0.03) << c.file;
  }
}

TEST(EditorFormats, SelectionOnlyAndOverwriteTheOpenedFile) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-sel");
  EditorEngine e;
  e.SetTempDirectory(dir);
  std::vector<float> v(8000, 0.25f);
  e.LoadFrames(8000, 1, v.data(), 8000);
  e.Format.Type = OutputFormat::Pcm;
  e.Format.SampleRate = 8000;
  e.Format.Channels = 1;
  std::wstring path = dir + L"\\sel.wav";
  e.SaveFile(path, false);
  e.OpenFile(path);
  e.SetSelection(1000, 3000);
  e.SaveFile(path, true); // overwrites the file the document came from
  e.OpenFile(path);
  EXPECT_EQ(e.Length(), 2000);
  e.Format.Type = OutputFormat::Dsp;
  EXPECT_THROW(e.SaveFile(dir + L"\\dsp.wav", false), EEditorError);
}

TEST(EditorFormats, VoxCoderTracksASine) {
  std::vector<int16_t> pcm(8000);
  for (size_t i = 0; i < pcm.size(); ++i)
    pcm[i] = int16_t(12000 * std::sin(2 * std::numbers::pi * 300.0 * double(i) / 8000.0));
  auto coded = VoxEncode(pcm);
  EXPECT_EQ(coded.size(), pcm.size() / 2);
  auto back = VoxDecode(coded);
  double err = 0, sig = 0;
  for (size_t i = 800; i < pcm.size(); ++i) {
    err += std::pow(double(back[i]) - pcm[i], 2);
    sig += std::pow(double(pcm[i]), 2);
  }
  EXPECT_GT(10 * std::log10(sig / err), 15.0); // signal-to-noise ratio in dB
}
