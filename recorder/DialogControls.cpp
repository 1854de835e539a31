#include "recorder/DialogControls.h"

#include "recorder/funcs.h"

namespace recorder {

std::function<void(TComboBox&)> DropDownList(std::vector<std::wstring> Items) {
  return [Items = std::move(Items)](TComboBox& c) {
    c.SetStyle(csDropDownList);
    c.SetDropDownCount(16);
    for (const auto& s : Items)
      c.Items()->Add(s);
  };
}

std::function<void(TImageSlider&)> SliderRange(int Min, int Max, bool Points) {
  return [=](TImageSlider& c) {
    c.SetIncrement(1);
    c.SetOptions(Points ? (soShowFocus | soShowPoints) : (soShowFocus | soSmooth));
    c.SetMinMax(Min, Max);
  };
}

void LinkLabel(TLabel& Label) {
  Label.SetCursor(crHandPoint);
  Label.Font()->SetColor(clBlue);
  Label.Font()->SetStyle(fsUnderline);
}

void SetupDialog(TForm* form, const std::wstring& caption, int clientWidth, int clientHeight) {
  form->SetBorderStyle(bsDialog);
  form->SetBorderIcons(biSystemMenu);
  form->SetPosition(poDesigned);
  form->Font()->SetName(L"Tahoma");
  form->Font()->SetSize(8);
  form->SetCaption(caption);
  form->SetClientSize(clientWidth, clientHeight);
}

void ApplyHintFont(TForm* form) {
  ReplaceFontName(form, L"Tahoma", Screen->HintFont()->Name());
}

// ---------------------------------------------------------------------------

TFormatSetupForm::TFormatSetupForm(TComponent* AOwner, const std::wstring& ACaption,
                                   std::vector<TPresetText> APresets, bool AWithSpecify)
    : TForm(AOwner), FPresets(std::move(APresets)), FWithSpecify(AWithSpecify) {
  SetupDialog(this, ACaption, 372, AWithSpecify ? 250 : 128);
  const int top = AWithSpecify ? 30 : 8;
  if (AWithSpecify)
    BuildComponents(this, {{RadioButtonPreset,
                            {.Name = L"RadioButtonPreset",
                             .Bounds = {12, 8, 260, 17},
                             .Caption = L"&Preset Quality:",
                             .OnClick = [this](TObject*) { UpdateEnabling(); }},
                            [](TRadioButton& r) { r.SetChecked(true); }}});
  BuildComponents(
      this,
      {
          {LabelPresetName, {L"LabelPresetName", this, {28, top, 260, 13}, L"", false}},
          {LabelPresetDescription,
           {L"LabelPresetDescription", this, {28, top + 16, 260, 13}, L"", false}},
          {LabelLow,
           {L"LabelLow", this, {12, top + 40, 66, 26}, L"Low Quality,\r\nSmall Size", false}},
          {ImageSliderPreset,
           {L"ImageSliderPreset", this, {80, top + 36, 200, 30}},
           SliderRange(0, static_cast<int>(FPresets.size()) - 1, true)},
          {LabelHigh,
           {L"LabelHigh", this, {286, top + 40, 70, 26}, L"High Quality,\r\nLarge Size", false}},
      });
  ImageSliderPreset->OnChange = [this](TObject*) { UpdatePresetLabels(); };
  if (AWithSpecify)
    BuildComponents(this, {
                              {RadioButtonSpecify,
                               {.Name = L"RadioButtonSpecify",
                                .Bounds = {12, 114, 260, 17},
                                .Caption = L"&Specify Settings:",
                                .OnClick = [this](TObject*) { UpdateEnabling(); }}},
                              {LabelSpecifySettings,
                               {L"LabelSpecifySettings", this, {28, 136, 330, 40}, L"", false},
                               [](TLabel& l) { l.SetWordWrap(true); }},
                              {ButtonConfigure,
                               {.Name = L"ButtonConfigure",
                                .Bounds = {28, 180, 90, 25},
                                .Caption = L"&Configure...",
                                .OnClick = [this](TObject* s) { ButtonConfigureClick(s); }}},
                          });
  const int by = ClientHeight() - 34;
  BuildComponents(this, {
                            {btnHelp, {L"btnHelp", this, {12, by, 75, 25}, L"&Help"}},
                            {btnOK,
                             {L"btnOK", this, {204, by, 75, 25}, L"&OK"},
                             [](TButton& b) {
                               b.SetModalResult(mrOk);
                               b.SetDefault(true);
                             }},
                            {btnCancel,
                             {L"btnCancel", this, {285, by, 75, 25}, L"&Cancel"},
                             [](TButton& b) {
                               b.SetModalResult(mrCancel);
                               b.SetCancel(true);
                             }},
                        });
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormatSetupForm::Load(const TGlobalVars& g) {
  FWork = g;
  if (uint8_t* type = TypeField(FWork)) {
    if (*type == 0)
      RadioButtonPreset->SetChecked(true);
    else if (*type == 1)
      RadioButtonSpecify->SetChecked(true);
  }
  ImageSliderPreset->SetValue(PresetField(FWork));
  UpdatePresetLabels();
}

void TFormatSetupForm::Store(TGlobalVars& g) {
  if (uint8_t* type = TypeField(g)) {
    if (RadioButtonPreset->Checked())
      *type = 0;
    else if (RadioButtonSpecify->Checked())
      *type = 1;
  }
  PresetField(g) = static_cast<uint8_t>(ImageSliderPreset->Value());
  CopySpecify(FWork, g);
}

void TFormatSetupForm::FormShow(TObject*) {
  ApplyHintFont(this);
  UpdateEnabling();
  UpdatePresetLabels();
  UpdateSummary();
}

void TFormatSetupForm::UpdateEnabling() {
  if (!FWithSpecify) return;
  const bool preset = RadioButtonPreset->Checked();
  const bool specify = RadioButtonSpecify->Checked();
  for (TControl* c : std::initializer_list<TControl*>{LabelPresetName, LabelPresetDescription,
                                                      LabelLow, LabelHigh, ImageSliderPreset})
    c->SetEnabled(preset);
  LabelSpecifySettings->SetEnabled(specify);
  ButtonConfigure->SetEnabled(specify);
}

void TFormatSetupForm::UpdatePresetLabels() {
  const int v = ImageSliderPreset->Value();
  if (v < 0 || v >= static_cast<int>(FPresets.size())) return;
  LabelPresetName->SetCaption(FPresets[v].Name);
  LabelPresetDescription->SetCaption(FPresets[v].Description);
}

void TFormatSetupForm::UpdateSummary() {
  if (LabelSpecifySettings) LabelSpecifySettings->SetCaption(Summary(FWork));
}

void TFormatSetupForm::ButtonConfigureClick(TObject*) {
  if (RunSpecify(FWork)) UpdateSummary();
}

} // namespace recorder
