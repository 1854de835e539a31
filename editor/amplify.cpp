#include "editor/amplify.h"

namespace editor {

TfrmAmplify::TfrmAmplify(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Amplify", 345, 128, L"Amplify.htm") {
  EditRow(gbReleaseTime, slAmplifyRate, editAmplifyRate,
          {L"gbReleaseTime", L"slAmplifyRate", L"editAmplifyRate",
           L"Amplify rate, in percent (0 to 1000)", 8, 64, 0, 1000, 100});
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] 10 dB Boost", {316}},
          {L"[Sys] 10 dB Cut", {32}},
          {L"[Sys] 3 dB Boost", {141}},
          {L"[Sys] 3 dB Cut", {71}},
          {L"[Sys] 5% Less Volume to Pervent Clipping", {95}},
          {L"[Sys] 6 dB Boost", {200}},
          {L"[Sys] 6 dB Cut", {50}},
          {L"[Sys] Amplify 120%", {120}},
          {L"[Sys] Amplify 140%", {140}},
          {L"[Sys] Amplify 60%", {60}},
          {L"[Sys] Amplify 80%", {80}},
      },
      {SliderTarget(slAmplifyRate)});
}

} // namespace editor
