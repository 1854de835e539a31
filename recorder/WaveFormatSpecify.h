// "Configure Wave Settings": sample rate, bit depth and channels.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TWaveFormatSpecifyForm : public TForm {
public:
  explicit TWaveFormatSpecifyForm(TComponent* AOwner);

  TLabel* LabelSampleRate = nullptr;
  TComboBox* ComboBoxSampleRate = nullptr;
  TLabel* LabelHz = nullptr;
  TLabel* LabelBitDepth = nullptr;
  TComboBox* ComboBoxBitDepth = nullptr;
  TLabel* LabelChannels = nullptr;
  TRadioButton* RadioButtonMono = nullptr;
  TRadioButton* RadioButtonStereo = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
};

} // namespace recorder
