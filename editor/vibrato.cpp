#include "editor/vibrato.h"

namespace editor {

TfrmVibrato::TfrmVibrato(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Vibrato", 344, 247, L"Vibrato.htm") {
  LabelRow(gbDepth, slDepth, labDepth,
           {L"gbDepth", L"slDepth", L"labDepth", L"Sweep depth, in percent", 8, 64, 0, 100, 50},
           L"%d%%");
  LabelRow(
      gbFre, slFrequency, labFrequency,
      {L"gbFre", L"slFrequency", L"labFrequency", L"Sweep frequency, in Hz", 8, 124, 0, 50, 10},
      L"%d.Hz");
  LabelRow(gbPhase, slPhase, labPhase,
           {L"gbPhase", L"slPhase", L"labPhase", L"Sweep phase, in radian", 8, 186, 0, 359, 10},
           L"%d");
  SetPresets(
      {
          {L"[Sys] Fast Vibrato", {40, 15, 95}},
          {L"[Sys] Robotic Voice", {70, 20, 90}},
          {L"[Sys] Slow Vibrato", {40, 1, 95}},
      },
      {SliderTarget(slDepth), SliderTarget(slFrequency), SliderTarget(slPhase)});
}

} // namespace editor
