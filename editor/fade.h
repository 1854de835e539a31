// Custom fade: start and end level in percent.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmFade : public TEffectDialog {
public:
  explicit TfrmFade(TComponent* AOwner);

  TGroupBox* gbStart = nullptr;
  TGroupBox* gbEnd = nullptr;
  TPicSlider* slStart = nullptr;
  TPicSlider* slEnd = nullptr;
  TLabel* labStart = nullptr;
  TLabel* labEnd = nullptr;

  // Start and end level in percent.
  struct TParams {
    float Start, End;
  };
  TParams Params() const {
    return {SliderValue(slStart), SliderValue(slEnd)};
  }
};

} // namespace editor
