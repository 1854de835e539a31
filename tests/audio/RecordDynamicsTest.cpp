// Gain control and voice activation of recordings on synthetic input: the
// gain settles at the high or low level, voice activation keeps the sound
// with its onset and release and leaves silence and short clicks out.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/RecordDynamics.h"

namespace {

constexpr int kRate = 44100;

// Stereo frames: `ms` of a 1 kHz tone of peak `level` (0 = silence).
void Append(std::vector<int16_t>& v, int ms, double level) {
  const size_t start = v.size() / 2, n = size_t(kRate) * size_t(ms) / 1000;
  for (size_t i = 0; i < n; ++i) {
    double s = level * 32767 * std::sin(2 * std::numbers::pi * 1000.0 * double(start + i) / kRate);
    v.push_back(int16_t(std::lround(s)));
    v.push_back(int16_t(std::lround(s)));
  }
}

// Runs the input through in 50 ms buffers, as a capture delivers it.
std::vector<int16_t> Feed(audio::TRecordDynamics& d, const std::vector<int16_t>& in) {
  std::vector<int16_t> out;
  const size_t step = kRate / 20;
  for (size_t at = 0; at < in.size() / 2; at += step)
    d.Process(in.data() + at * 2, std::min(step, in.size() / 2 - at), out);
  return out;
}

double PeakDb(const std::vector<int16_t>& v, size_t fromFrame, size_t frames) {
  int peak = 0;
  for (size_t i = fromFrame * 2; i < std::min(v.size(), (fromFrame + frames) * 2); ++i)
    peak = std::max(peak, std::abs(int(v[i])));
  return peak ? 20 * std::log10(peak / 32768.0) : -120;
}

} // namespace

TEST(RecordDynamics, OffKeepsEveryFrameUnchanged) {
  audio::TRecordDynamics d;
  d.SetFormat(kRate, 2);
  std::vector<int16_t> in;
  Append(in, 300, 0.0);
  Append(in, 300, 0.5);
  EXPECT_EQ(Feed(d, in), in);
}

struct GainCase {
  double inputDb;
  int seconds;
  double expectDb; // peak of the last 100 ms
};

class RecordGain : public testing::TestWithParam<GainCase> {};

TEST_P(RecordGain, SettlesBetweenTheLevels) {
  const GainCase& c = GetParam();
  audio::TRecordDynamics d;
  d.SetFormat(kRate, 2);
  d.SetAgcEnabled(true);
  d.SetAgcAttackTime(4);
  d.SetAgcHighLevel(-10);
  d.SetAgcLowLevel(-40);
  int changes = 0;
  d.OnGainChange = [&](int) { ++changes; };
  std::vector<int16_t> in;
  Append(in, c.seconds * 1000, std::pow(10.0, c.inputDb / 20));
  std::vector<int16_t> out = Feed(d, in);
  ASSERT_EQ(out.size(), in.size());
  EXPECT_NEAR(PeakDb(out, out.size() / 2 - kRate / 10, kRate / 10), c.expectDb, 1.0);
  EXPECT_NEAR(d.GainDb(), c.expectDb - c.inputDb, 1.0);
  EXPECT_EQ(changes > 0, c.expectDb != c.inputDb);
}

INSTANTIATE_TEST_SUITE_P(Levels, RecordGain,
                         testing::Values(GainCase{-3, 1, -10},    // lowered at once
                                         GainCase{-50, 12, -40},  // raised slowly
                                         GainCase{-25, 2, -25})); // left alone

TEST(RecordDynamics, VoiceActivationKeepsOnsetAndRelease) {
  audio::TRecordDynamics d;
  d.SetFormat(kRate, 2);
  d.SetVoiceEnabled(true);
  d.SetVoiceAttackTime(100);
  d.SetVoiceAttackLevel(-45);
  d.SetVoiceReleaseTime(300);
  d.SetVoiceReleaseLevel(-45);
  std::vector<int16_t> in;
  Append(in, 1000, 0.0);
  Append(in, 40, 0.5); // a click shorter than the attack time
  Append(in, 1000, 0.0);
  const size_t onset = in.size() / 2;
  Append(in, 500, 0.5);
  Append(in, 1000, 0.0);
  std::vector<int16_t> out = Feed(d, in);
  // The tone from its first frame, then the release time of silence.
  EXPECT_NEAR(double(out.size() / 2), kRate * 0.8, kRate * 0.02);
  ASSERT_GE(out.size(), size_t(kRate));
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + kRate, in.begin() + ptrdiff_t(onset * 2)))
      << "the onset is kept";
  // A new take waits for sound again.
  d.Restart();
  std::vector<int16_t> silence;
  Append(silence, 500, 0.0);
  EXPECT_TRUE(Feed(d, silence).empty());
}
