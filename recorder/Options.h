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

  TPageControl* PageControl;
  TTabSheet* TabSheetGeneral;
  TTabSheet* TabSheetHotKey;
  TTabSheet* TabSheetSchedule;
  TTabSheet* TabSheetAGC;
  TTabSheet* TabSheetAccu;

  // General.
  TGroupBox* GroupBoxFormat;
  TRadioButton* RadioButtonMp3;
  TRadioButton* RadioButtonOgg;
  TRadioButton* RadioButtonWma;
  TRadioButton* RadioButtonWav;
  TButton* ButtonFormatSettings;
  TGroupBox* GroupBoxOutputDir;
  TEdit* EditOutputDir;
  TButton* btnChangeOutputDir;
  TCheckBox* CheckBoxAutoName;
  TCheckBox* CheckBoxSetTop;
  // Hot keys.
  TCheckBox* CheckBoxActiveHotKey;
  TLabel* LabelStartRecording;
  TFcHotKeyEdit* HotKeyStartRecording;
  TLabel* LabelStopRecording;
  TFcHotKeyEdit* HotKeyStopRecording;
  TLabel* LabelHotKeyNote;
  // Schedule.
  TCheckBox* CheckBoxEnableSchedule;
  TGroupBox* GroupBoxDate;
  TRadioButton* RadioButtonOnce;
  TDateTimePicker* DateTimePickerOnce;
  TRadioButton* RadioButtonDaily;
  TRadioButton* RadioButtonWeekly;
  TComboBox* ComboBoxWeekly;
  TGroupBox* GroupBoxTime;
  TLabel* LabelStartAt;
  TDateTimePicker* DateTimePickerStart;
  TLabel* LabelStopAt;
  TDateTimePicker* DateTimePickerStop;
  // Automatic gain control.
  TCheckBox* CheckBoxAGC;
  TLabel* labWhatIsAGC;
  TLabel* LabelAGCLow;
  TFcSpinEdit* SpinEditAGCLow;
  TLabel* LabelAGCLowUnit;
  TLabel* LabelAGCHigh;
  TFcSpinEdit* SpinEditAGCHigh;
  TLabel* LabelAGCHighUnit;
  TLabel* LabelAGCAttack;
  TFcSpinEdit* SpinEditAGCAttack;
  TLabel* LabelAGCAttackUnit;
  // Voice-activated recording.
  TCheckBox* CheckBoxAccu;
  TLabel* labWhatIsAccu;
  TGroupBox* GroupBoxAttack;
  TLabel* LabelAttackTime;
  TFcSpinEdit* SpinEditAttackTime;
  TLabel* LabelAttackLevel;
  TFcSpinEdit* SpinEditAttackLevel;
  TGroupBox* GroupBoxRelease;
  TLabel* LabelReleaseTime;
  TFcSpinEdit* SpinEditReleaseTime;
  TLabel* LabelReleaseLevel;
  TFcSpinEdit* SpinEditReleaseLevel;

  TButton* btnOK;
  TButton* btnCancel;

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
  TFcSpinEdit* NewSpin(TWinControl* parent, const std::wstring& name, int min, int max, int l,
                       int t);
  TGlobalVars FWork;
};

// The value of a spin edit as an integer; unreadable text gives its minimum.
int SpinValue(TFcSpinEdit* edit);

// Runs the set-up dialog of an output format centred on opener; true on OK.
bool RunFormatSetup(TForm* opener, int format, TGlobalVars& g);

} // namespace recorder
