#include "recorder/OggFormat.h"

#include "framework/SysUtils.h"
#include "recorder/Mp3Format.h"
#include "recorder/OGGFormatSpecify.h"

namespace recorder {

const TPresetText OggPresets[7] = {
    {L"Voice Quality", L"64 kbps, Mono"},   {L"FM Quality", L"96 kbps, Stereo"},
    {L"Tape Quality", L"128 kbps, Stereo"}, {L"Hi-Fi Quality", L"160 kbps, Stereo"},
    {L"CD Quality", L"192 kbps, Stereo"},   {L"Studio Quality", L"256 kbps, Stereo"},
    {L"Best Quality", L"320 kbps, Stereo"},
};

std::wstring OggSettingsSummary(const TGlobalVars& g) {
  const std::wstring mode = g.OutputOGGMode != 0 ? L"Mono" : L"Stereo";
  if (g.OutputOGGABR) {
    static const wchar_t* const rates[] = {L"64", L"96", L"128", L"160", L"192", L"256", L"350"};
    std::wstring rate = g.OutputOGGABRBitRate < 7 ? rates[g.OutputOGGABRBitRate] : L"Unknow";
    return Format(L"Average Bit Rate: %s kbps, %s", rate, mode);
  }
  return Format(L"Variable bit rate %d%%, %s", g.OutputOGGQualityValue, mode);
}

TOggFormatForm::TOggFormatForm(TComponent* AOwner)
    : TFormatSetupForm(AOwner, L"OGG File Setup",
                       std::vector<TPresetText>(std::begin(OggPresets), std::end(OggPresets)),
                       true) {}

void TOggFormatForm::CopySpecify(const TGlobalVars& from, TGlobalVars& to) {
  to.OutputOGGMode = from.OutputOGGMode;
  to.OutputOGGABR = from.OutputOGGABR;
  to.OutputOGGABRBitRate = from.OutputOGGABRBitRate;
  to.OutputOGGQualityValue = from.OutputOGGQualityValue;
}

std::wstring TOggFormatForm::Summary(const TGlobalVars& g) {
  return OggSettingsSummary(g);
}

bool TOggFormatForm::RunSpecify(TGlobalVars& g) {
  return RunSpecifyDialog<TOGGSettingsSpecifyForm>(this, g);
}

} // namespace recorder
