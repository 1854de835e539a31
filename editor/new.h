// New Sample dialog: sample rate, bit depth and channels of a new empty
// document, and NewDocument, which makes it in the editor control.
#pragma once

#include <functional>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

class TAudioEditor2;

namespace editor {

// The rates of cbSampleRate's entries 0..11.
extern const int kNewSampleRates[12];

class TfrmNew : public TForm {
public:
  explicit TfrmNew(TComponent* AOwner);

  TLabel* labSampleRate = nullptr;
  TComboBox* cbSampleRate = nullptr;
  TLabel* labBitDepth = nullptr;
  TComboBox* cbBitDepth = nullptr;
  TLabel* labChannels = nullptr;
  TRadioButton* rbMono = nullptr;
  TRadioButton* rbStereo = nullptr;
  TLabel* labCurrentCaption = nullptr;
  TLabel* labCurrent = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  // "44,100Hz; 16-bit; Stereo."
  void UpdateSummary();
  // Rate 44,100, 16-bit, stereo (run on show).
  void InitValues();
  int SampleRate() const;
  int Channels() const;
};

struct TNewDocumentHost {
  TCustomForm* MainForm = nullptr;
  TAudioEditor2* Editor = nullptr;
  // Runs once the control holds the new document: the main window names it
  // "New Recording", marks it new, updates its caption, marks the document
  // loaded and updates the status bar.
  std::function<void(int Rate, int Channels)> DocumentCreated;
  // TAudioEditor2::NewFile when not set.
  std::function<void(int Rate, int Channels)> NewFile;
};

// True when a new document was made. When the control refuses the new
// document, its exception passes and nothing of the old document changes.
bool NewDocument(TNewDocumentHost& Host);

} // namespace editor
