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

void TEffectDialog::RowBox(TGroupBox*& Box, TPicSlider*& Slider, const TRow& Row) {
  BuildComponents(
      this,
      {
          {Box, {Row.BoxName, this, {Row.Left, Row.Top, Row.Narrow ? 179 : 233, 53}, Row.Caption}},
          {Slider,
           {Row.SliderName, Box, {8, 18, Row.Narrow ? 118 : 170, 28}},
           SliderRange(Row.Min, Row.Max, Row.Start)},
      });
}

void TEffectDialog::LabelRow(TGroupBox*& Box, TPicSlider*& Slider, TLabel*& Label, const TRow& Row,
                             const std::wstring& Fmt) {
  RowBox(Box, Slider, Row);
  BuildComponents(this, {{Label,
                          {Row.ValueName, Box, {Row.Narrow ? 128 : 180, 24, 45, 13}, L"", false},
                          ValueOf(Slider, Fmt)}});
}

void TEffectDialog::EditRow(TGroupBox*& Box, TPicSlider*& Slider, TFcNumericEdit*& Edit,
                            const TRow& Row) {
  RowBox(Box, Slider, Row);
  BuildComponents(this, {{Edit,
                          {Row.ValueName, Box, {Row.Narrow ? 130 : 184, 20, 41, 21}},
                          EditOf(Slider, Row.Min, Row.Max)}});
}

void TEffectDialog::TypeRow(TLabel*& Label, TComboBox*& Combo, int Top, const std::wstring& Caption,
                            const std::vector<std::wstring>& Items, int Index) {
  BuildComponents(this, {
                            {Label, {L"labType", this, {8, Top + 4, 0, 13}, Caption, true}},
                            {Combo,
                             {L"cbType", this, {96, Top, 145, 21}},
                             [&Items, Index](TComboBox& c) {
                               c.SetStyle(csDropDownList);
                               for (const auto& item : Items)
                                 c.Items()->Add(item);
                               c.SetItemIndex(Index);
                             }},
                        });
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

// ---------------------------------------------------------------------------
// TDelayLineDialog

TDelayLineDialog::TDelayLineDialog(TComponent* AOwner, const std::wstring& ACaption,
                                   int AClientWidth, int AClientHeight,
                                   const std::wstring& AHelpPage, int Delay, int Mix, int Feedback)
    : TEffectDialog(AOwner, ACaption, AClientWidth, AClientHeight, AHelpPage) {
  EditRow(gbDelaytime, slDelaytime, editDelaytime,
          {L"gbDelaytime", L"slDelaytime", L"editDelaytime", L"Delay time (1 to 1,000ms)", 8, 64, 1,
           1000, Delay});
  LabelRow(
      gbMixdepth, slMixdepth, labMixdepth,
      {L"gbMixdepth", L"slMixdepth", L"labMixdepth", L"Mix depth, in percent", 8, 124, 0, 100, Mix},
      L"%d%%");
  LabelRow(gbFeedbackgain, slFeedbackgain, labFeedbackgain,
           {L"gbFeedbackgain", L"slFeedbackgain", L"labFeedbackgain", L"Feedback gain, in percent",
            8, 186, 0, 100, Feedback},
           L"%d%%");
}

std::vector<std::function<void(int)>> TDelayLineDialog::DelayLineTargets() const {
  return {SliderTarget(slDelaytime), SliderTarget(slMixdepth), SliderTarget(slFeedbackgain)};
}

// ---------------------------------------------------------------------------
// TSweepDialog

void TSweepDialog::SweepRows(int Depth, int Mix, int Rate, int Feedback) {
  LabelRow(gbSweepdepth, slSweepDepth, labSweepDepth,
           {L"gbSweepdepth", L"slSweepDepth", L"labSweepDepth", L"Sweep depth, in percent", 192, 44,
            0, 100, Depth, true},
           L"%d%%");
  LabelRow(gbMixDepth, slMixDepth, labMixDepth,
           {L"gbMixDepth", L"slMixDepth", L"labMixDepth", L"Mix depth, in percent", 8, 104, 0, 100,
            Mix, true},
           L"%d%%");
  LabelRow(gbSweepRate, slSweepRate, labSweepRate,
           {L"gbSweepRate", L"slSweepRate", L"labSweepRate", L"Sweep rate, in percent", 192, 104, 0,
            100, Rate, true},
           L"%d%%");
  LabelRow(gbFeedBack, slFeedback, labFeedback,
           {L"gbFeedBack", L"slFeedback", L"labFeedback", L"Feedback gain, in percent", 8, 164, 0,
            100, Feedback, true},
           L"%d%%");
  LabelRow(gbSweepPhase, slSweepPhase, labSweepPhase,
           {L"gbSweepPhase", L"slSweepPhase", L"labSweepPhase", L"Sweep phase, in radian", 192, 164,
            0, 359, 0, true},
           L"%d");
}

std::vector<std::function<void(int)>> TSweepDialog::SweepTargets(TPicSlider* First) const {
  return {SliderTarget(First),        SliderTarget(slMixDepth),  SliderTarget(slFeedback),
          SliderTarget(slSweepDepth), SliderTarget(slSweepRate), SliderTarget(slSweepPhase)};
}

} // namespace editor
