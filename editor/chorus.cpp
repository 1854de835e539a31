#include "editor/chorus.h"

namespace editor {

TfrmChorus::TfrmChorus(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Chorus", 378, 250, L"Chorus.htm") {
  LayoutTwoColumns();
  BuildComponents(
      this,
      {
          {gbDelaytime, {L"gbDelaytime", this, {8, 44, 179, 53}, L"Delay time (1 to 1,000ms)"}},
          {slDelaytime, {L"slDelaytime", gbDelaytime, {8, 18, 118, 28}}, SliderRange(1, 1000, 50)},
          {editDelaytime,
           {L"editDelaytime", gbDelaytime, {130, 20, 41, 21}},
           EditOf(slDelaytime, 1, 1000)},
          {gbSweepdepth, {L"gbSweepdepth", this, {192, 44, 179, 53}, L"Sweep depth, in percent"}},
          {slSweepDepth,
           {L"slSweepDepth", gbSweepdepth, {8, 18, 118, 28}},
           SliderRange(0, 100, 40)},
          {labSweepDepth,
           {L"labSweepDepth", gbSweepdepth, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepDepth, L"%d%%")},
          {gbMixDepth, {L"gbMixDepth", this, {8, 104, 179, 53}, L"Mix depth, in percent"}},
          {slMixDepth, {L"slMixDepth", gbMixDepth, {8, 18, 118, 28}}, SliderRange(0, 100, 40)},
          {labMixDepth,
           {L"labMixDepth", gbMixDepth, {128, 24, 45, 13}, L"", false},
           ValueOf(slMixDepth, L"%d%%")},
          {gbSweepRate, {L"gbSweepRate", this, {192, 104, 179, 53}, L"Sweep rate, in percent"}},
          {slSweepRate, {L"slSweepRate", gbSweepRate, {8, 18, 118, 28}}, SliderRange(0, 100, 100)},
          {labSweepRate,
           {L"labSweepRate", gbSweepRate, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepRate, L"%d%%")},
          {gbFeedBack, {L"gbFeedBack", this, {8, 164, 179, 53}, L"Feedback gain, in percent"}},
          {slFeedback, {L"slFeedback", gbFeedBack, {8, 18, 118, 28}}, SliderRange(0, 100, 2)},
          {labFeedback,
           {L"labFeedback", gbFeedBack, {128, 24, 45, 13}, L"", false},
           ValueOf(slFeedback, L"%d%%")},
          {gbSweepPhase, {L"gbSweepPhase", this, {192, 164, 179, 53}, L"Sweep phase, in radian"}},
          {slSweepPhase, {L"slSweepPhase", gbSweepPhase, {8, 18, 118, 28}}, SliderRange(0, 359, 0)},
          {labSweepPhase,
           {L"labSweepPhase", gbSweepPhase, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepPhase, L"%d")},
      });
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Bathroom Delay", {10, 20, 60, 0, 0, 90}},
          {L"[Sys] Bathroom with Light Flanger", {31, 45, 60, 25, 12, 90}},
          {L"[Sys] Cassete Tape Hard Stretched", {31, 45, 60, 90, 25, 0}},
          {L"[Sys] Cassete Tape Light Stretched", {8, 50, 25, 1, 25, 90}},
          {L"[Sys] Electronic Voice", {7, 60, 0, 15, 90, 90}},
          {L"[Sys] Flying Hard Flanger", {90, 50, 90, 2, 12, 90}},
          {L"[Sys] Psychedelic", {31, 70, 50, 1, 1, 90}},
          {L"[Sys] Simple Chorus", {7, 45, 2, 0, 1, 90}},
          {L"[Sys] Stereo Chorus Left", {5, 30, 60, 2, 12, 90}},
          {L"[Sys] Stereo Chorus Right", {7, 30, 60, 3, 10, 90}},
      },
      {SliderTarget(slDelaytime), SliderTarget(slMixDepth), SliderTarget(slFeedback),
       SliderTarget(slSweepDepth), SliderTarget(slSweepRate), SliderTarget(slSweepPhase)});
}

} // namespace editor
