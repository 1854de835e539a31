// High-pass filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

class TfrmHighPass : public TFilterDialog {
public:
  explicit TfrmHighPass(TComponent* AOwner);
};
