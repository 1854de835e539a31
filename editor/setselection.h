// Set Selection dialog: the selection's start, end and length typed as times
// (or picked from a preset) and applied to the editor control, and the time
// text reader it uses.
//
// The main window calls ExecuteSetSelection with a host filled in (only when a
// document is loaded and the control is idle; the call checks again).
#pragma once

#include <cstdint>
#include <string>

#include "controls/FcEdit.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

class TAudioEditor2;

namespace editor {

// Milliseconds of a time text (h:m:s.ms, m:s.ms, s.ms, s, m:s, h:m:s; the part
// after "." counts milliseconds); -1 when no form matches.
int64_t ParseTimeText(const std::wstring& Text);

class TfrmSetSelection : public TForm {
public:
  explicit TfrmSetSelection(TComponent* AOwner);

  TLabel* labPreset = nullptr;
  TComboBox* cbSelectionPreset = nullptr;
  TLabel* labStart = nullptr;
  TLabel* labEnd = nullptr;
  TLabel* labLength = nullptr;
  TLabel* labTimeFormat = nullptr;
  TFcEdit* EditStart = nullptr;
  TFcEdit* EditEnd = nullptr;
  TFcEdit* EditLenght = nullptr;
  TLabel* labInputFormat = nullptr;
  TComboBox* cbInputFormat = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;
  TButton* btnHelp = nullptr;

  // Filled by the opener before showing (ms).
  int FStartMs = 0, FEndMs = 0, FLengthMs = 0, FCursorMs = 0;
  // The values being edited.
  int FCurStartMs = 0, FCurEndMs = 0;
  std::wstring FSavedStartText, FSavedEndText, FSavedLengthText;
  // The result taken by the opener after OK.
  int FSelStartMs = 0, FSelEndMs = 0;

  // Shows the opener's values (also run on show).
  void InitValues();
  void EditStartExit(TObject* Sender);
  void EditEndExit(TObject* Sender);
  void EditLenghtExit(TObject* Sender);
  void cbSelectionPresetClick(TObject* Sender);
  void btnOKClick(TObject* Sender);

private:
  void ShowCurrent();
};

struct TSetSelectionHost {
  TCustomForm* MainForm = nullptr;
  TAudioEditor2* Editor = nullptr;
  // Receive the applied selection (the main window's FSelStartMs / FSelEndMs).
  int* SelStartMs = nullptr;
  int* SelEndMs = nullptr;
};

// Runs the command; true when a new selection was applied. The new selection
// is brought into view.
bool ExecuteSetSelection(TSetSelectionHost& Host);
// Moves the view (keeping its width when it can) so that the selection shows.
void BringSelectionIntoView(TAudioEditor2* Editor);

} // namespace editor
