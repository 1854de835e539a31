// "Configure MP3 Settings": channel mode, constant or variable bit rate with
// its limits, quality or average rate, and the header flags.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TMp3SettingsSpecifyForm : public TForm {
public:
  explicit TMp3SettingsSpecifyForm(TComponent* AOwner);

  TLabel* LabelMode = nullptr;
  TComboBox* ComboBoxMode = nullptr;
  TRadioButton* RadioButtonCBR = nullptr;
  TComboBox* ComboBoxCBRBitRate = nullptr;
  TRadioButton* RadioButtonVBR = nullptr;
  TGroupBox* GroupBoxVBR = nullptr;
  TLabel* LabelVBRMin = nullptr;
  TComboBox* ComboBoxVBRMin = nullptr;
  TLabel* LabelVBRMax = nullptr;
  TComboBox* ComboBoxVBRMax = nullptr;
  TRadioButton* RadioButtonQuality = nullptr;
  TImageSlider* ImageSliderQuality = nullptr;
  TLabel* LabelQualityLow = nullptr;
  TLabel* LabelQualityHigh = nullptr;
  TLabel* LabelQualityValue = nullptr;
  TRadioButton* RadioButtonABR = nullptr;
  TComboBox* ComboBoxABRBitRate = nullptr;
  TCheckBox* CheckBoxXING = nullptr;
  TGroupBox* GroupBoxFlags = nullptr;
  TCheckBox* CheckBoxChecksum = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

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
