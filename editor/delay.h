// Delay parameters: delay time, mix depth and feedback.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmDelay : public TEffectDialog {
public:
  explicit TfrmDelay(TComponent* AOwner);

  TGroupBox* gbDelaytime = nullptr;
  TGroupBox* gbMixdepth = nullptr;
  TGroupBox* gbFeedbackgain = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TPicSlider* slMixdepth = nullptr;
  TPicSlider* slFeedbackgain = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;
  TLabel* labMixdepth = nullptr;
  TLabel* labFeedbackgain = nullptr;

  // Delay time (ms), mix depth and feedback.
  struct TParams {
    float Delay, Mix, Feedback;
  };
  TParams Params() const {
    return {SliderValue(slDelaytime), SliderValue(slMixdepth), SliderValue(slFeedbackgain)};
  }
};

} // namespace editor
