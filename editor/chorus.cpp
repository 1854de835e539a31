#include "editor/chorus.h"

namespace editor {

TfrmChorus::TfrmChorus(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Chorus", 378, 250, L"Chorus.htm") {
  LayoutTwoColumns();
  gbDelaytime = AddGroup(L"gbDelaytime", L"Delay time (1 to 1,000ms)", 8, 44, 179);
  slDelaytime = AddSlider(gbDelaytime, L"slDelaytime", 1, 1000, 50, 8, 18, 118);
  editDelaytime = AddEdit(gbDelaytime, slDelaytime, L"editDelaytime", 1, 1000, 130, 20);
  gbSweepdepth = AddGroup(L"gbSweepdepth", L"Sweep depth, in percent", 192, 44, 179);
  slSweepDepth = AddSlider(gbSweepdepth, L"slSweepDepth", 0, 100, 40, 8, 18, 118);
  labSweepDepth = AddValueLabel(gbSweepdepth, slSweepDepth, L"labSweepDepth", L"%d%%", 128, 24);
  gbMixDepth = AddGroup(L"gbMixDepth", L"Mix depth, in percent", 8, 104, 179);
  slMixDepth = AddSlider(gbMixDepth, L"slMixDepth", 0, 100, 40, 8, 18, 118);
  labMixDepth = AddValueLabel(gbMixDepth, slMixDepth, L"labMixDepth", L"%d%%", 128, 24);
  gbSweepRate = AddGroup(L"gbSweepRate", L"Sweep rate, in percent", 192, 104, 179);
  slSweepRate = AddSlider(gbSweepRate, L"slSweepRate", 0, 100, 100, 8, 18, 118);
  labSweepRate = AddValueLabel(gbSweepRate, slSweepRate, L"labSweepRate", L"%d%%", 128, 24);
  gbFeedBack = AddGroup(L"gbFeedBack", L"Feedback gain, in percent", 8, 164, 179);
  slFeedback = AddSlider(gbFeedBack, L"slFeedback", 0, 100, 2, 8, 18, 118);
  labFeedback = AddValueLabel(gbFeedBack, slFeedback, L"labFeedback", L"%d%%", 128, 24);
  gbSweepPhase = AddGroup(L"gbSweepPhase", L"Sweep phase, in radian", 192, 164, 179);
  slSweepPhase = AddSlider(gbSweepPhase, L"slSweepPhase", 0, 359, 0, 8, 18, 118);
  labSweepPhase = AddValueLabel(gbSweepPhase, slSweepPhase, L"labSweepPhase", L"%d", 128, 24);
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
