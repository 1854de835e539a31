// Chorus parameters in two columns: delay time, mix, feedback and the sweep.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

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

  // Delay time (ms), mix, feedback and the sweep.
  struct TParams {
    float Delay, Mix, Feedback, SweepDepth, SweepRate, SweepPhase;
  };
  TParams Params() const {
    return {SliderValue(slDelaytime), SliderValue(slMixDepth), SliderValue(slFeedback),
            SliderValue(slSweepDepth), SliderValue(slSweepRate), SliderValue(slSweepPhase)};
  }
};

} // namespace editor
