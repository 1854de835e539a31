// Vibrato parameters: sweep depth, frequency and phase.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

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

  // Sweep depth, frequency and phase.
  struct TParams {
    float Depth, Frequency, Phase;
  };
  TParams Params() const {
    return {SliderValue(slDepth), SliderValue(slFrequency), SliderValue(slPhase)};
  }
};

} // namespace editor
