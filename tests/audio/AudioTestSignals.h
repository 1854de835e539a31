// Signals and measurements shared by the audio engine tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/MediaDecoder.h"

namespace audiotest {

constexpr double kPi = 3.14159265358979323846;
constexpr double kToneHz = 1000.0;

// Interleaved sine of frames frames starting at frame `first`.
inline std::vector<int16_t> Tone(int rate, int channels, size_t frames, double hz = kToneHz,
                                 double amplitude = 0.3, size_t first = 0) {
  std::vector<int16_t> v(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    double s = amplitude * 32767.0 * std::sin(2 * kPi * hz * static_cast<double>(first + i) / rate);
    for (int c = 0; c < channels; ++c)
      v[i * channels + c] = static_cast<int16_t>(std::lround(s));
  }
  return v;
}

// Frequency of channel 0 over the loudest stretch of the signal (zero
// crossings with hysteresis); 0 when there is no clear signal. Periods far
// from the typical one (a dropout of a live capture, which a lossy encoder
// smears over a frame) are left out.
inline double DominantFrequency(const std::vector<int16_t>& v, int rate, int channels) {
  size_t frames = v.size() / channels;
  size_t win = std::max<size_t>(1, rate / 100);
  std::vector<double> rms;
  for (size_t at = 0; at + win <= frames; at += win) {
    double sum = 0;
    for (size_t i = at; i < at + win; ++i)
      sum += double(v[i * channels]) * v[i * channels];
    rms.push_back(std::sqrt(sum / win));
  }
  if (rms.empty()) return 0;
  double peak = *std::max_element(rms.begin(), rms.end());
  if (peak < 300) return 0;
  // Longest run of loud windows.
  size_t bestStart = 0, bestLen = 0, start = 0, len = 0;
  for (size_t i = 0; i < rms.size(); ++i) {
    if (rms[i] > 0.5 * peak) {
      if (!len) start = i;
      if (++len > bestLen) bestLen = len, bestStart = start;
    } else {
      len = 0;
    }
  }
  if (bestLen < 5) return 0;
  size_t a = (bestStart + 1) * win, b = (bestStart + bestLen - 1) * win;
  double threshold = 0.2 * peak;
  int state = 0;
  std::vector<size_t> crossings;
  for (size_t i = a; i < b; ++i) {
    double s = v[i * channels];
    if (state <= 0 && s > threshold) {
      if (state < 0) crossings.push_back(i);
      state = 1;
    } else if (state >= 0 && s < -threshold) {
      state = -1;
    }
  }
  if (crossings.size() < 3) return 0;
  std::vector<size_t> periods;
  for (size_t i = 1; i < crossings.size(); ++i)
    periods.push_back(crossings[i] - crossings[i - 1]);
  std::vector<size_t> sorted = periods;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  double typical = static_cast<double>(sorted[sorted.size() / 2]);
  double sum = 0;
  size_t count = 0;
  for (size_t p : periods)
    if (std::abs(static_cast<double>(p) - typical) <= 0.25 * typical + 1) sum += p, ++count;
  if (count < periods.size() / 2) return 0;
  return count * static_cast<double>(rate) / sum;
}

struct TDecoded {
  int Rate = 0, Channels = 0;
  std::vector<int16_t> Samples;
  size_t Frames() const { return Channels ? Samples.size() / Channels : 0; }
};

// The whole file decoded at its own rate and channels.
inline TDecoded DecodeAll(const std::wstring& path) {
  audio::TMediaDecoder d;
  d.Open(path);
  TDecoded r;
  r.Rate = d.SampleRate();
  r.Channels = d.Channels();
  std::vector<int16_t> buf(4096 * r.Channels);
  for (;;) {
    size_t n = d.Read(buf.data(), 4096);
    if (!n) break;
    r.Samples.insert(r.Samples.end(), buf.begin(), buf.begin() + n * r.Channels);
  }
  return r;
}

} // namespace audiotest
