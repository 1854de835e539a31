// Properties dialog: the editor's system, smoothing and recording settings.
//
// The main window calls ExecuteProperties: the dialog is loaded from the
// settings record, and on OK the record is stored, written to the settings
// file and applied to the editor control.
#pragma once

#include <functional>

#include "controls/FcEdit.h"
#include "controls/FcSpnEdt.h"
#include "editor/globals.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace editor {

class TfrmProperties : public TForm {
public:
  explicit TfrmProperties(TComponent* AOwner);

  TPageControl* MainPageControl = nullptr;
  TTabSheet* tsSystem = nullptr;
  TTabSheet* tsTransform = nullptr;
  TTabSheet* tsRecording = nullptr;
  // System
  TFcSpinEdit* editBuffer = nullptr;
  TFcEdit* editTempFolder = nullptr;
  TButton* btnBrowse = nullptr;
  TFcSpinEdit* editUndoRedoLevel = nullptr;
  // Transform
  TCheckBox* cbSmoothEnabled = nullptr;
  TFcSpinEdit* editSmoothTime = nullptr;
  TLabel* labSmoothTime = nullptr;
  TLabel* labSmoothMs = nullptr;
  TLabel* labSmoothNote = nullptr;
  // Recording
  TCheckBox* chAccuEnabled = nullptr;
  TGroupBox* gbAttack = nullptr;
  TGroupBox* gbRelease = nullptr;
  TLabel* labAttackTime = nullptr;
  TLabel* labAttackLevel = nullptr;
  TLabel* labReleaseTime = nullptr;
  TLabel* labReleaseLevel = nullptr;
  TFcSpinEdit* editAttackTime = nullptr;
  TFcSpinEdit* editAttackLevel = nullptr;
  TFcSpinEdit* editReleaseTime = nullptr;
  TFcSpinEdit* editReleaseLevel = nullptr;
  TCheckBox* chAGCEnabled = nullptr;
  TLabel* labAGCLowLevel = nullptr;
  TLabel* labAGCHighLevel = nullptr;
  TLabel* labAGCAttackTime = nullptr;
  TFcSpinEdit* editAGCLowLevel = nullptr;
  TFcSpinEdit* editAGCHighLevel = nullptr;
  TFcSpinEdit* editAGCAttackTime = nullptr;
  TRadioGroup* rgVisType = nullptr;
  TCheckBox* cbHighPassEnable = nullptr;
  TCheckBox* cbLowPassEnable = nullptr;
  TCheckBox* cbNotchPassEnable = nullptr;
  TFcSpinEdit* editHighPass = nullptr;
  TFcSpinEdit* editLowPass = nullptr;
  TFcSpinEdit* editNotchPass = nullptr;
  // Buttons
  TButton* btnHelp = nullptr;
  TButton* btnDefault = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  void UpdatePropertiesEnabling();
  // The defaults of the settings record, into the controls.
  void SetDefaultControls();
  // OK: closes with OK when the temporary folder exists, else reports it.
  void btnOKClick(TObject* Sender);
  void btnDefaultClick(TObject* Sender);
  void btnBrowseClick(TObject* Sender);
};

// Record -> controls, then the enabling.
void LoadPropertiesDialog(TfrmProperties* Dialog, const editor::TGlobalVars& Vars);
// Controls -> record.
void StorePropertiesDialog(TfrmProperties* Dialog, editor::TGlobalVars& Vars);

struct TPropertiesHost {
  TCustomForm* MainForm = nullptr;
  // editor::GlobalVars when not set.
  editor::TGlobalVars* Vars = nullptr;
  // editor::SaveEditorSettings when not set.
  std::function<void()> SaveSettings;
  // The main window's ApplySettingsToEditor.
  std::function<void()> ApplySettings;
};

// True when the dialog closed with OK (record stored, saved and applied).
bool ExecuteProperties(TPropertiesHost& Host);

} // namespace editor
