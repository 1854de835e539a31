// Notch filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

class TfrmNotchFilter : public TFilterDialog {
public:
  explicit TfrmNotchFilter(TComponent* AOwner);
};
