// "Options": output format and folder, hot keys, schedule, automatic gain
// control and voice-activated recording.
#pragma once
#include "controls/FcSpnEdt.h"
#include "framework/ComCtrls.h"
#include "recorder/DialogControls.h"
#include "recorder/HotKeyEdit.h"

#include <functional>

namespace recorder {

class TFormOptions : public TForm {
public:
  explicit TFormOptions(TComponent* AOwner);

  TPageControl* PageControl = nullptr;
  TTabSheet* TabSheetGeneral = nullptr;
  TTabSheet* TabSheetHotKey = nullptr;
  TTabSheet* TabSheetSchedule = nullptr;
  TTabSheet* TabSheetAGC = nullptr;
  TTabSheet* TabSheetAccu = nullptr;

  // General.
  TGroupBox* GroupBoxFormat = nullptr;
  TRadioButton* RadioButtonMp3 = nullptr;
  TRadioButton* RadioButtonOgg = nullptr;
  TRadioButton* RadioButtonWma = nullptr;
  TRadioButton* RadioButtonWav = nullptr;
  TButton* ButtonFormatSettings = nullptr;
  TGroupBox* GroupBoxOutputDir = nullptr;
  TEdit* EditOutputDir = nullptr;
  TButton* btnChangeOutputDir = nullptr;
  TCheckBox* CheckBoxAutoName = nullptr;
  TCheckBox* CheckBoxSetTop = nullptr;
  // Hot keys.
  TCheckBox* CheckBoxActiveHotKey = nullptr;
  TLabel* LabelStartRecording = nullptr;
  TFcHotKeyEdit* HotKeyStartRecording = nullptr;
  TLabel* LabelStopRecording = nullptr;
  TFcHotKeyEdit* HotKeyStopRecording = nullptr;
  TLabel* LabelHotKeyNote = nullptr;
  // Schedule.
  TCheckBox* CheckBoxEnableSchedule = nullptr;
  TGroupBox* GroupBoxDate = nullptr;
  TRadioButton* RadioButtonOnce = nullptr;
  TDateTimePicker* DateTimePickerOnce = nullptr;
  TRadioButton* RadioButtonDaily = nullptr;
  TRadioButton* RadioButtonWeekly = nullptr;
  TComboBox* ComboBoxWeekly = nullptr;
  TGroupBox* GroupBoxTime = nullptr;
  TLabel* LabelStartAt = nullptr;
  TDateTimePicker* DateTimePickerStart = nullptr;
  TLabel* LabelStopAt = nullptr;
  TDateTimePicker* DateTimePickerStop = nullptr;
  // Automatic gain control.
  TCheckBox* CheckBoxAGC = nullptr;
  TLabel* labWhatIsAGC = nullptr;
  TLabel* LabelAGCLow = nullptr;
  TFcSpinEdit* SpinEditAGCLow = nullptr;
  TLabel* LabelAGCLowUnit = nullptr;
  TLabel* LabelAGCHigh = nullptr;
  TFcSpinEdit* SpinEditAGCHigh = nullptr;
  TLabel* LabelAGCHighUnit = nullptr;
  TLabel* LabelAGCAttack = nullptr;
  TFcSpinEdit* SpinEditAGCAttack = nullptr;
  TLabel* LabelAGCAttackUnit = nullptr;
  // Voice-activated recording.
  TCheckBox* CheckBoxAccu = nullptr;
  TLabel* labWhatIsAccu = nullptr;
  TGroupBox* GroupBoxAttack = nullptr;
  TLabel* LabelAttackTime = nullptr;
  TFcSpinEdit* SpinEditAttackTime = nullptr;
  TLabel* LabelAttackLevel = nullptr;
  TFcSpinEdit* SpinEditAttackLevel = nullptr;
  TGroupBox* GroupBoxRelease = nullptr;
  TLabel* LabelReleaseTime = nullptr;
  TFcSpinEdit* SpinEditReleaseTime = nullptr;
  TLabel* LabelReleaseLevel = nullptr;
  TFcSpinEdit* SpinEditReleaseLevel = nullptr;

  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  // Picks a folder; BrowseForFolder unless replaced.
  std::function<bool(std::wstring& Folder)> OnBrowseFolder;
  // Runs a format set-up dialog on the settings; replaced by tests.
  std::function<bool(int Format, TGlobalVars& g)> OnFormatSettings;

  // Settings → controls. Unreadable schedule texts are replaced in g by
  // today and now.
  void Load(TGlobalVars& g);
  // Controls → settings, format settings changed in the set-up dialogs
  // included.
  void Store(TGlobalVars& g);
  void FormShow(TObject* Sender);
  void UpdateAGC();
  void UpdateAccu();
  void UpdateHotKeys();
  void UpdateSchedule();
  void btnOKClick(TObject* Sender);
  void btnChangeOutputDirClick(TObject* Sender);
  void ButtonFormatSettingsClick(TObject* Sender);
  void labWhatIsAGCClick(TObject* Sender);
  void labWhatIsAccuClick(TObject* Sender);
  // Index of the selected format radio, -1 when none.
  int SelectedFormat() const;
  const TGlobalVars& Work() const { return FWork; }

private:
  TGlobalVars FWork;
};

// The value of a spin edit as an integer; unreadable text gives its minimum.
int SpinValue(TFcSpinEdit* edit);

// Runs the set-up dialog of an output format centred on opener; true on OK.
bool RunFormatSetup(TForm* opener, int format, TGlobalVars& g);

} // namespace recorder
