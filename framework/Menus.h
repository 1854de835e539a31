// Menu items, main and popup menus, and shortcut text.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ActnList.h"

class TMenu;
class TMenuItem;
class TCustomImageList;

// "Ctrl+F2", "Shift+Ctrl+Z", "Del"; 0 gives "".
std::wstring ShortCutToText(TShortCut ShortCut);
// The reverse; 0 for text it cannot read.
TShortCut TextToShortCut(const std::wstring& Text);
// Whether Key is the "&" accelerator of Caption.
bool IsAccel(WORD Key, const std::wstring& Caption);
// Caption without its "&" markers.
std::wstring StripHotkey(const std::wstring& Caption);

using TMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

class TMenuActionLink : public TActionLink {
public:
  explicit TMenuActionLink(TMenuItem* AClient);
  void SetCaption(const std::wstring& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::wstring& Value) override;
  void SetImageIndex(int Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;

private:
  TMenuItem* FItem;
};

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // Tree.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const { return FParent; }
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Removes and frees the item.
  void Delete(int Index);
  // Removes without freeing.
  void Remove(TMenuItem* Item);
  void Clear();
  int IndexOf(TMenuItem* Item) const;
  int MenuIndex() const { return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1; }
  TMenuItem* Find(const std::wstring& ACaption) const;
  // Hides separators at the start, at the end and after another separator
  // (counting visible items only) and shows the others; true when one changed.
  bool RethinkLines();
  TMenu* GetParentMenu() const;

  // Properties; "-" as caption makes a separator.
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& Value);
  bool IsLine() const { return FCaption == L"-"; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TBitmap* Bitmap();
  // The command number of WM_COMMAND.
  UINT Command() const { return FCommand; }

  TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
  void SetAction(TBasicAction* Value);
  // Brings the linked action's state up to date.
  void InitiateAction();
  virtual void Click();

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;

  // Runs the click of the item with the command; false when none has it.
  static bool DispatchCommand(UINT Command);
  // Refreshes a popup menu handle that is about to open.
  static void UpdateMenuHandle(HMENU Menu);
  // Appends this item (and its submenu) to a menu handle.
  void AppendTo(HMENU Menu);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
  void MenuChanged();

private:
  friend class TMenuActionLink;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  std::wstring FCaption, FHint;
  bool FEnabled = true, FChecked = false, FRadioItem = false, FVisible = true, FDefault = false,
       FAutoCheck = false;
  int FGroupIndex = 0;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  UINT FCommand = 0;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TMenuActionLink> FActionLink;
  TMenu* FMenu = nullptr; // set on a menu's root item
  friend class TMenu;
};

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return FItems.get(); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool AutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(bool Value) { FAutoLineReduction = Value; }
  // The menu handle, rebuilt after changes.
  virtual HMENU Handle();
  // Clicks the enabled, visible item with the key's shortcut.
  bool IsShortCut(TMessage& Message);
  bool DispatchCommand(UINT Command);
  TMenuItem* FindItem(UINT Command) const;
  // Called when an item changed.
  virtual void Changed();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual HMENU CreateMenuHandle() = 0;
  void Build(HMENU Menu);
  HMENU FHandle = nullptr;
  bool FDirty = true;

private:
  std::unique_ptr<TMenuItem> FItems;
  TCustomImageList* FImages = nullptr;
  bool FAutoLineReduction = true;
};

class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  void Changed() override;

protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
};

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
  // Shows the menu at a screen position and runs the chosen item.
  virtual void Popup(int X, int Y);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  TNotifyEvent OnPopup;

protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
  virtual void DoPopup();

private:
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
};
