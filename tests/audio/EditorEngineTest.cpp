// Edits and effects of the editing engine, each checked by a measurable property.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "audio/EditorEngine.h"
#include "audio/MediaEncoder.h"
#include "tests/support/Gui.h"

using namespace audioedit;

namespace {

constexpr int kRate = 44100;

std::vector<float> Tone(double hz, double seconds, int channels, float amp = 0.5f) {
  size_t n = size_t(seconds * kRate);
  std::vector<float> v(n * size_t(channels));
  for (size_t i = 0; i < n; ++i)
    for (int c = 0; c < channels; ++c)
      v[i * size_t(channels) + size_t(c)] =
          amp * float(std::sin(2 * std::numbers::pi * hz * double(i) / kRate));
  return v;
}

std::vector<float> Impulse(double seconds, int channels) {
  std::vector<float> v(size_t(seconds * kRate) * size_t(channels), 0.0f);
  for (int c = 0; c < channels; ++c)
    v[size_t(c)] = 1.0f;
  return v;
}

struct Engine {
  EditorEngine e;
  Engine() { e.SetTempDirectory(testsupport::MakeTempDir(L"editor-engine")); }
  void Load(const std::vector<float>& v, int channels) {
    e.LoadFrames(kRate, channels, v.data(), int64_t(v.size()) / channels);
  }
  std::vector<float> All() {
    std::vector<float> v(size_t(e.Length() * e.Channels()));
    e.ReadFrames(0, e.Length(), v.data());
    return v;
  }
};

// Level of a frequency in one channel (Goertzel), in dB relative to full-scale sine amplitude 1.
double LevelDb(const std::vector<float>& v, int channels, int channel, double hz,
               size_t from = 4410, size_t count = 22050) {
  size_t frames = v.size() / size_t(channels);
  count = std::min(count, frames - std::min(from, frames));
  double w = 2 * std::numbers::pi * hz / kRate, k = 2 * std::cos(w), s1 = 0, s2 = 0;
  for (size_t i = 0; i < count; ++i) {
    double s = v[(from + i) * size_t(channels) + size_t(channel)] + k * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  double power = s1 * s1 + s2 * s2 - k * s1 * s2;
  double amp = 2 * std::sqrt(std::max(power, 1e-30)) / double(count);
  return 20 * std::log10(amp);
}

double Rms(const std::vector<float>& v, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, v.size());
  double s = 0;
  for (size_t i = from; i < to; ++i)
    s += double(v[i]) * v[i];
  return std::sqrt(s / double(std::max<size_t>(1, to - from)));
}

double PeakOf(const std::vector<float>& v) {
  double p = 0;
  for (float x : v)
    p = std::max(p, double(std::abs(x)));
  return p;
}

// Dominant frequency by counting upward zero crossings.
double Pitch(const std::vector<float>& v, int channels) {
  size_t frames = v.size() / size_t(channels);
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = 1; i < frames; ++i)
    if (v[(i - 1) * size_t(channels)] < 0 && v[i * size_t(channels)] >= 0) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  return crossings > 1 ? double(crossings - 1) * kRate / double(last - first) : 0;
}

} // namespace

TEST(EditorEngine, FilterAttenuation) {
  struct Case {
    const char* name;
    std::function<void(EditorEngine&)> apply;
    double toneHz;
    double minDb, maxDb; // change of the tone's level
  } cases[] = {
      {"low pass 1 kHz, 8 kHz tone", [](EditorEngine& e) { e.LowPass(1000, 50); }, 8000, -200, -30},
      {"low pass 1 kHz, 200 Hz tone", [](EditorEngine& e) { e.LowPass(1000, 50); }, 200, -1.5, 1.5},
      {"high pass 1 kHz, 200 Hz tone", [](EditorEngine& e) { e.HighPass(1000, 50); }, 200, -1000,
       -30},
      {"high pass 1 kHz, 8 kHz tone", [](EditorEngine& e) { e.HighPass(1000, 50); }, 8000, -1.5,
       1.5},
      {"band pass 1 kHz, 8 kHz tone", [](EditorEngine& e) { e.BandPass(1000, 50); }, 8000, -1000,
       -12},
      {"band pass 1 kHz, 1 kHz tone", [](EditorEngine& e) { e.BandPass(1000, 50); }, 1000, -1.5,
       1.0},
      {"notch 1 kHz, 1 kHz tone", [](EditorEngine& e) { e.NotchFilter(1000, 50); }, 1000, -1000,
       -20},
      {"notch 1 kHz, 8 kHz tone", [](EditorEngine& e) { e.NotchFilter(1000, 50); }, 8000, -1.0,
       1.0},
      {"peak EQ -10 dB at 2 kHz", [](EditorEngine& e) { e.PeakEQFilter(-10, 2000, 50); }, 2000, -11,
       -9},
      {"low shelf -10 dB at 100 Hz, 30 Hz tone", [](EditorEngine& e) { e.LowShelf(-10, 100, 50); },
       30, -11, -8},
      {"high shelf -10 dB at 10 kHz, 18 kHz tone",
       [](EditorEngine& e) { e.HighShelf(-10, 10000, 50); }, 18000, -11, -8},
      {"amplify 200 %", [](EditorEngine& e) { e.Amplify(200); }, 1000, 5.9, 6.1},
      {"amplify 32 %", [](EditorEngine& e) { e.Amplify(32); }, 1000, -10.0, -9.8},
  };
  for (auto& c : cases) {
    Engine t;
    auto tone = Tone(c.toneHz, 1.0, 2, 0.25f);
    t.Load(tone, 2);
    double before = LevelDb(tone, 2, 0, c.toneHz);
    c.apply(t.e);
    auto after = t.All();
    ASSERT_EQ(after.size(), tone.size()) << c.name;
    double change = LevelDb(after, 2, 0, c.toneHz) - before;
    EXPECT_GE(change, c.minDb) << c.name;
    EXPECT_LE(change, c.maxDb) << c.name;
    // Undo restores the samples bit for bit.
    ASSERT_TRUE(t.e.CanUndo()) << c.name;
    t.e.Undo();
    EXPECT_EQ(t.All(), tone) << c.name;
  }
}

TEST(EditorEngine, GainShapes) {
  Engine t;
  auto tone = Tone(1000, 1.0, 1, 0.5f);
  t.Load(tone, 1);

  t.e.Fade(0, 100);
  auto v = t.All();
  EXPECT_LT(Rms(v, 0, 4410), 0.5 * Rms(v, v.size() - 4410));
  EXPECT_NEAR(Rms(v, v.size() - 441), 0.5 / std::sqrt(2.0), 0.01);
  t.e.Undo();

  t.e.Normalize(80, false);
  EXPECT_NEAR(PeakOf(t.All()), 0.8, 0.001);
  t.e.Undo();

  t.e.Invert();
  v = t.All();
  for (size_t i = 0; i < v.size(); i += 997)
    EXPECT_EQ(v[i], -tone[i]);
  t.e.Undo();

  t.e.SetSelection(100, 200);
  t.e.SilenceSelection();
  v = t.All();
  EXPECT_EQ(Rms(v, 100, 200), 0.0);
  EXPECT_EQ(v[99], tone[99]);
  EXPECT_EQ(v[200], tone[200]);
}

TEST(EditorEngine, NormalizeRemovesDcBias) {
  Engine t;
  auto tone = Tone(500, 0.5, 2, 0.3f);
  for (auto& x : tone)
    x += 0.2f;
  t.Load(tone, 2);
  t.e.Normalize(100, true);
  auto v = t.All();
  double mean = 0;
  for (float x : v)
    mean += x;
  EXPECT_NEAR(mean / double(v.size()), 0.0, 0.002);
  EXPECT_NEAR(PeakOf(v), 1.0, 0.001);
}

TEST(EditorEngine, MeasuredRangeMatchesTheSamples) {
  Engine t;
  // Noise with a bias over several blocks; the second channel has its own.
  std::vector<float> v(size_t(400001) * 2);
  uint32_t seed = 7;
  for (size_t i = 0; i < v.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    v[i] = float(int32_t(seed)) / 4294967296.0f + (i % 2 ? -0.1f : 0.05f);
  }
  v[2 * 300007 + 1] = -0.99f; // a lone extreme inside a summary entry
  t.Load(v, 2);
  const int64_t ranges[][2] = {{0, 400001}, {1, 400000},      {255, 257},    {300000, 300300},
                               {3, 3},      {131071, 131073}, {100, 262144}, {299999, 400001}};
  for (auto& r : ranges) {
    std::vector<float> mn, mx;
    std::vector<double> mean;
    MeasureRange(*t.e.Doc(), r[0], r[1], mn, mx, mean);
    for (int c = 0; c < 2; ++c) {
      float lo = INFINITY, hi = -INFINITY;
      double sum = 0;
      for (int64_t f = r[0]; f < r[1]; ++f) {
        float x = v[size_t(f * 2 + c)];
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        sum += x;
      }
      if (r[1] == r[0]) lo = hi = 0;
      EXPECT_EQ(mn[size_t(c)], lo) << r[0] << ".." << r[1];
      EXPECT_EQ(mx[size_t(c)], hi) << r[0] << ".." << r[1];
      EXPECT_NEAR(mean[size_t(c)], r[1] > r[0] ? sum / double(r[1] - r[0]) : 0, 1e-9);
    }
  }
}

TEST(EditorEngine, TimeAndPitch) {
  struct Case {
    const char* name;
    std::function<void(EditorEngine&)> apply;
    double lengthFactor, pitchFactor;
  } cases[] = {
      {"stretch 50 %", [](EditorEngine& e) { e.StretchTime(50); }, 2.0, 1.0},
      {"stretch 200 %", [](EditorEngine& e) { e.StretchTime(200); }, 0.5, 1.0},
      {"pitch 50 % (up an octave)", [](EditorEngine& e) { e.PitchShift(50); }, 1.0, 2.0},
      {"pitch 200 % (down an octave)", [](EditorEngine& e) { e.PitchShift(200); }, 1.0, 0.5},
  };
  for (auto& c : cases) {
    Engine t;
    t.Load(Tone(440, 2.0, 1), 1);
    c.apply(t.e);
    EXPECT_NEAR(double(t.e.Length()), 2.0 * kRate * c.lengthFactor, 0.01 * kRate) << c.name;
    auto v = t.All();
    // Skip the edges where filters settle.
    std::vector<float> mid(v.begin() + 4410, v.end() - 4410);
    EXPECT_NEAR(Pitch(mid, 1), 440 * c.pitchFactor, 440 * c.pitchFactor * 0.03) << c.name;
  }
}

TEST(EditorEngine, EchoDelayReverbAndReverse) {
  {
    Engine t;
    t.Load(Impulse(1.0, 1), 1);
    t.e.Delay(200, 70, 0);
    auto v = t.All();
    size_t at = size_t(0.2 * kRate);
    EXPECT_NEAR(v[at], 0.7f, 0.01f);
    EXPECT_NEAR(Rms(v, 1, at - 10), 0.0, 1e-4);
  }
  {
    Engine t;
    t.Load(Impulse(1.0, 1), 1);
    t.e.Delay(100, 50, 50); // feedback: repeats at 100, 200, 300 ms
    auto v = t.All();
    EXPECT_NEAR(v[size_t(0.1 * kRate)], 0.5f, 0.01f);
    EXPECT_NEAR(v[size_t(0.2 * kRate)], 0.25f, 0.01f);
  }
  {
    Engine t;
    t.Load(Impulse(1.0, 2), 2);
    t.e.Reverb(25, 40, 8, 40, 11000.0f, 10);
    auto v = t.All();
    double tail = Rms(v, size_t(0.05 * kRate) * 2, size_t(0.3 * kRate) * 2);
    double late = Rms(v, size_t(0.8 * kRate) * 2, v.size());
    EXPECT_GT(tail, 1e-4);
    EXPECT_LT(late, tail); // the tail decays
  }
  {
    Engine t;
    std::vector<float> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i)
      ramp[i] = float(i) / 1000.0f;
    t.Load(ramp, 1);
    t.e.SetSelection(100, 300);
    t.e.Reverse();
    auto v = t.All();
    EXPECT_EQ(v[100], ramp[299]);
    EXPECT_EQ(v[299], ramp[100]);
    EXPECT_EQ(v[300], ramp[300]);
  }
}

TEST(EditorEngine, DynamicsAndModulation) {
  struct Case {
    const char* name;
    float amp;
    std::function<void(EditorEngine&)> apply;
    double minDb, maxDb; // RMS change
  } cases[] = {
      {"compressor -20 dB on a loud tone", 0.9f, [](EditorEngine& e) { e.Compressor(-20, 100, 1); },
       -30, -6},
      {"compressor -20 dB on a quiet tone", 0.01f,
       [](EditorEngine& e) { e.Compressor(-20, 100, 1); }, -1, 1},
      {"expander -30 dB on a quiet tone", 0.003f,
       [](EditorEngine& e) { e.Expander(-30, 100, 100); }, -1000, -6},
      {"expander -30 dB on a loud tone", 0.5f, [](EditorEngine& e) { e.Expander(-30, 100, 100); },
       -1, 1},
      {"vibrato", 0.5f, [](EditorEngine& e) { e.Vibrato(50, 10, 10); }, -3, 1},
      {"flanger", 0.5f, [](EditorEngine& e) { e.Flanger(50, 30, 10, 50, 5, 0); }, -10, 6},
      {"chorus", 0.5f, [](EditorEngine& e) { e.Chorus(50, 40, 2, 40, 100, 0); }, -6, 6},
      {"phaser", 0.5f, [](EditorEngine& e) { e.Phaser(120, 30, 50); }, -12, 6},
  };
  for (auto& c : cases) {
    Engine t;
    auto tone = Tone(440, 1.0, 2, c.amp);
    t.Load(tone, 2);
    c.apply(t.e);
    auto v = t.All();
    ASSERT_EQ(v.size(), tone.size()) << c.name;
    double change = 20 * std::log10(Rms(v, v.size() / 2) / Rms(tone, tone.size() / 2));
    EXPECT_GE(change, c.minDb) << c.name;
    EXPECT_LE(change, c.maxDb) << c.name;
    if (std::string(c.name).find("quiet tone") == std::string::npos &&
        std::string(c.name).find("loud tone") == std::string::npos)
      EXPECT_NE(v, tone) << c.name;
  }
}

TEST(EditorEngine, ChannelsNoiseAndSilence) {
  {
    Engine t;
    std::vector<float> st(2000);
    for (size_t i = 0; i < 1000; ++i) {
      st[2 * i] = 0.25f;
      st[2 * i + 1] = -0.5f;
    }
    t.Load(st, 2);
    t.e.ChannelConverter(0, 100, 100, 0); // swap
    auto v = t.All();
    EXPECT_NEAR(v[10], -0.5f, 1e-6);
    EXPECT_NEAR(v[11], 0.25f, 1e-6);
    // With the right channel disabled only the left one changes.
    t.e.Undo();
    t.e.SetChannelEnabled(2, false);
    t.e.Amplify(0);
    v = t.All();
    EXPECT_EQ(v[10], 0.0f);
    EXPECT_EQ(v[11], -0.5f);
  }
  for (int type : {1, 2}) {
    Engine t;
    t.Load(std::vector<float>(kRate, 0.0f), 1);
    t.e.AddNoise(-20, type);
    double rms = Rms(t.All());
    double expected = type == 1 ? 0.1 / std::sqrt(3.0) : 0.1;
    EXPECT_NEAR(rms, expected, expected * 0.05) << type;
  }
  {
    Engine t;
    auto v = Tone(1000, 1.0, 1);
    v.resize(v.size() + 2 * kRate, 0.0f);
    auto tail = Tone(1000, 1.0, 1);
    v.insert(v.end(), tail.begin(), tail.end());
    t.Load(v, 1);
    t.e.DeleteSilence(-40, 3, 100);
    EXPECT_LT(t.e.Length(), int64_t(2.5 * kRate));
    EXPECT_GT(t.e.Length(), int64_t(1.9 * kRate));
  }
  {
    Engine t;
    std::vector<float> v(kRate, 0.0f);
    auto tone = Tone(1000, 1.0, 1);
    v.insert(v.end(), tone.begin(), tone.end());
    v.resize(v.size() + kRate, 0.0f);
    t.Load(v, 1);
    t.e.Trim(-40, 100, 2);
    EXPECT_NEAR(double(t.e.Length()), 1.2 * kRate, 0.01 * kRate);
    t.e.Undo();
    t.e.Trim(-40, 0, 0); // left only
    EXPECT_NEAR(double(t.e.Length()), 2.0 * kRate, 0.01 * kRate);
  }
  {
    Engine t;
    t.Load(Tone(1000, 1.0, 2), 2);
    t.e.SetCursor(100);
    t.e.InsertSilence(1000);
    EXPECT_EQ(t.e.Length(), 2 * kRate);
    t.e.InsertSilence(-5); // clamped, nothing happens
    EXPECT_EQ(t.e.Length(), 2 * kRate);
  }
}

TEST(EditorEngine, SmoothingBlendsTheEdges) {
  Engine t;
  t.Load(std::vector<float>(kRate, 0.5f), 1);
  t.e.SetSmooth(true, 50);
  t.e.SetSelection(10000, 30000);
  t.e.Amplify(0);
  auto v = t.All();
  EXPECT_GT(v[10000], 0.45f); // starts near the original
  EXPECT_EQ(v[20000], 0.0f);  // full effect in the middle
  EXPECT_GT(v[29999], 0.45f); // and returns to it
  EXPECT_NEAR(v[10000 + 1102], 0.25f, 0.01f);
}

TEST(EditorEngine, ClipboardEdits) {
  Engine t;
  std::vector<float> ramp(10000);
  for (size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = float(i);
  t.Load(ramp, 1);

  // Paste and Mix with an empty clipboard do nothing and raise nothing.
  EXPECT_NO_THROW(t.e.Paste());
  EXPECT_NO_THROW(t.e.Mix(50, 50));
  EXPECT_EQ(t.e.Length(), 10000);
  EXPECT_FALSE(t.e.CanUndo());

  t.e.SetSelection(1000, 2000);
  t.e.Cut();
  EXPECT_EQ(t.e.Length(), 9000);
  EXPECT_EQ(t.e.ClipboardLength(), 1000);
  t.e.SetSelActive(false);
  t.e.SetCursor(0);
  t.e.Paste();
  auto v = t.All();
  EXPECT_EQ(v[0], 1000.0f);
  EXPECT_EQ(v[999], 1999.0f);
  EXPECT_EQ(v[1000], 0.0f);
  EXPECT_EQ(v[2000], 2000.0f);

  // Mix: 100 % source plus 100 % clipboard.
  t.e.SetSelActive(false);
  t.e.SetCursor(5000);
  t.e.Mix(100, 100);
  v = t.All();
  EXPECT_EQ(v[5000], 5000.0f + 1000.0f);
  EXPECT_EQ(v[5999], 5999.0f + 1999.0f);
  EXPECT_EQ(v[6000], 6000.0f);

  t.e.SetSelection(20, 10);
  t.e.Copy();
  EXPECT_EQ(t.e.ClipboardLength(), 10);
  t.e.SetSelection(0, 100);
  t.e.DeleteSelection();
  EXPECT_EQ(t.e.Length(), 9900);
}

TEST(EditorEngine, CropIsOneStepAndKeepsTheClipboard) {
  Engine t;
  std::vector<float> ramp(5000);
  for (size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = float(i);
  t.Load(ramp, 1);
  t.e.SetSelection(0, 10);
  t.e.Copy();
  t.e.SetSelection(100, 200);
  // The editor's sequence: BeginUpdate, Copy, select all, DeleteSelection, Paste, EndUpdate.
  t.e.BeginUpdate();
  t.e.Copy();
  t.e.SetSelection(0, t.e.Length());
  t.e.DeleteSelection();
  t.e.Paste();
  t.e.EndUpdate();
  EXPECT_EQ(t.e.Length(), 100);
  EXPECT_EQ(t.All()[0], 100.0f);
  EXPECT_EQ(t.e.ClipboardLength(), 10); // what the user copied
  t.e.Undo();
  EXPECT_EQ(t.e.Length(), 5000);
  EXPECT_FALSE(t.e.CanUndo()); // one step

  // A step that fails inside the bracket leaves the document as it was.
  t.e.BeginUpdate();
  t.e.SetSelection(0, t.e.Length());
  t.e.DeleteSelection();
  EXPECT_THROW(t.e.PasteFromFile(L"Z:\\no\\such\\file.wav"), EAudioError);
  EXPECT_EQ(t.e.Length(), 5000);
  EXPECT_NO_THROW(t.e.EndUpdate()); // harmless afterwards

  t.e.SetSelection(1000, 1500);
  t.e.Crop();
  EXPECT_EQ(t.e.Length(), 500);
  EXPECT_EQ(t.e.ClipboardLength(), 10);
}

TEST(EditorEngine, RefusesReentrantCallsWhileBusy) {
  Engine t;
  t.Load(Tone(440, 2.0, 2), 2);
  auto before = t.All();
  int refused = 0, events = 0;
  t.e.OnBlockOperation = [&](int) {
    ++events;
    EXPECT_TRUE(t.e.Busy());
    try {
      t.e.Reverse();
    } catch (const EEditorError&) {
      ++refused;
    }
    try {
      t.e.CloseFile();
    } catch (const EEditorError&) {
      ++refused;
    }
  };
  bool ended = false;
  t.e.OnEndOperation = [&] { ended = true; };
  t.e.Amplify(50);
  EXPECT_GT(events, 0);
  EXPECT_EQ(refused, 2 * events);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(t.e.Busy());
  EXPECT_TRUE(t.e.HasDocument());
  t.e.OnBlockOperation = nullptr;
  t.e.Undo();
  EXPECT_EQ(t.All(), before);
}

TEST(EditorEngine, PositionsAreClamped) {
  Engine t;
  EXPECT_FALSE(t.e.CanUndo());
  EXPECT_THROW(t.e.Amplify(50), EEditorError); // no document
  t.Load(Tone(440, 1.0, 1), 1);
  t.e.SetSelection(-100, int64_t(1) << 40);
  EXPECT_EQ(t.e.SelStart(), 0);
  EXPECT_EQ(t.e.SelEnd(), kRate);
  t.e.SetCursor(-5);
  EXPECT_EQ(t.e.Cursor(), 0);
  t.e.SetView(500, 500); // empty range widened, not divided by
  EXPECT_GT(t.e.ViewEnd(), t.e.ViewStart());
  t.e.SetView(-1e18, 1e18);
  EXPECT_LE(t.e.ViewEnd() - t.e.ViewStart(), 4.0 * kRate + 1);
  // Hours in milliseconds do not overflow.
  EXPECT_EQ(t.e.MsToSamples(int64_t(24) * 3600 * 1000), int64_t(24) * 3600 * kRate);
  EXPECT_EQ(t.e.SamplesToMs(int64_t(24) * 3600 * kRate), int64_t(24) * 3600 * 1000);
}

TEST(EditorEngine, OpeningALongCompressedFileShowsProgressAndLetsTheWindowAnswer) {
  Engine t;
  // Three minutes of MP3.
  std::wstring file = testsupport::MakeTempDir(L"editor-long") + L"\\long.mp3";
  {
    audio::TMp3Settings s;
    s.SampleRate = 22050;
    s.Channels = 1;
    s.Kbps = 32;
    auto enc = audio::CreateMp3Encoder(file, s);
    std::vector<int16_t> pcm(22050);
    for (size_t i = 0; i < pcm.size(); ++i)
      pcm[i] = int16_t(8000 * std::sin(2 * std::numbers::pi * 440 * double(i) / 22050));
    for (int sec = 0; sec < 180; ++sec)
      enc->Write(pcm.data(), pcm.size());
    enc->Close();
  }
  HWND wnd =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(wnd);
  std::vector<int> events;
  std::vector<ULONGLONG> times;
  // The window's handler: note the percent, then let pending messages run.
  t.e.OnBlockOperation = [&](int p) {
    events.push_back(p);
    times.push_back(GetTickCount64());
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  };
  std::atomic<bool> stop{false};
  std::atomic<int> answered{0};
  std::atomic<ULONGLONG> longest{0};
  std::atomic<bool> finished{false};
  std::thread asker([&] {
    while (!stop) {
      ULONGLONG t0 = GetTickCount64();
      DWORD_PTR r = 0;
      if (SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r)) ++answered;
      longest = std::max<ULONGLONG>(longest, GetTickCount64() - t0);
      Sleep(5);
    }
    finished = true;
  });
  Sleep(20);
  ULONGLONG start = GetTickCount64();
  t.e.OpenFile(file);
  ULONGLONG took = GetTickCount64() - start;
  stop = true;
  // A question still on its way is answered before the thread ends.
  testsupport::PumpUntil([&] { return finished.load(); });
  asker.join();
  DestroyWindow(wnd);
  t.e.OnBlockOperation = nullptr;
  EXPECT_NEAR(double(t.e.Length()), 180.0 * 22050, 22050);
  ASSERT_GE(events.size(), 50u);
  EXPECT_EQ(events.front(), 0);
  EXPECT_EQ(events.back(), 100);
  EXPECT_TRUE(std::is_sorted(events.begin(), events.end()));
  // The first event comes before decoding, and no two are far apart.
  EXPECT_LT(times.front() - start, 100u);
  for (size_t i = 1; i < times.size(); ++i)
    EXPECT_LT(times[i] - times[i - 1], 150u) << "between events " << i - 1 << " and " << i;
  EXPECT_GT(answered, 0);
  EXPECT_LT(longest, 250u) << "opening took " << took << " ms";
}

TEST(EditorEngine, TrimFindsTheLoudEdgesFromEachSide) {
  // Silence with one loud sample at 70000 (right channel) and one at 150000
  // (left), more than a read chunk apart.
  std::vector<float> v(200000 * 2, 0.0f);
  v[70000 * 2 + 1] = 0.5f;
  v[150000 * 2] = -0.5f;
  struct Case {
    int side;
    bool selection, silent;
    int64_t length, firstLoud; // length after the trim; where frame 70000 or 150000 lands
  } cases[] = {
      {0, false, false, 130000, 0}, {1, false, false, 150001, 70000},
      {2, false, false, 80001, 0},  {2, true, false, 100001, 100000},
      {0, false, true, 0, -1},      {1, false, true, 0, -1},
      {2, false, true, 0, -1},
  };
  for (const Case& c : cases) {
    Engine t;
    t.Load(c.silent ? std::vector<float>(v.size(), 0.0f) : v, 2);
    if (c.selection) t.e.SetSelection(100000, 200000);
    t.e.Trim(-40, 0, c.side);
    EXPECT_EQ(t.e.Length(), c.length) << "side " << c.side << " selection " << c.selection;
    if (c.firstLoud >= 0) {
      auto all = t.All();
      // Frame 150000 (left) starts a trimmed selection, frame 70000 (right) the others.
      float want = c.selection ? -0.5f : 0.5f;
      int ch = c.selection ? 0 : 1;
      ASSERT_GT(all.size(), size_t(c.firstLoud * 2 + 1));
      EXPECT_EQ(all[size_t(c.firstLoud * 2 + ch)], want) << "side " << c.side;
    }
  }
}
