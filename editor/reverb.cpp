#include "editor/reverb.h"

namespace editor {

TfrmReverb::TfrmReverb(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Reverb", 345, 306, L"Reverb.htm") {
  BuildComponents(
      this,
      {
          {gbDelaytime, {L"gbDelaytime", this, {8, 64, 233, 53}, L"Delay time (1 to 1,000ms)"}},
          {slDelaytime, {L"slDelaytime", gbDelaytime, {8, 18, 170, 28}}, SliderRange(1, 1000, 25)},
          {editDelaytime,
           {L"editDelaytime", gbDelaytime, {184, 20, 41, 21}},
           EditOf(slDelaytime, 1, 1000)},
          {gbMixdepth, {L"gbMixdepth", this, {8, 124, 233, 53}, L"Mix depth, in percent"}},
          {slMixdepth, {L"slMixdepth", gbMixdepth, {8, 18, 170, 28}}, SliderRange(0, 100, 40)},
          {labMixdepth,
           {L"labMixdepth", gbMixdepth, {180, 24, 45, 13}, L"", false},
           ValueOf(slMixdepth, L"%d%%")},
          {gbFeedbackgain,
           {L"gbFeedbackgain", this, {8, 186, 233, 53}, L"Feedback gain, in percent"}},
          {slFeedbackgain,
           {L"slFeedbackgain", gbFeedbackgain, {8, 18, 170, 28}},
           SliderRange(0, 100, 8)},
          {labFeedbackgain,
           {L"labFeedbackgain", gbFeedbackgain, {180, 24, 45, 13}, L"", false},
           ValueOf(slFeedbackgain, L"%d%%")},
          {gbReverbrationRate,
           {L"gbReverbrationRate", this, {8, 246, 233, 53}, L"Reverbration rate, in percent"}},
          {slReverbrationRate,
           {L"slReverbrationRate", gbReverbrationRate, {8, 18, 170, 28}},
           SliderRange(0, 100, 40)},
          {labReverbrationRate,
           {L"labReverbrationRate", gbReverbrationRate, {180, 24, 45, 13}, L"", false},
           ValueOf(slReverbrationRate, L"%d%%")},
      });
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
