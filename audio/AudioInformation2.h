// Duration of an audio file, as the history list shows it.
#pragma once

#include <string>

class TAudioInformation2 {
public:
  // Reads the file's information; raises EAudioError when it cannot be read.
  void OpenFile(const std::wstring& FileName);
  // Milliseconds.
  int Duration() const { return FDuration; }
  int SampleRate() const { return FSampleRate; }
  int Channels() const { return FChannels; }
  std::wstring CodecName() const { return FCodec; }

private:
  int FDuration = 0;
  int FSampleRate = 0;
  int FChannels = 0;
  std::wstring FCodec;
};
