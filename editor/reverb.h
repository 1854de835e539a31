// Reverb parameters: delay time, mix depth, feedback and reverberation rate.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

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

  // Delay time (ms), mix depth, feedback and reverberation rate.
  struct TParams {
    float Delay, Mix, Feedback, ReverbRate;
  };
  TParams Params() const {
    return {SliderValue(slDelaytime), SliderValue(slMixdepth), SliderValue(slFeedbackgain),
            SliderValue(slReverbrationRate)};
  }
};

} // namespace editor
