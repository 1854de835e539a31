// Custom fade: start and end level in percent.
#pragma once

#include "editor/effects.h"

class TfrmFade : public TEffectDialog {
public:
  explicit TfrmFade(TComponent* AOwner);

  TGroupBox* gbStart = nullptr;
  TGroupBox* gbEnd = nullptr;
  TPicSlider* slStart = nullptr;
  TPicSlider* slEnd = nullptr;
  TLabel* labStart = nullptr;
  TLabel* labEnd = nullptr;
};
