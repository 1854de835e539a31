#include "recorder/OGGFormatSpecify.h"

#include "framework/SysUtils.h"

namespace recorder {

TOGGSettingsSpecifyForm::TOGGSettingsSpecifyForm(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Configure OGG Settings", 340, 236);
  const auto update = [this](TObject*) { UpdateEnabling(); };
  BuildComponents(
      this,
      {
          {RadioButtonABR,
           {.Name = L"RadioButtonABR",
            .Bounds = {12, 14, 130, 17},
            .Caption = L"&Average Bit Rate:",
            .OnClick = update}},
          {ComboBoxABRBitRate,
           {L"ComboBoxABRBitRate", this, {150, 12, 100, 21}},
           DropDownList({L"64 kbps", L"96 kbps", L"128 kbps", L"160 kbps", L"192 kbps", L"256 kbps",
                         L"350 kbps"})},
          {RadioButtonVBR,
           {.Name = L"RadioButtonVBR",
            .Bounds = {12, 46, 130, 17},
            .Caption = L"&Variable Bit Rate",
            .OnClick = update}},
          {LabelLow, {L"LabelLow", this, {12, 78, 66, 26}, L"Low Quality,\r\nSmall Size", false}},
          {ImageSliderQuality,
           {L"ImageSliderQuality", this, {80, 74, 170, 30}},
           SliderRange(1, 100, false)},
          {LabelHigh,
           {L"LabelHigh", this, {256, 78, 70, 26}, L"High Quality,\r\nLarge Size", false}},
          {LabelQualityValue, {L"LabelQualityValue", this, {150, 48, 50, 13}, L"", false}},
          {RadioGroupMode,
           {L"RadioGroupMode", this, {12, 116, 316, 72}, L"Mode"},
           [](TRadioGroup& g) {
             g.Items()->Add(L"Stereo");
             g.Items()->Add(L"Mono");
           }},
          {btnOK,
           {L"btnOK", this, {172, 200, 75, 25}, L"&OK"},
           [](TButton& b) {
             b.SetModalResult(mrOk);
             b.SetDefault(true);
           }},
          {btnCancel,
           {L"btnCancel", this, {253, 200, 75, 25}, L"&Cancel"},
           [](TButton& b) {
             b.SetModalResult(mrCancel);
             b.SetCancel(true);
           }},
      });
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
