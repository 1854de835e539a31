// Normalize parameters: the rate in percent and the DC bias adjustment.
#pragma once

#include "editor/effects.h"

class TfrmNormalize : public TEffectDialog {
public:
  explicit TfrmNormalize(TComponent* AOwner);

  TGroupBox* gbNormalizeRate = nullptr;
  TPicSlider* slNormalizeRate = nullptr;
  TLabel* labNormalizeRate = nullptr;
  TCheckBox* cbAdjust = nullptr;
};
