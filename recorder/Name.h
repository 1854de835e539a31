// "File Name": asks for the name of a new recording.
#pragma once
#include "recorder/DialogControls.h"

#include <functional>

namespace recorder {

class TFormName : public TForm {
public:
  explicit TFormName(TComponent* AOwner);

  TLabel* labName = nullptr;
  TEdit* EditFileName = nullptr;
  TCheckBox* CheckBoxAutoName = nullptr;
  TLabel* LabelSavedHere = nullptr;
  TLabel* LabelChange = nullptr;
  TLabel* labOutputPath = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  // True once OK was pressed with a valid name.
  bool Confirmed = false;
  // Picks a folder; BrowseForFolder unless replaced.
  std::function<bool(std::wstring& Folder)> OnBrowseFolder;

  void Load(const TGlobalVars& g);
  // Writes the check box and a folder picked with "Change".
  void Store(TGlobalVars& g);
  void FormCreate(TObject* Sender);
  void btnOKClick(TObject* Sender);
  void LabelChangeClick(TObject* Sender);
  const std::wstring& OutputFolder() const { return FOutputFolder; }

private:
  std::wstring FOutputFolder;
  bool FFolderChanged = false;
};

} // namespace recorder
