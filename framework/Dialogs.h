// Common dialogs: file open and save, the folder browser and message dialogs.
#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Forms.h"
#include "framework/Strings.h"

// ---------------------------------------------------------------------------
// File dialogs

using TOpenOptions = unsigned;
constexpr TOpenOptions ofReadOnly = 1u << 0, ofOverwritePrompt = 1u << 1, ofHideReadOnly = 1u << 2,
                       ofNoChangeDir = 1u << 3, ofShowHelp = 1u << 4, ofNoValidate = 1u << 5,
                       ofAllowMultiSelect = 1u << 6, ofExtensionDifferent = 1u << 7,
                       ofPathMustExist = 1u << 8, ofFileMustExist = 1u << 9,
                       ofCreatePrompt = 1u << 10, ofShareAware = 1u << 11,
                       ofNoReadOnlyReturn = 1u << 12, ofNoTestFileCreate = 1u << 13,
                       ofNoNetworkButton = 1u << 14, ofNoLongNames = 1u << 15,
                       ofOldStyleDialog = 1u << 16, ofNoDereferenceLinks = 1u << 17,
                       ofEnableIncludeNotify = 1u << 18, ofEnableSizing = 1u << 19;

class TCommonDialog : public TComponent {
public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  virtual bool Execute() = 0;
};

class TOpenDialog : public TCommonDialog {
public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  // "Description|*.ext;*.ext2|Other|*.x"
  const std::wstring& Filter() const { return FFilter; }
  void SetFilter(const std::wstring& Value) { FFilter = Value; }
  // 1-based; updated with the user's choice.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::wstring& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::wstring& Value) { FInitialDir = Value; }
  // The chosen file (the first one of a multiple selection).
  const std::wstring& FileName() const { return FFileName; }
  void SetFileName(const std::wstring& Value) { FFileName = Value; }
  // Every chosen file with its full path.
  TStrings* Files() const { return FFiles.get(); }
  // Appended (without the dot) when the typed name has no extension.
  const std::wstring& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::wstring& Value);
  const std::wstring& Title() const { return FTitle; }
  void SetTitle(const std::wstring& Value) { FTitle = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }

  // Shows the dialog modally over the active window; true when the user chose.
  bool Execute() override;

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  bool DoExecute(bool Save);

private:
  std::wstring FFilter;
  int FFilterIndex = 1;
  std::wstring FInitialDir;
  std::wstring FFileName;
  std::unique_ptr<TStringList> FFiles;
  std::wstring FDefaultExt;
  std::wstring FTitle;
  TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override;
};

// The shell's folder browser (file-system folders, new dialog style), starting
// at Directory. True and Directory := the chosen folder when the user chose.
bool SelectDirectory(const std::wstring& Caption, const std::wstring& Root, std::wstring& Directory,
                     HWND Owner = nullptr);

// ---------------------------------------------------------------------------
// Message dialogs

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3,
                         mbAbort = 1u << 4, mbRetry = 1u << 5, mbIgnore = 1u << 6, mbAll = 1u << 7,
                         mbNoToAll = 1u << 8, mbYesToAll = 1u << 9, mbHelp = 1u << 10;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo, mbYesNoCancel = mbYes | mbNo | mbCancel,
                         mbOKCancel = mbOK | mbCancel,
                         mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// A dialog form (owned by the application; the caller frees it) with the
// type's caption and system icon, the text in a static text named "Message",
// and one button per kind in Buttons, in the order Yes, No, OK, Cancel, Abort,
// Retry, Ignore, All, No to All, Yes to All, Help. Each button is named after
// its kind ("Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All",
// "NoToAll", "YesToAll", "Help"), has the kind's ModalResult (Help has none)
// and the same number as control id. The first button is the default one;
// Cancel (else No, else OK) answers Escape. Callers may relabel the buttons
// before ShowModal.
TForm* CreateMessageDialog(const std::wstring& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows a message dialog modally with the type's sound; returns the
// ModalResult of the button chosen (mrCancel when closed). HelpCtx is kept for
// callers' sake: there is no help system.
int MessageDlg(const std::wstring& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx = 0);
// An OK box captioned with the application's title.
void ShowMessage(const std::wstring& Msg);
