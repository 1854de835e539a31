#include "editor/trim.h"

namespace editor {

TfrmTrim::TfrmTrim(TComponent* AOwner) : TEffectDialog(AOwner, L"Trim", 348, 220, L"Trim.htm") {
  gbAmplitude = AddGroup(L"gbAmplitude", L"Amplitude, in db", 8, 64);
  slAmplitude = AddSlider(gbAmplitude, L"slAmplitude", -92, 0, -20);
  labAmplitude = AddValueLabel(gbAmplitude, slAmplitude, L"labAmplitude", L"%d.db");
  gbTime = AddGroup(L"gbTime", L"Time of trim fade, in ms", 8, 124);
  slTime = AddSlider(gbTime, L"slTime", 0, 200, 100);
  labTime = AddValueLabel(gbTime, slTime, L"labTime", L"%d.ms");
  labType = AddLabel(this, L"Type of trim: ", 8, 192);
  labType->SetName(L"labType");
  cbType = new TComboBox(this);
  cbType->SetName(L"cbType");
  cbType->SetParent(this);
  cbType->SetStyle(csDropDownList);
  cbType->SetBounds(96, 188, 145, 21);
  cbType->SetTabStop(true);
  cbType->Items()->Add(L"Left Side");
  cbType->Items()->Add(L"Right Side");
  cbType->Items()->Add(L"Both Side");
  cbType->SetItemIndex(2);
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
