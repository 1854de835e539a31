// Pitch shift parameter: the frequency change rate in percent.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmPitchShift : public TEffectDialog {
public:
  explicit TfrmPitchShift(TComponent* AOwner);

  TGroupBox* gbRate = nullptr;
  TPicSlider* slRate = nullptr;
  TLabel* labRate = nullptr;

  // Rate in percent.
  struct TParams {
    float Rate;
  };
  TParams Params() const {
    return {SliderValue(slRate)};
  }
};

} // namespace editor
