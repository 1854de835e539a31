// Reads any audio file FFmpeg can open and streams its first audio stream as
// interleaved 16-bit or float frames, converted by libswresample to a
// requested rate and channel count. Positions are frames at the output rate.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace audio {

class TMediaDecoder {
public:
  TMediaDecoder() = default;
  ~TMediaDecoder();
  TMediaDecoder(const TMediaDecoder&) = delete;
  TMediaDecoder& operator=(const TMediaDecoder&) = delete;

  // Opens the file; raises EAudioError with the file name and the reason.
  // The output format starts as the file's own rate and channels.
  void Open(const std::wstring& fileName);
  // Opens with a named input format (FFmpeg's demuxer name, for headerless
  // files) and demuxer options such as {"sample_rate", "8000"}; an empty
  // name probes the file as Open does.
  void Open(const std::wstring& fileName, const std::string& inputFormat,
            const std::map<std::string, std::string>& options);
  void Close();
  bool IsOpen() const { return FFormat != nullptr; }

  int SourceSampleRate() const { return FSourceRate; }
  int SourceChannels() const { return FSourceChannels; }
  // Duration as FFmpeg reports it for the file, in seconds (0 when unknown).
  double Duration() const { return FDuration; }
  // Codec name, for information.
  std::wstring CodecName() const { return FCodecName; }

  // Output format of Read; may be changed at any time (the position is kept).
  void SetOutputFormat(int sampleRate, int channels);
  int SampleRate() const { return FOutRate; }
  int Channels() const { return FOutChannels; }
  // Sample type of Read: 16-bit (the default) or 32-bit float in -1..1.
  // Either Read converts when the other type is set.
  void SetFloatOutput(bool on);
  bool FloatOutput() const { return FFloat; }

  // Total frames at the output rate as the file reports it.
  int64_t Length() const;
  // Frames returned since the start of the file.
  int64_t Position() const { return FPosition; }
  // Reads up to frames frames into out; returns the frames read, 0 at the end.
  size_t Read(int16_t* out, size_t frames);
  size_t Read(float* out, size_t frames);
  std::vector<int16_t> Read(size_t frames);
  // Moves to the frame (clamped to 0..Length) and returns the position reached.
  int64_t Seek(int64_t frame);

  // Damaged packets are skipped and decoding goes on; the time they held
  // reads as silence. True once one was met since Open.
  bool Damaged() const { return FDamageAt >= 0; }
  // Output frame near the first damage met, -1 when none.
  int64_t DamagePosition() const { return FDamageAt; }

private:
  bool DecodeMore(); // appends converted frames to FPending; false at the end
  void NoteDamage();
  void InjectSilence(int64_t samples); // at the source rate
  void ResetConverter();
  void Convert(const AVFrame* f);
  void ConvertSamples(const uint8_t** in, int count); // in null: the converter's tail
  size_t ReadSamples(void* out, size_t frames, bool asFloat);
  size_t PendingSamples() const { return FPending.size() / FSampleBytes; }
  AVFormatContext* FFormat = nullptr;
  AVCodecContext* FCodec = nullptr;
  AVPacket* FPacket = nullptr;
  AVFrame* FFrame = nullptr;
  SwrContext* FSwr = nullptr;
  int FStream = -1;
  int FSourceRate = 0, FSourceChannels = 0;
  int FOutRate = 0, FOutChannels = 0;
  double FDuration = 0;
  int64_t FSourceLength = 0; // frames at the source rate
  int64_t FStartPts = 0;
  int64_t FPosition = 0;
  int64_t FPendingPos = -1;      // output frame of FPending's first frame, -1 unknown
  std::vector<uint8_t> FPending; // converted samples of FSampleBytes each
  size_t FPendingRead = 0;       // samples of FPending already returned
  bool FFloat = false;
  size_t FSampleBytes = sizeof(int16_t);
  bool FDemuxEnd = false, FDecodeEnd = false;
  bool FCountSeek = false;      // time stamps unreliable: seek by counting frames
  bool FExactLength = false;    // the header counts the samples exactly
  int64_t FNextPts = INT64_MIN; // expected time stamp of the next decoded frame
  int64_t FTailSilence = -1;    // source samples of silence still due at a damaged end
  int64_t FDamageAt = -1;
  bool FMuteFrames = false; // the packet being decoded failed a check
  bool FGapPending = false; // damage met since the last good frame
  int FErrorRun = 0;        // errors in a row without a good frame
  std::wstring FFileName, FCodecName;
};

} // namespace audio
