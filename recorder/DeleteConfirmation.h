// The question asked before history rows are deleted, with the choice to
// delete their files from disk too.
#pragma once
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

#include <cstdint>
#include <vector>

namespace recorder {

class TFormDeleteConfirmation : public TForm {
public:
  explicit TFormDeleteConfirmation(TComponent* AOwner);

  TImage* ImageIcon = nullptr;
  TLabel* LabelQuestion = nullptr;
  TCheckBox* CheckBoxDeleteFromDisk = nullptr;
  TButton* ButtonOK = nullptr;
  TButton* ButtonCancel = nullptr;
};

// The built-in 48 x 48 PNG picture of the window; empty when missing.
std::vector<std::uint8_t> DeleteIconPngData();

} // namespace recorder
