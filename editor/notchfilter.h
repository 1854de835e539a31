// Notch filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmNotchFilter : public TFilterDialog {
public:
  explicit TfrmNotchFilter(TComponent* AOwner);
};

} // namespace editor
