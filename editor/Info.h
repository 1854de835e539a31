// Audio Information window: the tag fields of the current document, edited
// through the editor control's file information.
//
// The main window creates it once at start-up with its editor control and
// shows it with ExecuteAudioInformation (modal, centred on the main window).
// Year and Track are checked before any field is written, so a refused value
// leaves every tag as it was.
#pragma once

#include <memory>

#include "audio/AudioEditor2.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace editor {

class TfrmInfo : public TForm {
public:
  TfrmInfo(TComponent* AOwner, TAudioEditor2* Editor);

  TEdit* infoTitle = nullptr;
  TEdit* infoArtist = nullptr;
  TEdit* infoAlbum = nullptr;
  TEdit* infoCopyright = nullptr;
  TEdit* infoYear = nullptr;
  TEdit* infoTrack = nullptr;
  TEdit* infoComment = nullptr;
  TEdit* infoEncodedBy = nullptr;
  TEdit* infoComposer = nullptr;
  TEdit* infoURL = nullptr;
  TComboBox* infoGenre = nullptr;
  TRadioGroup* rgTagVersion = nullptr;
  TButton* btnReset = nullptr;
  TButton* btnApply = nullptr;
  TButton* btnCancel = nullptr;

  // Caption, the file information and the fields for FileName's document.
  void Prepare(const std::wstring& FileName);
  void LoadTagFields();
  // Writes the fields and closes; false (nothing written, window open) when
  // Year or Track is not a number.
  bool ApplyTags();

private:
  TAudioEditor2* FEditor;
  std::shared_ptr<IAudioEditor2FileInfo> FFileInfo;
};

// Shows the window modally for FileName's document; the result of ShowModal.
int ExecuteAudioInformation(TfrmInfo* Window, TCustomForm* MainForm, const std::wstring& FileName);

} // namespace editor
