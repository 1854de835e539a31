// Low-shelf equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

class TfrmLowShelf : public TFilterDialog {
public:
  explicit TfrmLowShelf(TComponent* AOwner);
};
