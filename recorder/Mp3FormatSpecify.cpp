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
  const auto update = [this](TObject*) { UpdateEnabling(); };
  BuildComponents(
      this,
      {
          {LabelMode, {L"LabelMode", this, {12, 14, 0, 13}, L"Mode:", true}},
          {ComboBoxMode,
           {L"ComboBoxMode", this, {80, 10, 140, 21}},
           DropDownList({L"Stereo", L"Joint Stereo", L"Dual Channels", L"Mono"})},
          {RadioButtonCBR,
           {.Name = L"RadioButtonCBR",
            .Bounds = {12, 42, 140, 17},
            .Caption = L"&Constant Bit Rate",
            .OnClick = update}},
          {ComboBoxCBRBitRate,
           {L"ComboBoxCBRBitRate", this, {160, 40, 100, 21}},
           DropDownList(Mp3RateTexts(0, 14))},
          {RadioButtonVBR,
           {.Name = L"RadioButtonVBR",
            .Bounds = {12, 70, 140, 17},
            .Caption = L"&Variable Bit Rate",
            .OnClick = update}},
          {GroupBoxVBR, {L"GroupBoxVBR", this, {12, 88, 332, 190}}},
          {LabelVBRMin, {L"LabelVBRMin", GroupBoxVBR, {8, 20, 0, 13}, L"Min. Bit Rate:", true}},
          {ComboBoxVBRMin,
           {L"ComboBoxVBRMin", GroupBoxVBR, {92, 16, 72, 21}},
           DropDownList(Mp3RateTexts(0, 13))},
          {LabelVBRMax, {L"LabelVBRMax", GroupBoxVBR, {170, 20, 0, 13}, L"Max. Bit Rate:", true}},
          {ComboBoxVBRMax,
           {L"ComboBoxVBRMax", GroupBoxVBR, {254, 16, 70, 21}},
           DropDownList(Mp3RateTexts(1, 13))},
          {RadioButtonQuality,
           {.Name = L"RadioButtonQuality",
            .Parent = GroupBoxVBR,
            .Bounds = {10, 48, 120, 17},
            .Caption = L"&Quality Level",
            .OnClick = update}},
          {LabelQualityLow, {L"LabelQualityLow", GroupBoxVBR, {26, 76, 0, 13}, L"Low: 9", true}},
          {ImageSliderQuality,
           {L"ImageSliderQuality", GroupBoxVBR, {70, 68, 180, 30}},
           SliderRange(0, 9, true)},
          {LabelQualityHigh,
           {L"LabelQualityHigh", GroupBoxVBR, {256, 76, 0, 13}, L"High: 0", true}},
          {LabelQualityValue, {L"LabelQualityValue", GroupBoxVBR, {140, 50, 30, 13}, L"9", false}},
          {RadioButtonABR,
           {.Name = L"RadioButtonABR",
            .Parent = GroupBoxVBR,
            .Bounds = {10, 110, 150, 17},
            .Caption = L"Set &Average Bit Rate:",
            .OnClick = update}},
          {ComboBoxABRBitRate,
           {L"ComboBoxABRBitRate", GroupBoxVBR, {170, 108, 100, 21}},
           DropDownList(Mp3RateTexts(0, 14))},
          {CheckBoxXING,
           {L"CheckBoxXING",
            GroupBoxVBR,
            {10, 150, 310, 17},
            L"Write &XING compatible variable bit rate header"}},
          {GroupBoxFlags, {L"GroupBoxFlags", this, {12, 284, 332, 40}, L"Set Flags:"}},
          {CheckBoxChecksum, {L"CheckBoxChecksum", GroupBoxFlags, {10, 16, 200, 17}, L"Check&sum"}},
          {btnOK,
           {L"btnOK", this, {188, 326, 75, 22}, L"&OK"},
           [](TButton& b) {
             b.SetModalResult(mrOk);
             b.SetDefault(true);
           }},
          {btnCancel,
           {L"btnCancel", this, {269, 326, 75, 22}, L"&Cancel"},
           [](TButton& b) {
             b.SetModalResult(mrCancel);
             b.SetCancel(true);
           }},
      });
  GroupBoxFlags->SetBounds(12, 282, 170, 42);

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
