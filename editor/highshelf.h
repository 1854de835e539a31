// High-shelf equaliser parameters: frequency, steepness and gain.
#pragma once

#include "editor/filterdialog.h"

namespace editor {

class TfrmHighShelf : public TFilterDialog {
public:
  explicit TfrmHighShelf(TComponent* AOwner);
};

} // namespace editor
