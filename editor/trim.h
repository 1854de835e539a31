// Trim parameters: amplitude threshold, fade time and the side to trim.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmTrim : public TEffectDialog {
public:
  explicit TfrmTrim(TComponent* AOwner);

  TGroupBox* gbAmplitude = nullptr;
  TGroupBox* gbTime = nullptr;
  TPicSlider* slAmplitude = nullptr;
  TPicSlider* slTime = nullptr;
  TLabel* labAmplitude = nullptr;
  TLabel* labTime = nullptr;
  TLabel* labType = nullptr;
  // 0 left side, 1 right side, 2 both sides.
  TComboBox* cbType = nullptr;

  // Threshold (dB), fade time (ms) and the side (cbType's index).
  struct TParams {
    float Amplitude, Time;
    int32_t Type;
  };
  TParams Params() const {
    return {SliderValue(slAmplitude), SliderValue(slTime), cbType->ItemIndex()};
  }
};

} // namespace editor
