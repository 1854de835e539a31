#include "editor/reverb.h"

namespace editor {

TfrmReverb::TfrmReverb(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Reverb", 345, 306, L"Reverb.htm") {
  gbDelaytime = AddGroup(L"gbDelaytime", L"Delay time (1 to 1,000ms)", 8, 64);
  slDelaytime = AddSlider(gbDelaytime, L"slDelaytime", 1, 1000, 25);
  editDelaytime = AddEdit(gbDelaytime, slDelaytime, L"editDelaytime", 1, 1000);
  gbMixdepth = AddGroup(L"gbMixdepth", L"Mix depth, in percent", 8, 124);
  slMixdepth = AddSlider(gbMixdepth, L"slMixdepth", 0, 100, 40);
  labMixdepth = AddValueLabel(gbMixdepth, slMixdepth, L"labMixdepth", L"%d%%");
  gbFeedbackgain = AddGroup(L"gbFeedbackgain", L"Feedback gain, in percent", 8, 186);
  slFeedbackgain = AddSlider(gbFeedbackgain, L"slFeedbackgain", 0, 100, 8);
  labFeedbackgain = AddValueLabel(gbFeedbackgain, slFeedbackgain, L"labFeedbackgain", L"%d%%");
  gbReverbrationRate = AddGroup(L"gbReverbrationRate", L"Reverbration rate, in percent", 8, 246);
  slReverbrationRate = AddSlider(gbReverbrationRate, L"slReverbrationRate", 0, 100, 40);
  labReverbrationRate =
      AddValueLabel(gbReverbrationRate, slReverbrationRate, L"labReverbrationRate", L"%d%%");
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
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
      {SliderTarget(slDelaytime), SliderTarget(slMixdepth), SliderTarget(slFeedbackgain),
       SliderTarget(slReverbrationRate)});
}

} // namespace editor
