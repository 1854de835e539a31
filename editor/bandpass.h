// Band-pass filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmBandPass : public TFilterDialog {
public:
  explicit TfrmBandPass(TComponent* AOwner);
};

} // namespace editor
