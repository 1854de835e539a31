// Add Noise parameters: the amplitude and the kind of noise.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmAddNoise : public TEffectDialog {
public:
  explicit TfrmAddNoise(TComponent* AOwner);

  TGroupBox* gbAmplitude = nullptr;
  TPicSlider* slAmplitude = nullptr;
  TLabel* labAmplitude = nullptr;
  TLabel* labType = nullptr;
  // 0 white, 1 Gaussian.
  TComboBox* cbType = nullptr;

  // Amplitude (dB) and the kind of noise (cbType's index).
  struct TParams {
    float Amplitude;
    int32_t Type;
  };
  TParams Params() const {
    return {SliderValue(slAmplitude), cbType->ItemIndex()};
  }
};

} // namespace editor
