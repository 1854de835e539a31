#include "editor/addnoise.h"

namespace editor {

TfrmAddNoise::TfrmAddNoise(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Add Noise", 344, 156, L"Add Noise.htm") {
  gbAmplitude = AddGroup(L"gbAmplitude", L"Amplitude, in db", 8, 64);
  slAmplitude = AddSlider(gbAmplitude, L"slAmplitude", -92, 0, -20);
  labAmplitude = AddValueLabel(gbAmplitude, slAmplitude, L"labAmplitude", L"%d.db");
  labType = AddLabel(this, L"Type of noise: ", 8, 128);
  labType->SetName(L"labType");
  cbType = new TComboBox(this);
  cbType->SetName(L"cbType");
  cbType->SetParent(this);
  cbType->SetStyle(csDropDownList);
  cbType->SetBounds(96, 124, 145, 21);
  cbType->SetTabStop(true);
  cbType->Items()->Add(L"White noise");
  cbType->Items()->Add(L"Gaussian noise");
  cbType->SetItemIndex(0);
  // The noise type is set after the slider.
  SetPresets(
      {
          {L"[Sys] White Noise -60db", {-60, 0}},
          {L"[Sys] White Noise -40db", {-40, 0}},
          {L"[Sys] White Noise -20db", {-20, 0}},
          {L"[Sys] White Noise -10db", {-10, 0}},
          {L"[Sys] Gaussian Noise -60db", {-60, 1}},
          {L"[Sys] Gaussian Noise -40db", {-40, 1}},
          {L"[Sys] Gaussian Noise -20db", {-20, 1}},
          {L"[Sys] Gaussian Noise -10db", {-10, 1}},
      },
      {SliderTarget(slAmplitude), [this](int v) { cbType->SetItemIndex(v); }});
}

} // namespace editor
