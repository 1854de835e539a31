// Effect commands of the editor: the parameter-dialog base class shared by
// every effect dialog, the command table, and the command runner that the
// main window calls (verb, centred modal dialog, busy cursor, select all,
// engine call, status update).
//
// The main window calls, for example:
//
//   TEffectHost host;
//   host.MainForm = this;
//   host.Engine = &engineSeam;            // TAudioEditorEffectEngine over the editor control
//   host.DisplayName = GetDisplayName();
//   host.SetOperationText = [this](const std::wstring& v) { FOperationText = v; };
//   host.SelectAllIfNoSelection = [this] { SelectAllIfNoSelection(); };
//   host.UpdateStatusBar = [this] { UpdateStatusBar(); };
//   host.ChooseMixFile = [this](std::wstring& f) { ... OpenDialog ... };
//   ExecuteEffect(TEffectCommand::Compressor, host);
//
// Exceptions of the engine pass through (the dialog is freed and the busy
// cursor restored first; the status bar is then not updated).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/FcEdit.h"
#include "controls/PicSlider.h"
#include "editor/dialogcommon.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

class TAudioEditor2;

// ---------------------------------------------------------------------------
// The engine operations the effect commands call. TAudioEditorEffectEngine
// forwards to the editor control; tests put a recording double here.

class IEffectEngine {
public:
  virtual ~IEffectEngine() = default;
  virtual void Mix(float source, float buffer) = 0;
  virtual void MixFromFile(float source, const std::wstring& fileName, float buffer) = 0;
  virtual void Trim(float amplitude, float time, int32_t type) = 0;
  virtual void SilenceSelection() = 0;
  virtual void InsertSilence(int32_t ms) = 0;
  virtual void DeleteSilence(float threshold, float attack, float release) = 0;
  virtual void AddNoise(float amplitude, int32_t type) = 0;
  virtual void Fade(float start, float end) = 0;
  virtual void Amplify(float rate) = 0;
  virtual void Normalize(float rate, int16_t dcAdjust) = 0;
  virtual void Compressor(float threshold, float rate, float rmsTime) = 0;
  virtual void Expander(float threshold, float rate, float rmsTime) = 0;
  virtual void ChannelConverter(float ll, float lr, float rl, float rr) = 0;
  virtual void Vibrato(float depth, float frequency, float phase) = 0;
  virtual void Delay(float delay, float mix, float feedback) = 0;
  virtual void Phaser(float delay, float mix, float feedback) = 0;
  virtual void Flanger(float delayRate, float mix, float feedback, float sweepDepth,
                       float sweepRate, float sweepPhase) = 0;
  virtual void Reverb(float delay, float mix, float feedback, float reverbRate, float damp,
                      int32_t stages) = 0;
  virtual void Chorus(float delay, float mix, float feedback, float sweepDepth, float sweepRate,
                      float sweepPhase) = 0;
  virtual void Reverse() = 0;
  virtual void Invert() = 0;
  virtual void PitchShift(float rate) = 0;
  virtual void StretchTime(float rate) = 0;
  virtual void NotchFilter(float frequency, float steepness) = 0;
  virtual void BandPass(float frequency, float steepness) = 0;
  virtual void LowPass(float frequency, float steepness) = 0;
  virtual void HighPass(float frequency, float steepness) = 0;
  virtual void LowShelf(float gain, float frequency, float steepness) = 0;
  virtual void HighShelf(float gain, float frequency, float steepness) = 0;
  virtual void PeakEQFilter(float gain, float frequency, float steepness) = 0;
};

class TAudioEditorEffectEngine : public IEffectEngine {
public:
  explicit TAudioEditorEffectEngine(TAudioEditor2* Editor) : E(Editor) {}
  void Mix(float source, float buffer) override;
  void MixFromFile(float source, const std::wstring& fileName, float buffer) override;
  void Trim(float amplitude, float time, int32_t type) override;
  void SilenceSelection() override;
  void InsertSilence(int32_t ms) override;
  void DeleteSilence(float threshold, float attack, float release) override;
  void AddNoise(float amplitude, int32_t type) override;
  void Fade(float start, float end) override;
  void Amplify(float rate) override;
  void Normalize(float rate, int16_t dcAdjust) override;
  void Compressor(float threshold, float rate, float rmsTime) override;
  void Expander(float threshold, float rate, float rmsTime) override;
  void ChannelConverter(float ll, float lr, float rl, float rr) override;
  void Vibrato(float depth, float frequency, float phase) override;
  void Delay(float delay, float mix, float feedback) override;
  void Phaser(float delay, float mix, float feedback) override;
  void Flanger(float delayRate, float mix, float feedback, float sweepDepth, float sweepRate,
               float sweepPhase) override;
  void Reverb(float delay, float mix, float feedback, float reverbRate, float damp,
              int32_t stages) override;
  void Chorus(float delay, float mix, float feedback, float sweepDepth, float sweepRate,
              float sweepPhase) override;
  void Reverse() override;
  void Invert() override;
  void PitchShift(float rate) override;
  void StretchTime(float rate) override;
  void NotchFilter(float frequency, float steepness) override;
  void BandPass(float frequency, float steepness) override;
  void LowPass(float frequency, float steepness) override;
  void HighPass(float frequency, float steepness) override;
  void LowShelf(float gain, float frequency, float steepness) override;
  void HighShelf(float gain, float frequency, float steepness) override;
  void PeakEQFilter(float gain, float frequency, float steepness) override;

private:
  TAudioEditor2* E;
};

// ---------------------------------------------------------------------------
// Shared pieces of the dialogs

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
  TGroupBox* AddGroup(const std::wstring& Name, const std::wstring& ACaption, int L, int T,
                      int W = 233, int H = 53);
  TPicSlider* AddSlider(TWinControl* Parent, const std::wstring& Name, int Min, int Max, int Start,
                        int L = 8, int T = 18, int W = 170, int H = 28, bool Vertical = false);
  TLabel* AddValueLabel(TWinControl* Parent, TPicSlider* Slider, const std::wstring& Name,
                        const std::wstring& Fmt, int L = 180, int T = 24, int W = 45);
  TFcNumericEdit* AddEdit(TWinControl* Parent, TPicSlider* Slider, const std::wstring& Name,
                          int Min, int Max, int L = 184, int T = 20);
  TLabel* AddLabel(TWinControl* Parent, const std::wstring& ACaption, int L, int T);
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

// Setter of a preset target.
inline std::function<void(int)> SliderTarget(TPicSlider* S) {
  return [S](int v) { S->SetValue(v); };
}

// ---------------------------------------------------------------------------
// Commands

enum class TEffectCommand {
  Mix,
  MixFromFile,
  Trim,
  SilenceSelection,
  InsertSilence,
  DeleteSilence,
  AddNoise,
  Amplify,
  FadeIn,
  FadeOut,
  FadeCustom,
  Normalize,
  Compressor,
  Expander,
  ChannelConverter,
  Vibrato,
  Delay,
  Phaser,
  Flanger,
  Reverb,
  Chorus,
  Reverse,
  Invert,
  PitchShift,
  StretchTime,
  NotchFilter,
  BandPass,
  LowPass,
  HighPass,
  LowShelf,
  HighShelf,
  PeakEQFilter,
};

struct TEffectCommandInfo {
  TEffectCommand Command;
  const wchar_t* Action;        // "ActionCompressor"
  const wchar_t* ActionCaption; // "Compressor..."
  const wchar_t* Verb;          // status verb
  const wchar_t* CaptionPrefix; // "Compressor - " (empty without a dialog)
  bool Busy;
  bool SelectAll;
  bool HasDialog;
  const wchar_t* Category; // "Edit", "Filter", "Transform"
  const wchar_t* Hint;     // empty when none
};

const std::vector<TEffectCommandInfo>& EffectCommands();
const TEffectCommandInfo& EffectCommandInfo(TEffectCommand Command);

// What the command needs of the main window.
struct TEffectHost {
  TCustomForm* MainForm = nullptr; // owner; the dialog is centred on it
  IEffectEngine* Engine = nullptr;
  std::wstring DisplayName;
  std::function<void(const std::wstring& Verb)> SetOperationText;
  std::function<void()> SelectAllIfNoSelection;
  std::function<void()> UpdateStatusBar;
  // Busy cursor; editor::BeginBusy / EndBusy when not set.
  std::function<void()> BeginBusy;
  std::function<void()> EndBusy;
  // Mix From File: the open-file dialog; false when the user cancelled.
  std::function<bool(std::wstring& FileName)> ChooseMixFile;
  // Shows the dialog; ShowModal when not set.
  std::function<int(TEffectDialog* Dialog)> ShowDialog;
};

// Creates the parameter dialog of a command (null for commands without one).
std::unique_ptr<TEffectDialog> CreateEffectDialog(TEffectCommand Command, TComponent* Owner);
// Runs the command; true when the engine was called.
bool ExecuteEffect(TEffectCommand Command, TEffectHost& Host);
// Reads the dialog's values and makes the command's engine call.
void CallEffect(TEffectCommand Command, TEffectDialog* Dialog, IEffectEngine& Engine,
                const std::wstring& MixFile = L"");
