// Stretch time parameter: the resample rate in percent.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmStretchTime : public TEffectDialog {
public:
  explicit TfrmStretchTime(TComponent* AOwner);

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
