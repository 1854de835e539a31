// Amplify parameter: the rate in percent.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmAmplify : public TEffectDialog {
public:
  explicit TfrmAmplify(TComponent* AOwner);

  TGroupBox* gbReleaseTime = nullptr;
  TPicSlider* slAmplifyRate = nullptr;
  TFcNumericEdit* editAmplifyRate = nullptr;

  // Rate in percent.
  struct TParams {
    float Rate;
  };
  TParams Params() const {
    return {SliderValue(slAmplifyRate)};
  }
};

} // namespace editor
