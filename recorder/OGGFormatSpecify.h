// "Configure OGG Settings": average bit rate or variable quality, and mode.
#pragma once
#include "framework/ExtCtrls.h"
#include "recorder/DialogControls.h"

namespace recorder {

class TOGGSettingsSpecifyForm : public TForm {
public:
  explicit TOGGSettingsSpecifyForm(TComponent* AOwner);

  TRadioButton* RadioButtonABR;
  TComboBox* ComboBoxABRBitRate;
  TRadioButton* RadioButtonVBR;
  TImageSlider* ImageSliderQuality;
  TLabel* LabelLow;
  TLabel* LabelHigh;
  TLabel* LabelQualityValue;
  TRadioGroup* RadioGroupMode;
  TButton* btnOK;
  TButton* btnCancel;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
  void UpdateEnabling();
  void ImageSliderQualityChange(TObject* Sender);
};

} // namespace recorder
