#include "recorder/WMAFormat.h"

namespace recorder {

const TPresetText WmaPresets[7] = {
    {L"Phone Quality", L"[WMA, 8 kbps, 8,000 Hz, Mono]"},
    {L"FM Quality", L"[WMA, 32 kbps, 22,050 Hz, Stereo]"},
    {L"High Quality Mono", L"[WMA, 48 kbps, 44,100 Hz, Mono]"},
    {L"Radio Quality", L"[WMA, 64 kbps, 44,100 Hz, Stereo]"},
    {L"Tape Quality", L"[WMA, 96 kbps, 44,100 Hz, Stereo]"},
    {L"CD Quality", L"[WMA, 128 kbps, 44,100 Hz, Stereo]"},
    {L"Studio Quality", L"[WMA, 192 kbps, 44,100 Hz, Stereo]"},
};

TWmaFormatForm::TWmaFormatForm(TComponent* AOwner)
    : TFormatSetupForm(AOwner, L"WMA File Setup",
                       std::vector<TPresetText>(std::begin(WmaPresets), std::end(WmaPresets)),
                       false) {}

} // namespace recorder
