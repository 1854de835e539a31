#include "editor/properties.h"

#include <memory>

#include "editor/funcs.h"
#include "framework/Dialogs.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const std::wstring& Caption, int L, int T,
                 int W = 0, int H = 13) {
  auto* l = new TLabel(Owner);
  l->SetParent(Parent);
  l->SetCaption(Caption);
  if (W > 0) {
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetBounds(L, T, W, H);
  } else {
    l->SetBounds(L, T, 0, H);
    l->SetAutoSize(true);
  }
  return l;
}

TGroupBox* NewGroup(TComponent* Owner, TWinControl* Parent, const std::wstring& Caption, int L,
                    int T, int W, int H) {
  auto* g = new TGroupBox(Owner);
  g->SetParent(Parent);
  g->SetCaption(Caption);
  g->SetBounds(L, T, W, H);
  return g;
}

TFcSpinEdit* NewSpin(TComponent* Owner, TWinControl* Parent, const std::wstring& Name, int Min,
                     int Max, int Start, int L, int T, int W = 64) {
  auto* e = new TFcSpinEdit(Owner);
  e->SetName(Name);
  e->SetParent(Parent);
  e->SetBounds(L, T, W, 21);
  e->SetAllowKeyEdit(true);
  e->SetMin(Min);
  e->SetMax(Max);
  e->SetCheckRange(true);
  e->SetValue(Start);
  e->SetTabStop(true);
  return e;
}

TCheckBox* NewCheck(TComponent* Owner, TWinControl* Parent, const std::wstring& Name,
                    const std::wstring& Caption, int L, int T, int W = 140) {
  auto* c = new TCheckBox(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetCaption(Caption);
  c->SetBounds(L, T, W, 17);
  c->SetTabStop(true);
  return c;
}

TButton* NewButton(TComponent* Owner, TWinControl* Parent, const std::wstring& Name,
                   const std::wstring& Caption, int L, int T) {
  auto* b = new TButton(Owner);
  b->SetName(Name);
  b->SetParent(Parent);
  b->SetCaption(Caption);
  b->SetBounds(L, T, 76, 24);
  b->SetTabStop(true);
  return b;
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

  MainPageControl = new TPageControl(this);
  MainPageControl->SetName(L"MainPageControl");
  MainPageControl->SetParent(this);
  MainPageControl->SetBounds(8, 8, 408, 296);
  auto sheet = [this](const std::wstring& name, const std::wstring& caption) {
    auto* t = new TTabSheet(this);
    t->SetName(name);
    t->SetPageControl(MainPageControl);
    t->SetCaption(caption);
    return t;
  };
  tsSystem = sheet(L"tsSystem", L"System");
  tsTransform = sheet(L"tsTransform", L"Transform");
  tsRecording = sheet(L"tsRecording", L"Recording");

  // System
  auto* gbBuffer = NewGroup(this, tsSystem, L"Play/Record Buffer", 8, 6, 384, 92);
  NewLabel(this, gbBuffer, L"Total buffer:", 12, 24);
  editBuffer = NewSpin(this, gbBuffer, L"editBuffer", 100, 10000, 500, 84, 20);
  NewLabel(this, gbBuffer, L"ms  (100-10000)", 154, 24);
  NewLabel(this, gbBuffer,
           L"It is the buffer for the following operations with an audio file: Copy, Cut, Paste, "
           L"Mix. The "
           L"computers of modern release can work with the maximum value of Buffer Size.",
           12, 48, 364, 40);
  auto* gbTemp = NewGroup(this, tsSystem, L"Temporary Folder:", 8, 102, 384, 52);
  editTempFolder = new TFcEdit(this);
  editTempFolder->SetName(L"editTempFolder");
  editTempFolder->SetParent(gbTemp);
  editTempFolder->SetBounds(12, 20, 280, 21);
  editTempFolder->SetTabStop(true);
  btnBrowse = NewButton(this, gbTemp, L"btnBrowse", L"Browse...", 298, 18);
  btnBrowse->OnClick = [this](TObject* s) { btnBrowseClick(s); };
  auto* gbUndo = NewGroup(this, tsSystem, L"Undo/Redo", 8, 158, 384, 102);
  NewLabel(this, gbUndo, L"Undo/Redo Level", 12, 24);
  editUndoRedoLevel = NewSpin(this, gbUndo, L"editUndoRedoLevel", 0, 1000, 100, 116, 20);
  NewLabel(this, gbUndo,
           L"Some large files may cause low memory conditions that could slow down the system. To "
           L"speed it up "
           L"you can set Undo/Redo level to 1, but in this case it will be possible to reverse or "
           L"to restore "
           L"only the last action. (Range: 0-1000)",
           12, 48, 364, 50);

  // Transform
  auto* gbSmooth = NewGroup(this, tsTransform, L"Smooth", 8, 6, 384, 120);
  cbSmoothEnabled = NewCheck(this, gbSmooth, L"cbSmoothEnabled", L"Smooth Enabled", 12, 20);
  labSmoothTime = NewLabel(this, gbSmooth, L"Smooth Time:", 12, 50);
  editSmoothTime = NewSpin(this, gbSmooth, L"editSmoothTime", 0, 500, 50, 96, 46);
  labSmoothMs = NewLabel(this, gbSmooth, L"ms", 166, 50);
  labSmoothNote = NewLabel(
      this, gbSmooth,
      L"Any supported effect has sudden change on the bound. The \"Smooth enabled\" property "
      L"ebables smoothing on this bound and bound neighborhood.",
      12, 76, 364, 40);

  // Recording
  auto* gbAccu = NewGroup(this, tsRecording, L"Accu Control", 8, 6, 190, 150);
  chAccuEnabled = NewCheck(this, gbAccu, L"chAccuEnabled", L"Enabled", 12, 18, 100);
  gbAttack = NewGroup(this, gbAccu, L"Attack", 8, 40, 174, 50);
  labAttackTime = NewLabel(this, gbAttack, L"Time:", 6, 22);
  editAttackTime = NewSpin(this, gbAttack, L"editAttackTime", 10, 5000, 100, 40, 18, 50);
  labAttackLevel = NewLabel(this, gbAttack, L"Level:", 94, 22);
  editAttackLevel = NewSpin(this, gbAttack, L"editAttackLevel", -90, 0, -45, 130, 18, 40);
  gbRelease = NewGroup(this, gbAccu, L"Release", 8, 94, 174, 50);
  labReleaseTime = NewLabel(this, gbRelease, L"Time:", 6, 22);
  editReleaseTime = NewSpin(this, gbRelease, L"editReleaseTime", 10, 10000, 300, 40, 18, 50);
  labReleaseLevel = NewLabel(this, gbRelease, L"Level:", 94, 22);
  editReleaseLevel = NewSpin(this, gbRelease, L"editReleaseLevel", -90, 0, -45, 130, 18, 40);

  auto* gbAGC = NewGroup(this, tsRecording, L"Auto Gain Control", 204, 6, 188, 150);
  chAGCEnabled = NewCheck(this, gbAGC, L"chAGCEnabled", L"Enabled", 12, 18, 100);
  labAGCLowLevel = NewLabel(this, gbAGC, L"Low Level:", 12, 50);
  editAGCLowLevel = NewSpin(this, gbAGC, L"editAGCLowLevel", -90, 0, -40, 100, 46);
  labAGCHighLevel = NewLabel(this, gbAGC, L"High Level:", 12, 80);
  editAGCHighLevel = NewSpin(this, gbAGC, L"editAGCHighLevel", -90, 0, -10, 100, 76);
  labAGCAttackTime = NewLabel(this, gbAGC, L"AttackTime:", 12, 110);
  editAGCAttackTime = NewSpin(this, gbAGC, L"editAGCAttackTime", 0, 10000, 4, 100, 106);

  rgVisType = new TRadioGroup(this);
  rgVisType->SetName(L"rgVisType");
  rgVisType->SetParent(tsRecording);
  rgVisType->SetCaption(L"Visualization Type");
  rgVisType->SetBounds(8, 160, 120, 98);
  rgVisType->Items()->Add(L"Type 1");
  rgVisType->Items()->Add(L"Type 2");
  rgVisType->SetItemIndex(0);

  auto* gbFilter = NewGroup(this, tsRecording, L"Filter", 134, 160, 258, 98);
  cbHighPassEnable = NewCheck(this, gbFilter, L"cbHighPassEnable", L"High Pass Filter", 12, 20);
  editHighPass = NewSpin(this, gbFilter, L"editHighPass", 0, 22050, 2000, 170, 18, 72);
  cbLowPassEnable = NewCheck(this, gbFilter, L"cbLowPassEnable", L"Low Pass Filter", 12, 46);
  editLowPass = NewSpin(this, gbFilter, L"editLowPass", 0, 22050, 2000, 170, 44, 72);
  cbNotchPassEnable = NewCheck(this, gbFilter, L"cbNotchPassEnable", L"Notch Pass Filter", 12, 72);
  editNotchPass = NewSpin(this, gbFilter, L"editNotchPass", 0, 22050, 2000, 170, 70, 72);

  for (TCheckBox* c : {cbSmoothEnabled, chAccuEnabled, chAGCEnabled, cbHighPassEnable,
                       cbLowPassEnable, cbNotchPassEnable})
    c->OnClick = [this](TObject*) { UpdatePropertiesEnabling(); };

  btnHelp = NewButton(this, this, L"btnHelp", L"Help", 8, 312);
  btnHelp->OnClick = [this](TObject*) {
    ShowHelpTopic(HandleAllocated() ? Handle() : nullptr, L"Modify Settings.htm");
  };
  btnDefault = NewButton(this, this, L"btnDefault", L"Default", 90, 312);
  btnDefault->OnClick = [this](TObject* s) { btnDefaultClick(s); };
  btnOK = NewButton(this, this, L"btnOK", L"OK", 258, 312);
  btnOK->SetDefault(true);
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  btnCancel = NewButton(this, this, L"btnCancel", L"Cancel", 340, 312);
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
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
  CentreOn(dialog.get(), Host.MainForm);
  LoadPropertiesDialog(dialog.get(), vars);
  int result = Host.ShowDialog ? Host.ShowDialog(dialog.get()) : dialog->ShowModal();
  if (result != mrOk) return false;
  StorePropertiesDialog(dialog.get(), vars);
  if (Host.SaveSettings)
    Host.SaveSettings();
  else
    editor::SaveEditorSettings();
  if (Host.ApplySettings) Host.ApplySettings();
  return true;
}

} // namespace editor
