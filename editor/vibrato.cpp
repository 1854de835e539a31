#include "editor/vibrato.h"

namespace editor {

TfrmVibrato::TfrmVibrato(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Vibrato", 344, 247, L"Vibrato.htm") {
  BuildComponents(
      this, {
                {gbDepth, {L"gbDepth", this, {8, 64, 233, 53}, L"Sweep depth, in percent"}},
                {slDepth, {L"slDepth", gbDepth, {8, 18, 170, 28}}, SliderRange(0, 100, 50)},
                {labDepth,
                 {L"labDepth", gbDepth, {180, 24, 45, 13}, L"", false},
                 ValueOf(slDepth, L"%d%%")},
                {gbFre, {L"gbFre", this, {8, 124, 233, 53}, L"Sweep frequency, in Hz"}},
                {slFrequency, {L"slFrequency", gbFre, {8, 18, 170, 28}}, SliderRange(0, 50, 10)},
                {labFrequency,
                 {L"labFrequency", gbFre, {180, 24, 45, 13}, L"", false},
                 ValueOf(slFrequency, L"%d.Hz")},
                {gbPhase, {L"gbPhase", this, {8, 186, 233, 53}, L"Sweep phase, in radian"}},
                {slPhase, {L"slPhase", gbPhase, {8, 18, 170, 28}}, SliderRange(0, 359, 10)},
                {labPhase,
                 {L"labPhase", gbPhase, {180, 24, 45, 13}, L"", false},
                 ValueOf(slPhase, L"%d")},
            });
  SetPresets(
      {
          {L"[Sys] Fast Vibrato", {40, 15, 95}},
          {L"[Sys] Robotic Voice", {70, 20, 90}},
          {L"[Sys] Slow Vibrato", {40, 1, 95}},
      },
      {SliderTarget(slDepth), SliderTarget(slFrequency), SliderTarget(slPhase)});
}

} // namespace editor
