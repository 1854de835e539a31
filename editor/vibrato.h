// Vibrato parameters: sweep depth, frequency and phase.
#pragma once

#include "editor/effects.h"

class TfrmVibrato : public TEffectDialog {
public:
  explicit TfrmVibrato(TComponent* AOwner);

  TGroupBox* gbDepth = nullptr;
  TGroupBox* gbFre = nullptr;
  TGroupBox* gbPhase = nullptr;
  TPicSlider* slDepth = nullptr;
  TPicSlider* slFrequency = nullptr;
  TPicSlider* slPhase = nullptr;
  TLabel* labDepth = nullptr;
  TLabel* labFrequency = nullptr;
  TLabel* labPhase = nullptr;
};
