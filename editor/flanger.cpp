#include "editor/flanger.h"

namespace editor {

TfrmFlanger::TfrmFlanger(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Flanger", 379, 252, L"Flanger.htm") {
  LayoutTwoColumns();
  gbDelayRate = AddGroup(L"gbDelayRate", L"Delay rate, in percent", 8, 44, 179);
  slDelayRate = AddSlider(gbDelayRate, L"slDelayRate", 1, 100, 50, 8, 18, 118);
  labDelayRate = AddValueLabel(gbDelayRate, slDelayRate, L"labDelayRate", L"%d%%", 128, 24);
  gbSweepdepth = AddGroup(L"gbSweepdepth", L"Sweep depth, in percent", 192, 44, 179);
  slSweepDepth = AddSlider(gbSweepdepth, L"slSweepDepth", 0, 100, 50, 8, 18, 118);
  labSweepDepth = AddValueLabel(gbSweepdepth, slSweepDepth, L"labSweepDepth", L"%d%%", 128, 24);
  gbMixDepth = AddGroup(L"gbMixDepth", L"Mix depth, in percent", 8, 104, 179);
  slMixDepth = AddSlider(gbMixDepth, L"slMixDepth", 0, 100, 30, 8, 18, 118);
  labMixDepth = AddValueLabel(gbMixDepth, slMixDepth, L"labMixDepth", L"%d%%", 128, 24);
  gbSweepRate = AddGroup(L"gbSweepRate", L"Sweep rate, in percent", 192, 104, 179);
  slSweepRate = AddSlider(gbSweepRate, L"slSweepRate", 0, 100, 5, 8, 18, 118);
  labSweepRate = AddValueLabel(gbSweepRate, slSweepRate, L"labSweepRate", L"%d%%", 128, 24);
  gbFeedBack = AddGroup(L"gbFeedBack", L"Feedback gain, in percent", 8, 164, 179);
  slFeedback = AddSlider(gbFeedBack, L"slFeedback", 0, 100, 10, 8, 18, 118);
  labFeedback = AddValueLabel(gbFeedBack, slFeedback, L"labFeedback", L"%d%%", 128, 24);
  gbSweepPhase = AddGroup(L"gbSweepPhase", L"Sweep phase, in radian", 192, 164, 179);
  slSweepPhase = AddSlider(gbSweepPhase, L"slSweepPhase", 0, 359, 0, 8, 18, 118);
  labSweepPhase = AddValueLabel(gbSweepPhase, slSweepPhase, L"labSweepPhase", L"%d", 128, 24);
  SetPresets(
      {
          {L"[Sys] Blur", {14, 50, 30, 99, 18, 40}},
          {L"[Sys] Classic Flanger", {14, 30, 30, 99, 10, 70}},
          {L"[Sys] Crying Flanger", {14, 35, 70, 99, 5, 70}},
          {L"[Sys] Deep Slow Flanger", {80, 70, 50, 10, 1, 20}},
          {L"[Sys] Fast Sweeping Loop", {100, 50, 85, 90, 30, 90}},
          {L"[Sys] Flanger-Vibrato", {6, 49, 10, 54, 53, 40}},
          {L"[Sys] Light Chorus", {70, 50, 1, 99, 0, 50}},
          {L"[Sys] Light Reflective Romm", {100, 10, 90, 10, 10, 90}},
          {L"[Sys] Little Steel Ball", {100, 50, 85, 99, 100, 90}},
          {L"[Sys] Metal Bunker", {70, 45, 88, 99, 0, 50}},
          {L"[Sys] Old TV Set", {14, 50, 75, 99, 0, 120}},
          {L"[Sys] Receiver", {100, 50, 85, 80, 15, 90}},
          {L"[Sys] Reflective Room", {14, 8, 41, 1, 42, 40}},
          {L"[Sys] Slow-Easy Flanger", {10, 50, 1, 99, 1, 35}},
          {L"[Sys] Slow Flanger", {3, 35, 10, 40, 4, 40}},
          {L"[Sys] Soft Spread", {15, 72, 18, 22, 11, 12}},
          {L"[Sys] Up and Down", {80, 50, 70, 10, 19, 20}},
      },
      {SliderTarget(slDelayRate), SliderTarget(slMixDepth), SliderTarget(slFeedback),
       SliderTarget(slSweepDepth), SliderTarget(slSweepRate), SliderTarget(slSweepPhase)});
}

} // namespace editor
