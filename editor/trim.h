// Trim parameters: amplitude threshold, fade time and the side to trim.
#pragma once

#include "editor/effects.h"

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
};
