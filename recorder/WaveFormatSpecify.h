// "Configure Wave Settings": sample rate, bit depth and channels.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TWaveFormatSpecifyForm : public TForm {
public:
  explicit TWaveFormatSpecifyForm(TComponent* AOwner);

  TLabel* LabelSampleRate;
  TComboBox* ComboBoxSampleRate;
  TLabel* LabelHz;
  TLabel* LabelBitDepth;
  TComboBox* ComboBoxBitDepth;
  TLabel* LabelChannels;
  TRadioButton* RadioButtonMono;
  TRadioButton* RadioButtonStereo;
  TButton* btnOK;
  TButton* btnCancel;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
};

} // namespace recorder
