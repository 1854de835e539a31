// Building blocks of the recorder's dialogs: control factories, centring and
// the common set-up dialog with a preset slider.
#pragma once
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "recorder/ImageSlider.h"
#include "recorder/globals.h"

#include <string>
#include <vector>

namespace recorder {

TLabel* NewLabel(TForm* owner, TWinControl* parent, const std::wstring& name,
                 const std::wstring& caption, int l, int t, int w = 0, int h = 13);
TRadioButton* NewRadio(TForm* owner, TWinControl* parent, const std::wstring& name,
                       const std::wstring& caption, int l, int t, int w, int h = 17);
TCheckBox* NewCheck(TForm* owner, TWinControl* parent, const std::wstring& name,
                    const std::wstring& caption, int l, int t, int w, int h = 17);
TButton* NewButton(TForm* owner, TWinControl* parent, const std::wstring& name,
                   const std::wstring& caption, int l, int t, int w = 75, int h = 25,
                   TModalResult result = mrNone);
TComboBox* NewList(TForm* owner, TWinControl* parent, const std::wstring& name,
                   const std::vector<std::wstring>& items, int l, int t, int w);
TGroupBox* NewGroup(TForm* owner, TWinControl* parent, const std::wstring& name,
                    const std::wstring& caption, int l, int t, int w, int h);
TImageSlider* NewSlider(TForm* owner, TWinControl* parent, const std::wstring& name, int min,
                        int max, bool points, int l, int t, int w, int h = 30);

// Sets a fixed dialog's caption, border, font and client size.
void SetupDialog(TForm* form, const std::wstring& caption, int clientWidth, int clientHeight);
// Places dialog at the centre of opener (halves truncate toward zero).
void CentreOn(TCustomForm* dialog, TCustomForm* opener);
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
