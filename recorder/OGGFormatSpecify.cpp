#include "recorder/OGGFormatSpecify.h"

#include "framework/SysUtils.h"

namespace recorder {

TOGGSettingsSpecifyForm::TOGGSettingsSpecifyForm(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Configure OGG Settings", 340, 236);
  RadioButtonABR = NewRadio(this, this, L"RadioButtonABR", L"&Average Bit Rate:", 12, 14, 130);
  ComboBoxABRBitRate = NewList(
      this, this, L"ComboBoxABRBitRate",
      {L"64 kbps", L"96 kbps", L"128 kbps", L"160 kbps", L"192 kbps", L"256 kbps", L"350 kbps"},
      150, 12, 100);
  RadioButtonVBR = NewRadio(this, this, L"RadioButtonVBR", L"&Variable Bit Rate", 12, 46, 130);
  LabelLow = NewLabel(this, this, L"LabelLow", L"Low Quality,\r\nSmall Size", 12, 78, 66, 26);
  ImageSliderQuality = NewSlider(this, this, L"ImageSliderQuality", 1, 100, false, 80, 74, 170);
  LabelHigh = NewLabel(this, this, L"LabelHigh", L"High Quality,\r\nLarge Size", 256, 78, 70, 26);
  LabelQualityValue = NewLabel(this, this, L"LabelQualityValue", L"", 150, 48, 50);
  RadioGroupMode = new TRadioGroup(this);
  RadioGroupMode->SetName(L"RadioGroupMode");
  RadioGroupMode->SetParent(this);
  RadioGroupMode->SetCaption(L"Mode");
  RadioGroupMode->SetBounds(12, 116, 316, 72);
  RadioGroupMode->Items()->Add(L"Stereo");
  RadioGroupMode->Items()->Add(L"Mono");
  btnOK = NewButton(this, this, L"btnOK", L"&OK", 172, 200, 75, 25, mrOk);
  btnOK->SetDefault(true);
  btnCancel = NewButton(this, this, L"btnCancel", L"&Cancel", 253, 200, 75, 25, mrCancel);
  btnCancel->SetCancel(true);
  RadioButtonABR->OnClick = [this](TObject*) { UpdateEnabling(); };
  RadioButtonVBR->OnClick = [this](TObject*) { UpdateEnabling(); };
  ImageSliderQuality->OnChange = [this](TObject* s) { ImageSliderQualityChange(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TOGGSettingsSpecifyForm::Load(const TGlobalVars& g) {
  if (g.OutputOGGABR)
    RadioButtonABR->SetChecked(true);
  else
    RadioButtonVBR->SetChecked(true);
  ComboBoxABRBitRate->SetItemIndex(g.OutputOGGABRBitRate);
  ImageSliderQuality->SetValue(g.OutputOGGQualityValue);
  RadioGroupMode->SetItemIndex(g.OutputOGGMode);
  ImageSliderQualityChange(ImageSliderQuality);
}

void TOGGSettingsSpecifyForm::Store(TGlobalVars& g) {
  g.OutputOGGABR = RadioButtonABR->Checked();
  if (ComboBoxABRBitRate->ItemIndex() >= 0)
    g.OutputOGGABRBitRate = static_cast<uint8_t>(ComboBoxABRBitRate->ItemIndex());
  g.OutputOGGQualityValue = ImageSliderQuality->Value();
  if (RadioGroupMode->ItemIndex() >= 0)
    g.OutputOGGMode = static_cast<uint8_t>(RadioGroupMode->ItemIndex());
}

void TOGGSettingsSpecifyForm::FormShow(TObject*) {
  ApplyHintFont(this);
  UpdateEnabling();
  ImageSliderQualityChange(ImageSliderQuality);
}

void TOGGSettingsSpecifyForm::UpdateEnabling() {
  const bool abr = RadioButtonABR->Checked();
  const bool vbr = RadioButtonVBR->Checked();
  ComboBoxABRBitRate->SetEnabled(abr);
  for (TControl* c :
       std::initializer_list<TControl*>{ImageSliderQuality, LabelLow, LabelHigh, LabelQualityValue})
    c->SetEnabled(vbr);
}

void TOGGSettingsSpecifyForm::ImageSliderQualityChange(TObject*) {
  LabelQualityValue->SetCaption(Format(L"%d%%", ImageSliderQuality->Value()));
}

} // namespace recorder
