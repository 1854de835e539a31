// Saving a tone in every output format and decoding it back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "audio/EditorEngine.h"
#include "audio/EditorFormats.h"
#include "audio/MediaDecoder.h"
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

// A 32-bit float WAV file holding the samples.
void WriteFloatWav(const std::wstring& path, int rate, int channels, const std::vector<float>& v) {
  auto u32 = [](std::vector<uint8_t>& b, uint32_t x) {
    for (int i = 0; i < 4; ++i)
      b.push_back(uint8_t(x >> (8 * i)));
  };
  auto u16 = [](std::vector<uint8_t>& b, uint16_t x) {
    b.push_back(uint8_t(x));
    b.push_back(uint8_t(x >> 8));
  };
  uint32_t data = uint32_t(v.size() * sizeof(float));
  std::vector<uint8_t> h;
  h.insert(h.end(), {'R', 'I', 'F', 'F'});
  u32(h, 36 + data);
  h.insert(h.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  u32(h, 16);
  u16(h, 3); // IEEE float
  u16(h, uint16_t(channels));
  u32(h, uint32_t(rate));
  u32(h, uint32_t(rate * channels * 4));
  u16(h, uint16_t(channels * 4));
  u16(h, 32);
  h.insert(h.end(), {'d', 'a', 't', 'a'});
  u32(h, data);
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fwrite(h.data(), 1, h.size(), f);
  fwrite(v.data(), 1, data, f);
  fclose(f);
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
      {L"tone.g721", OutputFormat::G721, 44100, 2, 0, 0, 0, 8000, 1},
      {L"tone.g723", OutputFormat::G723, 8000, 1, 3, 0, 0, 8000, 1},
      {L"tone.g726", OutputFormat::G726, 22050, 1, 4, 0, 0, 8000, 1},
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

// A 1 kHz tone saved as VOX and opened again, which decodes it with the
// library's own OKI ADPCM decoder: our coder must predict exactly what that
// decoder reconstructs, or the decoder drifts away (offset, noise).
TEST(EditorFormats, VoxToneThroughTheLibraryDecoder) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-vox");
  EditorEngine e;
  e.SetTempDirectory(dir);
  const int rate = 8000;
  // Measured SNR: 21.1 dB at -6 dBFS and 21.7 dB at -20 dBFS; a coder that
  // summed shifted steps gave 21.0 and -19.8 dB (offset 0.24 full scale).
  for (double amplitude : {0.5, 0.1}) {
    std::vector<float> tone(size_t(rate) * 3);
    for (size_t i = 0; i < tone.size(); ++i)
      tone[i] = float(amplitude * std::sin(2 * std::numbers::pi * 1000.0 * double(i) / rate));
    e.LoadFrames(rate, 1, tone.data(), int64_t(tone.size()));
    e.Format = OutputFormat{};
    e.Format.Type = OutputFormat::Vox;
    e.Format.SampleRate = rate;
    std::wstring path = dir + L"\\tone.vox";
    ASSERT_NO_THROW(e.SaveFile(path, false));
    e.CloseFile();
    ASSERT_NO_THROW(e.OpenFile(path));
    ASSERT_EQ(e.SampleRate(), rate);
    ASSERT_GE(e.Length(), int64_t(tone.size()));
    std::vector<float> back(tone.size());
    e.ReadFrames(0, int64_t(back.size()), back.data());
    double err = 0, sig = 0, dc = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
      err += std::pow(double(back[i]) - tone[i], 2);
      sig += std::pow(double(tone[i]), 2);
      if (i < size_t(rate)) dc += back[i] - tone[i];
    }
    double snr = 10 * std::log10(sig / err);
    dc /= rate;
    std::printf("VOX 1 kHz tone at %.1f dBFS: SNR %.1f dB, offset in the first second %.5f\n",
                20 * std::log10(amplitude), snr, dc);
    EXPECT_GT(snr, 20.5) << amplitude;
    EXPECT_LT(std::abs(dc), 0.0005) << amplitude;

    // Our decoder reads the same file sample for sample as the library's.
    FILE* f = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> bytes(tone.size() / 2);
    ASSERT_EQ(fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    fclose(f);
    auto ours = VoxDecode(bytes);
    for (size_t i = 0; i < ours.size(); ++i)
      ASSERT_EQ(ours[i], int16_t(std::lrint(back[i] * 32768.0f))) << "sample " << i;
  }
}

TEST(EditorFormats, FloatFileOpensWithoutRoundingTo16Bits) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-float");
  std::wstring path = dir + L"\\fine.wav";
  // Values between two 16-bit steps.
  std::vector<float> v(8000 * 2);
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = float(0.3 * std::sin(double(i) * 0.01)) + 1.0f / 131072.0f;
  WriteFloatWav(path, 8000, 2, v);

  audio::TMediaDecoder dec;
  dec.Open(path);
  dec.SetFloatOutput(true);
  std::vector<float> got(v.size());
  ASSERT_EQ(dec.Read(got.data(), 8000), 8000u);
  EXPECT_EQ(std::memcmp(got.data(), v.data(), v.size() * sizeof(float)), 0);
  // The 16-bit read of the same file still works after a seek.
  EXPECT_EQ(dec.Seek(100), 100);
  int16_t s[2];
  ASSERT_EQ(dec.Read(s, 1), 1u);
  EXPECT_NEAR(s[0], v[200] * 32768.0f, 1.0f);

  EditorEngine e;
  e.SetTempDirectory(dir);
  e.OpenFile(path);
  ASSERT_EQ(e.Length(), 8000);
  std::vector<float> doc(v.size());
  e.ReadFrames(0, 8000, doc.data());
  double worst = 0;
  for (size_t i = 0; i < v.size(); ++i)
    worst = std::max(worst, double(std::abs(doc[i] - v[i])));
  EXPECT_LT(worst, 1e-7);
}

TEST(EditorFormats, HeaderlessG726OpensWithItsBitWidth) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-g726");
  EditorEngine e;
  e.SetTempDirectory(dir);
  std::vector<float> tone(8000 * 3);
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = 0.5f * float(std::sin(2 * std::numbers::pi * 500.0 * double(i) / 8000.0));
  // Bits written by the format; the file size tells the width. The encoder
  // pads its last frame (up to 2,736 codes).
  struct Case {
    const wchar_t* file;
    OutputFormat::Kind kind;
    int bits;
  } cases[] = {{L"a.g721", OutputFormat::G721, 4},
               {L"b.g723", OutputFormat::G723, 3},
               {L"c.g726", OutputFormat::G726, 4}};
  for (auto& c : cases) {
    e.LoadFrames(8000, 1, tone.data(), int64_t(tone.size()));
    e.Format = OutputFormat{};
    e.Format.Type = c.kind;
    e.Format.SampleRate = 8000;
    e.Format.Channels = 1;
    e.Format.BitsPerSample = c.bits;
    std::wstring path = dir + L"\\" + c.file;
    ASSERT_NO_THROW(e.SaveFile(path, false)) << c.file;
    FILE* f = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    fseek(f, 0, SEEK_END);
    long bytes = ftell(f);
    fclose(f);
    EXPECT_NEAR(double(bytes) * 8 / c.bits, double(tone.size()), 2736.0) << c.file;
    e.CloseFile();
    ASSERT_NO_THROW(e.OpenFile(path)) << c.file;
    EXPECT_EQ(e.SampleRate(), 8000) << c.file;
    EXPECT_EQ(e.Channels(), 1) << c.file;
    EXPECT_NEAR(double(e.Length()), double(bytes) * 8 / c.bits, 8.0) << c.file;
    EXPECT_NEAR(PitchOf(e), 500.0, 500.0 * 0.02) << c.file;
  }
}

TEST(EditorFormats, TagsReachMp3OggAndWma) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-tags");
  EditorEngine e;
  e.SetTempDirectory(dir);
  std::vector<float> tone(44100 * 2);
  for (size_t i = 0; i < tone.size() / 2; ++i)
    tone[2 * i] = tone[2 * i + 1] =
        0.5f * float(std::sin(2 * std::numbers::pi * 440.0 * double(i) / 44100.0));
  struct Case {
    const wchar_t* file;
    OutputFormat::Kind kind;
    int genre;
  } cases[] = {{L"tags.mp3", OutputFormat::Mp3, 17},
               {L"tags.ogg", OutputFormat::Ogg, 141},
               {L"tags.wma", OutputFormat::Wma, 0}};
  for (auto& c : cases) {
    e.LoadFrames(44100, 2, tone.data(), 44100);
    e.FileTags = Tags{};
    e.FileTags.Title = L"Tone \u00e9t\u00e9";
    e.FileTags.Artist = L"Bench";
    e.FileTags.Album = L"Signals";
    e.FileTags.Comment = L"A test tone";
    e.FileTags.Year = 2024;
    e.FileTags.Genre = c.genre;
    e.Format = OutputFormat{};
    e.Format.Type = c.kind;
    e.Format.SampleRate = 44100;
    e.Format.Channels = 2;
    e.Format.Kbps = 128;
    e.Format.WmaProfile = 10;
    std::wstring path = dir + L"\\" + c.file;
    ASSERT_NO_THROW(e.SaveFile(path, false)) << c.file;
    Tags t = ReadTags(path);
    EXPECT_EQ(t.Title, L"Tone \u00e9t\u00e9") << c.file;
    EXPECT_EQ(t.Artist, L"Bench") << c.file;
    EXPECT_EQ(t.Album, L"Signals") << c.file;
    EXPECT_EQ(t.Comment, L"A test tone") << c.file;
    EXPECT_EQ(t.Year, 2024) << c.file;
    EXPECT_EQ(t.Genre, c.genre) << c.file;
    // The control reads the genre of the opened file back.
    e.OpenFile(path);
    EXPECT_EQ(e.FileTags.Genre, c.genre) << c.file;
    // The tagged file still decodes to its full length.
    e.CloseFile();
    ASSERT_NO_THROW(e.OpenFile(path)) << c.file;
    EXPECT_NEAR(double(e.Length()) / e.SampleRate(), 1.0, 0.05) << c.file;
    EXPECT_NEAR(PitchOf(e), 440.0, 440.0 * 0.03) << c.file;
  }
}

TEST(EditorFormats, GenreFromTagText) {
  ASSERT_GE(GenreCount(), 142); // the tag editor lists 0..141
  struct Case {
    const wchar_t* text;
    int index;
  } cases[] = {{GenreName(17), 17},    {L"rock", GenreIndex(GenreName(17))},
               {L"(17)", 17},          {L" 141 ", 141},
               {L"200", -1},           {L"(999)", -1},
               {L"No Such Genre", -1}, {L"", -1},
               {GenreName(0), 0},      {GenreName(141), 141}};
  for (auto& c : cases)
    EXPECT_EQ(GenreIndex(c.text), c.index) << std::string(c.text, c.text + wcslen(c.text));
  EXPECT_STREQ(GenreName(-1), L"");
  EXPECT_STREQ(GenreName(GenreCount()), L"");
  // No document is saved with a genre that is not set.
  std::wstring dir = testsupport::MakeTempDir(L"editor-formats-nogenre");
  EditorEngine e;
  e.SetTempDirectory(dir);
  std::vector<float> v(44100, 0.1f);
  e.LoadFrames(44100, 1, v.data(), 44100);
  e.FileTags.Title = L"No genre";
  e.Format.Type = OutputFormat::Ogg;
  e.Format.Channels = 1;
  e.SaveFile(dir + L"\\g.ogg", false);
  EXPECT_EQ(ReadTags(dir + L"\\g.ogg").Genre, -1);
}
