// The engine's own effect arithmetic against its references: the fast
// logarithm and exponential against the long double ones, the compressor,
// the band filters and the flanger against the audio library's filters they
// replace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <numbers>
#include <utility>
#include <vector>

#include "audio/EditorEffects.h"

using namespace audioedit;

namespace {

// Distance in units in the last place of the reference.
double Ulps(double got, long double want) {
  double w = double(want);
  if (w == 0) return got == 0 ? 0 : 1e30;
  double ulp = std::nextafter(std::fabs(w), INFINITY) - std::fabs(w);
  return double(std::fabs((long double)got - want) / ulp);
}

// A sweep with noise, the channels apart, and a stretch of silence.
std::vector<float> Sweep(int rate, int ch, int64_t frames) {
  std::vector<float> in(size_t(frames * ch));
  uint32_t seed = 7;
  for (int64_t i = 0; i < frames; ++i)
    for (int c = 0; c < ch; ++c) {
      seed = seed * 1664525u + 1013904223u;
      double t = double(i) / rate;
      double v = i > 30000 && i < 32000
                     ? 0.0
                     : 0.6 * std::sin(2 * std::numbers::pi * (50 + 3000 * t) * t + c) +
                           0.05 * (double(seed >> 8) / double(1 << 24) - 0.5);
      in[size_t(i * ch + c)] = float(v);
    }
  return in;
}

// Samples of own's output that differ in any bit from ref's, both fed the
// same uneven pieces (odd ones among them: the state carries over, and an
// odd piece ends with a biquad's single-sample step); SIZE_MAX when the
// lengths differ.
size_t BitDifferences(Processor& ref, Processor& own, const std::vector<float>& in, int ch) {
  const int64_t frames = int64_t(in.size()) / ch;
  std::vector<float> want, got;
  for (int64_t pos = 0, step = 1001; pos < frames; pos += step, step = step * 3 % 7919 + 1) {
    int64_t n = std::min(step, frames - pos);
    ref.Process(in.data() + pos * ch, n, want);
    own.Process(in.data() + pos * ch, n, got);
  }
  ref.Finish(want);
  own.Finish(got);
  if (got.size() != want.size()) return SIZE_MAX;
  size_t differ = 0;
  for (size_t i = 0; i < got.size(); ++i)
    if (std::memcmp(&got[i], &want[i], sizeof(float)) != 0) ++differ;
  return differ;
}

} // namespace

TEST(EditorEffects, FastExpAndLogStayWithinFourUlps) {
  double worstExp = 0, worstLog = 0;
  // A dense sweep of the compressor's range and a sparse one of the rest.
  for (double x = -30; x <= 10; x += 0.000731)
    worstExp = std::max(worstExp, Ulps(effects::FastExp(x), std::exp((long double)x)));
  for (double x = -700; x <= 700; x += 0.0917)
    worstExp = std::max(worstExp, Ulps(effects::FastExp(x), std::exp((long double)x)));
  for (double x : {0.0, -0.0, 1e-300, -1e-17, 0.5 * std::numbers::ln2, -0.5 * std::numbers::ln2})
    worstExp = std::max(worstExp, Ulps(effects::FastExp(x), std::exp((long double)x)));
  for (double x = 1e-12; x < 1e6; x *= 1.000917)
    worstLog = std::max(worstLog, Ulps(effects::FastLog(x), std::log((long double)x)));
  for (double x = 0.5; x < 2; x += 0.0000917) // around 1, where the result is small
    if (x != 1) worstLog = std::max(worstLog, Ulps(effects::FastLog(x), std::log((long double)x)));
  for (double x : {4.9e-324, 1e-310, 2.2250738585072014e-308, 1.7e308})
    worstLog = std::max(worstLog, Ulps(effects::FastLog(x), std::log((long double)x)));
  EXPECT_EQ(effects::FastLog(1.0), 0.0);
  EXPECT_EQ(effects::FastExp(0.0), 1.0);
  EXPECT_LE(worstExp, 4.0);
  EXPECT_LE(worstLog, 4.0);
  // Outside their ranges they are the C runtime's.
  EXPECT_TRUE(std::isnan(effects::FastLog(-1.0)));
  EXPECT_EQ(effects::FastLog(0.0), -INFINITY);
  EXPECT_EQ(effects::FastExp(800.0), INFINITY);
  EXPECT_EQ(effects::FastExp(-800.0), 0.0);
}

TEST(EditorEffects, TwoLaneExpAndLogGiveTheSingleResults) {
  auto lanes = [](__m128d v) {
    double d[2];
    _mm_storeu_pd(d, v);
    return std::pair(d[0], d[1]);
  };
  for (double x = -700; x <= 700; x += 0.0371) {
    auto [a, b] = lanes(effects::FastExp2(_mm_set_pd(-x * 0.5, x)));
    ASSERT_EQ(a, effects::FastExp(x)) << x;
    ASSERT_EQ(b, effects::FastExp(-x * 0.5)) << x;
  }
  for (double x = 1e-300; x < 1e300; x *= 1.0137) {
    auto [a, b] = lanes(effects::FastLog2(_mm_set_pd(1.0 / x, x)));
    ASSERT_EQ(a, effects::FastLog(x)) << x;
    ASSERT_EQ(b, effects::FastLog(1.0 / x)) << x;
  }
}

TEST(EditorEffects, CompressorMatchesTheLibraryFilter) {
  constexpr int kRate = 44100;
  struct Case {
    float thresholdDb, ratePercent, rmsMs;
    int channels;
  } cases[] = {
      {-20, 50, 20, 2}, {-20, 100, 1, 2}, {-40, 10, 300, 1}, {-3, 100, 0.01f, 2}, {-92, 75, 5, 2},
  };
  for (const Case& k : cases) {
    // A tone whose level steps through loud, quiet and silent stretches, with
    // the channels apart.
    const int ch = k.channels;
    const int64_t frames = kRate * 3;
    std::vector<float> in(size_t(frames * ch));
    for (int64_t i = 0; i < frames; ++i) {
      double env = (i / (kRate / 4)) % 4 == 0   ? 0.9
                   : (i / (kRate / 4)) % 4 == 1 ? 0.05
                   : (i / (kRate / 4)) % 4 == 2 ? 0.0
                                                : 0.3;
      for (int c = 0; c < ch; ++c)
        in[size_t(i * ch + c)] =
            float(env * std::sin(2 * std::numbers::pi * (220.0 + 110 * c) * double(i) / kRate));
    }
    auto ref = MakeFilterProcessor(effects::CompressorChain(k.thresholdDb, k.ratePercent, k.rmsMs),
                                   kRate, ch);
    auto own = MakeCompressor(kRate, ch, k.thresholdDb, k.ratePercent, k.rmsMs);
    std::vector<float> want, got;
    // Uneven pieces: the state carries from one call to the next.
    for (int64_t pos = 0, step = 1000; pos < frames; pos += step, step = step * 3 % 7919 + 1) {
      int64_t n = std::min(step, frames - pos);
      ref->Process(in.data() + pos * ch, n, want);
      own->Process(in.data() + pos * ch, n, got);
    }
    ref->Finish(want);
    own->Finish(got);
    ASSERT_EQ(got.size(), want.size());
    size_t differ = 0;
    float worst = 0;
    for (size_t i = 0; i < got.size(); ++i) {
      if (got[i] != want[i]) ++differ;
      worst = std::max(worst, std::fabs(got[i] - want[i]));
    }
    // Only a rounding of the last bit here and there.
    EXPECT_LE(worst, 1.2e-7f) << k.thresholdDb << " dB " << k.ratePercent << " %";
    EXPECT_LE(differ, got.size() / 1000) << k.thresholdDb << " dB " << k.ratePercent << " %";
  }
}

TEST(EditorEffects, FlangerMatchesTheLibraryFilterBitForBit) {
  struct Case {
    int rate, channels;
    float delayRate, mix, feedback, sweepDepth, sweepRate, sweepPhase;
  } cases[] = {
      {44100, 2, 5, 50, 0, 20, 5, 90},      // the bench's settings
      {44100, 2, 50, 30, 10, 50, 5, 0},     // the dialog's defaults
      {44100, 1, 0, 100, 100, 100, 100, 0}, // no base delay, full feedback, fastest sweep
      {48000, 2, 100, 71, 40, 0, 0, 359},   // longest delay, no sweep, slowest sweep rate
      {8000, 2, 33.3f, 12.5f, 77, 61, 37, 400}, {96000, 1, 1, 99, 3, 7, 2, 180},
  };
  for (const Case& k : cases) {
    auto ref = MakeFilterProcessor(effects::FlangerChain(k.delayRate, k.mix, k.feedback,
                                                         k.sweepDepth, k.sweepRate, k.sweepPhase),
                                   k.rate, k.channels);
    auto own = MakeFlanger(k.rate, k.channels, k.delayRate, k.mix, k.feedback, k.sweepDepth,
                           k.sweepRate, k.sweepPhase);
    EXPECT_EQ(BitDifferences(*ref, *own, Sweep(k.rate, k.channels, 60000), k.channels), 0u)
        << k.rate << " Hz, " << k.channels << " ch, delay " << k.delayRate << ", depth "
        << k.sweepDepth << ", rate " << k.sweepRate << ", phase " << k.sweepPhase;
  }
}

TEST(EditorEffects, BandFiltersMatchTheLibraryFiltersBitForBit) {
  struct Case {
    const char* name;
    std::string (*chain)(int, float, float);
    BiquadCoefficients (*coefficients)(int, float, float);
    int rate, channels;
    float frequency, steepness;
  } cases[] = {
      {"notch", effects::NotchChain, effects::NotchCoefficients, 44100, 2, 1000, 5},
      {"notch", effects::NotchChain, effects::NotchCoefficients, 44100, 1, 1000, 50},
      {"notch", effects::NotchChain, effects::NotchCoefficients, 8000, 2, 3999, 100},
      {"notch", effects::NotchChain, effects::NotchCoefficients, 96000, 2, 10, 1},
      {"notch", effects::NotchChain, effects::NotchCoefficients, 22050, 1, 440.5f, 37.3f},
      {"notch", effects::NotchChain, effects::NotchCoefficients, 500, 2, 100, 20},
      {"band pass", effects::BandPassChain, effects::BandPassCoefficients, 44100, 2, 1000, 5},
      {"band pass", effects::BandPassChain, effects::BandPassCoefficients, 48000, 1, 12345, 80},
      {"band pass", effects::BandPassChain, effects::BandPassCoefficients, 11025, 2, 5500, 0},
  };
  for (const Case& k : cases) {
    auto ref = MakeFilterProcessor(k.chain(k.rate, k.frequency, k.steepness), k.rate, k.channels);
    auto own = MakeBiquad(k.coefficients(k.rate, k.frequency, k.steepness), k.channels);
    EXPECT_EQ(BitDifferences(*ref, *own, Sweep(k.rate, k.channels, 50000), k.channels), 0u)
        << k.name << " " << k.rate << " Hz, " << k.frequency << " Hz, " << k.steepness << " %";
  }
}
