// Phaser parameters: delay time, mix depth and feedback.
#pragma once

#include "editor/effects.h"

class TfrmPhaser : public TEffectDialog {
public:
  explicit TfrmPhaser(TComponent* AOwner);

  TGroupBox* gbDelaytime = nullptr;
  TGroupBox* gbMixdepth = nullptr;
  TGroupBox* gbFeedbackgain = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TPicSlider* slMixdepth = nullptr;
  TPicSlider* slFeedbackgain = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;
  TLabel* labMixdepth = nullptr;
  TLabel* labFeedbackgain = nullptr;
};
