// Stretch time parameter: the resample rate in percent.
#pragma once

#include "editor/effects.h"

class TfrmStretchTime : public TEffectDialog {
public:
  explicit TfrmStretchTime(TComponent* AOwner);

  TGroupBox* gbRate = nullptr;
  TPicSlider* slRate = nullptr;
  TLabel* labRate = nullptr;
};
