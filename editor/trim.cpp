#include "editor/trim.h"

namespace editor {

TfrmTrim::TfrmTrim(TComponent* AOwner) : TEffectDialog(AOwner, L"Trim", 348, 220, L"Trim.htm") {
  LabelRow(
      gbAmplitude, slAmplitude, labAmplitude,
      {L"gbAmplitude", L"slAmplitude", L"labAmplitude", L"Amplitude, in db", 8, 64, -92, 0, -20},
      L"%d.db");
  LabelRow(gbTime, slTime, labTime,
           {L"gbTime", L"slTime", L"labTime", L"Time of trim fade, in ms", 8, 124, 0, 200, 100},
           L"%d.ms");
  TypeRow(labType, cbType, 188, L"Type of trim: ", {L"Left Side", L"Right Side", L"Both Side"}, 2);
  // The presets leave the side alone.
  SetPresets(
      {
          {L"[Sys] Soft Trim -80db", {-80, 200}},
          {L"[Sys] Soft Trim -60db", {-60, 200}},
          {L"[Sys] Soft Trim -40db", {-40, 200}},
          {L"[Sys] Soft Trim -20db", {-20, 200}},
          {L"[Sys] Trim -80db, 100ms", {-80, 100}},
          {L"[Sys] Trim -60db, 100ms", {-60, 100}},
          {L"[Sys] Trim -40db, 100ms", {-40, 100}},
          {L"[Sys] Trim -20db, 100ms", {-20, 100}},
      },
      {SliderTarget(slAmplitude), SliderTarget(slTime)});
  UpdateLabels();
}

} // namespace editor
