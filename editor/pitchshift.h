// Pitch shift parameter: the frequency change rate in percent.
#pragma once

#include "editor/effects.h"

class TfrmPitchShift : public TEffectDialog {
public:
  explicit TfrmPitchShift(TComponent* AOwner);

  TGroupBox* gbRate = nullptr;
  TPicSlider* slRate = nullptr;
  TLabel* labRate = nullptr;
};
