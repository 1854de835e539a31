// High-shelf equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

class TfrmHighShelf : public TFilterDialog {
public:
  explicit TfrmHighShelf(TComponent* AOwner);
};
