#include "audio/AudioInformation2.h"

#include <cmath>

#include "audio/MediaDecoder.h"

void TAudioInformation2::OpenFile(const std::wstring& FileName) {
  FDuration = 0;
  FSampleRate = FChannels = 0;
  FCodec.clear();
  audio::TMediaDecoder d;
  d.Open(FileName);
  FDuration = static_cast<int>(std::lround(d.Duration() * 1000.0));
  FSampleRate = d.SourceSampleRate();
  FChannels = d.SourceChannels();
  FCodec = d.CodecName();
}
