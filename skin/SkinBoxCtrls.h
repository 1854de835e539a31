// Skinned box controls: the borderless, optionally transparent edit with a
// skinned context menu, and the number edit.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include "framework/StdCtrls.h"
#include "skin/SkinMenus.h"

using TskEditNotify = std::function<void(TObject* Sender)>;

class TskCustomEdit : public TEdit {
public:
  explicit TskCustomEdit(TComponent* AOwner);
  ~TskCustomEdit() override;

  bool TransparentBack() const { return FTransparentBack; }
  void SetTransparentBack(bool Value);
  bool MouseHeld() const { return FMouseHeld; }
  TskSkinPopupMenu* ContextMenu() const { return FContextMenu; }
  TskEditNotify CancelModeNotify;

  // Builds the context menu (Undo, Cut, Copy, Paste, Delete, Select All) for
  // the edit's current state.
  TskSkinPopupMenu* BuildContextMenu();
  void Invalidate() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change() override;

private:
  void FreeContextMenu();
  void ShowContextMenu(int X, int Y);
  bool FTransparentBack = false;
  bool FMouseHeld = false;
  TskSkinPopupMenu* FContextMenu = nullptr;
};

class TskSkinNumEdit : public TskCustomEdit {
public:
  explicit TskSkinNumEdit(TComponent* AOwner);

  bool TypingAllowed = true;
  bool AllowDecimal = false;
  TskEditNotify UpNotify, DownNotify, MouseEnterNotify, MouseLeaveNotify;

  // Whether the number filter lets character C through for the current text.
  bool CharAccepted(wchar_t C);

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;
  void WndProc(TMessage& Message) override;
};
