// Damaged and unusual input files: each one opens with its sound intact or is
// refused with a message naming the problem, never silently wrong or slow.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "audio/AudioError.h"
#include "audio/AudioInformation2.h"
#include "audio/EditorEngine.h"
#include "audio/EditorFormats.h"
#include "audio/MediaDecoder.h"
#include "audio/MediaEncoder.h"
#include "framework/SysUtils.h"
#include "tests/audio/AudioTestSignals.h"
#include "tests/support/Gui.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace audioedit;

namespace {

using Bytes = std::vector<uint8_t>;

void Le(Bytes& b, uint64_t x, int n) {
  for (int i = 0; i < n; ++i)
    b.push_back(uint8_t(x >> (8 * i)));
}
void Be(Bytes& b, uint64_t x, int n) {
  for (int i = n - 1; i >= 0; --i)
    b.push_back(uint8_t(x >> (8 * i)));
}
void Tag(Bytes& b, const char* t) {
  b.insert(b.end(), t, t + 4);
}

void WriteBytes(const std::wstring& path, const Bytes& f) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  fwrite(f.data(), 1, f.size(), file);
  fclose(file);
}

Bytes ReadBytes(const std::wstring& path) {
  Bytes b;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return b;
  fseek(f, 0, SEEK_END);
  b.resize(size_t(ftell(f)));
  fseek(f, 0, SEEK_SET);
  b.resize(fread(b.data(), 1, b.size(), f));
  fclose(f);
  return b;
}

// A WAV header; dataSize and riffSize as given (a crashed recorder's values).
Bytes WavHeader(int tag, int channels, uint32_t rate, int bits, uint32_t dataSize, int align = -1) {
  Bytes h;
  Tag(h, "RIFF");
  Le(h, dataSize + 36, 4);
  Tag(h, "WAVE");
  Tag(h, "fmt ");
  Le(h, 16, 4);
  Le(h, tag, 2);
  Le(h, channels, 2);
  Le(h, rate, 4);
  if (align < 0) align = channels * bits / 8;
  Le(h, rate * uint32_t(align), 4);
  Le(h, align, 2);
  Le(h, bits, 2);
  Tag(h, "data");
  Le(h, dataSize, 4);
  return h;
}

// 16-bit samples of a sine at the given peak in every channel.
Bytes Pcm16(int channels, int frames, double peak, double hz = 441.0, int rate = 44100) {
  Bytes d;
  for (int i = 0; i < frames; ++i) {
    int v = int(std::lround(peak * 32767 * std::sin(2 * audiotest::kPi * hz * i / rate)));
    for (int c = 0; c < channels; ++c)
      Le(d, uint16_t(int16_t(v)), 2);
  }
  return d;
}

float DocumentPeak(const EditorEngine& e) {
  std::vector<float> f(size_t(e.Length() * e.Channels()));
  e.ReadFrames(0, e.Length(), f.data());
  float peak = 0;
  for (float v : f)
    peak = std::max(peak, std::fabs(v));
  return peak;
}

std::wstring Dir() {
  static std::wstring d = testsupport::MakeTempDir(L"damaged-input");
  return d;
}

std::string Narrow(const std::wstring& w) {
  return std::string(w.begin(), w.end());
}

// A FLAC file of 16-bit stereo samples, through the library's encoder.
void WriteFlac(const std::wstring& path, const std::vector<int16_t>& pcm, int rate) {
  std::string name(path.begin(), path.end());
  AVFormatContext* fmt = nullptr;
  ASSERT_GE(avformat_alloc_output_context2(&fmt, nullptr, "flac", name.c_str()), 0);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_FLAC);
  ASSERT_NE(codec, nullptr);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->sample_rate = rate;
  av_channel_layout_default(&ctx->ch_layout, 2);
  ctx->sample_fmt = AV_SAMPLE_FMT_S16;
  ctx->time_base = {1, rate};
  ASSERT_GE(avcodec_open2(ctx, codec, nullptr), 0);
  AVStream* st = avformat_new_stream(fmt, nullptr);
  avcodec_parameters_from_context(st->codecpar, ctx);
  st->time_base = ctx->time_base;
  ASSERT_GE(avio_open(&fmt->pb, name.c_str(), AVIO_FLAG_WRITE), 0);
  ASSERT_GE(avformat_write_header(fmt, nullptr), 0);
  AVFrame* frame = av_frame_alloc();
  AVPacket* pkt = av_packet_alloc();
  auto drain = [&] {
    while (avcodec_receive_packet(ctx, pkt) >= 0) {
      av_packet_rescale_ts(pkt, ctx->time_base, st->time_base);
      pkt->stream_index = 0;
      av_interleaved_write_frame(fmt, pkt);
    }
  };
  const int step = ctx->frame_size > 0 ? ctx->frame_size : 4096;
  for (size_t at = 0; at < pcm.size() / 2; at += size_t(step)) {
    int n = int(std::min<size_t>(size_t(step), pcm.size() / 2 - at));
    frame->nb_samples = n;
    frame->format = ctx->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
    frame->sample_rate = rate;
    ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
    std::memcpy(frame->data[0], pcm.data() + at * 2, size_t(n) * 4);
    frame->pts = int64_t(at);
    avcodec_send_frame(ctx, frame);
    av_frame_unref(frame);
    drain();
  }
  avcodec_send_frame(ctx, nullptr);
  drain();
  av_write_trailer(fmt);
  avio_closep(&fmt->pb);
  avformat_free_context(fmt);
  av_frame_free(&frame);
  av_packet_free(&pkt);
  avcodec_free_context(&ctx);
}

// Frame of the first sample of channel 0 above the level, -1 when none.
int64_t Onset(const EditorEngine& e, float level) {
  std::vector<float> f(size_t(e.Length() * e.Channels()));
  e.ReadFrames(0, e.Length(), f.data());
  for (size_t i = 0; i < f.size(); i += size_t(e.Channels()))
    if (std::fabs(f[i]) > level) return int64_t(i) / e.Channels();
  return -1;
}

} // namespace

TEST(DamagedInput, MoreThanTwoChannelsKeepTheLevelOfThePlayer) {
  for (int ch = 3; ch <= 8; ++ch) {
    SCOPED_TRACE(ch);
    std::wstring path = Dir() + L"\\multi" + std::to_wstring(ch) + L".wav";
    Bytes d = Pcm16(ch, 4410, 0.9);
    Bytes f = WavHeader(1, ch, 44100, 16, uint32_t(d.size()));
    f.insert(f.end(), d.begin(), d.end());
    WriteBytes(path, f);
    EditorEngine e;
    e.SetTempDirectory(Dir());
    e.OpenFile(path);
    ASSERT_EQ(e.Channels(), 2);
    EXPECT_EQ(e.Length(), 4410);
    float editor = DocumentPeak(e);
    // The player's 16-bit down-mix of the same file.
    audio::TMediaDecoder p;
    p.Open(path);
    p.SetOutputFormat(44100, 2);
    std::vector<int16_t> s = p.Read(4410);
    int player = 0;
    for (int16_t v : s)
      player = std::max(player, std::abs(int(v)));
    EXPECT_LE(editor, 0.9f + 0.01f);
    EXPECT_NEAR(editor, player / 32768.0f, 0.01f);
    EXPECT_GT(editor, 0.2f);
  }
}

TEST(DamagedInput, NonFiniteFloatSamplesReadAsSilenceAndAreReported) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> samples(2000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = 0.25f * float(std::sin(i * 0.05));
  samples[100] = nan;
  samples[700] = inf;
  samples[1500] = -inf;
  auto bits = [](float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    return b;
  };
  auto wav = [&] {
    Bytes f = WavHeader(3, 1, 8000, 32, uint32_t(samples.size() * 4));
    for (float v : samples)
      Le(f, bits(v), 4);
    return f;
  };
  auto au = [&] {
    Bytes f;
    Tag(f, ".snd");
    Be(f, 24, 4);
    Be(f, samples.size() * 4, 4);
    Be(f, 6, 4);
    Be(f, 8000, 4);
    Be(f, 1, 4);
    for (float v : samples)
      Be(f, bits(v), 4);
    return f;
  };
  auto aifc = [&] {
    Bytes comm, f;
    Be(comm, 1, 2);
    Be(comm, samples.size(), 4);
    Be(comm, 32, 2);
    // 8000 as an 80-bit extended number.
    Be(comm, 0x400B, 2);
    Be(comm, 0xFA00000000000000ull, 8);
    Tag(comm, "fl32");
    comm.push_back(0);
    comm.push_back(0);
    Tag(f, "FORM");
    Be(f, 4 + 8 + comm.size() + 16 + samples.size() * 4, 4);
    Tag(f, "AIFC");
    Tag(f, "COMM");
    Be(f, comm.size(), 4);
    f.insert(f.end(), comm.begin(), comm.end());
    Tag(f, "SSND");
    Be(f, 8 + samples.size() * 4, 4);
    Be(f, 0, 8);
    for (float v : samples)
      Be(f, bits(v), 4);
    return f;
  };
  struct Case {
    const wchar_t* name;
    Bytes bytes;
  } cases[] = {{L"nan.wav", wav()}, {L"nan.au", au()}, {L"nan.aifc", aifc()}};
  for (auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    std::wstring path = Dir() + L"\\" + c.name;
    WriteBytes(path, c.bytes);
    EditorEngine e;
    e.SetTempDirectory(Dir());
    e.OpenFile(path);
    ASSERT_EQ(e.Length(), 2000);
    std::vector<float> f(2000);
    e.ReadFrames(0, 2000, f.data());
    for (float v : f)
      ASSERT_TRUE(std::isfinite(v));
    EXPECT_EQ(f[100], 0.0f);
    EXPECT_EQ(f[700], 0.0f);
    EXPECT_NEAR(f[101], samples[101], 1e-6);
    EXPECT_NE(e.LoadNotice().find(L"3 samples"), std::wstring::npos) << Narrow(e.LoadNotice());
    // Normalize is not poisoned: it raises the sound to the full level.
    e.SetSelection(0, e.Length());
    e.Normalize(100, false);
    EXPECT_NEAR(DocumentPeak(e), 1.0f, 0.02f);
  }
  // The same samples through the general decoder (wanted at another rate).
  EditorEngine e;
  e.SetTempDirectory(Dir());
  e.NewFile(16000, 1);
  e.PasteFromFile(Dir() + L"\\nan.wav");
  EXPECT_TRUE(std::isfinite(DocumentPeak(e)));
  EXPECT_NE(e.LoadNotice().find(L"not numbers"), std::wstring::npos);
}

TEST(DamagedInput, UnfinishedSizesReadToTheEndOfTheFile) {
  Bytes d = Pcm16(2, 1000, 0.5);
  auto wav = [&](uint32_t size) {
    Bytes f = WavHeader(1, 2, 44100, 16, size);
    f.insert(f.end(), d.begin(), d.end());
    return f;
  };
  auto aiff = [&](uint32_t frames, uint32_t ssnd) {
    Bytes f;
    Tag(f, "FORM");
    Be(f, 0, 4);
    Tag(f, "AIFF");
    Tag(f, "COMM");
    Be(f, 18, 4);
    Be(f, 2, 2);
    Be(f, frames, 4);
    Be(f, 16, 2);
    Be(f, 0x400E, 2); // 44100
    Be(f, 0xAC44000000000000ull, 8);
    Tag(f, "SSND");
    Be(f, ssnd, 4);
    Be(f, 0, 8);
    for (size_t i = 0; i < d.size(); i += 2) {
      f.push_back(d[i + 1]);
      f.push_back(d[i]);
    }
    return f;
  };
  auto au = [&](uint32_t size) {
    Bytes f;
    Tag(f, ".snd");
    Be(f, 24, 4);
    Be(f, size, 4);
    Be(f, 3, 4);
    Be(f, 44100, 4);
    Be(f, 2, 4);
    for (size_t i = 0; i < d.size(); i += 2) {
      f.push_back(d[i + 1]);
      f.push_back(d[i]);
    }
    return f;
  };
  struct Case {
    const wchar_t* name;
    Bytes bytes;
  } cases[] = {
      {L"size0.wav", wav(0)},       {L"sizeFF.wav", wav(0xFFFFFFFFu)},
      {L"frames0.aif", aiff(0, 0)}, {L"ssndFF.aif", aiff(0, 0xFFFFFFFFu)},
      {L"size0.au", au(0)},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    std::wstring path = Dir() + L"\\" + c.name;
    WriteBytes(path, c.bytes);
    EditorEngine e;
    e.SetTempDirectory(Dir());
    e.OpenFile(path);
    EXPECT_EQ(e.Length(), 1000);
    EXPECT_NEAR(DocumentPeak(e), 0.5f, 0.01f);
    // The history list shows the same length.
    TAudioInformation2 info;
    info.OpenFile(path);
    EXPECT_NEAR(info.Duration(), 1000 * 1000 / 44100, 2);
  }
}

TEST(DamagedInput, AbsurdHeadersAreRefusedByName) {
  Bytes d(4000, 0x10);
  auto wav = [&](int ch, uint32_t rate, int bits, int align = -1) {
    Bytes f = WavHeader(1, ch, rate, bits, uint32_t(d.size()), align);
    f.insert(f.end(), d.begin(), d.end());
    return f;
  };
  struct Case {
    const wchar_t* name;
    Bytes bytes;
    const wchar_t* says;
  } cases[] = {
      {L"rate500.wav", wav(1, 500, 16), L"500 Hz"},
      {L"rate900k.wav", wav(2, 900000, 16), L"900000 Hz"},
      {L"rate500-6ch.wav", wav(6, 500, 16), L"500 Hz"},
      {L"bits4.wav", wav(1, 8000, 4, 1), L"4 bits"},
      {L"bits7-3ch.wav", wav(3, 8000, 7, 3), L"7 bits"},
      {L"channels.wav", wav(3, 8000, 16, 4), L"channels"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    std::wstring path = Dir() + L"\\" + c.name;
    WriteBytes(path, c.bytes);
    EditorEngine e;
    e.SetTempDirectory(Dir());
    try {
      e.OpenFile(path);
      ADD_FAILURE() << "opened";
    } catch (const EAudioError& x) {
      EXPECT_NE(x.Message().find(c.says), std::wstring::npos) << Narrow(x.Message());
    }
    EXPECT_FALSE(e.HasDocument());
    // The player and the history list refuse it as well.
    audio::TMediaDecoder p;
    EXPECT_THROW(p.Open(path), EAudioError);
  }
}

TEST(DamagedInput, DurationsAreBoundedByTheData) {
  // Six channels go through the general decoder; the header claims ~2 GB.
  Bytes d = Pcm16(6, 44100, 0.5);
  Bytes f = WavHeader(1, 6, 44100, 16, 0x7FFFFFF0u);
  f.insert(f.end(), d.begin(), d.end());
  std::wstring path = Dir() + L"\\claims.wav";
  WriteBytes(path, f);
  TAudioInformation2 info;
  info.OpenFile(path);
  EXPECT_LE(info.Duration(), 1001);
  EXPECT_GE(info.Duration(), 999);
  audio::TMediaDecoder p;
  p.Open(path);
  EXPECT_LE(p.Length(), 44101);
}

TEST(DamagedInput, AMillionEmptyChunksAreRefusedQuickly) {
  Bytes f;
  Tag(f, "RIFF");
  Le(f, 0, 4);
  Tag(f, "WAVE");
  f.reserve(8u << 20);
  for (int i = 0; i < 1000000; ++i) {
    Tag(f, "junk");
    Le(f, 0, 4);
  }
  std::wstring path = Dir() + L"\\chunks.wav";
  WriteBytes(path, f);
  EditorEngine e;
  e.SetTempDirectory(Dir());
  auto t0 = std::chrono::steady_clock::now();
  try {
    e.OpenFile(path);
    ADD_FAILURE() << "opened";
  } catch (const EAudioError& x) {
    EXPECT_NE(x.Message().find(L"damaged"), std::wstring::npos) << Narrow(x.Message());
  }
  // The player and the history list give up as quickly.
  audio::TMediaDecoder p;
  EXPECT_THROW(p.Open(path), EAudioError);
  TAudioInformation2 info;
  EXPECT_THROW(info.OpenFile(path), EAudioError);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST(DamagedInput, DevicesAndPipesAreNotOpened) {
  std::wstring real = Dir() + L"\\real.wav";
  Bytes d = Pcm16(1, 100, 0.5);
  Bytes f = WavHeader(1, 1, 8000, 16, uint32_t(d.size()));
  f.insert(f.end(), d.begin(), d.end());
  WriteBytes(real, f);
  EXPECT_TRUE(IsOrdinaryFile(real));
  EXPECT_TRUE(IsOrdinaryFile(L"\\\\?\\" + real));
  for (const wchar_t* name :
       {L"COM1", L"com3.wav", L"C:\\music\\AUX.mp3", L"NUL", L"con", L"LPT1.txt", L"\\\\.\\COM1",
        L"\\\\.\\pipe\\korvane-test", L"\\\\?\\GLOBALROOT\\Device\\Null", L"CONIN$", L""}) {
    SCOPED_TRACE(Narrow(name));
    EXPECT_FALSE(IsOrdinaryFile(name));
    auto t0 = std::chrono::steady_clock::now();
    EditorEngine e;
    e.SetTempDirectory(Dir());
    EXPECT_THROW(e.OpenFile(name), EAudioError);
    audio::TMediaDecoder p;
    EXPECT_THROW(p.Open(name), EAudioError);
    TAudioInformation2 info;
    EXPECT_THROW(info.OpenFile(name), EAudioError);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
  }
  EXPECT_FALSE(IsOrdinaryFile(Dir()));
}

TEST(DamagedInput, DamagedOggKeepsItsTimelineAndIsReported) {
  // A quiet tone, then a loud one from 2 s: after damage before it, the loud
  // tone must still start at 2 s.
  const int rate = 44100;
  std::vector<int16_t> pcm = audiotest::Tone(rate, 2, size_t(rate) * 3, 440.0, 0.1);
  std::vector<int16_t> loud = audiotest::Tone(rate, 2, size_t(rate), 1000.0, 0.5);
  std::copy(loud.begin(), loud.end(), pcm.begin() + rate * 2 * 2);
  std::wstring clean = Dir() + L"\\clean.ogg", broken = Dir() + L"\\broken.ogg";
  {
    audio::TOggSettings s;
    auto enc = audio::CreateOggEncoder(clean, s);
    enc->Write(pcm.data(), pcm.size() / 2);
    enc->Close();
  }
  Bytes b = ReadBytes(clean);
  ASSERT_GT(b.size(), 8000u);
  // Damage a few bytes of an audio page inside the quiet part (after the
  // headers, whose granule positions are 0).
  size_t at = 0;
  for (size_t p = 0; p + 27 < b.size() && !at; ++p) {
    if (std::memcmp(&b[p], "OggS", 4) != 0) continue;
    uint64_t granule = 0;
    for (int i = 7; i >= 0; --i)
      granule = granule << 8 | b[p + 6 + i];
    if (granule > uint64_t(rate) / 2 && granule < uint64_t(rate) * 18 / 10)
      at = p + 27 + b[p + 26] + 16;
  }
  ASSERT_NE(at, 0u);
  for (size_t i = at; i < at + 4; ++i)
    b[i] ^= 0x5A;
  WriteBytes(broken, b);
  EditorEngine ok, bad;
  ok.SetTempDirectory(Dir());
  bad.SetTempDirectory(Dir());
  ok.OpenFile(clean);
  bad.OpenFile(broken);
  EXPECT_TRUE(ok.LoadNotice().empty());
  EXPECT_NE(bad.LoadNotice().find(L"damaged"), std::wstring::npos);
  EXPECT_NEAR(double(bad.Length()), double(ok.Length()), 2048);
  // The tone's onset stays where it was.
  EXPECT_NEAR(double(Onset(ok, 0.25f)), double(rate) * 2, 1024);
  EXPECT_NEAR(double(Onset(bad, 0.25f)), double(rate) * 2, 1024);
  TAudioInformation2 info;
  info.OpenFile(broken);
  EXPECT_NEAR(info.Duration(), double(bad.Length()) * 1000 / rate, 60);
}

TEST(DamagedInput, DamagedFlacKeepsItsTimelineAndIsReported) {
  const int rate = 44100;
  std::vector<int16_t> pcm = audiotest::Tone(rate, 2, size_t(rate) * 3, 440.0, 0.1);
  std::vector<int16_t> loud = audiotest::Tone(rate, 2, size_t(rate), 1000.0, 0.5);
  std::copy(loud.begin(), loud.end(), pcm.begin() + rate * 2 * 2);
  std::wstring clean = Dir() + L"\\clean.flac";
  WriteFlac(clean, pcm, rate);
  Bytes b = ReadBytes(clean);
  ASSERT_GT(b.size(), 20000u);
  struct Case {
    const wchar_t* name;
    double where; // fraction of the file
  } cases[] = {{L"early.flac", 0.2}, {L"middle.flac", 0.45}, {L"late.flac", 0.9}};
  EditorEngine ok;
  ok.SetTempDirectory(Dir());
  ok.OpenFile(clean);
  EXPECT_TRUE(ok.LoadNotice().empty());
  for (auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    Bytes d = b;
    size_t at = size_t(double(d.size()) * c.where);
    for (size_t i = at; i < at + 3; ++i)
      d[i] ^= 0xA5;
    std::wstring path = Dir() + L"\\" + c.name;
    WriteBytes(path, d);
    EditorEngine bad;
    bad.SetTempDirectory(Dir());
    bad.OpenFile(path);
    EXPECT_NE(bad.LoadNotice().find(L"damaged"), std::wstring::npos);
    EXPECT_EQ(bad.Length(), ok.Length());
    if (c.where < 0.6) EXPECT_NEAR(double(Onset(bad, 0.25f)), double(rate) * 2, 16);
    TAudioInformation2 info;
    info.OpenFile(path);
    EXPECT_NEAR(info.Duration(), 3000, 30);
  }
}

TEST(DamagedInput, CutShortFilesKeepTheLengthTheirHeaderCounts) {
  // The history list shows the header's length; the editor opens as much.
  const int rate = 44100;
  std::vector<int16_t> pcm = audiotest::Tone(rate, 2, size_t(rate) * 3, 440.0, 0.3);
  std::wstring flac = Dir() + L"\\whole.flac", mp3 = Dir() + L"\\whole.mp3";
  WriteFlac(flac, pcm, rate);
  {
    audio::TMp3Settings s;
    auto enc = audio::CreateMp3Encoder(mp3, s);
    enc->Write(pcm.data(), pcm.size() / 2);
    enc->Close();
  }
  for (const std::wstring& whole : {flac, mp3}) {
    SCOPED_TRACE(Narrow(whole));
    Bytes b = ReadBytes(whole);
    b.resize(b.size() * 6 / 10);
    std::wstring cut = Dir() + L"\\cut" + whole.substr(whole.find_last_of(L'.'));
    WriteBytes(cut, b);
    EditorEngine e;
    e.SetTempDirectory(Dir());
    e.OpenFile(cut);
    EXPECT_NEAR(double(e.Length()), 3.0 * rate, 2);
    EXPECT_NE(e.LoadNotice().find(L"damaged"), std::wstring::npos);
    TAudioInformation2 info;
    info.OpenFile(cut);
    EXPECT_NEAR(info.Duration(), 3000, 30);
    // The sound before the cut is kept.
    EXPECT_NEAR(Onset(e, 0.2f), 0, 200);
  }
}
