// "Configure MP3 Settings": channel mode, constant or variable bit rate with
// its limits, quality or average rate, and the header flags.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TMp3SettingsSpecifyForm : public TForm {
public:
  explicit TMp3SettingsSpecifyForm(TComponent* AOwner);

  TLabel* LabelMode;
  TComboBox* ComboBoxMode;
  TRadioButton* RadioButtonCBR;
  TComboBox* ComboBoxCBRBitRate;
  TRadioButton* RadioButtonVBR;
  TGroupBox* GroupBoxVBR;
  TLabel* LabelVBRMin;
  TComboBox* ComboBoxVBRMin;
  TLabel* LabelVBRMax;
  TComboBox* ComboBoxVBRMax;
  TRadioButton* RadioButtonQuality;
  TImageSlider* ImageSliderQuality;
  TLabel* LabelQualityLow;
  TLabel* LabelQualityHigh;
  TLabel* LabelQualityValue;
  TRadioButton* RadioButtonABR;
  TComboBox* ComboBoxABRBitRate;
  TCheckBox* CheckBoxXING;
  TGroupBox* GroupBoxFlags;
  TCheckBox* CheckBoxChecksum;
  TButton* btnOK;
  TButton* btnCancel;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
  void UpdateEnabling();
  void ComboBoxVBRMinChange(TObject* Sender);
  void ComboBoxVBRMaxChange(TObject* Sender);
  void ImageSliderQualityChange(TObject* Sender);
};

// The list texts of the MP3 rates: 14 from 32, 13 from 32, 13 from 40.
std::vector<std::wstring> Mp3RateTexts(int first, int count);

} // namespace recorder
