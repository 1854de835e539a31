#include "recorder/Name.h"

#include "framework/SysUtils.h"
#include "recorder/funcs.h"

namespace recorder {

TFormName::TFormName(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"File Name", 265, 243);
  BuildComponents(
      this,
      {
          {labName, {L"labName", this, {12, 12, 240, 13}, L"", false}},
          {EditFileName, {L"EditFileName", this, {12, 30, 240, 21}}},
          {CheckBoxAutoName,
           {L"CheckBoxAutoName", this, {12, 62, 240, 17}, L"Auto make file name by date and time"}},
          {LabelSavedHere,
           {L"LabelSavedHere",
            this,
            {12, 96, 0, 13},
            L"Files are saved here (See [Options]):",
            true}},
          {LabelChange,
           {.Name = L"LabelChange",
            .Bounds = {210, 96, 0, 13},
            .Caption = L"Change",
            .AutoSize = true,
            .OnClick = [this](TObject* s) { LabelChangeClick(s); }},
           LinkLabel},
          {labOutputPath,
           {L"labOutputPath", this, {12, 114, 240, 60}, L"", false},
           [](TLabel& l) { l.SetWordWrap(true); }},
          {btnOK,
           {.Name = L"btnOK",
            .Bounds = {96, 206, 75, 25},
            .Caption = L"&OK",
            .OnClick = [this](TObject* s) { btnOKClick(s); }},
           [](TButton& b) { b.SetDefault(true); }},
          {btnCancel,
           {L"btnCancel", this, {177, 206, 75, 25}, L"&Cancel"},
           [](TButton& b) {
             b.SetModalResult(mrCancel);
             b.SetCancel(true);
           }},
      });
  OnBrowseFolder = [this](std::wstring& folder) {
    return BrowseForFolder(Handle(), folder, L"Please select a folder", 65);
  };
  FormCreate(this);
}

void TFormName::FormCreate(TObject*) {
  ApplyHintFont(this);
  // "Change" stands under the folder's right end, clear of the label above it.
  LabelChange->SetBounds(labOutputPath->Left() + labOutputPath->Width() - LabelChange->Width(),
                         labOutputPath->Top() + labOutputPath->Height() + 4, LabelChange->Width(),
                         LabelChange->Height());
  SetActiveControl(EditFileName);
}

void TFormName::Load(const TGlobalVars& g) {
  static const wchar_t* const names[] = {L"Mp3", L"Ogg", L"Wma", L"Wav"};
  labName->SetCaption(Format(L"Enter the name of the %s file:",
                             g.OP_OutputFormat < 4 ? names[g.OP_OutputFormat] : L""));
  FOutputFolder = g.OP_OutputFolder;
  FFolderChanged = false;
  labOutputPath->SetCaption(FOutputFolder);
  CheckBoxAutoName->SetChecked(g.OP_AutoMakeName);
}

void TFormName::Store(TGlobalVars& g) {
  g.OP_AutoMakeName = CheckBoxAutoName->Checked();
  if (FFolderChanged) g.OP_OutputFolder = FOutputFolder;
}

void TFormName::btnOKClick(TObject*) {
  if (IsValidFileName(EditFileName->Text())) {
    Confirmed = true;
    SetModalResult(mrOk);
    return;
  }
  Application->MessageBox(L"The name you entered is not valid. Please note that file name can not "
                          L"contain any of the following character:  + \\ / : * ? \" < > |",
                          L"Invalid File Name", MB_OK | MB_ICONERROR);
  if (EditFileName->CanFocus()) EditFileName->SetFocus();
  Confirmed = false;
}

void TFormName::LabelChangeClick(TObject*) {
  std::wstring folder = FOutputFolder;
  if (!OnBrowseFolder || !OnBrowseFolder(folder)) return;
  FOutputFolder = folder;
  FFolderChanged = true;
  labOutputPath->SetCaption(folder);
}

} // namespace recorder
