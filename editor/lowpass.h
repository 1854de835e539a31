// Low-pass filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

class TfrmLowPass : public TFilterDialog {
public:
  explicit TfrmLowPass(TComponent* AOwner);
};
