// Encoders that append interleaved 16-bit frames to a file: WAV written
// directly, MP3 through LAME, OGG Vorbis through libvorbis/vorbisenc, WMA
// through FFmpeg (wmav2 in ASF). Every Write leaves a file that decodes up to
// the frames written so far (WAV sizes rewritten, OGG pages flushed, MP3 frames
// appended), so a killed process loses at most the last block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <windows.h>

namespace audio {

// ---------------------------------------------------------------------------
// Output file. Every Write either lands whole or raises: a failed write cuts
// the file back to the end of the last whole write, so what stays on disk is a
// sequence of complete writes ("Disk is full" or the system's text).

class TFileSink {
public:
  explicit TFileSink(const std::wstring& fileName); // creates or replaces the file
  ~TFileSink();
  TFileSink(const TFileSink&) = delete;
  TFileSink& operator=(const TFileSink&) = delete;

  void Write(const void* data, size_t size);                   // at the current position
  void WriteAt(int64_t offset, const void* data, size_t size); // then back to the end
  void Seek(int64_t offset);
  int64_t Position() const { return FPosition; }
  int64_t Size() const { return FSize; }
  void Close();
  const std::wstring& FileName() const { return FFileName; }

  // Test hook: writes that would grow any file beyond this many bytes fail as
  // on a full disk. Negative switches it off.
  static void SetSizeLimitForTesting(int64_t bytes);

private:
  HANDLE FHandle = INVALID_HANDLE_VALUE;
  std::wstring FFileName;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};

// ---------------------------------------------------------------------------
// Settings

struct TWavSettings {
  int SampleRate = 44100;
  int Channels = 2;
  int BitsPerSample = 16; // 8, 16, 24 or 32 (integer PCM)
};

struct TMp3Settings {
  enum TMode { Cbr, Vbr, Abr };
  int SampleRate = 44100;
  int Channels = 2;
  TMode Mode = Cbr;
  int Kbps = 192;     // Cbr
  int StereoMode = 2; // 1 stereo, 2 joint stereo, 4 dual channel (two channels only)
  int VbrQuality = 7; // Vbr: 0..9, 9 the best
  int AbrKbps = 192;  // Abr
  int MinKbps = 0;    // Vbr/Abr limits, 0 = the encoder's own
  int MaxKbps = 0;
  bool WriteXing = true; // Xing/LAME tag written at close
  bool Checksum = false; // CRC protection
};

struct TOggSettings {
  int SampleRate = 44100;
  int Channels = 2;
  bool UseQuality = true;
  double Quality = 0.4; // -0.1 .. 1.0 when UseQuality
  int Kbps = 128;       // nominal (average) rate otherwise
  int MinKbps = 0;      // 0 = not given
  int MaxKbps = 0;
};

struct TWmaSettings {
  int SampleRate = 44100;
  int Channels = 2;
  int Kbps = 128;
};

// Text tags, written where the format has them: ID3v2 for MP3, Vorbis
// comments for OGG, ASF metadata for WMA. Empty fields and zero numbers are
// left out.
struct TMediaTags {
  std::wstring Title, Artist, Album, Comment, Copyright, Composer, EncodedBy, Genre;
  int Year = 0, Track = 0;
  bool Empty() const;
};

// ---------------------------------------------------------------------------
// Encoder

class TMediaEncoder {
public:
  virtual ~TMediaEncoder() = default;
  // Appends frames interleaved frames. Raises EAudioError.
  virtual void Write(const int16_t* samples, size_t frames) = 0;
  // Flushes the encoder and finishes the file's headers. Safe after a failed
  // Write and when called twice; raises only when nothing could be finished.
  virtual void Close() = 0;
  int SampleRate() const { return FSampleRate; }
  int Channels() const { return FChannels; }
  int64_t FramesWritten() const { return FFrames; }

protected:
  int FSampleRate = 0;
  int FChannels = 0;
  int64_t FFrames = 0;
};

std::unique_ptr<TMediaEncoder> CreateWavEncoder(const std::wstring& fileName,
                                                const TWavSettings& s);
std::unique_ptr<TMediaEncoder> CreateMp3Encoder(const std::wstring& fileName, const TMp3Settings& s,
                                                const TMediaTags& tags = TMediaTags());
std::unique_ptr<TMediaEncoder> CreateOggEncoder(const std::wstring& fileName, const TOggSettings& s,
                                                const TMediaTags& tags = TMediaTags());
std::unique_ptr<TMediaEncoder> CreateWmaEncoder(const std::wstring& fileName, const TWmaSettings& s,
                                                const TMediaTags& tags = TMediaTags());

} // namespace audio
