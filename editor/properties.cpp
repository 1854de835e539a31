#include "editor/properties.h"

#include <memory>

#include "editor/funcs.h"
#include "framework/Dialogs.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

// A spin edit from Min to Max at Start that takes typed keys.
std::function<void(TFcSpinEdit&)> SpinRange(int Min, int Max, int Start) {
  return [=](TFcSpinEdit& e) {
    e.SetAllowKeyEdit(true);
    e.SetMin(Min);
    e.SetMax(Max);
    e.SetCheckRange(true);
    e.SetValue(Start);
  };
}

void Wrap(TLabel& l) {
  l.SetWordWrap(true);
}

bool FolderExists(const std::wstring& Path) {
  if (Path.empty()) return false;
  DWORD a = GetFileAttributesW(Path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TfrmProperties::TfrmProperties(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(L"Properties");
  SetClientSize(424, 344);

  TGroupBox *gbBuffer = nullptr, *gbTemp = nullptr, *gbUndo = nullptr, *gbSmooth = nullptr,
            *gbAccu = nullptr, *gbAGC = nullptr, *gbFilter = nullptr;
  BuildComponents(
      this,
      {
          {MainPageControl, {L"MainPageControl", this, {8, 8, 408, 296}}},
          {tsSystem, {L"tsSystem", MainPageControl, {}, L"System"}},
          {tsTransform, {L"tsTransform", MainPageControl, {}, L"Transform"}},
          {tsRecording, {L"tsRecording", MainPageControl, {}, L"Recording"}},

          // System
          {gbBuffer, {L"", tsSystem, {8, 6, 384, 92}, L"Play/Record Buffer"}},
          {Unbound<TLabel>, {L"", gbBuffer, {12, 24, 0, 13}, L"Total buffer:", true}},
          {editBuffer, {L"editBuffer", gbBuffer, {84, 20, 64, 21}}, SpinRange(100, 10000, 500)},
          {Unbound<TLabel>, {L"", gbBuffer, {154, 24, 0, 13}, L"ms  (100-10000)", true}},
          {Unbound<TLabel>,
           {L"",
            gbBuffer,
            {12, 48, 364, 40},
            L"It is the buffer for the following operations with an audio file: Copy, Cut, "
            L"Paste, Mix. The computers of modern release can work with the maximum value of "
            L"Buffer Size.",
            false},
           Wrap},
          {gbTemp, {L"", tsSystem, {8, 102, 384, 52}, L"Temporary Folder:"}},
          {editTempFolder, {L"editTempFolder", gbTemp, {12, 20, 280, 21}}},
          {btnBrowse,
           {.Name = L"btnBrowse",
            .Parent = gbTemp,
            .Bounds = {298, 18, 76, 24},
            .Caption = L"Browse...",
            .OnClick = [this](TObject* s) { btnBrowseClick(s); }}},
          {gbUndo, {L"", tsSystem, {8, 158, 384, 102}, L"Undo/Redo"}},
          {Unbound<TLabel>, {L"", gbUndo, {12, 24, 0, 13}, L"Undo/Redo Level", true}},
          {editUndoRedoLevel,
           {L"editUndoRedoLevel", gbUndo, {116, 20, 64, 21}},
           SpinRange(0, 1000, 100)},
          {Unbound<TLabel>,
           {L"",
            gbUndo,
            {12, 48, 364, 50},
            L"Some large files may cause low memory conditions that could slow down the system. "
            L"To speed it up you can set Undo/Redo level to 1, but in this case it will be "
            L"possible to reverse or to restore only the last action. (Range: 0-1000)",
            false},
           Wrap},

          // Transform
          {gbSmooth, {L"", tsTransform, {8, 6, 384, 120}, L"Smooth"}},
          {cbSmoothEnabled, {L"cbSmoothEnabled", gbSmooth, {12, 20, 140, 17}, L"Smooth Enabled"}},
          {labSmoothTime, {L"", gbSmooth, {12, 50, 0, 13}, L"Smooth Time:", true}},
          {editSmoothTime, {L"editSmoothTime", gbSmooth, {96, 46, 64, 21}}, SpinRange(0, 500, 50)},
          {labSmoothMs, {L"", gbSmooth, {166, 50, 0, 13}, L"ms", true}},
          {labSmoothNote,
           {L"",
            gbSmooth,
            {12, 76, 364, 40},
            L"Any supported effect has sudden change on the bound. The \"Smooth enabled\" "
            L"property ebables smoothing on this bound and bound neighborhood.",
            false},
           Wrap},

          // Recording
          {gbAccu, {L"", tsRecording, {8, 6, 190, 150}, L"Accu Control"}},
          {chAccuEnabled, {L"chAccuEnabled", gbAccu, {12, 18, 100, 17}, L"Enabled"}},
          {gbAttack, {L"", gbAccu, {8, 40, 174, 50}, L"Attack"}},
          {labAttackTime, {L"", gbAttack, {6, 22, 0, 13}, L"Time:", true}},
          {editAttackTime,
           {L"editAttackTime", gbAttack, {40, 18, 50, 21}},
           SpinRange(10, 5000, 100)},
          {labAttackLevel, {L"", gbAttack, {94, 22, 0, 13}, L"Level:", true}},
          {editAttackLevel,
           {L"editAttackLevel", gbAttack, {130, 18, 40, 21}},
           SpinRange(-90, 0, -45)},
          {gbRelease, {L"", gbAccu, {8, 94, 174, 50}, L"Release"}},
          {labReleaseTime, {L"", gbRelease, {6, 22, 0, 13}, L"Time:", true}},
          {editReleaseTime,
           {L"editReleaseTime", gbRelease, {40, 18, 50, 21}},
           SpinRange(10, 10000, 300)},
          {labReleaseLevel, {L"", gbRelease, {94, 22, 0, 13}, L"Level:", true}},
          {editReleaseLevel,
           {L"editReleaseLevel", gbRelease, {130, 18, 40, 21}},
           SpinRange(-90, 0, -45)},

          {gbAGC, {L"", tsRecording, {204, 6, 188, 150}, L"Auto Gain Control"}},
          {chAGCEnabled, {L"chAGCEnabled", gbAGC, {12, 18, 100, 17}, L"Enabled"}},
          {labAGCLowLevel, {L"", gbAGC, {12, 50, 0, 13}, L"Low Level:", true}},
          {editAGCLowLevel, {L"editAGCLowLevel", gbAGC, {100, 46, 64, 21}}, SpinRange(-90, 0, -40)},
          {labAGCHighLevel, {L"", gbAGC, {12, 80, 0, 13}, L"High Level:", true}},
          {editAGCHighLevel,
           {L"editAGCHighLevel", gbAGC, {100, 76, 64, 21}},
           SpinRange(-90, 0, -10)},
          {labAGCAttackTime, {L"", gbAGC, {12, 110, 0, 13}, L"AttackTime:", true}},
          {editAGCAttackTime,
           {L"editAGCAttackTime", gbAGC, {100, 106, 64, 21}},
           SpinRange(0, 10000, 4)},

          {rgVisType,
           {L"rgVisType", tsRecording, {8, 160, 120, 98}, L"Visualization Type"},
           [](TRadioGroup& g) {
             g.Items()->Add(L"Type 1");
             g.Items()->Add(L"Type 2");
             g.SetItemIndex(0);
           }},

          {gbFilter, {L"", tsRecording, {134, 160, 258, 98}, L"Filter"}},
          {cbHighPassEnable,
           {L"cbHighPassEnable", gbFilter, {12, 20, 140, 17}, L"High Pass Filter"}},
          {editHighPass, {L"editHighPass", gbFilter, {170, 18, 72, 21}}, SpinRange(0, 22050, 2000)},
          {cbLowPassEnable, {L"cbLowPassEnable", gbFilter, {12, 46, 140, 17}, L"Low Pass Filter"}},
          {editLowPass, {L"editLowPass", gbFilter, {170, 44, 72, 21}}, SpinRange(0, 22050, 2000)},
          {cbNotchPassEnable,
           {L"cbNotchPassEnable", gbFilter, {12, 72, 140, 17}, L"Notch Pass Filter"}},
          {editNotchPass,
           {L"editNotchPass", gbFilter, {170, 70, 72, 21}},
           SpinRange(0, 22050, 2000)},

          {btnHelp,
           {.Name = L"btnHelp",
            .Bounds = {8, 312, 76, 24},
            .Caption = L"Help",
            .OnClick =
                [this](TObject*) {
                  ShowHelpTopic(HandleAllocated() ? Handle() : nullptr, L"Modify Settings.htm");
                }}},
          {btnDefault,
           {.Name = L"btnDefault",
            .Bounds = {90, 312, 76, 24},
            .Caption = L"Default",
            .OnClick = [this](TObject* s) { btnDefaultClick(s); }}},
          {btnOK,
           {.Name = L"btnOK",
            .Bounds = {258, 312, 76, 24},
            .Caption = L"OK",
            .OnClick = [this](TObject* s) { btnOKClick(s); }},
           [](TButton& b) { b.SetDefault(true); }},
          {btnCancel,
           {L"btnCancel", this, {340, 312, 76, 24}, L"Cancel"},
           [](TButton& b) {
             b.SetCancel(true);
             b.SetModalResult(mrCancel);
           }},
      });
  for (TCheckBox* c : {cbSmoothEnabled, chAccuEnabled, chAGCEnabled, cbHighPassEnable,
                       cbLowPassEnable, cbNotchPassEnable})
    c->OnClick = [this](TObject*) { UpdatePropertiesEnabling(); };

  MainPageControl->SetActivePage(tsSystem);
  UpdatePropertiesEnabling();
}

void TfrmProperties::UpdatePropertiesEnabling() {
  const bool smooth = cbSmoothEnabled->Checked();
  for (TControl* c :
       std::initializer_list<TControl*>{editSmoothTime, labSmoothTime, labSmoothMs, labSmoothNote})
    c->SetEnabled(smooth);
  const bool accu = chAccuEnabled->Checked();
  for (TControl* c : std::initializer_list<TControl*>{
           gbAttack, gbRelease, labAttackTime, labAttackLevel, labReleaseTime, labReleaseLevel,
           editAttackTime, editAttackLevel, editReleaseTime, editReleaseLevel})
    c->SetEnabled(accu);
  const bool agc = chAGCEnabled->Checked();
  for (TControl* c :
       std::initializer_list<TControl*>{labAGCLowLevel, labAGCHighLevel, labAGCAttackTime,
                                        editAGCLowLevel, editAGCHighLevel, editAGCAttackTime})
    c->SetEnabled(agc);
  editHighPass->SetEnabled(cbHighPassEnable->Checked());
  editLowPass->SetEnabled(cbLowPassEnable->Checked());
  editNotchPass->SetEnabled(cbNotchPassEnable->Checked());
}

void TfrmProperties::SetDefaultControls() {
  editTempFolder->SetText(editor::AddBackslash(editor::GetTempFolderPath()));
  editBuffer->SetValue(500);
  editUndoRedoLevel->SetValue(100);
  cbSmoothEnabled->SetChecked(true);
  editSmoothTime->SetValue(50);
  chAccuEnabled->SetChecked(false);
  editAttackTime->SetValue(100);
  editAttackLevel->SetValue(-45);
  editReleaseTime->SetValue(300);
  editReleaseLevel->SetValue(-45);
  chAGCEnabled->SetChecked(false);
  editAGCLowLevel->SetValue(-40);
  editAGCHighLevel->SetValue(-10);
  editAGCAttackTime->SetValue(4);
  rgVisType->SetItemIndex(0);
  cbHighPassEnable->SetChecked(false);
  cbLowPassEnable->SetChecked(false);
  cbNotchPassEnable->SetChecked(false);
  editHighPass->SetValue(2000);
  editLowPass->SetValue(2000);
  editNotchPass->SetValue(2000);
  UpdatePropertiesEnabling();
}

void TfrmProperties::btnDefaultClick(TObject*) {
  if (AskConfirmation(L"Really set all parameter to default?", L"Set default?") == mrYes)
    SetDefaultControls();
}

void TfrmProperties::btnBrowseClick(TObject*) {
  std::wstring dir = editTempFolder->Text();
  if (SelectDirectory(L"Select Temp Directory", L"", dir, HandleAllocated() ? Handle() : nullptr)) {
    while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/'))
      dir.pop_back();
    editTempFolder->SetText(dir);
    if (btnOK->CanFocus()) btnOK->SetFocus();
  }
}

void TfrmProperties::btnOKClick(TObject*) {
  const std::wstring folder = editTempFolder->Text();
  if (FolderExists(folder)) {
    SetModalResult(mrOk);
    return;
  }
  SetModalResult(mrNone);
  editor::ShowMessageBox(Format(editor::SInvalidTempFolder, folder), editor::SErrorCaption,
                         MB_OK | MB_ICONWARNING);
  MainPageControl->SetActivePage(tsSystem);
  if (editTempFolder->CanFocus()) editTempFolder->SetFocus();
}

void LoadPropertiesDialog(TfrmProperties* D, const editor::TGlobalVars& G) {
  D->editTempFolder->SetText(G.TempFolder);
  D->editBuffer->SetValue(G.PlayRecordtBuffer);
  D->editUndoRedoLevel->SetValue(G.UndoRedoLevel);
  D->cbSmoothEnabled->SetChecked(G.SmoothEnabled);
  D->editSmoothTime->SetValue(G.SmoothTime);
  D->chAccuEnabled->SetChecked(G.AccuEnabled);
  D->editAttackTime->SetValue(G.AttackTime);
  D->editAttackLevel->SetValue(G.AttackLevel);
  D->editReleaseTime->SetValue(G.ReleaseTime);
  D->editReleaseLevel->SetValue(G.ReleaseLevel);
  D->chAGCEnabled->SetChecked(G.AGCEnabled);
  D->editAGCLowLevel->SetValue(G.AGCLowLevel);
  D->editAGCHighLevel->SetValue(G.AGCHighLevel);
  D->editAGCAttackTime->SetValue(G.AGCAttackTime);
  D->rgVisType->SetItemIndex(G.VisType - 1);
  D->cbHighPassEnable->SetChecked(G.HighPassEnabled);
  D->editHighPass->SetValue(G.HighPass);
  D->cbLowPassEnable->SetChecked(G.LowPassEnabled);
  D->editLowPass->SetValue(G.LowPass);
  D->cbNotchPassEnable->SetChecked(G.NotchPassEnabled);
  D->editNotchPass->SetValue(G.NotchPass);
  D->UpdatePropertiesEnabling();
}

void StorePropertiesDialog(TfrmProperties* D, editor::TGlobalVars& G) {
  G.TempFolder = D->editTempFolder->Text();
  G.PlayRecordtBuffer = D->editBuffer->IntegerValue();
  G.UndoRedoLevel = D->editUndoRedoLevel->IntegerValue();
  G.SmoothEnabled = D->cbSmoothEnabled->Checked();
  G.SmoothTime = D->editSmoothTime->IntegerValue();
  G.AccuEnabled = D->chAccuEnabled->Checked();
  G.AttackTime = D->editAttackTime->IntegerValue();
  G.AttackLevel = D->editAttackLevel->IntegerValue();
  G.ReleaseTime = D->editReleaseTime->IntegerValue();
  G.ReleaseLevel = D->editReleaseLevel->IntegerValue();
  G.AGCEnabled = D->chAGCEnabled->Checked();
  G.AGCLowLevel = D->editAGCLowLevel->IntegerValue();
  G.AGCHighLevel = D->editAGCHighLevel->IntegerValue();
  G.AGCAttackTime = D->editAGCAttackTime->IntegerValue();
  G.VisType = D->rgVisType->ItemIndex() + 1;
  G.HighPassEnabled = D->cbHighPassEnable->Checked();
  G.HighPass = D->editHighPass->IntegerValue();
  G.LowPassEnabled = D->cbLowPassEnable->Checked();
  G.LowPass = D->editLowPass->IntegerValue();
  G.NotchPassEnabled = D->cbNotchPassEnable->Checked();
  G.NotchPass = D->editNotchPass->IntegerValue();
}

bool ExecuteProperties(TPropertiesHost& Host) {
  editor::TGlobalVars& vars = Host.Vars ? *Host.Vars : editor::GlobalVars;
  auto dialog = std::make_unique<TfrmProperties>(Host.MainForm);
  dialog->PlaceCentredOn(Host.MainForm);
  LoadPropertiesDialog(dialog.get(), vars);
  if (dialog->ShowModal() != mrOk) return false;
  StorePropertiesDialog(dialog.get(), vars);
  if (Host.SaveSettings)
    Host.SaveSettings();
  else
    editor::SaveEditorSettings();
  if (Host.ApplySettings) Host.ApplySettings();
  return true;
}

} // namespace editor
