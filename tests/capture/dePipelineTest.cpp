#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "capture/deACM.h"
#include "capture/deAudioControls.h"

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

// A component that publishes blocks pushed into it.
class FakeSource : public TComponent, public IdeAudioSubject {
public:
  FakeSource() : TComponent(nullptr) { Subject = new TdeAudioSubject(this, &Fmt); }
  ~FakeSource() override {
    Destroying();
    delete Subject;
  }
  void Attach(IdeAudioObserver* o) override { Subject->Attach(o); }
  void Detach(IdeAudioObserver* o) override { Subject->Detach(o); }
  TdeWaveFormat* GetFormat() override { return &Fmt; }
  void Push(const void* d, int n) { Subject->Notify(this, const_cast<void*>(d), n); }

  TdeWaveFormat Fmt;
  TdeAudioSubject* Subject;
};

// An observer whose reaction each test chooses.
class Probe : public TComponent, public IdeAudioObserver {
public:
  explicit Probe(std::function<void(Probe&)> react = {})
      : TComponent(nullptr), React(std::move(react)) {}
  void AudioData(IdeAudioSubject* s, void*, int n) override {
    ++Calls;
    LastSize = n;
    LastSubject = s;
    if (React) React(*this);
  }
  std::function<void(Probe&)> React;
  int Calls = 0;
  int LastSize = -1;
  IdeAudioSubject* LastSubject = nullptr;
};

TEST(AudioSubjectTest, ObserverThatDetachesItselfDoesNotSkipTheNext) {
  FakeSource src;
  Probe second;
  Probe first([&](Probe& self) { src.Detach(&self); });
  src.Attach(&first);
  src.Attach(&second);
  int block = 0;
  src.Push(&block, 4);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 1);
  EXPECT_EQ(second.LastSubject, static_cast<IdeAudioSubject*>(&src));
  src.Push(&block, 4);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 2);
}

TEST(AudioSubjectTest, ObserverErrorsTravelUnlessTheHandlerClearsRaise) {
  struct Case {
    bool clearRaise;
    bool expectThrow;
    int secondCalls;
  };
  for (const Case& c : {Case{false, true, 0}, Case{true, false, 1}}) {
    FakeSource src;
    Probe bad([](Probe&) { throw EACMConversionError(L"Conversion not possible."); });
    Probe good;
    src.Attach(&bad);
    src.Attach(&good);
    int handled = 0;
    src.Subject->OnError = [&](IdeAudioSubject* s, IdeAudioObserver* o, Exception& e, bool& raise) {
      ++handled;
      EXPECT_EQ(s, static_cast<IdeAudioSubject*>(&src));
      EXPECT_EQ(o, static_cast<IdeAudioObserver*>(&bad));
      EXPECT_EQ(e.Message(), L"Conversion not possible.");
      EXPECT_TRUE(raise);
      if (c.clearRaise) raise = false;
    };
    int block = 0;
    if (c.expectThrow)
      EXPECT_THROW(src.Push(&block, 4), EACMConversionError);
    else
      EXPECT_NO_THROW(src.Push(&block, 4));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(good.Calls, c.secondCalls);
  }
}

TEST(AudioObserverTest, SourceRules) {
  FakeSource a, b;
  TComponent plain(nullptr);
  TdeAudioControlSource level(nullptr);
  level.SetAudioSource(&a);
  EXPECT_EQ(level.AudioSource(), &a);
  EXPECT_EQ(a.Subject->ObserverCount(), 1);

  struct Case {
    TComponent* source;
    const wchar_t* text;
  };
  for (const Case& c : {Case{&level, L"Component cannot observe itself."},
                        Case{&plain, L"The selected component is not an audio subject."}}) {
    try {
      level.SetAudioSource(c.source);
      ADD_FAILURE() << "no exception";
    } catch (const EACMError& e) {
      EXPECT_EQ(e.Message(), c.text);
    }
    EXPECT_EQ(level.AudioSource(), &a);
    EXPECT_EQ(a.Subject->ObserverCount(), 1);
  }

  level.SetAudioSource(&b);
  EXPECT_EQ(a.Subject->ObserverCount(), 0);
  EXPECT_EQ(b.Subject->ObserverCount(), 1);
}

TEST(AudioObserverTest, FreedSourceIsForgotten) {
  TdeAudioControlSource level(nullptr);
  {
    FakeSource src;
    level.SetAudioSource(&src);
  }
  EXPECT_EQ(level.AudioSource(), nullptr);
  auto src = std::make_unique<FakeSource>();
  {
    TdeAudioControlSource shortLived(nullptr);
    shortLived.SetAudioSource(src.get());
    EXPECT_EQ(src->Subject->ObserverCount(), 1);
  }
  EXPECT_EQ(src->Subject->ObserverCount(), 0);
}

// --- Peaks ------------------------------------------------------------------

struct PeakCase {
  std::vector<int16_t> samples; // interleaved left, right
  int16_t left, right;
};

class BlockPeaksTest : public testing::TestWithParam<PeakCase> {};

TEST_P(BlockPeaksTest, LargestMagnitudePerChannel) {
  const PeakCase& c = GetParam();
  int16_t l = -1, r = -1;
  deBlockPeaks(c.samples.data(), static_cast<DWORD>(c.samples.size() * 2), l, r);
  EXPECT_EQ(l, c.left);
  EXPECT_EQ(r, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockPeaksTest,
    testing::Values(PeakCase{{100, 1, -3000, -2, 2500, 3}, 3000, 3}, PeakCase{{}, 0, 0},
                    PeakCase{{0, 0, 0, 0}, 0, 0}, PeakCase{{-32768, 32767}, 32767, 32767},
                    PeakCase{{5, -7, 7}, 5, 7} /* trailing half frame ignored */,
                    PeakCase{{-32513, 32512}, 32513, 32512}));

// --- Level source on synthetic blocks ------------------------------------------

std::vector<int16_t> Tone(int frames, int rate, double left, double right) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    double v = std::sin(2 * 3.14159265358979 * 1000.0 * i / rate);
    s[2 * i] = static_cast<int16_t>(std::lround(v * left * 32767));
    s[2 * i + 1] = static_cast<int16_t>(std::lround(v * right * 32767));
  }
  return s;
}

TEST(AudioControlSourceTest, ConvertsTo48kBeforeTakingPeaks) {
  FakeSource src;
  src.Fmt = Pcm(44100, 2, 16);
  TdeAudioControlSource level(nullptr);
  EXPECT_EQ(level.PeakLeft(), 0);
  EXPECT_EQ(level.GetFormat()->SamplesPerSec(), 11025u);
  level.SetAudioSource(&src);
  Probe downstream;
  level.Attach(&downstream);
  int changed = 0;
  level.OnDataChanged = [&](TObject* sender) {
    ++changed;
    EXPECT_EQ(sender, &level);
  };
  struct Case {
    double left, right;
  };
  for (const Case& c : {Case{0.5, 0.25}, Case{0.9, 0.1}, Case{0.0, 0.0}}) {
    auto block = Tone(5512, 44100, c.left, c.right);
    src.Push(block.data(), static_cast<int>(block.size() * 2));
    EXPECT_NEAR(level.PeakLeft(), c.left * 32767, 32767 * 0.02) << c.left;
    EXPECT_NEAR(level.PeakRight(), c.right * 32767, 32767 * 0.02) << c.right;
    const TdeWaveFormat* out = level.GetFormat();
    EXPECT_EQ(out->SamplesPerSec(), 48000u);
    EXPECT_EQ(out->AvgBytesPerSec(), 192000u);
    EXPECT_EQ(out->BlockAlign(), 4);
    EXPECT_TRUE(level.Convertor()->FormatIn()->Equals(src.Fmt));
    // 5512 frames at 44,100 Hz come out as about 6000 frames.
    EXPECT_NEAR(downstream.LastSize / 4.0, 6000, 64);
    EXPECT_EQ(downstream.LastSize % 4, 0);
  }
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(downstream.Calls, 3);
}

TEST(AudioControlSourceTest, KnownSamplesAndEmptyBlock) {
  FakeSource src;
  src.Fmt = Pcm(48000, 2, 16);
  TdeAudioControlSource level(nullptr);
  level.SetAudioSource(&src);
  int changed = 0;
  level.OnDataChanged = [&](TObject*) { ++changed; };
  std::vector<int16_t> block{100, 10, -3000, -20, 2500, 30};
  src.Push(block.data(), static_cast<int>(block.size() * 2));
  EXPECT_EQ(level.PeakLeft(), 3000);
  EXPECT_EQ(level.PeakRight(), 30);
  src.Push(nullptr, 0);
  EXPECT_EQ(level.PeakLeft(), 0);
  EXPECT_EQ(level.PeakRight(), 0);
  EXPECT_EQ(changed, 2);
}

TEST(AudioControlSourceTest, UnconvertibleSourceRaisesEveryBlock) {
  FakeSource src;
  src.Fmt.SetFormatTag(0x7A7A); // no driver knows it
  TdeAudioControlSource level(nullptr);
  level.SetAudioSource(&src);
  int changed = 0;
  level.OnDataChanged = [&](TObject*) { ++changed; };
  std::vector<int16_t> block(400, 1000);
  for (int i = 0; i < 3; ++i)
    EXPECT_THROW(src.Push(block.data(), 800), EACMConversionError);
  EXPECT_EQ(changed, 0);
  EXPECT_FALSE(level.Convertor()->Active());
  EXPECT_EQ(level.PeakLeft(), 0);
}

TEST(AudioConvertorTest, ActiveRules) {
  TdeAudioConvertor conv(nullptr);
  conv.SetFormatIn(Pcm(44100, 2, 16));
  conv.SetFormatOut(Pcm(48000, 2, 16));
  EXPECT_TRUE(conv.Set8087FPUFlag());
  try {
    conv.Convert(nullptr, 0);
    ADD_FAILURE() << "no exception";
  } catch (const EACMConversionError& e) {
    EXPECT_EQ(e.Message(), L"Cannot perform this action while not active.");
  }
  conv.SetRequestRealTime(false);
  conv.SetActive(true);
  EXPECT_GE(conv.StageCount(), 1);
  EXPECT_LE(conv.StageCount(), 3);
  EXPECT_EQ(conv.ChainFormats().size(), static_cast<size_t>(conv.StageCount() + 1));
  try {
    conv.SetRequestRealTime(true);
    ADD_FAILURE() << "no exception";
  } catch (const EACMConversionError& e) {
    EXPECT_EQ(e.Message(), L"Cannot perform this action while active.");
  }
  EXPECT_FALSE(conv.RequestRealTime());
  int converted = 0;
  conv.OnAudioConverted = [&](TObject*, void*, int size, bool&) { converted += size; };
  auto block = Tone(4410, 44100, 0.5, 0.5);
  conv.Convert(block.data(), static_cast<DWORD>(block.size() * 2));
  EXPECT_GT(conv.DataSize(), 0u);
  EXPECT_EQ(converted, static_cast<int>(conv.DataSize()));
  conv.SetActive(false);
  EXPECT_EQ(conv.DataSize(), 0u);
  EXPECT_EQ(conv.StageCount(), 0);
}

} // namespace
