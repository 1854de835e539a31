#include "audio/EditorEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>

#include <emmintrin.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

namespace audioedit {

namespace {

std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

[[noreturn]] void FilterFail(const std::string& chain, int err) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(err, text, sizeof text);
  throw EEditorError(L"Effect failed (" + audio::Utf8ToWide(chain) + L"): " +
                     audio::Utf8ToWide(text));
}

// ---------------------------------------------------------------------------
// libavfilter chain

class FilterProcessor : public Processor {
public:
  FilterProcessor(const std::string& chain, int rate, int channels, bool keepsLength, int outRate,
                  int outChannels)
      : FChain(chain), FChannels(channels), FOutChannels(outChannels), FKeeps(keepsLength) {
    FGraph = avfilter_graph_alloc();
    if (!FGraph) throw EEditorError(L"Out of memory");
    // One thread: handing each frame's two channels to two threads cost more
    // than the biquads' own work.
    FGraph->nb_threads = 1;
    char args[256];
    std::snprintf(args, sizeof args,
                  "time_base=1/%d:sample_rate=%d:sample_fmt=flt:channel_layout=%s", rate, rate,
                  channels == 1 ? "mono" : "stereo");
    int r = avfilter_graph_create_filter(&FSrc, avfilter_get_by_name("abuffer"), "in", args,
                                         nullptr, FGraph);
    if (r < 0) FilterFail(chain, r);
    r = avfilter_graph_create_filter(&FSink, avfilter_get_by_name("abuffersink"), "out", nullptr,
                                     nullptr, FGraph);
    if (r < 0) FilterFail(chain, r);
    // The result comes back in the input's format, rate and layout.
    std::string full = chain.empty() ? std::string("anull") : chain;
    full += ",aformat=sample_fmts=flt:sample_rates=" + std::to_string(outRate) +
            ":channel_layouts=" + (outChannels == 1 ? "mono" : "stereo");
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = FSrc;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = FSink;
    r = avfilter_graph_parse_ptr(FGraph, full.c_str(), &inputs, &outputs, nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (r < 0) FilterFail(chain, r);
    r = avfilter_graph_config(FGraph, nullptr);
    if (r < 0) FilterFail(chain, r);
    FFrame = av_frame_alloc();
    FOut = av_frame_alloc();
    FRate = rate;
  }
  ~FilterProcessor() override {
    av_frame_free(&FFrame);
    av_frame_free(&FOut);
    avfilter_graph_free(&FGraph);
  }

  void Process(const float* in, int64_t frames, std::vector<float>& out) override {
    constexpr int64_t kChunk = 8192;
    while (frames > 0) {
      int n = int(std::min(frames, kChunk));
      av_frame_unref(FFrame);
      FFrame->format = AV_SAMPLE_FMT_FLT;
      av_channel_layout_default(&FFrame->ch_layout, FChannels);
      FFrame->sample_rate = FRate;
      FFrame->nb_samples = n;
      FFrame->pts = FPts;
      int r = av_frame_get_buffer(FFrame, 0);
      if (r < 0) FilterFail(FChain, r);
      std::memcpy(FFrame->data[0], in, size_t(n) * FChannels * sizeof(float));
      r = av_buffersrc_add_frame_flags(FSrc, FFrame, 0);
      if (r < 0) FilterFail(FChain, r);
      FPts += n;
      in += int64_t(n) * FChannels;
      frames -= n;
      Drain(out);
    }
  }

  void Finish(std::vector<float>& out) override {
    int r = av_buffersrc_add_frame_flags(FSrc, nullptr, 0);
    if (r < 0) FilterFail(FChain, r);
    Drain(out);
  }

  bool KeepsLength() const override { return FKeeps; }

private:
  void Drain(std::vector<float>& out) {
    for (;;) {
      int r = av_buffersink_get_frame(FSink, FOut);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
      if (r < 0) FilterFail(FChain, r);
      const float* d = reinterpret_cast<const float*>(FOut->data[0]);
      out.insert(out.end(), d, d + int64_t(FOut->nb_samples) * FOutChannels);
      av_frame_unref(FOut);
    }
  }

  std::string FChain;
  int FChannels, FOutChannels, FRate = 0;
  bool FKeeps;
  AVFilterGraph* FGraph = nullptr;
  AVFilterContext *FSrc = nullptr, *FSink = nullptr;
  AVFrame *FFrame = nullptr, *FOut = nullptr;
  int64_t FPts = 0;
};

// ---------------------------------------------------------------------------
// Engine processors

// Processors that need the channel count get it through this wrapper.
class SampleProcessor : public Processor {
public:
  explicit SampleProcessor(int channels) : FChannels(channels) {}
  void Process(const float* in, int64_t frames, std::vector<float>& out) override {
    size_t base = out.size();
    out.insert(out.end(), in, in + frames * FChannels);
    Apply(out.data() + base, frames);
  }

protected:
  virtual void Apply(float* data, int64_t frames) = 0;
  int FChannels;
};

class GainOffset : public SampleProcessor {
public:
  GainOffset(float gain, const std::vector<float>& offsets, int channels)
      : SampleProcessor(channels), FGain(gain), FOffsets(offsets) {
    FOffsets.resize(size_t(channels), 0.0f);
  }

protected:
  void Apply(float* d, int64_t frames) override {
    if (std::all_of(FOffsets.begin(), FOffsets.end(), [](float o) { return o == 0.0f; })) {
      for (int64_t i = 0; i < frames * FChannels; ++i)
        d[i] *= FGain;
      return;
    }
    for (int64_t f = 0; f < frames; ++f)
      for (int c = 0; c < FChannels; ++c)
        d[f * FChannels + c] = (d[f * FChannels + c] + FOffsets[size_t(c)]) * FGain;
  }

private:
  float FGain;
  std::vector<float> FOffsets;
};

class RampProcessor : public SampleProcessor {
public:
  RampProcessor(float a, float b, int64_t total, int channels)
      : SampleProcessor(channels), FA(a), FB(b), FTotal(std::max<int64_t>(1, total - 1)) {}

protected:
  void Apply(float* d, int64_t frames) override {
    for (int64_t f = 0; f < frames; ++f, ++FPos) {
      float g = FA + (FB - FA) * float(std::min<int64_t>(FPos, FTotal)) / float(FTotal);
      for (int c = 0; c < FChannels; ++c)
        d[f * FChannels + c] *= g;
    }
  }

private:
  float FA, FB;
  int64_t FTotal, FPos = 0;
};

class NoiseProcessor : public SampleProcessor {
public:
  NoiseProcessor(float amp, bool gaussian, int channels, uint32_t seed)
      : SampleProcessor(channels), FAmp(amp), FGaussian(gaussian), FRng(seed) {}

protected:
  void Apply(float* d, int64_t frames) override {
    std::uniform_real_distribution<float> uni(-1.0f, 1.0f);
    std::normal_distribution<float> norm(0.0f, 1.0f);
    for (int64_t i = 0; i < frames * FChannels; ++i)
      d[i] += FAmp * (FGaussian ? norm(FRng) : uni(FRng));
  }

private:
  float FAmp;
  bool FGaussian;
  std::minstd_rand FRng;
};

// Pre-delay, parallel damped combs (with the input fed back through the
// pre-delay line) and two series all-passes per channel.
class ReverbProcessor : public SampleProcessor {
public:
  ReverbProcessor(int rate, int channels, float delayMs, float mix, float feedback, float reverb,
                  float dampHz, int stages)
      : SampleProcessor(channels) {
    FWet = std::clamp(mix, 0.0f, 100.0f) / 100.0f;
    FDry = 1.0f - 0.5f * FWet;
    float fb = std::clamp(feedback, 0.0f, 100.0f) / 100.0f;
    float room = std::clamp(reverb, 0.0f, 100.0f) / 100.0f;
    FCombGain = std::min(0.97f, 0.6f + 0.3f * room + 0.07f * fb);
    FPreFeedback = 0.5f * fb;
    float fc = std::clamp(dampHz, 100.0f, 0.45f * float(rate));
    FDamp = float(std::exp(-2.0 * std::numbers::pi * fc / rate));
    int combs = std::clamp(stages, 1, 16);
    int pre = std::max(1, int(std::clamp(delayMs, 1.0f, 1000.0f) * rate / 1000.0f));
    static const int kTunings[16] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617,
                                     1693, 1759, 1831, 1907, 1973, 2039, 2113, 2179};
    double scale = rate / 44100.0;
    FChans.resize(size_t(channels));
    for (int c = 0; c < channels; ++c) {
      Chan& ch = FChans[size_t(c)];
      ch.Pre.assign(size_t(pre), 0.0f);
      for (int i = 0; i < combs; ++i) {
        int len = std::max(1, int((kTunings[i] + 23 * c) * scale));
        ch.Combs.push_back({std::vector<float>(size_t(len), 0.0f), 0, 0.0f});
      }
      for (int len : {556, 441}) {
        int l = std::max(1, int((len + 23 * c) * scale));
        ch.Alls.push_back({std::vector<float>(size_t(l), 0.0f), 0, 0.0f});
      }
    }
    FCombNorm = 1.0f / float(combs);
  }

protected:
  struct Line {
    std::vector<float> Buf;
    size_t Pos;
    float State;
  };
  struct Chan {
    std::vector<float> Pre;
    size_t PrePos = 0;
    std::vector<Line> Combs, Alls;
  };

  void Apply(float* d, int64_t frames) override {
    for (int64_t f = 0; f < frames; ++f)
      for (int c = 0; c < FChannels; ++c) {
        Chan& ch = FChans[size_t(c)];
        float x = d[f * FChannels + c];
        float delayed = ch.Pre[ch.PrePos];
        ch.Pre[ch.PrePos] = x + FPreFeedback * delayed;
        ch.PrePos = (ch.PrePos + 1) % ch.Pre.size();
        float acc = 0;
        for (Line& l : ch.Combs) {
          float y = l.Buf[l.Pos];
          l.State = y * (1.0f - FDamp) + l.State * FDamp;
          l.Buf[l.Pos] = delayed + l.State * FCombGain;
          l.Pos = (l.Pos + 1) % l.Buf.size();
          acc += y;
        }
        acc *= FCombNorm;
        for (Line& l : ch.Alls) {
          float b = l.Buf[l.Pos];
          l.Buf[l.Pos] = acc + b * 0.5f;
          l.Pos = (l.Pos + 1) % l.Buf.size();
          acc = b - acc;
        }
        d[f * FChannels + c] = FDry * x + FWet * acc;
      }
  }

private:
  std::vector<Chan> FChans;
  float FWet, FDry, FCombGain, FPreFeedback, FDamp, FCombNorm;
};

// The compressor of the volume chain ("acompressor" with its default knee,
// RMS detection and linked channels), computed in float in and out with
// the fast logarithm and exponential: the C runtime's took most of its time.
class CompressorProcessor : public SampleProcessor {
public:
  CompressorProcessor(int rate, int channels, double threshold, double ratio, double attackMs,
                      double releaseMs)
      : SampleProcessor(channels), FRatio(ratio) {
    constexpr double kKnee = 2.82843;
    FThres = std::log(threshold);
    double kneeStart = threshold / std::sqrt(kKnee);
    FAdjKneeStart = kneeStart * kneeStart;
    FKneeStart = std::log(kneeStart);
    FKneeStop = std::log(threshold * std::sqrt(kKnee));
    FCompressedKneeStop = (FKneeStop - FThres) / ratio + FThres;
    FAttack = std::min(1.0, 1.0 / (attackMs * rate / 4000.0));
    FRelease = std::min(1.0, 1.0 / (releaseMs * rate / 4000.0));
    // The knee: a cubic Hermite curve through (knee start, knee start) with
    // slope 1 and (knee stop, compressed knee stop) with slope 1/ratio.
    double p0 = FKneeStart, p1 = FCompressedKneeStop;
    FWidth = FKneeStop - FKneeStart;
    FM0 = 1.0 * FWidth;
    double m1 = (1.0 / ratio) * FWidth;
    FCt2 = -3 * p0 - 2 * FM0 + 3 * p1 - m1;
    FCt3 = 2 * p0 + FM0 - 2 * p1 + m1;
  }

protected:
  double Gain(double level) const {
    double slope = effects::FastLog(level) * 0.5; // the level is a mean square
    double gain = (slope - FThres) / FRatio + FThres;
    if (slope < FKneeStop) {
      double t = (slope - FKneeStart) / FWidth, t2 = t * t, t3 = t2 * t;
      gain = FCt3 * t3 + FCt2 * t2 + FM0 * t + FKneeStart;
    }
    return effects::FastExp(gain - slope);
  }

  // Gain of two levels at once, each lane computed as Gain computes it.
  __m128d Gain2(__m128d level) const {
    __m128d slope = _mm_mul_pd(effects::FastLog2(level), _mm_set1_pd(0.5));
    __m128d thres = _mm_set1_pd(FThres);
    __m128d gain = _mm_add_pd(_mm_div_pd(_mm_sub_pd(slope, thres), _mm_set1_pd(FRatio)), thres);
    __m128d knee = _mm_cmplt_pd(slope, _mm_set1_pd(FKneeStop));
    if (_mm_movemask_pd(knee)) {
      __m128d t = _mm_div_pd(_mm_sub_pd(slope, _mm_set1_pd(FKneeStart)), _mm_set1_pd(FWidth));
      __m128d t2 = _mm_mul_pd(t, t), t3 = _mm_mul_pd(t2, t);
      __m128d h = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(FCt3), t3), _mm_mul_pd(_mm_set1_pd(FCt2), t2));
      h = _mm_add_pd(_mm_add_pd(h, _mm_mul_pd(_mm_set1_pd(FM0), t)), _mm_set1_pd(FKneeStart));
      gain = _mm_or_pd(_mm_and_pd(knee, h), _mm_andnot_pd(knee, gain));
    }
    return effects::FastExp2(_mm_sub_pd(gain, slope));
  }

  void Apply(float* d, int64_t frames) override {
    const int ch = FChannels;
    constexpr int64_t kBatch = 1024;
    double level = FLevel;
    for (int64_t done = 0; done < frames; done += kBatch) {
      const int64_t n = std::min(kBatch, frames - done);
      float* p = d + done * ch;
      // The detector runs serially; the gains of a batch are then computed
      // two at a time and independently of each other.
      for (int64_t f = 0; f < n; ++f) {
        double a = std::fabs(double(p[f * ch]));
        for (int c = 1; c < ch; ++c)
          a += std::fabs(double(p[f * ch + c]));
        a /= ch;
        a *= a;
        level += (a - level) * (a > level ? FAttack : FRelease);
        FLevels[size_t(f)] = level;
      }
      const __m128d floor = _mm_set1_pd(FAdjKneeStart), one = _mm_set1_pd(1.0);
      const __m128d lowest = _mm_set1_pd(1e-300), highest = _mm_set1_pd(1e300);
      int64_t f = 0;
      for (; f + 2 <= n; f += 2) {
        __m128d l = _mm_loadu_pd(&FLevels[size_t(f)]);
        // Levels at or below the knee keep their samples (gain 1).
        __m128d on = _mm_and_pd(_mm_cmpgt_pd(l, _mm_setzero_pd()), _mm_cmpgt_pd(l, floor));
        int mask = _mm_movemask_pd(on);
        if (!mask) continue;
        double g[2];
        // Levels out of the fast functions' range take the scalar path.
        if (_mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(l, lowest), _mm_cmple_pd(l, highest))) != 3) {
          g[0] = mask & 1 ? Gain(FLevels[size_t(f)]) : 1.0;
          g[1] = mask & 2 ? Gain(FLevels[size_t(f) + 1]) : 1.0;
        } else {
          __m128d gv = Gain2(_mm_or_pd(_mm_and_pd(on, l), _mm_andnot_pd(on, one)));
          gv = _mm_or_pd(_mm_and_pd(on, gv), _mm_andnot_pd(on, one));
          _mm_storeu_pd(g, gv);
        }
        for (int k = 0; k < 2; ++k)
          if (mask & (1 << k))
            for (int c = 0; c < ch; ++c)
              p[(f + k) * ch + c] = float(double(p[(f + k) * ch + c]) * g[k]);
      }
      for (; f < n; ++f) {
        double l = FLevels[size_t(f)];
        if (l > 0.0 && l > FAdjKneeStart) {
          double g = Gain(l);
          for (int c = 0; c < ch; ++c)
            p[f * ch + c] = float(double(p[f * ch + c]) * g);
        }
      }
    }
    FLevel = level;
  }

private:
  double FRatio, FThres, FAdjKneeStart, FKneeStart, FKneeStop, FCompressedKneeStop;
  double FWidth, FM0, FCt2, FCt3;
  double FAttack, FRelease, FLevel = 0;
  std::vector<double> FLevels = std::vector<double>(1024);
};

// A flanger computed as the library's flanger filter computes it: samples
// and delay line in double, the swept delay from a float table of one sweep
// (sine, starting at its lowest point), linear interpolation between the two
// nearest delayed samples, the feedback taken from the last interpolated
// one. The delay line is kept twice over, so no index wraps.
class FlangerProcessor : public SampleProcessor {
public:
  FlangerProcessor(int rate, int channels, const effects::FlangerParams& p)
      : SampleProcessor(channels) {
    double feedback = p.Regen / 100, width = p.Width / 100, phase = p.Phase / 100;
    double delayMin = p.DelayMs / 1000, depth = p.DepthMs / 1000;
    FInGain = 1 / (1 + width);
    width /= 1 + width;
    width *= 1 - std::fabs(feedback);
    FFeedback = feedback;
    FWidth = width;
    FMax = int((delayMin + depth) * rate + 2.5);
    const int length = int(rate / p.Speed);
    FLfo.resize(size_t(length));
    const double lo = std::rint(delayMin * rate), hi = FMax - 2.;
    const uint32_t offset =
        uint32_t(3 * (std::numbers::pi / 2) / std::numbers::pi / 2 * length + 0.5);
    for (uint32_t i = 0; i < uint32_t(length); ++i) {
      uint32_t point = (i + offset) % uint32_t(length);
      double d = (std::sin(double(point) / length * 2 * std::numbers::pi) + 1) / 2;
      FLfo[i] = float(d * (hi - lo) + lo);
    }
    for (int c = 0; c < channels; ++c) {
      FLfoPos[c] = int(c * length * phase + .5) % length;
      FLine[c].assign(size_t(2 * FMax), 0.0);
    }
  }

protected:
  void Apply(float* d, int64_t frames) override {
    const int ch = FChannels, max = FMax, length = int(FLfo.size());
    for (int64_t i = 0; i < frames; ++i) {
      FPos = FPos == 0 ? max - 1 : FPos - 1;
      for (int c = 0; c < ch; ++c) {
        double* line = FLine[c].data();
        double delay = FLfo[size_t(FLfoPos[c])];
        int whole = int(delay);
        double frac = delay - whole;
        double in = d[i * ch + c];
        line[FPos] = line[FPos + max] = in + FLast[c] * FFeedback;
        double d0 = line[FPos + whole], d1 = line[FPos + whole + 1];
        double delayed = d0 + (d1 - d0) * frac;
        FLast[c] = delayed;
        d[i * ch + c] = float(in * FInGain + delayed * FWidth);
        if (++FLfoPos[c] == length) FLfoPos[c] = 0;
      }
    }
  }

private:
  double FInGain, FFeedback, FWidth;
  int FMax, FPos = 0;
  std::vector<float> FLfo;
  int FLfoPos[2] = {0, 0};
  double FLast[2] = {0, 0};
  std::vector<double> FLine[2];
};

// A biquad in direct form I computed as the library's biquad filters compute
// it: samples in float, state and sums in double, the feedback coefficients
// negated and added, the same order of the sums, and a piece of odd length
// ending with the filter's single-sample step (its own order). Fed the same
// pieces, it gives the filter's output bit for bit; both channels of a
// stereo frame go through the two lanes of one vector.
class BiquadProcessor : public SampleProcessor {
public:
  BiquadProcessor(const BiquadCoefficients& k, int channels) : SampleProcessor(channels), FK(k) {}

protected:
  struct OneLane {
    using T = double;
    static T Load(const float* p) { return double(*p); }
    static void Store(float* p, T v) { *p = float(v); }
    static T Set(double v) { return v; }
    static T Get(const double* v) { return *v; }
    static void Put(double* v, T x) { *v = x; }
    static T Add(T a, T b) { return a + b; }
    static T Mul(T a, T b) { return a * b; }
  };
  struct TwoLanes {
    using T = __m128d;
    static T Load(const float* p) {
      return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
    }
    static void Store(float* p, T v) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(v)));
    }
    static T Set(double v) { return _mm_set1_pd(v); }
    static T Get(const double* v) { return _mm_loadu_pd(v); }
    static void Put(double* v, T x) { _mm_storeu_pd(v, x); }
    static T Add(T a, T b) { return _mm_add_pd(a, b); }
    static T Mul(T a, T b) { return _mm_mul_pd(a, b); }
  };

  // Filters n frames at p (stride floats apart); the state of its lanes
  // starts at state + lane, with Lanes doubles between its four values.
  template <class L, int Lanes> void Run(float* p, int64_t n, int stride, double* state) {
    using T = typename L::T;
    const T b0 = L::Set(FK.B0), b1 = L::Set(FK.B1), b2 = L::Set(FK.B2);
    const T a1 = L::Set(-FK.A1), a2 = L::Set(-FK.A2);
    // The filter's dry/wet mix at its default (all wet), kept for the sign of zeros.
    const T wet = L::Set(1.0), dry = L::Set(0.0);
    T i1 = L::Get(state), i2 = L::Get(state + Lanes), o1 = L::Get(state + 2 * Lanes),
      o2 = L::Get(state + 3 * Lanes);
    auto sum = [](T a, T b, T c, T d, T e) {
      return L::Add(L::Add(L::Add(L::Add(a, b), c), d), e);
    };
    auto mix = [&](T out, T in) { return L::Add(L::Mul(out, wet), L::Mul(in, dry)); };
    int64_t i = 0;
    for (; i + 1 < n; i += 2) {
      float* q = p + i * stride;
      T x = L::Load(q);
      o2 = sum(L::Mul(i2, b2), L::Mul(i1, b1), L::Mul(x, b0), L::Mul(o2, a2), L::Mul(o1, a1));
      i2 = x;
      L::Store(q, mix(o2, i2));
      q += stride;
      x = L::Load(q);
      o1 = sum(L::Mul(i1, b2), L::Mul(i2, b1), L::Mul(x, b0), L::Mul(o1, a2), L::Mul(o2, a1));
      i1 = x;
      L::Store(q, mix(o1, i1));
    }
    if (i < n) {
      float* q = p + i * stride;
      T x = L::Load(q);
      T o0 = sum(L::Mul(x, b0), L::Mul(i1, b1), L::Mul(i2, b2), L::Mul(o1, a1), L::Mul(o2, a2));
      i2 = i1;
      i1 = x;
      o2 = o1;
      o1 = o0;
      L::Store(q, mix(o0, i1));
    }
    L::Put(state, i1);
    L::Put(state + Lanes, i2);
    L::Put(state + 2 * Lanes, o1);
    L::Put(state + 3 * Lanes, o2);
  }

  void Apply(float* d, int64_t frames) override {
    if (FChannels == 2) {
      Run<TwoLanes, 2>(d, frames, 2, FState);
      return;
    }
    for (int c = 0; c < FChannels; ++c)
      Run<OneLane, 2>(d + c, frames, FChannels, FState + c);
  }

private:
  BiquadCoefficients FK;
  // i1, i2, o1, o2, each for the two channels.
  double FState[8] = {};
};

// Q from the dialogs' steepness: 1 % gives a gentle 0.5, 100 % a sharp 10.
double SteepnessToQ(float steepness) {
  double s = std::clamp<double>(steepness, 1, 100) / 100.0;
  return 0.5 * std::pow(20.0, s);
}

double ClampFreq(int rate, float f) {
  return std::clamp<double>(f, 10.0, 0.499 * rate);
}

} // namespace

ProcessorPtr MakeFilterProcessor(const std::string& chain, int sampleRate, int channels,
                                 bool keepsLength, int outRate, int outChannels) {
  sampleRate = std::clamp(sampleRate, 1000, 384000);
  channels = std::clamp(channels, 1, 2);
  outRate = outRate > 0 ? std::clamp(outRate, 1000, 384000) : sampleRate;
  outChannels = outChannels > 0 ? std::clamp(outChannels, 1, 2) : channels;
  return std::make_unique<FilterProcessor>(chain, sampleRate, channels, keepsLength, outRate,
                                           outChannels);
}

std::string ConversionChain(int rate, int channels, int outRate, int outChannels) {
  std::string chain;
  if (channels == 2 && outChannels == 1)
    chain = "pan=mono|c0=0.5*c0+0.5*c1";
  else if (channels == 1 && outChannels == 2)
    chain = "pan=stereo|c0=c0|c1=c0";
  if (rate != outRate)
    chain += (chain.empty() ? "" : ",") + std::string("aresample=") + std::to_string(outRate);
  return chain;
}

ProcessorPtr MakeGain(float gain, int channels, const std::vector<float>& offsets) {
  return std::make_unique<GainOffset>(gain, offsets, channels);
}

ProcessorPtr MakeRamp(float startGain, float endGain, int64_t frames, int channels) {
  return std::make_unique<RampProcessor>(startGain, endGain, frames, channels);
}

ProcessorPtr MakeNoise(float amplitude, bool gaussian, int channels, uint32_t seed) {
  return std::make_unique<NoiseProcessor>(amplitude, gaussian, channels, seed);
}

ProcessorPtr MakeCompressor(int sampleRate, int channels, float thresholdDb, float ratePercent,
                            float rmsMs) {
  effects::CompressorParams p = effects::CompressorParameters(thresholdDb, ratePercent, rmsMs);
  return std::make_unique<CompressorProcessor>(std::clamp(sampleRate, 1000, 384000),
                                               std::clamp(channels, 1, 2), p.Threshold, p.Ratio,
                                               p.AttackMs, p.ReleaseMs);
}

ProcessorPtr MakeBiquad(const BiquadCoefficients& k, int channels) {
  return std::make_unique<BiquadProcessor>(k, std::clamp(channels, 1, 2));
}

ProcessorPtr MakeFlanger(int sampleRate, int channels, float delayRate, float mix, float feedback,
                         float sweepDepth, float sweepRate, float sweepPhase) {
  return std::make_unique<FlangerProcessor>(
      std::clamp(sampleRate, 1000, 384000), std::clamp(channels, 1, 2),
      effects::FlangerParameters(delayRate, mix, feedback, sweepDepth, sweepRate, sweepPhase));
}

ProcessorPtr MakeReverb(int sampleRate, int channels, float delayMs, float mixPercent,
                        float feedbackPercent, float reverbPercent, float dampHz, int stages) {
  return std::make_unique<ReverbProcessor>(sampleRate, channels, delayMs, mixPercent,
                                           feedbackPercent, reverbPercent, dampHz, stages);
}

namespace effects {

// Logarithm and exponential by range reduction and series, within a few
// units in the last place of a double: the C runtime's took most of the
// compressor's time.
namespace {
constexpr double kLn2Hi = 6.93147180369123816490e-01, kLn2Lo = 1.90821492927058770002e-10;
// Rounds to the nearest integer when added and taken away again (the C
// runtime's nearbyint is a slow call).
constexpr double kRound = 0x1.8p52;
// The series by Estrin's scheme (short dependency chains), written once for
// one double and for two lanes so that both give the same bits.
struct OneLane {
  using T = double;
  static T Set(double v) { return v; }
  static T Mad(T a, T b, T c) { return a * b + c; }
  static T Mul(T a, T b) { return a * b; }
};
struct TwoLanes {
  using T = __m128d;
  static T Set(double v) { return _mm_set1_pd(v); }
  static T Mad(T a, T b, T c) { return _mm_add_pd(_mm_mul_pd(a, b), c); }
  static T Mul(T a, T b) { return _mm_mul_pd(a, b); }
};

// exp(r) = sum of r^n / n! for n = 0..13 (remainder below 1e-17 for |r| <= ln 2 / 2).
template <class L> typename L::T ExpSeries(typename L::T r) {
  static constexpr auto kInvFact = [] {
    std::array<double, 14> v{};
    double f = 1;
    for (int n = 0; n < 14; ++n)
      v[size_t(n)] = 1.0 / (f *= n > 0 ? n : 1);
    return v;
  }();
  auto c = [](int n) { return L::Set(kInvFact[size_t(n)]); };
  auto r2 = L::Mul(r, r), r4 = L::Mul(r2, r2), r8 = L::Mul(r4, r4);
  auto q0 = L::Mad(c(1), r, c(0)), q1 = L::Mad(c(3), r, c(2)), q2 = L::Mad(c(5), r, c(4));
  auto q3 = L::Mad(c(7), r, c(6)), q4 = L::Mad(c(9), r, c(8)), q5 = L::Mad(c(11), r, c(10));
  auto q6 = L::Mad(c(13), r, c(12));
  auto s0 = L::Mad(q1, r2, q0), s1 = L::Mad(q3, r2, q2), s2 = L::Mad(q5, r2, q4);
  auto t0 = L::Mad(s1, r4, s0), t1 = L::Mad(q6, r4, s2);
  return L::Mad(t1, r8, t0);
}

// atanh(s) / s - 1 = z/3 + z^2/5 + ... + z^10/21 with z = s^2, divided by z.
template <class L> typename L::T LogSeries(typename L::T z) {
  auto a = [](int i) { return L::Set(1.0 / (2 * i + 3)); };
  auto z2 = L::Mul(z, z), z4 = L::Mul(z2, z2), z8 = L::Mul(z4, z4);
  auto q0 = L::Mad(a(1), z, a(0)), q1 = L::Mad(a(3), z, a(2)), q2 = L::Mad(a(5), z, a(4));
  auto q3 = L::Mad(a(7), z, a(6)), q4 = L::Mad(a(9), z, a(8));
  auto s0 = L::Mad(q1, z2, q0), s1 = L::Mad(q3, z2, q2);
  auto t0 = L::Mad(s1, z4, s0);
  return L::Mad(q4, z8, t0);
}
} // namespace

double FastLog(double x) {
  if (!(x > 0) || !std::isfinite(x)) return std::log(x);
  uint64_t bits;
  std::memcpy(&bits, &x, 8);
  int e = int(bits >> 52) - 1023;
  if (e == -1023) { // subnormal: scale into the normal range first
    return FastLog(x * 0x1p54) - 54 * std::numbers::ln2;
  }
  // x = m × 2^e with m in [sqrt(1/2), sqrt(2)).
  bits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
  double m;
  std::memcpy(&m, &bits, 8);
  if (m > std::numbers::sqrt2) {
    m *= 0.5;
    ++e;
  }
  // log(m) = 2 atanh(s) with s = (m - 1) / (m + 1), |s| < 0.172; the
  // series to s^21 (remainder below 1e-17).
  double s = (m - 1.0) / (m + 1.0), z = s * s;
  double p = LogSeries<OneLane>(z);
  double s2 = 2.0 * s;
  double logm = s2 + s2 * z * p;
  return e * kLn2Hi + (logm + e * kLn2Lo);
}

double FastExp(double x) {
  if (!(std::fabs(x) <= 700)) return std::exp(x);
  // x = k ln 2 + r with |r| <= ln 2 / 2.
  double k = (x * std::numbers::log2e + kRound) - kRound;
  double r = (x - k * kLn2Hi) - k * kLn2Lo;
  double p = ExpSeries<OneLane>(r);
  uint64_t bits = uint64_t(int64_t(k) + 1023) << 52;
  double scale;
  std::memcpy(&scale, &bits, 8);
  return p * scale;
}

__m128d FastLog2(__m128d x) {
  const __m128i bits = _mm_castpd_si128(x);
  // The biased exponent as a double, by the magic constant 2^52.
  const __m128d magic = _mm_set1_pd(0x1p52);
  __m128d e = _mm_sub_pd(
      _mm_castsi128_pd(_mm_or_si128(_mm_srli_epi64(bits, 52), _mm_castpd_si128(magic))), magic);
  e = _mm_sub_pd(e, _mm_set1_pd(1023.0));
  __m128d m =
      _mm_castsi128_pd(_mm_or_si128(_mm_and_si128(bits, _mm_set1_epi64x(0x000FFFFFFFFFFFFFll)),
                                    _mm_set1_epi64x(0x3FF0000000000000ll)));
  __m128d big = _mm_cmpgt_pd(m, _mm_set1_pd(std::numbers::sqrt2));
  m = _mm_or_pd(_mm_and_pd(big, _mm_mul_pd(m, _mm_set1_pd(0.5))), _mm_andnot_pd(big, m));
  e = _mm_add_pd(e, _mm_and_pd(big, _mm_set1_pd(1.0)));
  const __m128d one = _mm_set1_pd(1.0);
  __m128d s = _mm_div_pd(_mm_sub_pd(m, one), _mm_add_pd(m, one)), z = _mm_mul_pd(s, s);
  __m128d p = LogSeries<TwoLanes>(z);
  __m128d s2 = _mm_mul_pd(_mm_set1_pd(2.0), s);
  __m128d logm = _mm_add_pd(s2, _mm_mul_pd(_mm_mul_pd(s2, z), p));
  return _mm_add_pd(_mm_mul_pd(e, _mm_set1_pd(kLn2Hi)),
                    _mm_add_pd(logm, _mm_mul_pd(e, _mm_set1_pd(kLn2Lo))));
}

__m128d FastExp2(__m128d x) {
  const __m128d round = _mm_set1_pd(kRound);
  __m128d k = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(x, _mm_set1_pd(std::numbers::log2e)), round), round);
  __m128d r = _mm_sub_pd(_mm_sub_pd(x, _mm_mul_pd(k, _mm_set1_pd(kLn2Hi))),
                         _mm_mul_pd(k, _mm_set1_pd(kLn2Lo)));
  __m128d p = ExpSeries<TwoLanes>(r);
  // 2^k: k + 1023 in the low bits of (k + 1023 + 2^52), moved to the exponent.
  const __m128d magic = _mm_set1_pd(0x1p52);
  __m128i biased = _mm_castpd_si128(_mm_add_pd(_mm_add_pd(k, _mm_set1_pd(1023.0)), magic));
  return _mm_mul_pd(p, _mm_castsi128_pd(_mm_slli_epi64(biased, 52)));
}

float DbToGain(float db) {
  return float(std::pow(10.0, std::clamp<double>(db, -200, 200) / 20.0));
}

// volume: the percentage is the linear factor (316 % = +10 dB).
std::string AmplifyChain(float percent) {
  return "volume=volume=" + Num(std::clamp<double>(percent, 0, 100000) / 100.0) +
         ":precision=float";
}

float AmplifyGain(float percent) {
  return float(std::strtod(Num(std::clamp<double>(percent, 0, 100000) / 100.0).c_str(), nullptr));
}

// acompressor: threshold dB → linear; rate 0..100 % → ratio 1..20 (100 % is a
// limiter-like 20:1); the RMS time is the attack in ms (0.01..2000), release
// four times that (at least 50 ms, at most 9000); RMS detection.
CompressorParams CompressorParameters(float thresholdDb, float ratePercent, float rmsMs) {
  // Each value as the chain's text gives it (six significant digits).
  auto text = [](double v) { return std::strtod(Num(v).c_str(), nullptr); };
  CompressorParams p;
  p.Ratio = text(1.0 + std::clamp<double>(ratePercent, 0, 100) / 100.0 * 19.0);
  double attack = std::clamp<double>(rmsMs, 0.01, 2000);
  p.AttackMs = text(attack);
  p.ReleaseMs = text(std::clamp(attack * 4, 50.0, 9000.0));
  p.Threshold =
      text(std::clamp<double>(DbToGain(std::clamp<float>(thresholdDb, -92, 0)), 0.000976563, 1.0));
  return p;
}

std::string CompressorChain(float thresholdDb, float ratePercent, float rmsMs) {
  CompressorParams p = CompressorParameters(thresholdDb, ratePercent, rmsMs);
  return "acompressor=threshold=" + Num(p.Threshold) + ":ratio=" + Num(p.Ratio) +
         ":attack=" + Num(p.AttackMs) + ":release=" + Num(p.ReleaseMs) + ":detection=rms:makeup=1";
}

// agate as a downward expander: threshold dB → linear; rate 0..100 % → ratio
// 1..20; range 0 (no floor); RMS time → attack, release four times that.
std::string ExpanderChain(float thresholdDb, float ratePercent, float rmsMs) {
  double ratio = 1.0 + std::clamp<double>(ratePercent, 0, 100) / 100.0 * 19.0;
  double attack = std::clamp<double>(rmsMs, 0.01, 2000);
  double release = std::clamp(attack * 4, 50.0, 9000.0);
  double thr = std::clamp<double>(DbToGain(std::clamp<float>(thresholdDb, -92, 0)), 0.0, 1.0);
  return "agate=threshold=" + Num(thr) + ":ratio=" + Num(ratio) + ":attack=" + Num(attack) +
         ":release=" + Num(release) + ":range=0:detection=rms";
}

// pan: new L = LL % of old L + LR % of old R; new R = RL % of old L + RR % of old R.
std::string ChannelConverterChain(float ll, float lr, float rl, float rr) {
  auto g = [](float p) { return Num(std::clamp<double>(p, 0, 100) / 100.0); };
  return "pan=stereo|c0=" + g(ll) + "*c0+" + g(lr) + "*c1|c1=" + g(rl) + "*c0+" + g(rr) + "*c1";
}

// vibrato: frequency Hz (0.1..20000), depth % → 0..1. The phase has no
// counterpart in the filter and is not used.
std::string VibratoChain(float depthPercent, float frequencyHz, float phase) {
  (void)phase;
  return "vibrato=f=" + Num(std::clamp<double>(frequencyHz, 0.1, 20000)) +
         ":d=" + Num(std::clamp<double>(depthPercent, 0, 100) / 100.0);
}

// aecho as a feedback delay: tap k (k = 1..) at k × delay with gain
// mix % × feedback %^(k-1), taps up to 0.1 % gain (at most 24); dry level 1.
std::string DelayChain(float delayMs, float mixPercent, float feedbackPercent) {
  double d = std::clamp<double>(delayMs, 1, 1000);
  double mix = std::clamp<double>(mixPercent, 0, 100) / 100.0;
  double fb = std::clamp<double>(feedbackPercent, 0, 100) / 100.0;
  std::string delays, decays;
  double g = std::max(mix, 1e-6);
  for (int k = 1; k <= 24 && (k == 1 || g >= 0.001); ++k, g *= fb) {
    if (k > 1) {
      delays += "|";
      decays += "|";
    }
    delays += Num(d * k);
    decays += Num(std::min(g, 1.0));
    if (fb <= 0) break;
  }
  return "aecho=in_gain=1:out_gain=1:delays=" + delays + ":decays=" + decays;
}

// aphaser: delay 1..1000 ms → 0.005..5 ms of the filter; feedback % → decay
// 0..0.99; mix % → output gain of the wet path (in_gain 1 − mix/2).
std::string PhaserChain(int sampleRate, float delayMs, float mixPercent, float feedbackPercent) {
  (void)sampleRate;
  double delay = std::clamp<double>(delayMs, 1, 1000) / 1000.0 * 5.0;
  double decay = std::clamp<double>(feedbackPercent, 0, 100) / 100.0 * 0.99;
  double mix = std::clamp<double>(mixPercent, 0, 100) / 100.0;
  return "aphaser=in_gain=" + Num(1.0 - mix / 2) +
         ":out_gain=1:delay=" + Num(std::max(delay, 0.01)) + ":decay=" + Num(decay) +
         ":speed=0.5:type=t";
}

// flanger: delay rate % → base delay 0..30 ms; sweep depth % → 0..10 ms;
// feedback % → regen 0..95; mix % → width; sweep rate % → speed 0.1..10 Hz;
// sweep phase degrees → channel phase 0..100 %.
FlangerParams FlangerParameters(float delayRate, float mix, float feedback, float sweepDepth,
                                float sweepRate, float sweepPhase) {
  // Each value as the chain's text gives it (six significant digits).
  auto text = [](double v) { return std::strtod(Num(v).c_str(), nullptr); };
  FlangerParams p;
  p.DelayMs = text(std::clamp<double>(delayRate, 0, 100) / 100.0 * 30.0);
  p.DepthMs = text(std::clamp<double>(sweepDepth, 0, 100) / 100.0 * 10.0);
  p.Regen = text(std::clamp<double>(feedback, 0, 100) * 0.95);
  p.Width = text(std::clamp<double>(mix, 0, 100));
  p.Speed = text(std::clamp(std::clamp<double>(sweepRate, 0, 100) / 10.0, 0.1, 10.0));
  p.Phase = text(std::fmod(std::clamp<double>(sweepPhase, 0, 100000), 360.0) / 360.0 * 100.0);
  return p;
}

std::string FlangerChain(float delayRate, float mix, float feedback, float sweepDepth,
                         float sweepRate, float sweepPhase) {
  FlangerParams p = FlangerParameters(delayRate, mix, feedback, sweepDepth, sweepRate, sweepPhase);
  return "flanger=delay=" + Num(p.DelayMs) + ":depth=" + Num(p.DepthMs) + ":regen=" + Num(p.Regen) +
         ":width=" + Num(p.Width) + ":speed=" + Num(p.Speed) + ":phase=" + Num(p.Phase);
}

// chorus: one voice at the delay (ms) with decay mix %, sweep rate % → 0.1..5
// Hz, sweep depth % → 0..min(delay, 10) ms; feedback % adds a second voice at
// twice the delay with decay mix × feedback. The phase is not used.
std::string ChorusChain(float delayMs, float mix, float feedback, float sweepDepth, float sweepRate,
                        float sweepPhase) {
  (void)sweepPhase;
  double d = std::clamp<double>(delayMs, 1, 1000);
  double m = std::clamp<double>(mix, 0, 100) / 100.0;
  double fb = std::clamp<double>(feedback, 0, 100) / 100.0;
  double speed = std::max(0.1, std::clamp<double>(sweepRate, 0, 100) / 100.0 * 5.0);
  double depth = std::max(0.01, std::clamp<double>(sweepDepth, 0, 100) / 100.0 * std::min(d, 10.0));
  std::string s = "chorus=in_gain=1:out_gain=1:delays=" + Num(d);
  std::string decays = Num(std::max(m, 0.0001)), speeds = Num(speed), depths = Num(depth);
  if (fb > 0) {
    s += "|" + Num(2 * d);
    decays += "|" + Num(std::max(m * fb, 0.0001));
    speeds += "|" + Num(speed);
    depths += "|" + Num(depth);
  }
  return s + ":decays=" + decays + ":speeds=" + speeds + ":depths=" + depths;
}

// Pitch by rate %: the new frequency is 100/rate of the old (60 raises the
// pitch by 5/3); asetrate + aresample change the pitch and the length, atempo
// restores the length.
std::string PitchShiftChain(int sampleRate, float ratePercent) {
  double f = 100.0 / std::clamp<double>(ratePercent, 50, 500);
  int shifted = std::max(1, int(std::lround(sampleRate * f)));
  return "asetrate=" + std::to_string(shifted) + ",aresample=" + std::to_string(sampleRate) +
         ",atempo=" + Num(1.0 / f);
}

// atempo: rate % is the tempo (60 % plays slower, length × 100/60).
std::string StretchTimeChain(float ratePercent) {
  return "atempo=" + Num(std::clamp<double>(ratePercent, 50, 500) / 100.0);
}

// Biquads: frequency clamped below Nyquist, steepness % → Q 0.5..10 (see
// SteepnessToQ). Low and high pass use two cascaded stages (24 dB/octave).
std::string NotchChain(int sampleRate, float frequency, float steepness) {
  return "bandreject=f=" + Num(ClampFreq(sampleRate, frequency)) +
         ":width_type=q:w=" + Num(SteepnessToQ(steepness));
}
std::string BandPassChain(int sampleRate, float frequency, float steepness) {
  return "bandpass=f=" + Num(ClampFreq(sampleRate, frequency)) +
         ":width_type=q:w=" + Num(SteepnessToQ(steepness));
}

// The band filters' coefficients as the library derives them from the chain's
// text: the numbers as printed there, at the rate the chain runs at.
namespace {
struct BandShape {
  double Alpha, Cos;
};
BandShape BandOf(int sampleRate, float frequency, float steepness) {
  auto text = [](double v) { return std::strtod(Num(v).c_str(), nullptr); };
  double f = text(ClampFreq(sampleRate, frequency)), q = text(SteepnessToQ(steepness));
  double w0 = 2 * std::numbers::pi * f / std::clamp(sampleRate, 1000, 384000);
  return {std::sin(w0) / (2 * q), std::cos(w0)};
}
BiquadCoefficients Normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
  return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}
} // namespace

BiquadCoefficients NotchCoefficients(int sampleRate, float frequency, float steepness) {
  BandShape s = BandOf(sampleRate, frequency, steepness);
  return Normalised(1, -2 * s.Cos, 1, 1 + s.Alpha, -2 * s.Cos, 1 - s.Alpha);
}

BiquadCoefficients BandPassCoefficients(int sampleRate, float frequency, float steepness) {
  BandShape s = BandOf(sampleRate, frequency, steepness);
  return Normalised(s.Alpha, 0, -s.Alpha, 1 + s.Alpha, -2 * s.Cos, 1 - s.Alpha);
}
std::string LowPassChain(int sampleRate, float frequency, float steepness) {
  std::string one = "lowpass=f=" + Num(ClampFreq(sampleRate, frequency)) +
                    ":width_type=q:w=" + Num(std::min(SteepnessToQ(steepness), 2.0) * 0.707);
  return one + "," + one;
}
std::string HighPassChain(int sampleRate, float frequency, float steepness) {
  std::string one = "highpass=f=" + Num(ClampFreq(sampleRate, frequency)) +
                    ":width_type=q:w=" + Num(std::min(SteepnessToQ(steepness), 2.0) * 0.707);
  return one + "," + one;
}
// Shelves: gain dB (−90..90), steepness % → shelf slope 0.01..1.
std::string LowShelfChain(int sampleRate, float gainDb, float frequency, float steepness) {
  return "lowshelf=g=" + Num(std::clamp<double>(gainDb, -90, 90)) +
         ":f=" + Num(ClampFreq(sampleRate, frequency)) +
         ":width_type=s:w=" + Num(std::clamp<double>(steepness, 1, 100) / 100.0);
}
std::string HighShelfChain(int sampleRate, float gainDb, float frequency, float steepness) {
  return "highshelf=g=" + Num(std::clamp<double>(gainDb, -90, 90)) +
         ":f=" + Num(ClampFreq(sampleRate, frequency)) +
         ":width_type=s:w=" + Num(std::clamp<double>(steepness, 1, 100) / 100.0);
}
// equalizer: peak gain dB at the frequency, steepness % → Q.
std::string PeakEqChain(int sampleRate, float gainDb, float frequency, float steepness) {
  return "equalizer=f=" + Num(ClampFreq(sampleRate, frequency)) +
         ":width_type=q:w=" + Num(SteepnessToQ(steepness)) +
         ":g=" + Num(std::clamp<double>(gainDb, -90, 90));
}

// silenceremove: every stretch below the threshold (peak detection) lasting
// longer than the release time is removed, keeping `attack` ms of it at each
// edge so that sounds do not start abruptly.
std::string DeleteSilenceChain(float thresholdDb, float attackMs, float releaseMs) {
  double thr = DbToGain(std::clamp<float>(thresholdDb, -92, 0));
  double release = std::clamp<double>(releaseMs, 1, 5000) / 1000.0;
  double attack = std::clamp<double>(attackMs, 1, 500) / 1000.0;
  return "silenceremove=stop_periods=-1:stop_duration=" + Num(release) +
         ":stop_threshold=" + Num(thr) + ":stop_silence=" + Num(std::min(attack, release)) +
         ":detection=peak";
}

} // namespace effects

// ---------------------------------------------------------------------------
// Application to a document

namespace {
constexpr int64_t kChunkFrames = 65536;

void Report(const ApplyOptions& opt, int64_t done, int64_t total) {
  if (opt.Progress)
    opt.Progress(int(std::clamp<int64_t>(total > 0 ? done * 100 / total : 100, 0, 100)));
}
} // namespace

int64_t ApplyProcessor(Document& doc, int64_t start, int64_t end, Processor& proc,
                       const ApplyOptions& opt) {
  const int ch = doc.Channels();
  const int64_t len = doc.Length();
  start = std::clamp<int64_t>(start, 0, len);
  end = std::clamp<int64_t>(end, 0, len);
  if (end < start) std::swap(start, end);
  const int64_t total = end - start;
  if (total == 0) return 0;
  const bool keep = proc.KeepsLength();
  unsigned allMask = ch == 1 ? 1u : 3u;
  const unsigned mask = opt.ChannelMask & allMask;
  if (mask == 0) return total; // nothing enabled to act on
  const int64_t smooth = keep ? std::clamp<int64_t>(opt.SmoothFrames, 0, total / 2) : 0;
  // Length the result is cut or padded to; -1 takes what the processor gives.
  const int64_t target = keep                  ? total
                         : opt.LengthRatio > 0 ? std::llround(double(total) * opt.LengthRatio)
                                               : -1;

  SequenceBuilder out(doc.Store(), ch);
  out.AppendRange(doc.Seq(), 0, start);
  out.Expect(target >= 0 ? target : total);
  std::vector<float> in(size_t(kChunkFrames * ch)), pending, orig;
  int64_t written = 0; // processed frames already in `out`
  auto emit = [&](bool last) {
    int64_t avail = int64_t(pending.size()) / ch;
    if (keep) avail = std::min(avail, total - written);
    if (avail <= 0) {
      pending.clear();
      return;
    }
    float* p = pending.data();
    if (keep && (mask != allMask || smooth > 0)) {
      orig.resize(size_t(avail * ch));
      doc.ReadPass(start + written, avail, orig.data());
      for (int64_t f = 0; f < avail; ++f) {
        int64_t k = written + f;
        float w = 1.0f;
        if (k < smooth)
          w = float(k + 1) / float(smooth + 1);
        else if (k >= total - smooth)
          w = float(total - k) / float(smooth + 1);
        for (int c = 0; c < ch; ++c) {
          float& s = p[f * ch + c];
          float o = orig[size_t(f * ch + c)];
          s = (mask & (1u << c)) ? o + (s - o) * w : o;
        }
      }
    }
    out.Append(p, avail);
    written += avail;
    pending.erase(pending.begin(), pending.begin() + avail * ch);
    if (last) pending.clear();
  };
  for (int64_t pos = 0; pos < total; pos += kChunkFrames) {
    int64_t n = std::min(kChunkFrames, total - pos);
    doc.ReadPass(start + pos, n, in.data());
    proc.Process(in.data(), n, pending);
    emit(false);
    Report(opt, pos + n, total);
  }
  proc.Finish(pending);
  emit(true);
  if (target >= 0 && written < target) {
    // A filter that swallowed its tail: the rest is silence.
    out.AppendSilence(target - written);
    written = target;
  }
  out.AppendRange(doc.Seq(), end, len);
  Document::State next = doc.Current();
  next.Seq = out.Finish();
  doc.Commit(std::move(next));
  return written;
}

void ReverseRange(Document& doc, int64_t start, int64_t end, const ApplyOptions& opt) {
  const int ch = doc.Channels();
  const int64_t len = doc.Length();
  start = std::clamp<int64_t>(start, 0, len);
  end = std::clamp<int64_t>(end, 0, len);
  if (end < start) std::swap(start, end);
  const int64_t total = end - start;
  if (total == 0) return;
  const unsigned allMask = ch == 1 ? 1u : 3u, mask = opt.ChannelMask & allMask;
  const Sequence& seq = doc.Seq();
  SequenceBuilder out(doc.Store(), ch);
  out.AppendRange(seq, 0, start);
  std::vector<float> buf, orig;
  if (mask == allMask) {
    // The range's blocks from last to first: a block wholly inside becomes a
    // reversed view of itself, without a copy; the parts of blocks at the
    // range's edges (and blocks a view cannot summarise) are copied reversed.
    int64_t done = 0;
    for (size_t i = seq.Find(end - 1) + 1; i-- > seq.Find(start);) {
      const BlockPtr& b = seq.BlockAt(i);
      const int64_t bs = seq.StartOf(i), a = std::max(start, bs),
                    z = std::min(end, bs + b->Frames());
      if (a == bs && z == bs + b->Frames() && b->Channels() == ch && Block::CanReverse(*b)) {
        out.AppendBlock(Block::Reversed(b));
      } else {
        buf.resize(size_t((z - a) * ch));
        doc.ReadPass(a, z - a, buf.data());
        ReverseFrames(buf.data(), z - a, ch);
        out.Append(buf.data(), z - a);
      }
      done += z - a;
      Report(opt, done, total);
    }
  } else {
    // One channel reversed, the other kept: copied chunk by chunk.
    buf.resize(size_t(kChunkFrames * ch));
    for (int64_t done = 0; done < total; done += kChunkFrames) {
      int64_t n = std::min(kChunkFrames, total - done);
      // Output frames [done, done + n) come from input [total - done - n, total - done), reversed.
      doc.ReadPass(start + total - done - n, n, buf.data());
      ReverseFrames(buf.data(), n, ch);
      orig.resize(size_t(n * ch));
      doc.ReadPass(start + done, n, orig.data());
      for (int64_t f = 0; f < n; ++f)
        for (int c = 0; c < ch; ++c)
          if (!(mask & (1u << c))) buf[size_t(f * ch + c)] = orig[size_t(f * ch + c)];
      out.Append(buf.data(), n);
      Report(opt, done + n, total);
    }
  }
  out.AppendRange(seq, end, len);
  Document::State next = doc.Current();
  next.Seq = out.Finish();
  doc.Commit(std::move(next));
}

void MeasureRange(const Document& doc, int64_t start, int64_t end, std::vector<float>& mn,
                  std::vector<float>& mx, std::vector<double>& mean, const ProgressFn& progress) {
  const int ch = doc.Channels();
  start = std::clamp<int64_t>(start, 0, doc.Length());
  end = std::clamp<int64_t>(end, 0, doc.Length());
  if (end < start) std::swap(start, end);
  mean.assign(size_t(ch), 0.0);
  mn.assign(size_t(ch), 0.0f);
  mx.assign(size_t(ch), 0.0f);
  if (end == start) return;
  std::fill(mn.begin(), mn.end(), INFINITY);
  std::fill(mx.begin(), mx.end(), -INFINITY);
  std::vector<float> buf;
  auto samples = [&](int64_t from, int64_t n) {
    buf.resize(size_t(n * ch));
    doc.Read(from, n, buf.data());
    for (int64_t f = 0; f < n; ++f)
      for (int c = 0; c < ch; ++c) {
        float v = buf[size_t(f * ch + c)];
        mean[size_t(c)] += v;
        mn[size_t(c)] = std::min(mn[size_t(c)], v);
        mx[size_t(c)] = std::max(mx[size_t(c)], v);
      }
  };
  // Whole summary entries come from the blocks' summaries; only the partial
  // entries at the edges of the range are read.
  const Sequence& seq = doc.Seq();
  for (size_t i = seq.Find(start); i < seq.Count() && seq.StartOf(i) < end; ++i) {
    const Block& b = *seq.BlockAt(i);
    const int64_t bs = seq.StartOf(i), frames = b.Frames();
    const int64_t a = std::max(start, bs) - bs, z = std::min(end, bs + frames) - bs;
    const int64_t entries = (frames + kFineFrames - 1) / kFineFrames;
    const int64_t ea = (a + kFineFrames - 1) / kFineFrames;
    const int64_t ez = z == frames ? entries : z / kFineFrames;
    if (b.Channels() != ch || ea >= ez) {
      samples(bs + a, z - a);
    } else {
      if (a < ea * kFineFrames) samples(bs + a, ea * kFineFrames - a);
      const auto& fine = b.Fine();
      const auto& sums = b.Sums();
      for (int64_t e = ea; e < ez; ++e)
        for (int c = 0; c < ch; ++c) {
          const Peak& p = fine[size_t(e * ch + c)];
          mn[size_t(c)] = std::min(mn[size_t(c)], p.Min);
          mx[size_t(c)] = std::max(mx[size_t(c)], p.Max);
          mean[size_t(c)] += sums[size_t(e * ch + c)];
        }
      int64_t tail = std::min(ez * kFineFrames, frames);
      if (tail < z) samples(bs + tail, z - tail);
    }
    if (progress) progress(int((bs + z - start) * 10 / (end - start)));
  }
  for (int c = 0; c < ch; ++c)
    mean[size_t(c)] /= double(end - start);
}

} // namespace audioedit
