#include "audio/EditorEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>

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
    // Filters that work per channel (the biquads) run the channels in parallel.
    FGraph->nb_threads = channels > 1 ? 2 : 1;
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
  }

protected:
  // Cubic Hermite curve through (x0, p0) and (x1, p1) with slopes m0 and m1.
  static double Hermite(double x, double x0, double x1, double p0, double p1, double m0,
                        double m1) {
    double width = x1 - x0, t = (x - x0) / width;
    m0 *= width;
    m1 *= width;
    double t2 = t * t, t3 = t2 * t;
    double ct2 = -3 * p0 - 2 * m0 + 3 * p1 - m1;
    double ct3 = 2 * p0 + m0 - 2 * p1 + m1;
    return ct3 * t3 + ct2 * t2 + m0 * t + p0;
  }

  double Gain(double level) const {
    double slope = effects::FastLog(level) * 0.5; // the level is a mean square
    double gain = (slope - FThres) / FRatio + FThres;
    if (slope < FKneeStop)
      gain =
          Hermite(slope, FKneeStart, FKneeStop, FKneeStart, FCompressedKneeStop, 1.0, 1.0 / FRatio);
    return effects::FastExp(gain - slope);
  }

  void Apply(float* d, int64_t frames) override {
    const int ch = FChannels;
    double level = FLevel;
    for (int64_t f = 0; f < frames; ++f, d += ch) {
      double a = std::fabs(double(d[0]));
      for (int c = 1; c < ch; ++c)
        a += std::fabs(double(d[c]));
      a /= ch;
      a *= a;
      level += (a - level) * (a > level ? FAttack : FRelease);
      if (level > 0.0 && level > FAdjKneeStart) {
        double g = Gain(level);
        for (int c = 0; c < ch; ++c)
          d[c] = float(double(d[c]) * g);
      }
    }
    FLevel = level;
  }

private:
  double FRatio, FThres, FAdjKneeStart, FKneeStart, FKneeStop, FCompressedKneeStop;
  double FAttack, FRelease, FLevel = 0;
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

ProcessorPtr MakeReverb(int sampleRate, int channels, float delayMs, float mixPercent,
                        float feedbackPercent, float reverbPercent, float dampHz, int stages) {
  return std::make_unique<ReverbProcessor>(sampleRate, channels, delayMs, mixPercent,
                                           feedbackPercent, reverbPercent, dampHz, stages);
}

namespace effects {

// Logarithm and exponential by range reduction and series, within a few
// units in the last place of a double: the C runtime's took most of the
// compressor's time.
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
  // log(m) = 2 atanh(s) with s = (m - 1) / (m + 1), |s| < 0.172.
  double s = (m - 1.0) / (m + 1.0), z = s * s;
  constexpr double kInv[] = {1.0 / 21, 1.0 / 19, 1.0 / 17, 1.0 / 15, 1.0 / 13,
                             1.0 / 11, 1.0 / 9,  1.0 / 7,  1.0 / 5,  1.0 / 3};
  double p = kInv[0];
  for (int i = 1; i < 10; ++i)
    p = p * z + kInv[i];
  double logm = 2.0 * s + 2.0 * s * z * p;
  constexpr double kLn2Hi = 6.93147180369123816490e-01, kLn2Lo = 1.90821492927058770002e-10;
  return e * kLn2Hi + (logm + e * kLn2Lo);
}

double FastExp(double x) {
  if (!(std::fabs(x) <= 700)) return std::exp(x);
  // x = k ln 2 + r with |r| <= ln 2 / 2.
  constexpr double kLn2Hi = 6.93147180369123816490e-01, kLn2Lo = 1.90821492927058770002e-10;
  double k = std::nearbyint(x * std::numbers::log2e);
  double r = (x - k * kLn2Hi) - k * kLn2Lo;
  // exp(r) by its Taylor series to r^13 (remainder below 1e-17).
  constexpr double kInvFact[] = {1.0 / 6227020800.0,
                                 1.0 / 479001600.0,
                                 1.0 / 39916800.0,
                                 1.0 / 3628800.0,
                                 1.0 / 362880.0,
                                 1.0 / 40320.0,
                                 1.0 / 5040.0,
                                 1.0 / 720.0,
                                 1.0 / 120.0,
                                 1.0 / 24.0,
                                 1.0 / 6.0,
                                 0.5,
                                 1.0,
                                 1.0};
  double p = kInvFact[0];
  for (int i = 1; i < 14; ++i)
    p = p * r + kInvFact[i];
  uint64_t bits = uint64_t(int64_t(k) + 1023) << 52;
  double scale;
  std::memcpy(&scale, &bits, 8);
  return p * scale;
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
std::string FlangerChain(float delayRate, float mix, float feedback, float sweepDepth,
                         float sweepRate, float sweepPhase) {
  double delay = std::clamp<double>(delayRate, 0, 100) / 100.0 * 30.0;
  double depth = std::clamp<double>(sweepDepth, 0, 100) / 100.0 * 10.0;
  double regen = std::clamp<double>(feedback, 0, 100) * 0.95;
  double width = std::clamp<double>(mix, 0, 100);
  double speed = std::clamp(std::clamp<double>(sweepRate, 0, 100) / 10.0, 0.1, 10.0);
  double phase = std::fmod(std::clamp<double>(sweepPhase, 0, 100000), 360.0) / 360.0 * 100.0;
  return "flanger=delay=" + Num(delay) + ":depth=" + Num(depth) + ":regen=" + Num(regen) +
         ":width=" + Num(width) + ":speed=" + Num(speed) + ":phase=" + Num(phase);
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
      doc.Read(start + written, avail, orig.data());
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
    doc.Read(start + pos, n, in.data());
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
  SequenceBuilder out(doc.Store(), ch);
  out.AppendRange(doc.Seq(), 0, start);
  std::vector<float> buf(size_t(kChunkFrames * ch)), orig;
  for (int64_t done = 0; done < total; done += kChunkFrames) {
    int64_t n = std::min(kChunkFrames, total - done);
    // Output frames [done, done + n) come from input [total - done - n, total - done), reversed.
    doc.Read(start + total - done - n, n, buf.data());
    for (int64_t i = 0, j = n - 1; i < j; ++i, --j)
      for (int c = 0; c < ch; ++c)
        std::swap(buf[size_t(i * ch + c)], buf[size_t(j * ch + c)]);
    if (mask != allMask) {
      orig.resize(size_t(n * ch));
      doc.Read(start + done, n, orig.data());
      for (int64_t f = 0; f < n; ++f)
        for (int c = 0; c < ch; ++c)
          if (!(mask & (1u << c))) buf[size_t(f * ch + c)] = orig[size_t(f * ch + c)];
    }
    out.Append(buf.data(), n);
    Report(opt, done + n, total);
  }
  out.AppendRange(doc.Seq(), end, len);
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
