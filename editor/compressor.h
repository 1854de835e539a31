// Compressor parameters: threshold, rate and RMS time.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmCompressor : public TEffectDialog {
public:
  explicit TfrmCompressor(TComponent* AOwner);

  TGroupBox* gbThresHold = nullptr;
  TGroupBox* gbCompressorRate = nullptr;
  TGroupBox* gbRMSTime = nullptr;
  TPicSlider* slThewsHold = nullptr;
  TPicSlider* slCompressorRate = nullptr;
  TPicSlider* slRMSTime = nullptr;
  TLabel* labThresHold = nullptr;
  TLabel* labCompressorRate = nullptr;
  TFcNumericEdit* editRMSTime = nullptr;

  // Threshold (dB), rate (%) and RMS time (ms).
  struct TParams {
    float Threshold, Rate, RmsTime;
  };
  TParams Params() const {
    return {SliderValue(slThewsHold), SliderValue(slCompressorRate), SliderValue(slRMSTime)};
  }
};

} // namespace editor
