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

  labPerset = new TLabel(this);
  labPerset->SetName(L"labPerset");
  labPerset->SetParent(this);
  labPerset->SetCaption(L"Perset:");
  labPerset->SetBounds(8, 8, 40, 13);

  cbPerset = new TComboBox(this);
  cbPerset->SetName(L"cbPerset");
  cbPerset->SetParent(this);
  cbPerset->SetStyle(csDropDownList);
  cbPerset->SetBounds(8, 24, 233, 21);
  cbPerset->SetDropDownCount(16);
  cbPerset->SetTabStop(true);
  cbPerset->Items()->Add(L"(Custom)");
  cbPerset->SetItemIndex(0);
  cbPerset->OnClick = [this](TObject* s) { cbPersetClick(s); };

  line = new TDialogLine(this);
  line->SetName(L"line");
  line->SetParent(this);
  line->SetBounds(8, 54, 233, 2);

  btnOK = new TButton(this);
  btnOK->SetName(L"btnOK");
  btnOK->SetParent(this);
  btnOK->SetCaption(L"OK");
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  btnOK->SetTabStop(true);

  btnCancel = new TButton(this);
  btnCancel->SetName(L"btnCancel");
  btnCancel->SetParent(this);
  btnCancel->SetCaption(L"Cancel");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  btnCancel->SetTabStop(true);

  btnHelp = new TButton(this);
  btnHelp->SetName(L"btnHelp");
  btnHelp->SetParent(this);
  btnHelp->SetCaption(L"Help");
  btnHelp->SetTabStop(true);
  btnHelp->OnClick = [this](TObject* s) { btnHelpClick(s); };
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

TGroupBox* TEffectDialog::AddGroup(const std::wstring& Name, const std::wstring& ACaption, int L,
                                   int T, int W, int H) {
  auto* g = new TGroupBox(this);
  g->SetName(Name);
  g->SetParent(this);
  g->SetCaption(ACaption);
  g->SetBounds(L, T, W, H);
  return g;
}

TPicSlider* TEffectDialog::AddSlider(TWinControl* Parent, const std::wstring& Name, int Min,
                                     int Max, int Start, int L, int T, int W, int H,
                                     bool Vertical) {
  auto* s = new TPicSlider(this);
  s->SetName(Name);
  s->SetParent(Parent);
  if (Vertical) s->SetOrientation(soVertical);
  s->SetBounds(L, T, W, H);
  s->SetIncrement(1);
  s->SetOptions(soSmooth);
  s->SetMinMax(Min, Max);
  s->SetValue(Start);
  s->SetTabStop(true);
  TBinding b;
  b.Slider = s;
  FBindings.push_back(b);
  s->OnChange = [this](TObject*) { UpdateLabels(); };
  return s;
}

TLabel* TEffectDialog::AddValueLabel(TWinControl* Parent, TPicSlider* Slider,
                                     const std::wstring& Name, const std::wstring& Fmt, int L,
                                     int T, int W) {
  auto* l = new TLabel(this);
  l->SetName(Name);
  l->SetParent(Parent);
  l->SetAutoSize(false);
  l->SetAlignment(taRightJustify);
  l->SetBounds(L, T, W, 13);
  for (auto& b : FBindings)
    if (b.Slider == Slider) {
      b.Label = l;
      b.Format = Fmt;
    }
  l->SetCaption(Format(Fmt, Slider->Value()));
  return l;
}

TFcNumericEdit* TEffectDialog::AddEdit(TWinControl* Parent, TPicSlider* Slider,
                                       const std::wstring& Name, int Min, int Max, int L, int T) {
  auto* e = new TFcNumericEdit(this);
  e->SetName(Name);
  e->SetParent(Parent);
  e->SetBounds(L, T, 41, 21);
  e->SetDisplayFormat(L",0;(,0)");
  e->SetMin(Min);
  e->SetMax(Max);
  e->SetCheckRange(true);
  e->SetTabStop(true);
  e->SetText(e->FormatValue(Slider->Value()));
  for (auto& b : FBindings)
    if (b.Slider == Slider) b.Edit = e;
  e->OnExit = [Slider, e](TObject*) { Slider->SetValue(e->IntegerValue()); };
  return e;
}

TLabel* TEffectDialog::AddLabel(TWinControl* Parent, const std::wstring& ACaption, int L, int T) {
  auto* l = new TLabel(this);
  l->SetParent(Parent);
  l->SetCaption(ACaption);
  l->SetBounds(L, T, 0, 13);
  l->SetAutoSize(true);
  return l;
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
