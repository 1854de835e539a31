// Add Noise parameters: the amplitude and the kind of noise.
#pragma once

#include "editor/effects.h"

class TfrmAddNoise : public TEffectDialog {
public:
  explicit TfrmAddNoise(TComponent* AOwner);

  TGroupBox* gbAmplitude = nullptr;
  TPicSlider* slAmplitude = nullptr;
  TLabel* labAmplitude = nullptr;
  TLabel* labType = nullptr;
  // 0 white, 1 Gaussian.
  TComboBox* cbType = nullptr;
};
