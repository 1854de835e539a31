// Reverb parameters: delay time, mix depth, feedback and reverberation rate.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmReverb : public TDelayLineDialog {
public:
  explicit TfrmReverb(TComponent* AOwner);

  TGroupBox* gbReverbrationRate = nullptr;
  TPicSlider* slReverbrationRate = nullptr;
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
