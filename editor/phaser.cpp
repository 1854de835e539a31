#include "editor/phaser.h"

namespace editor {

TfrmPhaser::TfrmPhaser(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Phaser", 347, 246, L"Phaser.htm") {
  BuildComponents(
      this,
      {
          {gbDelaytime, {L"gbDelaytime", this, {8, 64, 233, 53}, L"Delay time (1 to 1,000ms)"}},
          {slDelaytime, {L"slDelaytime", gbDelaytime, {8, 18, 170, 28}}, SliderRange(1, 1000, 120)},
          {editDelaytime,
           {L"editDelaytime", gbDelaytime, {184, 20, 41, 21}},
           EditOf(slDelaytime, 1, 1000)},
          {gbMixdepth, {L"gbMixdepth", this, {8, 124, 233, 53}, L"Mix depth, in percent"}},
          {slMixdepth, {L"slMixdepth", gbMixdepth, {8, 18, 170, 28}}, SliderRange(0, 100, 30)},
          {labMixdepth,
           {L"labMixdepth", gbMixdepth, {180, 24, 45, 13}, L"", false},
           ValueOf(slMixdepth, L"%d%%")},
          {gbFeedbackgain,
           {L"gbFeedbackgain", this, {8, 186, 233, 53}, L"Feedback gain, in percent"}},
          {slFeedbackgain,
           {L"slFeedbackgain", gbFeedbackgain, {8, 18, 170, 28}},
           SliderRange(0, 100, 50)},
          {labFeedbackgain,
           {L"labFeedbackgain", gbFeedbackgain, {180, 24, 45, 13}, L"", false},
           ValueOf(slFeedbackgain, L"%d%%")},
      });
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Gymnastic Hall", {300, 30, 45}},
          {L"[Sys] Large Hall", {239, 80, 85}},
          {L"[Sys] School Gym", {300, 30, 45}},
          {L"[Sys] Shower Room", {60, 30, 60}},
          {L"[Sys] Stadium", {400, 25, 50}},
      },
      {SliderTarget(slDelaytime), SliderTarget(slMixdepth), SliderTarget(slFeedbackgain)});
}

} // namespace editor
