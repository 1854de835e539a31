#include "audio/AudioInformation2.h"

#include <cmath>

#include "audio/EditorFormats.h"
#include "audio/MediaDecoder.h"

namespace {

// Name of an uncompressed layout as the decoder names it.
std::wstring PcmCodecName(const audioedit::PcmLayout& l) {
  std::wstring name = l.Float ? L"pcm_f" : l.Bits == 8 && !l.Signed8 ? L"pcm_u" : L"pcm_s";
  name += std::to_wstring(l.Bits);
  if (l.Bits > 8) name += l.BigEndian ? L"be" : L"le";
  return name;
}

} // namespace

void TAudioInformation2::OpenFile(const std::wstring& FileName) {
  FDuration = 0;
  FSampleRate = FChannels = 0;
  FCodec.clear();
  // Uncompressed files report what the editor opens: the frames the data holds.
  audioedit::PcmLayout layout;
  int rate = 0;
  std::wstring problem;
  if (audio::IsOrdinaryFile(FileName) && audioedit::ProbePcm(FileName, layout, rate, problem)) {
    FDuration = static_cast<int>(std::llround(double(layout.Frames) * 1000.0 / rate));
    FSampleRate = rate;
    FChannels = layout.Channels;
    FCodec = PcmCodecName(layout);
    return;
  }
  if (!problem.empty())
    audio::RaiseAudioError(L"Cannot open the audio file \"" + FileName + L"\": " + problem);
  audio::TMediaDecoder d;
  d.Open(FileName);
  FDuration = static_cast<int>(std::lround(d.Duration() * 1000.0));
  FSampleRate = d.SourceSampleRate();
  FChannels = d.SourceChannels();
  FCodec = d.CodecName();
}
