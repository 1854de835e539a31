// Compressor parameters: threshold, rate and RMS time.
#pragma once

#include "editor/effects.h"

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
};
