// Expander parameters: threshold, rate and RMS time.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

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

  // Threshold (dB), rate (%) and RMS time (ms).
  struct TParams {
    float Threshold, Rate, RmsTime;
  };
  TParams Params() const {
    return {SliderValue(slThewsHold), SliderValue(slExpanderRate), SliderValue(slRMSTime)};
  }
};

} // namespace editor
