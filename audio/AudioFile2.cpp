#include "audio/AudioFile2.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"

using audio::RaiseAudioError;

namespace {

struct TMp3Preset {
  const wchar_t* Name;
  int SampleRate, Channels, Kbps, StereoMode;
};
// Presets 1..11: MPEG 2.5, 2 and 1 rate families.
const TMp3Preset kMp3Presets[11] = {
    {L"Phone Quality", 8000, 1, 16, 0},    {L"Shortwave Quality", 11025, 1, 24, 0},
    {L"AM Quality", 22050, 1, 32, 0},      {L"FM Quality", 22050, 2, 96, 2},
    {L"Voice Quality", 44100, 1, 64, 0},   {L"Radio Quality", 44100, 2, 112, 2},
    {L"Tape Quality", 44100, 2, 128, 2},   {L"Hi-Fi Quality", 44100, 2, 160, 2},
    {L"CD Quality", 44100, 2, 192, 1},     {L"Studio Quality", 44100, 2, 256, 1},
    {L"Super Quality!", 44100, 2, 320, 1},
};

struct TWmaProfile {
  int Profile, SampleRate, Channels, Kbps;
};
// The encoder's lowest rate is 24 kbps; the 8 kbps profile uses it.
const TWmaProfile kWmaProfiles[] = {
    {36, 8000, 1, 24},  {23, 22050, 2, 32},  {16, 44100, 1, 48}, {13, 44100, 2, 64},
    {11, 44100, 2, 96}, {10, 44100, 2, 128}, {8, 44100, 2, 192},
};

std::wstring Thousands(int v) {
  std::wstring s = std::to_wstring(v);
  for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3)
    s.insert(static_cast<size_t>(i), L",");
  return s;
}
std::wstring RateText(int rate) {
  return Thousands(rate) + L" Hz";
}
std::wstring ChannelText(int ch) {
  return ch == 1 ? L"Mono" : L"Stereo";
}

} // namespace

// ---------------------------------------------------------------------------
// TAudioFile2LameEnc

void TAudioFile2LameEnc::SetPreset(int value) {
  FPreset = value;
  FUsePreset = true;
}
void TAudioFile2LameEnc::SetChannels(int value) {
  FChannels = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetStereoMode(int value) {
  FStereoMode = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetVbrMode(int value) {
  FVbrMode = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetQuality(int value) {
  FQuality = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetAbrBitrate(int value) {
  FAbrBitrate = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetMinBitrate(int value) {
  FMinBitrate = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetMaxBitrate(int value) {
  FMaxBitrate = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetWriteXing(bool value) {
  FWriteXing = value;
  FUsePreset = false;
}
void TAudioFile2LameEnc::SetChecksum(bool value) {
  FChecksum = value;
  FUsePreset = false;
}

std::wstring TAudioFile2LameEnc::PresetName(int preset) {
  return kMp3Presets[std::clamp(preset, 1, 11) - 1].Name;
}

audio::TMp3Settings TAudioFile2LameEnc::Settings() const {
  audio::TMp3Settings s;
  if (FUsePreset) {
    const TMp3Preset& p = kMp3Presets[std::clamp(FPreset, 1, 11) - 1];
    s.SampleRate = p.SampleRate;
    s.Channels = p.Channels;
    s.Mode = audio::TMp3Settings::Cbr;
    s.Kbps = p.Kbps;
    s.StereoMode = p.StereoMode ? p.StereoMode : 2;
    return s;
  }
  s.SampleRate = 44100;
  s.Channels = FChannels == 1 ? 1 : 2;
  s.StereoMode = (FStereoMode == 1 || FStereoMode == 4) ? FStereoMode : 2;
  s.Mode = FVbrMode == 4 ? audio::TMp3Settings::Abr : audio::TMp3Settings::Vbr;
  s.VbrQuality = std::clamp(FQuality, 0, 9);
  s.AbrKbps = std::clamp(FAbrBitrate, 32, 320);
  s.MinKbps = std::clamp(FMinBitrate, 32, 320);
  s.MaxKbps = std::clamp(FMaxBitrate, 32, 320);
  if (s.MinKbps > s.MaxKbps) std::swap(s.MinKbps, s.MaxKbps);
  s.WriteXing = FWriteXing;
  s.Checksum = FChecksum;
  return s;
}

// ---------------------------------------------------------------------------
// TAudioFile2

TAudioFile2::TAudioFile2() = default;

TAudioFile2::~TAudioFile2() {
  try {
    CloseFile();
  } catch (...) {
  }
}

void TAudioFile2::SetPcmFormat(int SampleRate, int Channels, int BitsPerSample) {
  if (SampleRate < 1000 || SampleRate > 384000)
    RaiseAudioError(L"Unsupported WAV sample rate: " + std::to_wstring(SampleRate) + L" Hz");
  if (Channels < 1 || Channels > 2)
    RaiseAudioError(L"Unsupported number of channels: " + std::to_wstring(Channels));
  if (BitsPerSample != 8 && BitsPerSample != 16 && BitsPerSample != 24 && BitsPerSample != 32)
    RaiseAudioError(L"Unsupported bits per sample: " + std::to_wstring(BitsPerSample));
  FWav = {SampleRate, Channels, BitsPerSample};
  FKind = kWav;
}

void TAudioFile2::SetMp3Cbr(int SampleRate, int Kbps, int Channels) {
  static const int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  if (std::find(std::begin(kRates), std::end(kRates), SampleRate) == std::end(kRates))
    RaiseAudioError(L"Unsupported MP3 sample rate: " + std::to_wstring(SampleRate) + L" Hz");
  if (Kbps < 8 || Kbps > 320)
    RaiseAudioError(L"Unsupported MP3 bit rate: " + std::to_wstring(Kbps) + L" kbps");
  FMp3 = audio::TMp3Settings{};
  FMp3.SampleRate = SampleRate;
  FMp3.Channels = Channels == 1 ? 1 : 2;
  FMp3.Mode = audio::TMp3Settings::Cbr;
  FMp3.Kbps = Kbps;
  FMp3Preset.clear();
  FKind = kMp3;
}

void TAudioFile2::SetLameEncoder(TAudioFile2LameEnc* Encoder) {
  if (!Encoder) RaiseAudioError(L"No MP3 encoder settings given");
  FMp3 = Encoder->Settings();
  FMp3Preset = Encoder->UsesPreset() ? TAudioFile2LameEnc::PresetName(Encoder->Preset()) : L"";
  FKind = kMp3;
}

void TAudioFile2::SetOggFormat(int SampleRate, int Channels, int Kbps, int MinKbps, int MaxKbps,
                               int16_t Quality) {
  if (SampleRate < 8000 || SampleRate > 192000)
    RaiseAudioError(L"Unsupported OGG sample rate: " + std::to_wstring(SampleRate) + L" Hz");
  audio::TOggSettings s;
  s.SampleRate = SampleRate;
  s.Channels = Channels == 1 ? 1 : 2;
  if (Quality >= 0 || Kbps <= 0) {
    s.UseQuality = true;
    // 10..1000 stands for 1..100 %; out-of-range values are clamped.
    s.Quality = Quality < 0 ? 0.4 : std::min<int>(Quality, 1000) / 1000.0;
  } else {
    s.UseQuality = false;
    s.Kbps = std::clamp(Kbps, 32, 500);
    s.MinKbps = MinKbps > 0 ? MinKbps : 0;
    s.MaxKbps = MaxKbps > 0 ? MaxKbps : 0;
  }
  FOgg = s;
  FKind = kOgg;
}

void TAudioFile2::SetWmaProfile(int Profile) {
  for (const auto& p : kWmaProfiles) {
    if (p.Profile == Profile) {
      FWma = {p.SampleRate, p.Channels, p.Kbps};
      FWmaProfile = Profile;
      FKind = kWma;
      return;
    }
  }
  RaiseAudioError(L"Unknown WMA profile " + std::to_wstring(Profile));
}

std::wstring TAudioFile2::FormatDescription() const {
  switch (FKind) {
  case kWav:
    return L"WAV, " + RateText(FWav.SampleRate) + L", " + std::to_wstring(FWav.BitsPerSample) +
           L" bits, " + ChannelText(FWav.Channels);
  case kMp3: {
    std::wstring mode = FMp3.Channels == 1     ? L"Mono"
                        : FMp3.StereoMode == 1 ? L"Stereo"
                        : FMp3.StereoMode == 4 ? L"Dual Channels"
                                               : L"Joint Stereo";
    std::wstring rate;
    switch (FMp3.Mode) {
    case audio::TMp3Settings::Cbr:
      rate = std::to_wstring(FMp3.Kbps) + L" kbps";
      break;
    case audio::TMp3Settings::Vbr:
      rate = L"Variable bit rate, quality " + std::to_wstring(FMp3.VbrQuality) + L" (" +
             std::to_wstring(FMp3.MinKbps) + L"-" + std::to_wstring(FMp3.MaxKbps) + L" kbps)";
      break;
    case audio::TMp3Settings::Abr:
      rate = L"Average bit rate " + std::to_wstring(FMp3.AbrKbps) + L" kbps (" +
             std::to_wstring(FMp3.MinKbps) + L"-" + std::to_wstring(FMp3.MaxKbps) + L" kbps)";
      break;
    }
    std::wstring text = L"MP3, ";
    if (!FMp3Preset.empty()) text += FMp3Preset + L", ";
    text += rate + L", " + RateText(FMp3.SampleRate) + L", " + mode;
    if (FMp3.Mode != audio::TMp3Settings::Cbr && FMp3.WriteXing) text += L", XING header";
    if (FMp3.Checksum) text += L", Checksum on";
    return text;
  }
  case kOgg: {
    std::wstring rate =
        FOgg.UseQuality
            ? L"Variable bit rate " +
                  std::to_wstring(static_cast<int>(std::lround(FOgg.Quality * 100))) + L"%"
            : L"Average bit rate " + std::to_wstring(FOgg.Kbps) + L" kbps";
    return L"OGG Vorbis, " + rate + L", " + RateText(FOgg.SampleRate) + L", " +
           ChannelText(FOgg.Channels);
  }
  case kWma:
    return L"WMA, " + std::to_wstring(FWma.Kbps) + L" kbps, " + RateText(FWma.SampleRate) + L", " +
           ChannelText(FWma.Channels);
  }
  return {};
}

void TAudioFile2::NewFile(const std::wstring& FileName, int FileType) {
  CloseFile();
  TKind kind = FKind;
  switch (FileType) {
  case 0:
    break;
  case 1:
    kind = kWav;
    break;
  case 2:
    kind = kMp3;
    break;
  case 6:
    kind = kOgg;
    break;
  case 11:
    kind = kWma;
    break;
  default:
    RaiseAudioError(L"Unsupported file type " + std::to_wstring(FileType));
  }
  FStatus = 0;
  FWriteFailed = false;
  switch (kind) {
  case kWav:
    FEncoder = audio::CreateWavEncoder(FileName, FWav);
    break;
  case kMp3:
    FEncoder = audio::CreateMp3Encoder(FileName, FMp3);
    break;
  case kOgg:
    FEncoder = audio::CreateOggEncoder(FileName, FOgg);
    break;
  case kWma:
    FEncoder = audio::CreateWmaEncoder(FileName, FWma);
    break;
  }
}

void TAudioFile2::WriteArray(SAFEARRAY*& Array) {
  if (!FEncoder) RaiseAudioError(L"No file is open for writing");
  // After a failed write the user has been told; later blocks are dropped
  // so that one full disk does not raise on every block.
  if (FWriteFailed) return;
  std::vector<int16_t> samples = audio::SampleArrayToVector(Array);
  size_t frames = samples.size() / static_cast<size_t>(FEncoder->Channels());
  if (!frames) return;
  FWriteFailed = true; // stays set when the write raises
  FEncoder->Write(samples.data(), frames);
  FWriteFailed = false;
}

void TAudioFile2::CloseFile() {
  FDecoder.reset();
  if (FEncoder) {
    std::unique_ptr<audio::TMediaEncoder> e = std::move(FEncoder);
    bool failed = FWriteFailed;
    FWriteFailed = false;
    try {
      e->Close();
    } catch (...) {
      if (!failed) throw;
    }
  }
}

void TAudioFile2::OpenFile(const std::wstring& FileName, int, int) {
  CloseFile();
  FLastError.clear();
  auto d = std::make_unique<audio::TMediaDecoder>();
  try {
    d->Open(FileName);
    int ch = std::clamp(d->SourceChannels(), 1, 2);
    d->SetOutputFormat(d->SourceSampleRate(), ch);
  } catch (const EAudioError& e) {
    FStatus = 1;
    FLastError = e.Message();
    return;
  }
  FDecoder = std::move(d);
  FStatus = 0;
}

int TAudioFile2::Length() const {
  if (FDecoder) return static_cast<int>(std::min<int64_t>(FDecoder->Length(), 0x7FFFFFFF));
  if (FEncoder) return static_cast<int>(std::min<int64_t>(FEncoder->FramesWritten(), 0x7FFFFFFF));
  return 0;
}

int TAudioFile2::Position() const {
  if (FDecoder) return static_cast<int>(FDecoder->Position());
  if (FEncoder) return static_cast<int>(std::min<int64_t>(FEncoder->FramesWritten(), 0x7FFFFFFF));
  return 0;
}

int TAudioFile2::Seek(int Pos, int Origin) {
  if (!FDecoder) return 0;
  int64_t target = Pos;
  if (Origin == 1)
    target += FDecoder->Position();
  else if (Origin == 2)
    target += FDecoder->Length();
  return static_cast<int>(FDecoder->Seek(target));
}

SAFEARRAY* TAudioFile2::ReadArray(int Samples) {
  if (!FDecoder || Samples <= 0) return audio::CreateSampleArray(nullptr, 0);
  std::vector<int16_t> v = FDecoder->Read(static_cast<size_t>(Samples));
  return audio::CreateSampleArray(v);
}

int TAudioFile2::SampleRate() const {
  if (FEncoder) return FEncoder->SampleRate();
  if (FDecoder) return FDecoder->SampleRate();
  switch (FKind) {
  case kWav:
    return FWav.SampleRate;
  case kMp3:
    return FMp3.SampleRate;
  case kOgg:
    return FOgg.SampleRate;
  case kWma:
    return FWma.SampleRate;
  }
  return 44100;
}

int TAudioFile2::Channels() const {
  if (FEncoder) return FEncoder->Channels();
  if (FDecoder) return FDecoder->Channels();
  switch (FKind) {
  case kWav:
    return FWav.Channels;
  case kMp3:
    return FMp3.Channels;
  case kOgg:
    return FOgg.Channels;
  case kWma:
    return FWma.Channels;
  }
  return 2;
}
