#include "editor/pitchshift.h"

namespace editor {

TfrmPitchShift::TfrmPitchShift(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Pitch Shift", 345, 126, L"Pitch Shift.htm") {
  LabelRow(
      gbRate, slRate, labRate,
      {L"gbRate", L"slRate", L"labRate", L"Frequency change rate, in percent", 8, 64, 50, 500, 90},
      L"%d%%");
  SetPresets(
      {
          {L"[Sys] Increase The Pitch 60%", {60}},
          {L"[Sys] Increase The Pitch 70%", {70}},
          {L"[Sys] Increase The Pitch 80%", {80}},
          {L"[Sys] Increase The Pitch 90%", {90}},
          {L"[Sys] Lower The Pitch 120%", {120}},
          {L"[Sys] Lower The Pitch 150%", {150}},
          {L"[Sys] Lower The Pitch 200%", {200}},
          {L"[Sys] Lower The Pitch 500%", {500}},
      },
      {SliderTarget(slRate)});
}

} // namespace editor
