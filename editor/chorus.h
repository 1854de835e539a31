// Chorus parameters in two columns: delay time, mix, feedback and the sweep.
#pragma once

#include "editor/effects.h"

class TfrmChorus : public TEffectDialog {
public:
  explicit TfrmChorus(TComponent* AOwner);

  TGroupBox* gbDelaytime = nullptr;
  TGroupBox* gbSweepdepth = nullptr;
  TGroupBox* gbMixDepth = nullptr;
  TGroupBox* gbSweepRate = nullptr;
  TGroupBox* gbFeedBack = nullptr;
  TGroupBox* gbSweepPhase = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TPicSlider* slSweepDepth = nullptr;
  TPicSlider* slMixDepth = nullptr;
  TPicSlider* slSweepRate = nullptr;
  TPicSlider* slFeedback = nullptr;
  TPicSlider* slSweepPhase = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;
  TLabel* labSweepDepth = nullptr;
  TLabel* labMixDepth = nullptr;
  TLabel* labSweepRate = nullptr;
  TLabel* labFeedback = nullptr;
  TLabel* labSweepPhase = nullptr;
};
