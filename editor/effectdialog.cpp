#include "editor/effectdialog.h"

#include "editor/funcs.h"
#include "framework/SysUtils.h"

namespace editor {

// ---------------------------------------------------------------------------
// Line and help

TDialogLine::TDialogLine(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 233, 2);
}

void TDialogLine::Paint() {
  RECT r{0, 0, Width(), Height()};
  DrawEdge(Canvas()->Handle(), &r, EDGE_ETCHED, BF_TOP);
}

// ---------------------------------------------------------------------------
// TEffectDialog

TEffectDialog::TEffectDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                             int AClientHeight, const std::wstring& AHelpPage)
    : TForm(AOwner), FHelpPage(AHelpPage) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(ACaption);
  SetClientSize(AClientWidth, AClientHeight);

  BuildComponents(this, {
                            {labPerset, {L"labPerset", this, {8, 8, 40, 13}, L"Perset:"}},
                            {cbPerset,
                             {.Name = L"cbPerset",
                              .Bounds = {8, 24, 233, 21},
                              .OnClick = [this](TObject* s) { cbPersetClick(s); }},
                             [](TComboBox& c) {
                               c.SetStyle(csDropDownList);
                               c.SetDropDownCount(16);
                               c.Items()->Add(L"(Custom)");
                               c.SetItemIndex(0);
                             }},
                            {line, {L"line", this, {8, 54, 233, 2}}},
                            {btnOK,
                             {L"btnOK", this, {}, L"OK"},
                             [](TButton& b) {
                               b.SetDefault(true);
                               b.SetModalResult(mrOk);
                             }},
                            {btnCancel,
                             {L"btnCancel", this, {}, L"Cancel"},
                             [](TButton& b) {
                               b.SetCancel(true);
                               b.SetModalResult(mrCancel);
                             }},
                            {btnHelp,
                             {.Name = L"btnHelp",
                              .Caption = L"Help",
                              .OnClick = [this](TObject* s) { btnHelpClick(s); }}},
                        });
  LayoutStandard();
}

void TEffectDialog::LayoutStandard() {
  int left = ClientWidth() - 76 - 10;
  btnOK->SetBounds(left, 10, 76, 24);
  btnCancel->SetBounds(left, 40, 76, 24);
  btnHelp->SetBounds(left, 88, 76, 24);
}

void TEffectDialog::LayoutWide(int ButtonLeft) {
  btnOK->SetBounds(ButtonLeft, 10, 76, 24);
  btnCancel->SetBounds(ButtonLeft, 40, 76, 24);
  btnHelp->SetBounds(ButtonLeft, 88, 76, 24);
}

void TEffectDialog::LayoutTwoColumns() {
  labPerset->SetBounds(8, 12, 40, 13);
  cbPerset->SetBounds(56, 8, ClientWidth() - 64, 21);
  line->SetBounds(8, 36, ClientWidth() - 16, 2);
  int top = ClientHeight() - 32;
  btnHelp->SetBounds(8, top, 76, 24);
  btnCancel->SetBounds(ClientWidth() - 84, top, 76, 24);
  btnOK->SetBounds(ClientWidth() - 168, top, 76, 24);
}

std::function<void(TPicSlider&)> TEffectDialog::SliderRange(int Min, int Max, int Start,
                                                            bool Vertical) {
  return [=, this](TPicSlider& s) {
    if (Vertical) s.SetOrientation(soVertical);
    s.SetIncrement(1);
    s.SetOptions(soSmooth);
    s.SetMinMax(Min, Max);
    s.SetValue(Start);
    TBinding b;
    b.Slider = &s;
    FBindings.push_back(b);
    s.OnChange = [this](TObject*) { UpdateLabels(); };
  };
}

std::function<void(TLabel&)> TEffectDialog::ValueOf(TPicSlider*& Slider, std::wstring Fmt) {
  return [this, &Slider, Fmt](TLabel& l) {
    l.SetAlignment(taRightJustify);
    for (auto& b : FBindings)
      if (b.Slider == Slider) {
        b.Label = &l;
        b.Format = Fmt;
      }
    l.SetCaption(Format(Fmt, Slider->Value()));
  };
}

std::function<void(TFcNumericEdit&)> TEffectDialog::EditOf(TPicSlider*& Slider, int Min, int Max) {
  return [this, &Slider, Min, Max](TFcNumericEdit& e) {
    e.SetDisplayFormat(L",0;(,0)");
    e.SetMin(Min);
    e.SetMax(Max);
    e.SetCheckRange(true);
    e.SetText(e.FormatValue(Slider->Value()));
    for (auto& b : FBindings)
      if (b.Slider == Slider) b.Edit = &e;
    TPicSlider* slider = Slider;
    e.OnExit = [slider, &e](TObject*) { slider->SetValue(e.IntegerValue()); };
  };
}

void TEffectDialog::SetPresets(std::vector<TPreset> Presets,
                               std::vector<std::function<void(int)>> Targets) {
  FPresets = std::move(Presets);
  FTargets = std::move(Targets);
  for (auto& p : FPresets)
    cbPerset->Items()->Add(p.Name);
  cbPerset->SetItemIndex(0);
}

void TEffectDialog::ApplyPreset() {
  int index = cbPerset->ItemIndex();
  if (index <= 0 || index > static_cast<int>(FPresets.size())) return;
  const TPreset& p = FPresets[index - 1];
  for (size_t i = 0; i < p.Values.size() && i < FTargets.size(); ++i)
    FTargets[i](p.Values[i]);
  UpdateLabels();
}

void TEffectDialog::UpdateLabels() {
  for (auto& b : FBindings) {
    int v = b.Slider->Value();
    if (b.Label) b.Label->SetCaption(Format(b.Format, v));
    if (b.Edit) {
      b.Edit->SetText(Format(L"%d", v));
      b.Edit->SetValue(v);
    }
  }
}

void TEffectDialog::cbPersetClick(TObject*) {
  ApplyPreset();
}

void TEffectDialog::ChoosePreset(int Index) {
  cbPerset->SetItemIndex(Index);
  cbPersetClick(cbPerset);
}

void TEffectDialog::SetFocusToOK() {
  if (btnOK->CanFocus()) btnOK->SetFocus();
}

void TEffectDialog::btnOKClick(TObject*) {
  SetFocusToOK();
}

void TEffectDialog::btnHelpClick(TObject*) {
  ShowHelpTopic(HandleAllocated() ? Handle() : nullptr, FHelpPage);
}

} // namespace editor
