// Chorus parameters in two columns: delay time, mix, feedback and the sweep.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmChorus : public TSweepDialog {
public:
  explicit TfrmChorus(TComponent* AOwner);

  TGroupBox* gbDelaytime = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;

  // Delay time (ms), mix, feedback and the sweep.
  struct TParams {
    float Delay, Mix, Feedback, SweepDepth, SweepRate, SweepPhase;
  };
  TParams Params() const {
    return {SliderValue(slDelaytime),  SliderValue(slMixDepth),  SliderValue(slFeedback),
            SliderValue(slSweepDepth), SliderValue(slSweepRate), SliderValue(slSweepPhase)};
  }
};

} // namespace editor
