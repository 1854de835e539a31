// Skin support of tab rows: a page control that takes its tab font and
// height from a tab description and replaces the native tab scroller by a
// skinned up-down when its tabs overflow.
#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "framework/ComCtrls.h"
#include "skin/SkinData.h"
#include "skin/SkinUpDown.h"

class TskSkinPageControl : public TPageControl {
public:
  explicit TskSkinPageControl(TComponent* AOwner);
  ~TskSkinPageControl() override;

  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  const std::wstring& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::wstring& Value) { FSkinDataName = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool CloseButtons() const { return FCloseButtons; }
  void SetCloseButtons(bool Value) { FCloseButtons = Value; }
  int DefaultTabHeight() const { return FDefaultTabHeight; }
  void SetDefaultTabHeight(int Value) { FDefaultTabHeight = Value; }
  // While set, no up-down is created.
  bool NoUpDown() const { return FNoUpDown; }
  void SetNoUpDown(bool Value) { FNoUpDown = Value; }

  int EntryIndex() const { return FEntryIndex; }
  // The entry's values (defaults without an entry).
  const TskDataSkinTabControl& Entry() const { return FEntry; }
  TskSkinUpDown* UpDown() const { return FUpDown; }
  // The close-button size last added to the image list.
  int CloseSize() const { return FCloseSize; }

  // Tab n among the visible tabs; the first one's left edge moved right by 1
  // in single-line mode.
  RECT TabRect(int n);
  int VisibleTabCount() const;
  int GetFirstShownTab();
  int GetHiddenTabCount();
  void UpdateTabScroller();
  void ReadSkinEntry();
  // Called by the skinned form after a skin change.
  void ApplyPageControlSkin();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

private:
  void CreateUpDown();
  void FreeUpDown();
  void ScrollTabs(TObject* Sender);
  void TabChanged();
  int CloseButtonSize() const;

  TskSkinData* FSkinData = nullptr;
  std::wstring FSkinDataName = L"tab";
  int FEntryIndex = -1;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  bool FCloseButtons = false;
  int FDefaultTabHeight = 20;
  bool FNoUpDown = false;
  int FCloseSize = 0;
  TskSkinUpDown* FUpDown = nullptr;
  TskDataSkinTabControl FEntry{L""};
  const TskPicture* FPicture = nullptr;
};
