// Flanger parameters in two columns: delay rate, mix, feedback and the sweep.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmFlanger : public TEffectDialog {
public:
  explicit TfrmFlanger(TComponent* AOwner);

  TGroupBox* gbDelayRate = nullptr;
  TGroupBox* gbSweepdepth = nullptr;
  TGroupBox* gbMixDepth = nullptr;
  TGroupBox* gbSweepRate = nullptr;
  TGroupBox* gbFeedBack = nullptr;
  TGroupBox* gbSweepPhase = nullptr;
  TPicSlider* slDelayRate = nullptr;
  TPicSlider* slSweepDepth = nullptr;
  TPicSlider* slMixDepth = nullptr;
  TPicSlider* slSweepRate = nullptr;
  TPicSlider* slFeedback = nullptr;
  TPicSlider* slSweepPhase = nullptr;
  TLabel* labDelayRate = nullptr;
  TLabel* labSweepDepth = nullptr;
  TLabel* labMixDepth = nullptr;
  TLabel* labSweepRate = nullptr;
  TLabel* labFeedback = nullptr;
  TLabel* labSweepPhase = nullptr;

  // Delay rate, mix, feedback and the sweep.
  struct TParams {
    float DelayRate, Mix, Feedback, SweepDepth, SweepRate, SweepPhase;
  };
  TParams Params() const {
    return {SliderValue(slDelayRate), SliderValue(slMixDepth), SliderValue(slFeedback),
            SliderValue(slSweepDepth), SliderValue(slSweepRate), SliderValue(slSweepPhase)};
  }
};

} // namespace editor
