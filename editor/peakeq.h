// Peak equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

class TfrmPeakEQFilter : public TFilterDialog {
public:
  explicit TfrmPeakEQFilter(TComponent* AOwner);
};
