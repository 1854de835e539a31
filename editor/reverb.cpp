#include "editor/reverb.h"

namespace editor {

TfrmReverb::TfrmReverb(TComponent* AOwner)
    : TDelayLineDialog(AOwner, L"Reverb", 345, 306, L"Reverb.htm", 25, 40, 8) {
  LabelRow(gbReverbrationRate, slReverbrationRate, labReverbrationRate,
           {L"gbReverbrationRate", L"slReverbrationRate", L"labReverbrationRate",
            L"Reverbration rate, in percent", 8, 246, 0, 100, 40},
           L"%d%%");
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  auto targets = DelayLineTargets();
  targets.push_back(SliderTarget(slReverbrationRate));
  SetPresets(
      {
          {L"[Sys] Allien Saying", {30, 60, 60, 30}},
          {L"[Sys] Cellar", {30, 60, 25, 60}},
          {L"[Sys] Metal Flanger", {4, 41, 28, 20}},
          {L"[Sys] Metal Resonance (Second Metal Voice)", {4, 10, 97, 1}},
          {L"[Sys] Metall", {25, 40, 8, 40}},
          {L"[Sys] Room Left Chanel", {15, 10, 28, 88}},
          {L"[Sys] Room Right Chanel", {15, 11, 35, 92}},
          {L"[Sys] Small Room Left Chanel", {2, 10, 31, 59}},
          {L"[Sys] Small Room Right Chanel", {20, 10, 29, 61}},
      },
      std::move(targets));
}

} // namespace editor
