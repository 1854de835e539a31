// Delay parameters: delay time, mix depth and feedback.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmDelay : public TDelayLineDialog {
public:
  explicit TfrmDelay(TComponent* AOwner);
};

} // namespace editor
