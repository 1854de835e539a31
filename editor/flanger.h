// Flanger parameters in two columns: delay rate, mix, feedback and the sweep.
#pragma once

#include "editor/effects.h"

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
};
