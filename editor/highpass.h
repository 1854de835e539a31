// High-pass filter parameters: frequency, steepness.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmHighPass : public TFilterDialog {
public:
  explicit TfrmHighPass(TComponent* AOwner);
};

} // namespace editor
