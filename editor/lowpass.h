// Low-pass filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmLowPass : public TFilterDialog {
public:
  explicit TfrmLowPass(TComponent* AOwner);
};

} // namespace editor
