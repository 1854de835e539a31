// The recorder's file component: writes recordings (WAV, MP3, OGG Vorbis, WMA)
// and reads any audio file for playback, plus its MP3 encoder settings object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <windows.h>
#include <oleauto.h>

#include "audio/MediaDecoder.h"
#include "audio/MediaEncoder.h"

// MP3 encoder settings handed to TAudioFile2::SetLameEncoder. The object keeps
// its values; the last setter called decides the encoding: Preset selects a
// preset, any other setter the variable-rate settings.
class TAudioFile2LameEnc {
public:
  int Preset() const { return FPreset; }
  void SetPreset(int value); // 1..11
  int Channels() const { return FChannels; }
  void SetChannels(int value); // 1 or 2
  int StereoMode() const { return FStereoMode; }
  void SetStereoMode(int value); // 1 stereo, 2 joint stereo, 4 dual channel
  int VbrMode() const { return FVbrMode; }
  void SetVbrMode(int value); // 0 variable by quality, 4 average bit rate
  int Quality() const { return FQuality; }
  void SetQuality(int value); // 0..9, 9 the best
  int AbrBitrate() const { return FAbrBitrate; }
  void SetAbrBitrate(int value); // kbps
  int MinBitrate() const { return FMinBitrate; }
  void SetMinBitrate(int value); // kbps
  int MaxBitrate() const { return FMaxBitrate; }
  void SetMaxBitrate(int value); // kbps
  bool WriteXing() const { return FWriteXing; }
  void SetWriteXing(bool value);
  bool Checksum() const { return FChecksum; }
  void SetChecksum(bool value);

  bool UsesPreset() const { return FUsePreset; }
  // The encoder settings these values stand for.
  audio::TMp3Settings Settings() const;
  // Name of a preset (1..11), e.g. "CD Quality".
  static std::wstring PresetName(int preset);

private:
  bool FUsePreset = true;
  int FPreset = 9;
  int FChannels = 2;
  int FStereoMode = 2;
  int FVbrMode = 0;
  int FQuality = 7;
  int FAbrBitrate = 192;
  int FMinBitrate = 32;
  int FMaxBitrate = 320;
  bool FWriteXing = true;
  bool FChecksum = false;
};

class TAudioFile2 {
public:
  TAudioFile2();
  ~TAudioFile2();
  TAudioFile2(const TAudioFile2&) = delete;
  TAudioFile2& operator=(const TAudioFile2&) = delete;

  // Output format, kept across files and across OpenFile/CloseFile.
  void SetPcmFormat(int SampleRate, int Channels, int BitsPerSample);
  void SetMp3Cbr(int SampleRate, int Kbps, int Channels);
  void SetLameEncoder(TAudioFile2LameEnc* Encoder);
  // Quality -1: use Kbps; Kbps 0: use Quality (10..1000 = 1..100 %).
  void SetOggFormat(int SampleRate, int Channels, int Kbps, int MinKbps, int MaxKbps,
                    int16_t Quality);
  void SetWmaProfile(int Profile);
  // Text describing the output format now set.
  std::wstring FormatDescription() const;

  // File types: 1 WAV, 2 MP3, 6 OGG, 11 WMA, 0 = the format set last.
  void NewFile(const std::wstring& FileName, int FileType);
  void WriteArray(SAFEARRAY*& Array);
  // Finishes a written file or closes a read one; nothing when none is open.
  void CloseFile();

  // Opens a file for reading; Status() tells whether it worked.
  void OpenFile(const std::wstring& FileName, int Reserved1 = 0, int Reserved2 = 1);
  int Status() const { return FStatus; }
  // Text of the last OpenFile failure.
  std::wstring LastError() const { return FLastError; }
  // Frames of the file read, or written so far.
  int Length() const;
  // Origin 3 (or 0): from the start; 1: from the position; 2: from the end.
  int Seek(int Position, int Origin = 3);
  int Position() const;
  // Up to Samples frames; an empty array at the end of the file.
  SAFEARRAY* ReadArray(int Samples);

  // Rate and channels of the file written or read, else of the output format.
  int SampleRate() const;
  int Channels() const;

  enum TKind { kWav, kMp3, kOgg, kWma };
  TKind OutputKind() const { return FKind; }

private:
  TKind FKind = kWav;
  audio::TWavSettings FWav;
  audio::TMp3Settings FMp3;
  std::wstring FMp3Preset; // preset name when the MP3 settings came from one
  audio::TOggSettings FOgg;
  audio::TWmaSettings FWma;
  int FWmaProfile = 10;
  std::unique_ptr<audio::TMediaEncoder> FEncoder;
  bool FWriteFailed = false;
  std::unique_ptr<audio::TMediaDecoder> FDecoder;
  int FStatus = 0;
  std::wstring FLastError;
};
