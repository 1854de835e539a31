#include "editor/addnoise.h"

namespace editor {

TfrmAddNoise::TfrmAddNoise(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Add Noise", 344, 156, L"Add Noise.htm") {
  LabelRow(
      gbAmplitude, slAmplitude, labAmplitude,
      {L"gbAmplitude", L"slAmplitude", L"labAmplitude", L"Amplitude, in db", 8, 64, -92, 0, -20},
      L"%d.db");
  TypeRow(labType, cbType, 124, L"Type of noise: ", {L"White noise", L"Gaussian noise"}, 0);
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
