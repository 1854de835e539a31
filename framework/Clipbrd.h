// The system clipboard: text, raw handles of a format and pictures. Opening
// is counted, so calls inside an Open/Close pair share one opening; a call
// outside opens and closes the clipboard itself.
#pragma once

#include <string>

#include <windows.h>

#include "framework/SysUtils.h"

class TGraphic;

FW_DECLARE_EXCEPTION(EClipboardException, Exception);

class TClipboard {
public:
  TClipboard() = default;
  ~TClipboard();
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  // Raises EClipboardException "Cannot open clipboard" when another program
  // keeps it open.
  void Open();
  void Close();
  // Empties the clipboard and makes this program its owner.
  void Clear();
  bool HasFormat(UINT Format) const;
  std::wstring AsText();
  void SetAsText(const std::wstring& Value);
  // The clipboard's data of Format (it stays the clipboard's); null when none.
  HANDLE GetAsHandle(UINT Format);
  // Hands Value to the clipboard, beside what is already there.
  void SetAsHandle(UINT Format, HANDLE Value);
  // Replaces the clipboard's contents with the picture (a picture that
  // gives no clipboard data leaves the clipboard empty).
  void Assign(TGraphic* Source);
  // Reads the clipboard's picture (device-independent or device bitmap)
  // into Dest; raises EClipboardException when there is none.
  void AssignTo(TGraphic* Dest);

private:
  HWND Window();
  HWND FWindow = nullptr;
  int FOpenRefCount = 0;
  bool FEmptied = false;
};

// The program's clipboard object.
TClipboard* Clipboard();
