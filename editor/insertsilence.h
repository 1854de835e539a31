// Insert Silence parameter: the duration in milliseconds, typed into a
// numeric edit (no slider).
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmInsertSilence : public TEffectDialog {
public:
  explicit TfrmInsertSilence(TComponent* AOwner);

  TGroupBox* gbDuration = nullptr;
  TFcNumericEdit* editDuration = nullptr;
  TLabel* labDutation = nullptr;

  // The edit's value brought into 1..1,000,000 ms, as the edit's own range
  // correction gives it, whether or not the focus has left the edit.
  int Duration();

  // Duration in ms.
  struct TParams {
    int32_t Duration;
  };
  TParams Params() {
    return {Duration()};
  }
};

} // namespace editor
