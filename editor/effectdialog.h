// The base of every effect dialog: preset list, bevel line, OK / Cancel /
// Help, the slider-label-edit bindings and their presets. Each dialog fills
// a small parameter struct of its own (TParams) from its controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/FcEdit.h"
#include "controls/PicSlider.h"
#include "framework/FormBuilder.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace editor {

// An etched horizontal line under the preset list.
class TDialogLine : public TGraphicControl {
public:
  explicit TDialogLine(TComponent* AOwner);

protected:
  void Paint() override;
};

// The base of every effect dialog: preset list, bevel, OK / Cancel / Help and
// the slider-label-edit bindings with their presets.
class TEffectDialog : public TForm {
public:
  TEffectDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                int AClientHeight, const std::wstring& AHelpPage);

  TLabel* labPerset = nullptr;
  TComboBox* cbPerset = nullptr;
  TDialogLine* line = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;
  TButton* btnHelp = nullptr;

  // Sets the controls from the preset chosen in cbPerset (0 "(Custom)" changes nothing).
  virtual void ApplyPreset();
  // Writes every slider's value into its label or edit.
  virtual void UpdateLabels();
  void cbPersetClick(TObject* Sender);
  void btnOKClick(TObject* Sender);
  void btnHelpClick(TObject* Sender);
  const std::wstring& HelpPage() const { return FHelpPage; }
  // Chooses a preset by index as the user does.
  void ChoosePreset(int Index);
  int PresetCount() const { return static_cast<int>(FPresets.size()); }
  // A slider's value as the single-precision float the engine calls take.
  static float SliderValue(const TPicSlider* S) { return static_cast<float>(S->Value()); }

protected:
  struct TBinding {
    TPicSlider* Slider = nullptr;
    TLabel* Label = nullptr;
    std::wstring Format;
    TFcNumericEdit* Edit = nullptr;
  };
  struct TPreset {
    std::wstring Name;
    std::vector<int> Values;
  };

  // The compressor's layout: the preset list at the top left and the buttons
  // in a column on the right.
  void LayoutStandard();
  // Buttons at the right edge at a fixed left (wide dialogs).
  void LayoutWide(int ButtonLeft = 320);
  // "Perset:" beside the list, groups in two columns, Help bottom left, OK
  // and Cancel bottom right.
  void LayoutTwoColumns();
  // Set-ups of the dialogs' components for BuildComponents.
  // A smooth slider from Min to Max at Start; its changes show in its label or edit.
  std::function<void(TPicSlider&)> SliderRange(int Min, int Max, int Start, bool Vertical = false);
  // A right-aligned label showing Slider's value in Fmt.
  std::function<void(TLabel&)> ValueOf(TPicSlider*& Slider, std::wstring Fmt);
  // A whole-number edit from Min to Max showing Slider's value; leaving it sets the slider.
  std::function<void(TFcNumericEdit&)> EditOf(TPicSlider*& Slider, int Min, int Max);
  // A parameter row: the group box Box at Left, Top, captioned Caption,
  // holding the slider Slider from Min to Max at Start and, beside it, the
  // slider's value in a label or a whole-number edit. The two-column
  // dialogs' rows are Narrow (179 wide), the others 233.
  struct TRow {
    std::wstring BoxName, SliderName, ValueName, Caption;
    int Left, Top;
    int Min, Max, Start;
    bool Narrow = false;
  };
  // The value in Label, written in Fmt.
  void LabelRow(TGroupBox*& Box, TPicSlider*& Slider, TLabel*& Label, const TRow& Row,
                const std::wstring& Fmt);
  void EditRow(TGroupBox*& Box, TPicSlider*& Slider, TFcNumericEdit*& Edit, const TRow& Row);
  // The group box and slider of a row.
  void RowBox(TGroupBox*& Box, TPicSlider*& Slider, const TRow& Row);
  // "labType" captioned Caption and the drop-down list "cbType" of Items
  // beside it at Top, showing item Index.
  void TypeRow(TLabel*& Label, TComboBox*& Combo, int Top, const std::wstring& Caption,
               const std::vector<std::wstring>& Items, int Index);
  // Preset rows; their values go to Targets in order.
  void SetPresets(std::vector<TPreset> Presets, std::vector<std::function<void(int)>> Targets);
  void SetFocusToOK();
  // The stored start captions are written once.
  void InitLabels() { UpdateLabels(); }

  std::vector<TBinding> FBindings;
  std::vector<TPreset> FPresets;
  std::vector<std::function<void(int)>> FTargets;
  std::wstring FHelpPage;
};

// The delay, phaser and reverb dialogs: delay time, mix depth and feedback
// rows; the presets' values go to them in this order.
class TDelayLineDialog : public TEffectDialog {
public:
  TGroupBox* gbDelaytime = nullptr;
  TGroupBox* gbMixdepth = nullptr;
  TGroupBox* gbFeedbackgain = nullptr;
  TPicSlider* slDelaytime = nullptr;
  TPicSlider* slMixdepth = nullptr;
  TPicSlider* slFeedbackgain = nullptr;
  TFcNumericEdit* editDelaytime = nullptr;
  TLabel* labMixdepth = nullptr;
  TLabel* labFeedbackgain = nullptr;

  // Delay time (ms), mix depth and feedback.
  struct TParams {
    float Delay, Mix, Feedback;
  };
  TParams Params() const {
    return {SliderValue(slDelaytime), SliderValue(slMixdepth), SliderValue(slFeedbackgain)};
  }

protected:
  // The rows start at Delay, Mix and Feedback.
  TDelayLineDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                   int AClientHeight, const std::wstring& AHelpPage, int Delay, int Mix,
                   int Feedback);
  std::vector<std::function<void(int)>> DelayLineTargets() const;
};

// The chorus and flanger dialogs in two columns: a first row of the
// dialog's own, then sweep depth, mix depth, sweep rate, feedback and sweep
// phase; the presets' values go to the first row, mix, feedback, sweep depth,
// rate and phase.
class TSweepDialog : public TEffectDialog {
public:
  TGroupBox* gbSweepdepth = nullptr;
  TGroupBox* gbMixDepth = nullptr;
  TGroupBox* gbSweepRate = nullptr;
  TGroupBox* gbFeedBack = nullptr;
  TGroupBox* gbSweepPhase = nullptr;
  TPicSlider* slSweepDepth = nullptr;
  TPicSlider* slMixDepth = nullptr;
  TPicSlider* slSweepRate = nullptr;
  TPicSlider* slFeedback = nullptr;
  TPicSlider* slSweepPhase = nullptr;
  TLabel* labSweepDepth = nullptr;
  TLabel* labMixDepth = nullptr;
  TLabel* labSweepRate = nullptr;
  TLabel* labFeedback = nullptr;
  TLabel* labSweepPhase = nullptr;

protected:
  using TEffectDialog::TEffectDialog;
  // The rows after the first; the sweep phase starts at 0.
  void SweepRows(int Depth, int Mix, int Rate, int Feedback);
  std::vector<std::function<void(int)>> SweepTargets(TPicSlider* First) const;
};

// Setter of a preset target.
inline std::function<void(int)> SliderTarget(TPicSlider* S) {
  return [S](int v) { S->SetValue(v); };
}

} // namespace editor
