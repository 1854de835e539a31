// Flanger parameters in two columns: delay rate, mix, feedback and the sweep.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmFlanger : public TSweepDialog {
public:
  explicit TfrmFlanger(TComponent* AOwner);

  TGroupBox* gbDelayRate = nullptr;
  TPicSlider* slDelayRate = nullptr;
  TLabel* labDelayRate = nullptr;

  // Delay rate, mix, feedback and the sweep.
  struct TParams {
    float DelayRate, Mix, Feedback, SweepDepth, SweepRate, SweepPhase;
  };
  TParams Params() const {
    return {SliderValue(slDelayRate),  SliderValue(slMixDepth),  SliderValue(slFeedback),
            SliderValue(slSweepDepth), SliderValue(slSweepRate), SliderValue(slSweepPhase)};
  }
};

} // namespace editor
