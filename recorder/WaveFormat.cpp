#include "recorder/WaveFormat.h"

#include "framework/SysUtils.h"
#include "recorder/Mp3Format.h"
#include "recorder/WaveFormatSpecify.h"

namespace recorder {

const TPresetText WavePresets[3] = {
    {L"FM Quality", L"22,050 Hz, 16 bits, Stereo"},
    {L"CD Quality", L"44,100 Hz, 16 bits, Stereo"},
    {L"Hi-Fi Quality", L"96,000 Hz, 16 bits, Stereo"},
};

std::wstring WaveSettingsSummary(const TGlobalVars& g) {
  static const wchar_t* const rates[] = {L"8,000 Hz",  L"11,025 Hz", L"12,000 Hz", L"16,000 Hz",
                                         L"22,050 Hz", L"24,000 Hz", L"32,000 Hz", L"44,100 Hz",
                                         L"48,000 Hz", L"96,000 Hz"};
  static const wchar_t* const bits[] = {L"8 bits", L"16 bits", L"24 bits", L"32 bits"};
  std::wstring rate = g.OutputWAVSampleType < 10 ? rates[g.OutputWAVSampleType] : L"Unknow Hz";
  std::wstring depth =
      g.OutputWAVBitesPerSample < 4 ? bits[g.OutputWAVBitesPerSample] : L"Unknow bits";
  std::wstring mode = g.OutputWAVMode == 0 ? L"Stereo" : g.OutputWAVMode == 1 ? L"Mono" : L"Unknow";
  return Format(L"WAV, %s, %s, %s", rate, depth, mode);
}

TWaveFormatForm::TWaveFormatForm(TComponent* AOwner)
    : TFormatSetupForm(AOwner, L"Wave File Setup",
                       std::vector<TPresetText>(std::begin(WavePresets), std::end(WavePresets)),
                       true) {}

void TWaveFormatForm::CopySpecify(const TGlobalVars& from, TGlobalVars& to) {
  to.OutputWAVSampleType = from.OutputWAVSampleType;
  to.OutputWAVBitesPerSample = from.OutputWAVBitesPerSample;
  to.OutputWAVMode = from.OutputWAVMode;
}

std::wstring TWaveFormatForm::Summary(const TGlobalVars& g) {
  return WaveSettingsSummary(g);
}

bool TWaveFormatForm::RunSpecify(TGlobalVars& g) {
  return RunSpecifyDialog<TWaveFormatSpecifyForm>(this, g);
}

} // namespace recorder
