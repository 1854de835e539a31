#include "editor/vibrato.h"

namespace editor {

TfrmVibrato::TfrmVibrato(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Vibrato", 344, 247, L"Vibrato.htm") {
  gbDepth = AddGroup(L"gbDepth", L"Sweep depth, in percent", 8, 64);
  slDepth = AddSlider(gbDepth, L"slDepth", 0, 100, 50);
  labDepth = AddValueLabel(gbDepth, slDepth, L"labDepth", L"%d%%");
  gbFre = AddGroup(L"gbFre", L"Sweep frequency, in Hz", 8, 124);
  slFrequency = AddSlider(gbFre, L"slFrequency", 0, 50, 10);
  labFrequency = AddValueLabel(gbFre, slFrequency, L"labFrequency", L"%d.Hz");
  gbPhase = AddGroup(L"gbPhase", L"Sweep phase, in radian", 8, 186);
  slPhase = AddSlider(gbPhase, L"slPhase", 0, 359, 10);
  labPhase = AddValueLabel(gbPhase, slPhase, L"labPhase", L"%d");
  SetPresets(
      {
          {L"[Sys] Fast Vibrato", {40, 15, 95}},
          {L"[Sys] Robotic Voice", {70, 20, 90}},
          {L"[Sys] Slow Vibrato", {40, 1, 95}},
      },
      {SliderTarget(slDepth), SliderTarget(slFrequency), SliderTarget(slPhase)});
}

} // namespace editor
