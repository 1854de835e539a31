// Building blocks of the recorder's dialogs: component set-ups, the dialog frame and
// the common set-up dialog with a preset slider.
#pragma once
#include "framework/FormBuilder.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "recorder/ImageSlider.h"
#include "recorder/globals.h"

#include <functional>
#include <string>
#include <vector>

namespace recorder {

// Set-ups of the dialogs' components for BuildComponents.
// A fixed drop-down list of these items, sixteen rows high, 21 pixels tall.
std::function<void(TComboBox&)> DropDownList(std::vector<std::wstring> Items);
// A slider from Min to Max in steps of one, with point marks or smooth.
std::function<void(TImageSlider&)> SliderRange(int Min, int Max, bool Points);
// A label that reads as a link: blue, underlined, hand cursor.
void LinkLabel(TLabel& Label);

// Sets a fixed dialog's caption, border, font and client size.
void SetupDialog(TForm* form, const std::wstring& caption, int clientWidth, int clientHeight);
// Replaces "Tahoma" with the screen's hint font name.
void ApplyHintFont(TForm* form);

// A preset row: name label and description label.
struct TPresetText {
  const wchar_t* Name;
  const wchar_t* Description;
};

// The common "File Setup" dialog: preset slider with its labels, and, unless
// WithSpecify is false, the preset/specify radios, the summary label and
// "&Configure...". Works on a private copy of the settings record, so values
// changed through "&Configure..." reach the record only through Store.
class TFormatSetupForm : public TForm {
public:
  TFormatSetupForm(TComponent* AOwner, const std::wstring& ACaption,
                   std::vector<TPresetText> APresets, bool AWithSpecify);

  TRadioButton* RadioButtonPreset = nullptr;
  TLabel* LabelPresetName = nullptr;
  TLabel* LabelPresetDescription = nullptr;
  TImageSlider* ImageSliderPreset = nullptr;
  TLabel* LabelLow = nullptr;
  TLabel* LabelHigh = nullptr;
  TRadioButton* RadioButtonSpecify = nullptr;
  TLabel* LabelSpecifySettings = nullptr;
  TButton* ButtonConfigure = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;
  TButton* btnHelp = nullptr;

  void Load(const TGlobalVars& g);
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
  void UpdateEnabling();
  void UpdatePresetLabels();
  void UpdateSummary();
  void ButtonConfigureClick(TObject* Sender);
  // The settings as the dialog holds them now (specify values included).
  const TGlobalVars& Work() const { return FWork; }

protected:
  virtual uint8_t* TypeField(TGlobalVars& g) = 0;
  virtual uint8_t& PresetField(TGlobalVars& g) = 0;
  // Copies the fields of the specify dialog.
  virtual void CopySpecify(const TGlobalVars&, TGlobalVars&) {}
  virtual std::wstring Summary(const TGlobalVars&) { return L""; }
  // Runs the specify dialog on g; true on OK.
  virtual bool RunSpecify(TGlobalVars&) { return false; }

  TGlobalVars FWork;
  std::vector<TPresetText> FPresets;
  bool FWithSpecify;
};

} // namespace recorder
