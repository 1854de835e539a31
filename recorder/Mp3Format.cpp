#include "recorder/Mp3Format.h"

#include "framework/SysUtils.h"
#include "recorder/Mp3FormatSpecify.h"

namespace recorder {

const TPresetText Mp3Presets[11] = {
    {L"Phone Quality", L"[MPEG 2.5, Layer 3, 16kbps, Mono]"},
    {L"Shortwave Quality", L"[MPEG 2.5, Layer 3, 24kbps, Mono]"},
    {L"AM Quality", L"[MPEG 2, Layer 3, 32kbps, Mono]"},
    {L"FM Quality", L"[MPEG 2, Layer 3, 96kbps, Joint Stereo]"},
    {L"Voice Quality", L"[MPEG 1, Layer 3, 64kbps, Mono]"},
    {L"Radio Quality", L"[MPEG 1, Layer 3, 112kbps, Joint Stereo]"},
    {L"Tape Quality", L"[MPEG 1, Layer 3, 128kbps, Joint Stereo]"},
    {L"Hi-Fi Quality", L"[MPEG 1, Layer 3, 160kbps, Joint Stereo]"},
    {L"CD Quality", L"[MPEG 1, Layer 3, 192kbps, Stereo]"},
    {L"Studio Quality", L"[MPEG 1, Layer 3, 256kbps, Stereo]"},
    {L"Super Quality!", L"[MPEG 1, Layer 3, 320kbps, Stereo]"},
};

namespace {

const int kRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

// Rate of a list that starts at table position first and holds count rates.
std::wstring RateText(int first, int count, int index) {
  if (index < 0 || index >= count) return L"kbps";
  return std::to_wstring(kRates[first + index]) + L"kbps";
}

std::wstring ModeText(int mode) {
  static const wchar_t* const t[] = {L"Stereo", L"Joint Stereo", L"Dual Channels", L"Mono"};
  return mode >= 0 && mode < 4 ? t[mode] : L"";
}

} // namespace

std::wstring Mp3SettingsSummary(const TGlobalVars& g) {
  std::wstring s;
  if (g.OutputMP3CBR) {
    s = RateText(0, 14, g.OutputMP3CBRBitRate) + L", " + ModeText(g.OutputMP3Mode);
  } else {
    std::wstring quality = g.OutputMP3QualityLevel
                               ? Format(L"Quality %d", g.OutputMP3QualityLevelValue)
                               : Format(L"Average %s", RateText(0, 14, g.OutputMP3ABRBitRate));
    s = Format(L"Variable %s - %s, %s, %s", RateText(0, 13, g.OutputMP3VBRBitRateMin),
               RateText(1, 13, g.OutputMP3VBRBitRateMax), quality, ModeText(g.OutputMP3Mode));
    if (g.OutputMP3WriteXING) s += L", XING compatible variable bit rate header";
  }
  if (g.OutputMP3Checksum) s += L", Checksum on";
  return L"MPEG 1, Layer 3, " + s;
}

TMp3FormatForm::TMp3FormatForm(TComponent* AOwner)
    : TFormatSetupForm(AOwner, L"MP3 File Setup",
                       std::vector<TPresetText>(std::begin(Mp3Presets), std::end(Mp3Presets)),
                       true) {}

void TMp3FormatForm::CopySpecify(const TGlobalVars& from, TGlobalVars& to) {
  to.OutputMP3Mode = from.OutputMP3Mode;
  to.OutputMP3CBR = from.OutputMP3CBR;
  to.OutputMP3CBRBitRate = from.OutputMP3CBRBitRate;
  to.OutputMP3VBRBitRateMin = from.OutputMP3VBRBitRateMin;
  to.OutputMP3VBRBitRateMax = from.OutputMP3VBRBitRateMax;
  to.OutputMP3QualityLevel = from.OutputMP3QualityLevel;
  to.OutputMP3QualityLevelValue = from.OutputMP3QualityLevelValue;
  to.OutputMP3ABRBitRate = from.OutputMP3ABRBitRate;
  to.OutputMP3WriteXING = from.OutputMP3WriteXING;
  to.OutputMP3Checksum = from.OutputMP3Checksum;
}

std::wstring TMp3FormatForm::Summary(const TGlobalVars& g) {
  return Mp3SettingsSummary(g);
}

bool TMp3FormatForm::RunSpecify(TGlobalVars& g) {
  return RunSpecifyDialog<TMp3SettingsSpecifyForm>(this, g);
}

} // namespace recorder
