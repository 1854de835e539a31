// "Configure OGG Settings": average bit rate or variable quality, and mode.
#pragma once
#include "framework/ExtCtrls.h"
#include "recorder/DialogControls.h"

namespace recorder {

class TOGGSettingsSpecifyForm : public TForm {
public:
  explicit TOGGSettingsSpecifyForm(TComponent* AOwner);

  TRadioButton* RadioButtonABR = nullptr;
  TComboBox* ComboBoxABRBitRate = nullptr;
  TRadioButton* RadioButtonVBR = nullptr;
  TImageSlider* ImageSliderQuality = nullptr;
  TLabel* LabelLow = nullptr;
  TLabel* LabelHigh = nullptr;
  TLabel* LabelQualityValue = nullptr;
  TRadioGroup* RadioGroupMode = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
  void UpdateEnabling();
  void ImageSliderQualityChange(TObject* Sender);
};

} // namespace recorder
