// Phaser parameters: delay time, mix depth and feedback.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmPhaser : public TDelayLineDialog {
public:
  explicit TfrmPhaser(TComponent* AOwner);
};

} // namespace editor
