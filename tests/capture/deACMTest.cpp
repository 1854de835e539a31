#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "capture/deACM.h"
#include "capture/deAudioIO.h"
#include "framework/Streams.h"

namespace {

TdeWaveFormat Pcm(DWORD rate, WORD channels, WORD bits) {
  TdeWaveFormat f;
  f.SetSamplesPerSec(rate);
  f.SetChannels(channels);
  f.SetBitsPerSample(bits);
  f.SetBlockAlign(static_cast<WORD>(channels * bits / 8));
  f.SetAvgBytesPerSec(rate * channels * bits / 8);
  return f;
}

// --- Result codes -----------------------------------------------------------

struct MessageCase {
  MMRESULT code;
  const wchar_t* context;
  const wchar_t* expected;
};

class MMResultMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(MMResultMessageTest, Text) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(MMResultMessage(c.code, c.context), std::wstring(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MMResultMessageTest,
    testing::Values(
        MessageCase{2, L"Error opening audio device for input.",
                    L"Error opening audio device for input.\r\nBad device ID."},
        MessageCase{1, L"Error opening audio device for input.",
                    L"Error opening audio device for input.\r\nAn unexpected error has occurred "
                    L"(code #1)."},
        MessageCase{2, L"", L"Bad device ID."}, MessageCase{3, L"", L"Driver not enabled."},
        MessageCase{4, L"", L"Device already allocated."},
        MessageCase{5, L"", L"The specified handle is invalid."},
        MessageCase{6, L"",
                    L"A suitable driver is not available to provide valid format selections."},
        MessageCase{7, L"", L"The system is unable to allocate resources."},
        MessageCase{8, L"", L"Function not supported."},
        MessageCase{10, L"", L"At least one flag is invalid."},
        MessageCase{11, L"", L"At least one parameter is invalid."},
        MessageCase{12, L"", L"Device handle in use."},
        MessageCase{32, L"", L"The selected audio format is not supported on this machine."},
        MessageCase{33, L"", L"Audio device is still playing."},
        MessageCase{34, L"", L"Cannot perform this action on a header that has not been prepared."},
        MessageCase{35, L"", L"Device is synchronous."},
        MessageCase{512, L"", L"The requested operation cannot be performed."},
        MessageCase{513, L"", L"The conversion stream is already in use."},
        MessageCase{514, L"",
                    L"Cannot perform this action on a header that has not been prepared."},
        MessageCase{9, L"", L"An unexpected error has occurred (code #9)."},
        MessageCase{1000, L"X", L"X\r\nAn unexpected error has occurred (code #1000)."}));

TEST(CheckMMResultTest, RaisesTheGivenClassOnlyOnFailure) {
  EXPECT_NO_THROW(CheckMMResult<EACMAudioInError>(0, L"ctx"));
  try {
    CheckMMResult<EACMAudioInError>(2, deStrings::sOpenIn);
    FAIL() << "no exception";
  } catch (const EACMAudioInError& e) {
    EXPECT_EQ(e.Message(), L"Error opening audio device for input.\r\nBad device ID.");
  }
  EXPECT_THROW(CheckMMResult<EACMConversionError>(512), EACMError);
  EXPECT_THROW(CheckMMResult<EACMAudioOutError>(7), EACMAudioIOError);
}

// --- Wave format buffer -----------------------------------------------------

TEST(TdeWaveFormatTest, NewFormatReadsTheDefaults) {
  TdeWaveFormat f;
  EXPECT_EQ(f.FormatTag(), 1);
  EXPECT_EQ(f.Channels(), 2);
  EXPECT_EQ(f.SamplesPerSec(), 11025u);
  EXPECT_EQ(f.AvgBytesPerSec(), 22050u);
  EXPECT_EQ(f.BlockAlign(), 2);
  EXPECT_EQ(f.BitsPerSample(), 8);
  EXPECT_EQ(f.ExtraSize(), 0);
  for (int i = 18; i < TdeWaveFormat::BufferSize; ++i)
    ASSERT_EQ(f.Buffer()[i], 0) << i;
  EXPECT_EQ(sizeof(f.Buffer()[0]) * TdeWaveFormat::BufferSize, 512u);
}

TEST(TdeWaveFormatTest, HeaderFieldsLieAtTheirOffsets) {
  TdeWaveFormat f = Pcm(44100, 2, 16);
  const BYTE* b = f.Buffer();
  auto w = [&](int o) { return static_cast<unsigned>(b[o] | (b[o + 1] << 8)); };
  auto d = [&](int o) { return w(o) | (w(o + 2) << 16); };
  EXPECT_EQ(w(0), 1u);
  EXPECT_EQ(w(2), 2u);
  EXPECT_EQ(d(4), 44100u);
  EXPECT_EQ(d(8), 176400u);
  EXPECT_EQ(w(12), 4u);
  EXPECT_EQ(w(14), 16u);
  EXPECT_EQ(w(16), 0u);
}

TEST(TdeWaveFormatTest, ExtraSizeLimit) {
  TdeWaveFormat f;
  EXPECT_NO_THROW(f.SetExtraSize(494));
  EXPECT_EQ(f.ExtraSize(), 494);
  try {
    f.SetExtraSize(495);
    FAIL() << "no exception";
  } catch (const EACMError& e) {
    EXPECT_EQ(e.Message(), L"The wave format buffer is too small.");
  }
  EXPECT_EQ(f.ExtraSize(), 494);
}

TEST(TdeWaveFormatTest, EqualsComparesAllBytes) {
  TdeWaveFormat a, b;
  EXPECT_TRUE(a.Equals(b));
  b.Buffer()[300] = 7; // beyond the extra size
  EXPECT_FALSE(a.Equals(b));
  a.Assign(b);
  EXPECT_TRUE(a.Equals(b));
  EXPECT_EQ(a.Buffer()[300], 7);
}

TEST(TdeWaveFormatTest, ResetKeepsExtraBytes) {
  TdeWaveFormat f = Pcm(48000, 1, 16);
  f.SetExtraSize(4);
  f.Buffer()[18] = 0xAB;
  f.Reset();
  EXPECT_EQ(f.SamplesPerSec(), 11025u);
  EXPECT_EQ(f.ExtraSize(), 0);
  EXPECT_EQ(f.Buffer()[18], 0xAB);
}

TEST(TdeWaveFormatTest, FormatBufferStreamsAllBytes) {
  // The recorder's stored format: 16-bit stereo at 44,100 Hz with 12 leftover extra bytes.
  TdeWaveFormat stored = Pcm(44100, 2, 16);
  stored.SetExtraSize(12);
  for (int i = 0; i < 12; ++i)
    stored.Buffer()[18 + i] = static_cast<BYTE>(0xC0 + i);
  TMemoryStream stream;
  stored.WriteFormatBuffer(stream);
  EXPECT_EQ(stream.Size(), 512);
  stream.SetPosition(0);
  TdeWaveFormat read;
  read.ReadFormatBuffer(stream);
  EXPECT_TRUE(read.Equals(stored));
  EXPECT_EQ(read.SamplesPerSec(), 44100u);
  EXPECT_EQ(read.ExtraSize(), 12);
  EXPECT_EQ(std::wstring(TdeWaveFormat::StreamedName), L"FormatBuffer");
  // A short stream is an error, not a half-read format.
  TMemoryStream shortStream;
  shortStream.WriteBuffer(stored.Buffer(), 100);
  shortStream.SetPosition(0);
  EXPECT_THROW(read.ReadFormatBuffer(shortStream), EReadError);
}

TEST(TdeWaveFormatTest, AssignCopiesOnlyBetweenFormats) {
  TdeWaveFormat a = Pcm(48000, 1, 16), b;
  b.Assign(static_cast<TPersistent*>(&a));
  EXPECT_TRUE(b.Equals(a));
  // Copying a format into another kind of object leaves it unchanged, silently.
  struct Other : TPersistent {
    int value = 5;
  } other;
  EXPECT_NO_THROW(other.Assign(&a));
  EXPECT_EQ(other.value, 5);
}

// --- Buffer size and pool -----------------------------------------------------

struct SizeCase {
  DWORD size;
  WORD channels, bits;
  bool autoAdjust;
  DWORD expected; // 0: raises
};

class BufferSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(BufferSizeTest, CutToWholeFrames) {
  const SizeCase& c = GetParam();
  TdeWaveFormat f = Pcm(44100, c.channels, c.bits);
  if (c.expected == 0) {
    try {
      deAdjustBufferSize(c.size, f, c.autoAdjust);
      FAIL() << "no exception";
    } catch (const EACMAudioInError& e) {
      EXPECT_EQ(e.Message(), L"Invalid input buffer size.");
    }
  } else {
    EXPECT_EQ(deAdjustBufferSize(c.size, f, c.autoAdjust), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BufferSizeTest,
    testing::Values(SizeCase{22050, 2, 16, true, 22048}, SizeCase{22050, 1, 8, true, 22050},
                    SizeCase{22050, 2, 16, false, 22050}, SizeCase{3, 2, 16, false, 0},
                    SizeCase{22050, 1, 16, true, 22050}, SizeCase{22051, 2, 8, true, 22050},
                    SizeCase{11025, 2, 16, true, 11024}));

TEST(TdeBufferPoolTest, ChoosesExactThenSmallestExcessBelowTheRequest) {
  struct Case {
    DWORD request;
    DWORD expectedSize; // size stored in the block handed out
    bool reused;
  };
  for (const Case& c : {Case{64, 64, true}, Case{32, 40, true}, Case{20, 20, false}}) {
    TdeBufferPool pool;
    void* a = pool.Get(40);
    void* b = pool.Get(64);
    pool.Return(a);
    pool.Return(b);
    void* got = pool.Get(c.request);
    EXPECT_EQ(TdeBufferPool::SizeOf(got), c.expectedSize) << c.request;
    EXPECT_EQ(got == a || got == b, c.reused) << c.request;
    EXPECT_EQ(pool.BlockCount(), c.reused ? 2u : 3u);
  }
}

TEST(TdeBufferPoolTest, HeadersAndDataBlocksKeepTheirPlaces) {
  TdeBufferPool pool;
  std::vector<void*> blocks;
  for (int i = 0; i < 4; ++i) {
    blocks.push_back(pool.Get(32));
    blocks.push_back(pool.Get(22048));
  }
  for (void* p : blocks)
    pool.Return(p);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TdeBufferPool::SizeOf(pool.Get(32)), 32u);
    EXPECT_EQ(TdeBufferPool::SizeOf(pool.Get(22048)), 22048u);
  }
  EXPECT_EQ(pool.BlockCount(), 8u);
  pool.Clear();
  EXPECT_EQ(pool.BlockCount(), 0u);
  EXPECT_EQ(pool.FreeCount(), 0u);
}

// --- Conversion chain on synthetic buffers -----------------------------------

std::vector<int16_t> Tone(int frames, int rate, double left, double right) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    double v = std::sin(2 * 3.14159265358979 * 1000.0 * i / rate);
    s[2 * i] = static_cast<int16_t>(std::lround(v * left * 32767));
    s[2 * i + 1] = static_cast<int16_t>(std::lround(v * right * 32767));
  }
  return s;
}

TEST(ConversionChainTest, PcmRateChangeIsOneStream) {
  auto chain = deBuildChain(Pcm(44100, 2, 16), Pcm(48000, 2, 16), false);
  ASSERT_GE(chain.size(), 2u);
  ASSERT_LE(chain.size(), 4u);
  EXPECT_TRUE(chain.front().Equals(Pcm(44100, 2, 16)));
  EXPECT_TRUE(chain.back().Equals(Pcm(48000, 2, 16)));
}

TEST(ConversionChainTest, StageConvertsARateAndKeepsTheLevel) {
  TMiniConvertor stage(Pcm(44100, 2, 16), Pcm(48000, 2, 16));
  EXPECT_THROW(stage.Convert(nullptr, 0, true, 0), EACMConversionError);
  stage.Open(false);
  EXPECT_THROW(stage.Open(false), EACMError);
  auto in = Tone(5512, 44100, 0.5, 0.25);
  DWORD out = stage.Convert(in.data(), static_cast<DWORD>(in.size() * 2), true,
                            ACM_STREAMCONVERTF_BLOCKALIGN);
  ASSERT_GT(out, 0u);
  EXPECT_EQ(out % 4, 0u);
  // 5512 frames at 44,100 Hz are about 6000 at 48,000 Hz.
  EXPECT_NEAR(out / 4.0, 5512 * 48000.0 / 44100.0, 64);
  const int16_t* s = reinterpret_cast<const int16_t*>(stage.OutputBuffer());
  int l = 0, r = 0;
  for (DWORD i = 0; i < out / 4; ++i) {
    l = std::max(l, std::abs(int(s[2 * i])));
    r = std::max(r, std::abs(int(s[2 * i + 1])));
  }
  EXPECT_NEAR(l, 16384, 400);
  EXPECT_NEAR(r, 8192, 400);
  stage.Close();
  EXPECT_FALSE(stage.IsOpen());
}

TEST(ConversionChainTest, FpuGuardRestoresTheControlWord) {
  unsigned short before = 0, inside = 0, after = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(before));
  {
    TdeFPUGuard g(true);
    __asm__ __volatile__("fnstcw %0" : "=m"(inside));
  }
  __asm__ __volatile__("fnstcw %0" : "=m"(after));
  EXPECT_EQ(inside & ~0x40, 0x133F); // bit 6 always reads as set
  EXPECT_EQ(after, before);
}

} // namespace
