// Effects of the editing engine: streaming processors (libavfilter graphs and
// the engine's own), the mapping of the dialog parameters to them, and the
// application of a processor to a range of a document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <emmintrin.h>

#include "audio/EditorDocument.h"

namespace audioedit {

// Turns interleaved float frames into interleaved float frames of the same
// rate and channel count, possibly with a different length.
class Processor {
public:
  virtual ~Processor() = default;
  // Appends the output produced for `frames` input frames.
  virtual void Process(const float* in, int64_t frames, std::vector<float>& out) = 0;
  // Appends what is still held back at the end of the input.
  virtual void Finish(std::vector<float>& out) { (void)out; }
  // True when the output has exactly as many frames as the input.
  virtual bool KeepsLength() const { return true; }
};

using ProcessorPtr = std::unique_ptr<Processor>;

// A libavfilter chain ("lowpass=f=1000,volume=2") between float buffers.
// The output has the input's rate and channels unless others are given.
ProcessorPtr MakeFilterProcessor(const std::string& chain, int sampleRate, int channels,
                                 bool keepsLength = true, int outRate = 0, int outChannels = 0);
// Chain that converts channels (mono duplicated, stereo averaged) and rate.
std::string ConversionChain(int rate, int channels, int outRate, int outChannels);
// (sample + offset of its channel) × gain; −1 inverts.
ProcessorPtr MakeGain(float gain, int channels, const std::vector<float>& offsets = {});
// Gain that goes linearly from startGain to endGain across `frames` frames.
ProcessorPtr MakeRamp(float startGain, float endGain, int64_t frames, int channels);
// Adds white (uniform) or Gaussian noise of the given RMS-ish amplitude.
ProcessorPtr MakeNoise(float amplitude, bool gaussian, int channels, uint32_t seed = 12345);
// The compressor of CompressorChain, computed by the engine (see effects::CompressorParameters).
ProcessorPtr MakeCompressor(int sampleRate, int channels, float thresholdDb, float ratePercent,
                            float rmsMs);
// Coefficients of a biquad, divided by a0.
struct BiquadCoefficients {
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
};
// A biquad computed as the library's biquad filters compute theirs: fed the
// same pieces as the filter's chain, the output is the chain's to the bit.
ProcessorPtr MakeBiquad(const BiquadCoefficients& k, int channels);
// The flanger of FlangerChain computed by the engine (see effects::FlangerParameters): the
// filter's arithmetic, so the output is the chain's to the bit.
ProcessorPtr MakeFlanger(int sampleRate, int channels, float delayRate, float mix, float feedback,
                         float sweepDepth, float sweepRate, float sweepPhase);
// Reverberation: pre-delay, a bank of damped feedback combs and diffusing all-passes.
ProcessorPtr MakeReverb(int sampleRate, int channels, float delayMs, float mixPercent,
                        float feedbackPercent, float reverbPercent, float dampHz, int stages);

// Parameter mappings of the Transform calls to processors.
namespace effects {
std::string AmplifyChain(float percent);
// The factor of AmplifyChain as the filter applies it.
float AmplifyGain(float percent);
struct CompressorParams {
  double Threshold, Ratio, AttackMs, ReleaseMs; // threshold linear
};
CompressorParams CompressorParameters(float thresholdDb, float ratePercent, float rmsMs);
std::string CompressorChain(float thresholdDb, float ratePercent, float rmsMs);
std::string ExpanderChain(float thresholdDb, float ratePercent, float rmsMs);
std::string ChannelConverterChain(float ll, float lr, float rl, float rr);
std::string VibratoChain(float depthPercent, float frequencyHz, float phase);
std::string DelayChain(float delayMs, float mixPercent, float feedbackPercent);
std::string PhaserChain(int sampleRate, float delayMs, float mixPercent, float feedbackPercent);
struct FlangerParams {
  double DelayMs, DepthMs, Regen, Width, Speed, Phase; // regen, width and phase in %
};
FlangerParams FlangerParameters(float delayRate, float mix, float feedback, float sweepDepth,
                                float sweepRate, float sweepPhase);
std::string FlangerChain(float delayRate, float mix, float feedback, float sweepDepth,
                         float sweepRate, float sweepPhase);
std::string ChorusChain(float delayMs, float mix, float feedback, float sweepDepth, float sweepRate,
                        float sweepPhase);
std::string PitchShiftChain(int sampleRate, float ratePercent);
std::string StretchTimeChain(float ratePercent);
std::string NotchChain(int sampleRate, float frequency, float steepness);
std::string BandPassChain(int sampleRate, float frequency, float steepness);
// The coefficients of NotchChain's and BandPassChain's filters.
BiquadCoefficients NotchCoefficients(int sampleRate, float frequency, float steepness);
BiquadCoefficients BandPassCoefficients(int sampleRate, float frequency, float steepness);
std::string LowPassChain(int sampleRate, float frequency, float steepness);
std::string HighPassChain(int sampleRate, float frequency, float steepness);
std::string LowShelfChain(int sampleRate, float gainDb, float frequency, float steepness);
std::string HighShelfChain(int sampleRate, float gainDb, float frequency, float steepness);
std::string PeakEqChain(int sampleRate, float gainDb, float frequency, float steepness);
std::string DeleteSilenceChain(float thresholdDb, float attackMs, float releaseMs);
float DbToGain(float db);
// exp and log within a few units in the last place of a double (FastExp for
// |x| <= 700, FastLog for x > 0; other arguments go to the C runtime).
double FastExp(double x);
double FastLog(double x);
// The same for two arguments at once, each lane as the single function
// computes it (FastExp2 for |x| <= 700, FastLog2 for 1e-300 <= x <= 1e300).
__m128d FastExp2(__m128d x);
__m128d FastLog2(__m128d x);
} // namespace effects

struct ApplyOptions {
  // Bit 0 first channel, bit 1 second; channels left out keep their samples.
  unsigned ChannelMask = 3;
  // Frames over which the result is cross-faded with the original at both edges.
  int64_t SmoothFrames = 0;
  // For processors that change the length: output length / input length
  // (0 = whatever the processor returns).
  double LengthRatio = 0;
  ProgressFn Progress;
};

// Runs frames [start, end) of the document through the processor and commits
// the result as one history step. Returns the length of the processed range.
int64_t ApplyProcessor(Document& doc, int64_t start, int64_t end, Processor& proc,
                       const ApplyOptions& opt);
// Reverses frames [start, end) (one history step): whole blocks become
// reversed views of themselves, the rest is copied.
void ReverseRange(Document& doc, int64_t start, int64_t end, const ApplyOptions& opt);
// Minimum, maximum and mean per channel of [start, end), from the blocks'
// summaries where whole summary entries lie in the range.
void MeasureRange(const Document& doc, int64_t start, int64_t end, std::vector<float>& mn,
                  std::vector<float>& mx, std::vector<double>& mean,
                  const ProgressFn& progress = {});

} // namespace audioedit
