#include "recorder/DialogControls.h"

#include "recorder/funcs.h"

namespace recorder {

TLabel* NewLabel(TForm* owner, TWinControl* parent, const std::wstring& name,
                 const std::wstring& caption, int l, int t, int w, int h) {
  auto* c = new TLabel(owner);
  if (!name.empty()) c->SetName(name);
  c->SetParent(parent);
  c->SetCaption(caption);
  if (w > 0) {
    c->SetAutoSize(false);
    c->SetBounds(l, t, w, h);
  } else {
    c->SetBounds(l, t, 0, h);
    c->SetAutoSize(true);
  }
  return c;
}

TRadioButton* NewRadio(TForm* owner, TWinControl* parent, const std::wstring& name,
                       const std::wstring& caption, int l, int t, int w, int h) {
  auto* c = new TRadioButton(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetCaption(caption);
  c->SetBounds(l, t, w, h);
  c->SetTabStop(true);
  return c;
}

TCheckBox* NewCheck(TForm* owner, TWinControl* parent, const std::wstring& name,
                    const std::wstring& caption, int l, int t, int w, int h) {
  auto* c = new TCheckBox(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetCaption(caption);
  c->SetBounds(l, t, w, h);
  c->SetTabStop(true);
  return c;
}

TButton* NewButton(TForm* owner, TWinControl* parent, const std::wstring& name,
                   const std::wstring& caption, int l, int t, int w, int h, TModalResult result) {
  auto* c = new TButton(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetCaption(caption);
  c->SetBounds(l, t, w, h);
  c->SetModalResult(result);
  c->SetTabStop(true);
  return c;
}

TComboBox* NewList(TForm* owner, TWinControl* parent, const std::wstring& name,
                   const std::vector<std::wstring>& items, int l, int t, int w) {
  auto* c = new TComboBox(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetStyle(csDropDownList);
  c->SetBounds(l, t, w, 21);
  c->SetDropDownCount(16);
  c->SetTabStop(true);
  for (const auto& s : items)
    c->Items()->Add(s);
  return c;
}

TGroupBox* NewGroup(TForm* owner, TWinControl* parent, const std::wstring& name,
                    const std::wstring& caption, int l, int t, int w, int h) {
  auto* c = new TGroupBox(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetCaption(caption);
  c->SetBounds(l, t, w, h);
  return c;
}

TImageSlider* NewSlider(TForm* owner, TWinControl* parent, const std::wstring& name, int min,
                        int max, bool points, int l, int t, int w, int h) {
  auto* c = new TImageSlider(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  c->SetIncrement(1);
  c->SetOptions(points ? (soShowFocus | soShowPoints) : (soShowFocus | soSmooth));
  c->SetMinMax(min, max);
  c->SetTabStop(true);
  return c;
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

void CentreOn(TCustomForm* dialog, TCustomForm* opener) {
  if (!opener) return;
  dialog->SetTop(opener->Top() + (opener->Height() - dialog->Height()) / 2);
  dialog->SetLeft(opener->Left() + (opener->Width() - dialog->Width()) / 2);
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
  if (AWithSpecify) {
    RadioButtonPreset = NewRadio(this, this, L"RadioButtonPreset", L"&Preset Quality:", 12, 8, 260);
    RadioButtonPreset->SetChecked(true);
    RadioButtonPreset->OnClick = [this](TObject*) { UpdateEnabling(); };
  }
  LabelPresetName = NewLabel(this, this, L"LabelPresetName", L"", 28, top, 260);
  LabelPresetDescription = NewLabel(this, this, L"LabelPresetDescription", L"", 28, top + 16, 260);
  LabelLow = NewLabel(this, this, L"LabelLow", L"Low Quality,\r\nSmall Size", 12, top + 40, 66, 26);
  ImageSliderPreset = NewSlider(this, this, L"ImageSliderPreset", 0,
                                static_cast<int>(FPresets.size()) - 1, true, 80, top + 36, 200);
  ImageSliderPreset->OnChange = [this](TObject*) { UpdatePresetLabels(); };
  LabelHigh =
      NewLabel(this, this, L"LabelHigh", L"High Quality,\r\nLarge Size", 286, top + 40, 70, 26);
  if (AWithSpecify) {
    RadioButtonSpecify =
        NewRadio(this, this, L"RadioButtonSpecify", L"&Specify Settings:", 12, 114, 260);
    RadioButtonSpecify->OnClick = [this](TObject*) { UpdateEnabling(); };
    LabelSpecifySettings = NewLabel(this, this, L"LabelSpecifySettings", L"", 28, 136, 330, 40);
    LabelSpecifySettings->SetWordWrap(true);
    ButtonConfigure = NewButton(this, this, L"ButtonConfigure", L"&Configure...", 28, 180, 90);
    ButtonConfigure->OnClick = [this](TObject* s) { ButtonConfigureClick(s); };
  }
  const int by = ClientHeight() - 34;
  btnHelp = NewButton(this, this, L"btnHelp", L"&Help", 12, by);
  btnOK = NewButton(this, this, L"btnOK", L"&OK", 204, by, 75, 25, mrOk);
  btnOK->SetDefault(true);
  btnCancel = NewButton(this, this, L"btnCancel", L"&Cancel", 285, by, 75, 25, mrCancel);
  btnCancel->SetCancel(true);
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
