// Amplify parameter: the rate in percent.
#pragma once

#include "editor/effects.h"

class TfrmAmplify : public TEffectDialog {
public:
  explicit TfrmAmplify(TComponent* AOwner);

  TGroupBox* gbReleaseTime = nullptr;
  TPicSlider* slAmplifyRate = nullptr;
  TFcNumericEdit* editAmplifyRate = nullptr;
};
