#include "editor/flanger.h"

namespace editor {

TfrmFlanger::TfrmFlanger(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Flanger", 379, 252, L"Flanger.htm") {
  LayoutTwoColumns();
  BuildComponents(
      this,
      {
          {gbDelayRate, {L"gbDelayRate", this, {8, 44, 179, 53}, L"Delay rate, in percent"}},
          {slDelayRate, {L"slDelayRate", gbDelayRate, {8, 18, 118, 28}}, SliderRange(1, 100, 50)},
          {labDelayRate,
           {L"labDelayRate", gbDelayRate, {128, 24, 45, 13}, L"", false},
           ValueOf(slDelayRate, L"%d%%")},
          {gbSweepdepth, {L"gbSweepdepth", this, {192, 44, 179, 53}, L"Sweep depth, in percent"}},
          {slSweepDepth,
           {L"slSweepDepth", gbSweepdepth, {8, 18, 118, 28}},
           SliderRange(0, 100, 50)},
          {labSweepDepth,
           {L"labSweepDepth", gbSweepdepth, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepDepth, L"%d%%")},
          {gbMixDepth, {L"gbMixDepth", this, {8, 104, 179, 53}, L"Mix depth, in percent"}},
          {slMixDepth, {L"slMixDepth", gbMixDepth, {8, 18, 118, 28}}, SliderRange(0, 100, 30)},
          {labMixDepth,
           {L"labMixDepth", gbMixDepth, {128, 24, 45, 13}, L"", false},
           ValueOf(slMixDepth, L"%d%%")},
          {gbSweepRate, {L"gbSweepRate", this, {192, 104, 179, 53}, L"Sweep rate, in percent"}},
          {slSweepRate, {L"slSweepRate", gbSweepRate, {8, 18, 118, 28}}, SliderRange(0, 100, 5)},
          {labSweepRate,
           {L"labSweepRate", gbSweepRate, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepRate, L"%d%%")},
          {gbFeedBack, {L"gbFeedBack", this, {8, 164, 179, 53}, L"Feedback gain, in percent"}},
          {slFeedback, {L"slFeedback", gbFeedBack, {8, 18, 118, 28}}, SliderRange(0, 100, 10)},
          {labFeedback,
           {L"labFeedback", gbFeedBack, {128, 24, 45, 13}, L"", false},
           ValueOf(slFeedback, L"%d%%")},
          {gbSweepPhase, {L"gbSweepPhase", this, {192, 164, 179, 53}, L"Sweep phase, in radian"}},
          {slSweepPhase, {L"slSweepPhase", gbSweepPhase, {8, 18, 118, 28}}, SliderRange(0, 359, 0)},
          {labSweepPhase,
           {L"labSweepPhase", gbSweepPhase, {128, 24, 45, 13}, L"", false},
           ValueOf(slSweepPhase, L"%d")},
      });
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
