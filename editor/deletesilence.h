// Delete Silence parameters: threshold, attack and release time.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmDeleteSilence : public TEffectDialog {
public:
  explicit TfrmDeleteSilence(TComponent* AOwner);

  TGroupBox* gbThresHold = nullptr;
  TGroupBox* gbTime = nullptr;
  TGroupBox* gbReleaseTime = nullptr;
  TPicSlider* slThewsHold = nullptr;
  TPicSlider* slAttackTime = nullptr;
  TPicSlider* slReleaseTime = nullptr;
  TLabel* labThresHold = nullptr;
  TFcNumericEdit* editAttackTime = nullptr;
  TFcNumericEdit* editReleaseTime = nullptr;

  // Threshold (dB), attack and release time (ms).
  struct TParams {
    float Threshold, Attack, Release;
  };
  TParams Params() const {
    return {SliderValue(slThewsHold), SliderValue(slAttackTime), SliderValue(slReleaseTime)};
  }
};

} // namespace editor
