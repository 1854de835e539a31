// Expander parameters: threshold, rate and RMS time.
#pragma once

#include "editor/effects.h"

class TfrmExpander : public TEffectDialog {
public:
  explicit TfrmExpander(TComponent* AOwner);

  TGroupBox* gbThresHold = nullptr;
  TGroupBox* gbExpanderRate = nullptr;
  TGroupBox* gbRMSTime = nullptr;
  TPicSlider* slThewsHold = nullptr;
  TPicSlider* slExpanderRate = nullptr;
  TPicSlider* slRMSTime = nullptr;
  TLabel* labThresHold = nullptr;
  TLabel* labExpanderRate = nullptr;
  TFcNumericEdit* editRMSTime = nullptr;
};
