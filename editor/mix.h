// Mix parameters: the share of the selection and of the clipboard (or file).
#pragma once

#include "editor/effects.h"

class TfrmMix : public TEffectDialog {
public:
  explicit TfrmMix(TComponent* AOwner);

  TGroupBox* gbSource = nullptr;
  TGroupBox* gbBuffer = nullptr;
  TPicSlider* slSource = nullptr;
  TPicSlider* slBuffer = nullptr;
  TLabel* labSource = nullptr;
  TLabel* labBuffer = nullptr;
};
