// Reverb parameters: delay time, mix depth, feedback and reverberation rate.
#pragma once

#include "editor/effects.h"

class TfrmReverb : public TEffectDialog {
public:
  explicit TfrmReverb(TComponent* AOwner);

  TGroupBox* gbDelaytime = nullptr;
  TGroupBox* gbMixdepth = nullptr;
  TGroupBox* gbFeedbackgain = nullptr;
  TGroupBox* gbReverbrationRate = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TPicSlider* slMixdepth = nullptr;
  TPicSlider* slFeedbackgain = nullptr;
  TPicSlider* slReverbrationRate = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;
  TLabel* labMixdepth = nullptr;
  TLabel* labFeedbackgain = nullptr;
  TLabel* labReverbrationRate = nullptr;
};
