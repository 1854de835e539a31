// Normalize parameters: the rate in percent and the DC bias adjustment.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmNormalize : public TEffectDialog {
public:
  explicit TfrmNormalize(TComponent* AOwner);

  TGroupBox* gbNormalizeRate = nullptr;
  TPicSlider* slNormalizeRate = nullptr;
  TLabel* labNormalizeRate = nullptr;
  TCheckBox* cbAdjust = nullptr;

  // Rate in percent and the DC bias adjustment.
  struct TParams {
    float Rate;
    bool DcAdjust;
  };
  TParams Params() const {
    return {SliderValue(slNormalizeRate), cbAdjust->Checked()};
  }
};

} // namespace editor
