#include "editor/phaser.h"

namespace editor {

TfrmPhaser::TfrmPhaser(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Phaser", 347, 246, L"Phaser.htm") {
  gbDelaytime = AddGroup(L"gbDelaytime", L"Delay time (1 to 1,000ms)", 8, 64);
  slDelaytime = AddSlider(gbDelaytime, L"slDelaytime", 1, 1000, 120);
  editDelaytime = AddEdit(gbDelaytime, slDelaytime, L"editDelaytime", 1, 1000);
  gbMixdepth = AddGroup(L"gbMixdepth", L"Mix depth, in percent", 8, 124);
  slMixdepth = AddSlider(gbMixdepth, L"slMixdepth", 0, 100, 30);
  labMixdepth = AddValueLabel(gbMixdepth, slMixdepth, L"labMixdepth", L"%d%%");
  gbFeedbackgain = AddGroup(L"gbFeedbackgain", L"Feedback gain, in percent", 8, 186);
  slFeedbackgain = AddSlider(gbFeedbackgain, L"slFeedbackgain", 0, 100, 50);
  labFeedbackgain = AddValueLabel(gbFeedbackgain, slFeedbackgain, L"labFeedbackgain", L"%d%%");
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
