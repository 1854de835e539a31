#include "editor/trim.h"

namespace editor {

TfrmTrim::TfrmTrim(TComponent* AOwner) : TEffectDialog(AOwner, L"Trim", 348, 220, L"Trim.htm") {
  BuildComponents(
      this,
      {
          {gbAmplitude, {L"gbAmplitude", this, {8, 64, 233, 53}, L"Amplitude, in db"}},
          {slAmplitude, {L"slAmplitude", gbAmplitude, {8, 18, 170, 28}}, SliderRange(-92, 0, -20)},
          {labAmplitude,
           {L"labAmplitude", gbAmplitude, {180, 24, 45, 13}, L"", false},
           ValueOf(slAmplitude, L"%d.db")},
          {gbTime, {L"gbTime", this, {8, 124, 233, 53}, L"Time of trim fade, in ms"}},
          {slTime, {L"slTime", gbTime, {8, 18, 170, 28}}, SliderRange(0, 200, 100)},
          {labTime, {L"labTime", gbTime, {180, 24, 45, 13}, L"", false}, ValueOf(slTime, L"%d.ms")},
          {labType, {L"labType", this, {8, 192, 0, 13}, L"Type of trim: ", true}},
          {cbType,
           {L"cbType", this, {96, 188, 145, 21}},
           [](TComboBox& c) {
             c.SetStyle(csDropDownList);
             c.Items()->Add(L"Left Side");
             c.Items()->Add(L"Right Side");
             c.Items()->Add(L"Both Side");
             c.SetItemIndex(2);
           }},
      });
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
