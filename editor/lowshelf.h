// Low-shelf equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmLowShelf : public TFilterDialog {
public:
  explicit TfrmLowShelf(TComponent* AOwner);
};

} // namespace editor
