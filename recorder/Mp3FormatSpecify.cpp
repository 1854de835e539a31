#include "recorder/Mp3FormatSpecify.h"

#include "framework/SysUtils.h"

namespace recorder {

std::vector<std::wstring> Mp3RateTexts(int first, int count) {
  std::vector<std::wstring> v;
  for (int i = 0; i < count; ++i)
    v.push_back(std::to_wstring(Mp3BitRateOfIndex(first + i)) + L" kbps");
  return v;
}

TMp3SettingsSpecifyForm::TMp3SettingsSpecifyForm(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Configure MP3 Settings", 356, 352);
  LabelMode = NewLabel(this, this, L"LabelMode", L"Mode:", 12, 14);
  ComboBoxMode = NewList(this, this, L"ComboBoxMode",
                         {L"Stereo", L"Joint Stereo", L"Dual Channels", L"Mono"}, 80, 10, 140);
  RadioButtonCBR = NewRadio(this, this, L"RadioButtonCBR", L"&Constant Bit Rate", 12, 42, 140);
  ComboBoxCBRBitRate =
      NewList(this, this, L"ComboBoxCBRBitRate", Mp3RateTexts(0, 14), 160, 40, 100);
  RadioButtonVBR = NewRadio(this, this, L"RadioButtonVBR", L"&Variable Bit Rate", 12, 70, 140);
  GroupBoxVBR = NewGroup(this, this, L"GroupBoxVBR", L"", 12, 88, 332, 190);
  LabelVBRMin = NewLabel(this, GroupBoxVBR, L"LabelVBRMin", L"Min. Bit Rate:", 8, 20);
  ComboBoxVBRMin = NewList(this, GroupBoxVBR, L"ComboBoxVBRMin", Mp3RateTexts(0, 13), 92, 16, 72);
  LabelVBRMax = NewLabel(this, GroupBoxVBR, L"LabelVBRMax", L"Max. Bit Rate:", 170, 20);
  ComboBoxVBRMax = NewList(this, GroupBoxVBR, L"ComboBoxVBRMax", Mp3RateTexts(1, 13), 254, 16, 70);
  RadioButtonQuality =
      NewRadio(this, GroupBoxVBR, L"RadioButtonQuality", L"&Quality Level", 10, 48, 120);
  LabelQualityLow = NewLabel(this, GroupBoxVBR, L"LabelQualityLow", L"Low: 9", 26, 76);
  ImageSliderQuality = NewSlider(this, GroupBoxVBR, L"ImageSliderQuality", 0, 9, true, 70, 68, 180);
  LabelQualityHigh = NewLabel(this, GroupBoxVBR, L"LabelQualityHigh", L"High: 0", 256, 76);
  LabelQualityValue = NewLabel(this, GroupBoxVBR, L"LabelQualityValue", L"9", 140, 50, 30);
  RadioButtonABR =
      NewRadio(this, GroupBoxVBR, L"RadioButtonABR", L"Set &Average Bit Rate:", 10, 110, 150);
  ComboBoxABRBitRate =
      NewList(this, GroupBoxVBR, L"ComboBoxABRBitRate", Mp3RateTexts(0, 14), 170, 108, 100);
  CheckBoxXING = NewCheck(this, GroupBoxVBR, L"CheckBoxXING",
                          L"Write &XING compatible variable bit rate header", 10, 150, 310);
  GroupBoxFlags = NewGroup(this, this, L"GroupBoxFlags", L"Set Flags:", 12, 284, 332, 40);
  CheckBoxChecksum = NewCheck(this, GroupBoxFlags, L"CheckBoxChecksum", L"Check&sum", 10, 16, 200);
  btnOK = NewButton(this, this, L"btnOK", L"&OK", 188, 326, 75, 22, mrOk);
  btnOK->SetDefault(true);
  btnCancel = NewButton(this, this, L"btnCancel", L"&Cancel", 269, 326, 75, 22, mrCancel);
  btnCancel->SetCancel(true);
  GroupBoxFlags->SetBounds(12, 282, 170, 42);

  for (TRadioButton* r : {RadioButtonCBR, RadioButtonVBR, RadioButtonQuality, RadioButtonABR})
    r->OnClick = [this](TObject*) { UpdateEnabling(); };
  ComboBoxVBRMin->OnChange = [this](TObject* s) { ComboBoxVBRMinChange(s); };
  ComboBoxVBRMax->OnChange = [this](TObject* s) { ComboBoxVBRMaxChange(s); };
  ImageSliderQuality->OnChange = [this](TObject* s) { ImageSliderQualityChange(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TMp3SettingsSpecifyForm::Load(const TGlobalVars& g) {
  ComboBoxMode->SetItemIndex(g.OutputMP3Mode);
  if (g.OutputMP3CBR)
    RadioButtonCBR->SetChecked(true);
  else
    RadioButtonVBR->SetChecked(true);
  ComboBoxCBRBitRate->SetItemIndex(g.OutputMP3CBRBitRate);
  ComboBoxVBRMin->SetItemIndex(g.OutputMP3VBRBitRateMin);
  ComboBoxVBRMax->SetItemIndex(g.OutputMP3VBRBitRateMax);
  if (g.OutputMP3QualityLevel)
    RadioButtonQuality->SetChecked(true);
  else
    RadioButtonABR->SetChecked(true);
  ImageSliderQuality->SetValue(9 - g.OutputMP3QualityLevelValue);
  ImageSliderQualityChange(ImageSliderQuality);
  ComboBoxABRBitRate->SetItemIndex(g.OutputMP3ABRBitRate);
  CheckBoxXING->SetChecked(g.OutputMP3WriteXING);
  CheckBoxChecksum->SetChecked(g.OutputMP3Checksum);
}

void TMp3SettingsSpecifyForm::Store(TGlobalVars& g) {
  auto index = [](TComboBox* c, uint8_t old) {
    return c->ItemIndex() < 0 ? old : static_cast<uint8_t>(c->ItemIndex());
  };
  g.OutputMP3Mode = index(ComboBoxMode, g.OutputMP3Mode);
  g.OutputMP3CBR = RadioButtonCBR->Checked();
  g.OutputMP3CBRBitRate = index(ComboBoxCBRBitRate, g.OutputMP3CBRBitRate);
  g.OutputMP3VBRBitRateMin = index(ComboBoxVBRMin, g.OutputMP3VBRBitRateMin);
  g.OutputMP3VBRBitRateMax = index(ComboBoxVBRMax, g.OutputMP3VBRBitRateMax);
  g.OutputMP3QualityLevel = RadioButtonQuality->Checked();
  g.OutputMP3QualityLevelValue = 9 - ImageSliderQuality->Value();
  g.OutputMP3ABRBitRate = index(ComboBoxABRBitRate, g.OutputMP3ABRBitRate);
  g.OutputMP3WriteXING = CheckBoxXING->Checked();
  g.OutputMP3Checksum = CheckBoxChecksum->Checked();
}

void TMp3SettingsSpecifyForm::FormShow(TObject*) {
  ApplyHintFont(this);
  UpdateEnabling();
}

void TMp3SettingsSpecifyForm::UpdateEnabling() {
  const bool cbr = RadioButtonCBR->Checked();
  const bool vbr = RadioButtonVBR->Checked();
  const bool quality = vbr && RadioButtonQuality->Checked();
  const bool abr = vbr && RadioButtonABR->Checked();
  ComboBoxCBRBitRate->SetEnabled(cbr);
  for (TControl* c : std::initializer_list<TControl*>{
           GroupBoxVBR, LabelVBRMin, ComboBoxVBRMin, LabelVBRMax, ComboBoxVBRMax,
           RadioButtonQuality, RadioButtonABR, CheckBoxXING})
    c->SetEnabled(vbr);
  for (TControl* c : std::initializer_list<TControl*>{ImageSliderQuality, LabelQualityLow,
                                                      LabelQualityHigh, LabelQualityValue})
    c->SetEnabled(quality);
  ComboBoxABRBitRate->SetEnabled(abr);
}

void TMp3SettingsSpecifyForm::ComboBoxVBRMinChange(TObject*) {
  if (ComboBoxVBRMax->ItemIndex() < ComboBoxVBRMin->ItemIndex())
    ComboBoxVBRMax->SetItemIndex(ComboBoxVBRMin->ItemIndex());
}

void TMp3SettingsSpecifyForm::ComboBoxVBRMaxChange(TObject*) {
  if (ComboBoxVBRMax->ItemIndex() < ComboBoxVBRMin->ItemIndex())
    ComboBoxVBRMin->SetItemIndex(ComboBoxVBRMax->ItemIndex());
}

void TMp3SettingsSpecifyForm::ImageSliderQualityChange(TObject*) {
  LabelQualityValue->SetCaption(Format(L"%d", 9 - ImageSliderQuality->Value()));
}

} // namespace recorder
