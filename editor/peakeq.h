// Peak equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmPeakEQFilter : public TFilterDialog {
public:
  explicit TfrmPeakEQFilter(TComponent* AOwner);
};

} // namespace editor
