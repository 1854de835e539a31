#include "editor/addnoise.h"

namespace editor {

TfrmAddNoise::TfrmAddNoise(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Add Noise", 344, 156, L"Add Noise.htm") {
  BuildComponents(
      this,
      {
          {gbAmplitude, {L"gbAmplitude", this, {8, 64, 233, 53}, L"Amplitude, in db"}},
          {slAmplitude, {L"slAmplitude", gbAmplitude, {8, 18, 170, 28}}, SliderRange(-92, 0, -20)},
          {labAmplitude,
           {L"labAmplitude", gbAmplitude, {180, 24, 45, 13}, L"", false},
           ValueOf(slAmplitude, L"%d.db")},
          {labType, {L"labType", this, {8, 128, 0, 13}, L"Type of noise: ", true}},
          {cbType,
           {L"cbType", this, {96, 124, 145, 21}},
           [](TComboBox& c) {
             c.SetStyle(csDropDownList);
             c.Items()->Add(L"White noise");
             c.Items()->Add(L"Gaussian noise");
             c.SetItemIndex(0);
           }},
      });
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
