// Skin support of tab rows: a page control and a tab control that take their
// tab font and height from a tab description and replace the native tab
// scroller by a skinned up-down when their tabs overflow; the tab control also
// paints its client background from the description.
#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "framework/ComCtrls.h"
#include "skin/SkinData.h"
#include "skin/SkinUpDown.h"

// What the skinned page control and tab control share, on top of their
// framework control (TPageControl or TTabControl).
template <class TTabs> class TskSkinTabsBase : public TTabs {
public:
  explicit TskSkinTabsBase(TComponent* AOwner);
  ~TskSkinTabsBase() override;

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
  // The tab height without an entry when TabHeight is 0.
  int DefaultTabHeight() const { return FDefaultTabHeight; }
  void SetDefaultTabHeight(int Value) { FDefaultTabHeight = Value; }

  int EntryIndex() const { return FEntryIndex; }
  // The entry's values (defaults without an entry).
  const TskDataSkinTabControl& Entry() const { return FEntry; }
  TskSkinUpDown* UpDown() const { return FUpDown; }
  // The close-button size last added to the image list.
  int CloseSize() const { return FCloseSize; }

  // Tab n among the visible tabs; the first one's left edge moved right by 1
  // in single-line mode.
  RECT TabRect(int n);
  virtual int VisibleTabCount() const = 0;
  // The visible tabs scrolled out at the left.
  int GetFirstShownTab();
  // The visible tabs scrolled out at the left or standing beyond the right
  // edge (or beyond the up-down).
  int GetHiddenTabCount();
  void UpdateTabScroller();
  void ReadSkinEntry();
  // Applies the skin: the entry, the close-button room in the images, the
  // font and the tab height. The tab control sets the skin's font colour
  // before choosing the font, the page control after.
  void ApplyTabsSkin(bool ColorFirst);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  // The up-down's size when it is created.
  virtual SIZE UpDownSize() const = 0;
  // False while no up-down may be created.
  virtual bool MayCreateUpDown() const { return true; }
  // False while the row needs no scroller though tabs are hidden.
  virtual bool ScrollsTabs() const { return true; }
  void FreeUpDown();
  void TabChanged();

  TskSkinData* FSkinData = nullptr;
  std::wstring FSkinDataName = L"tab";
  int FEntryIndex = -1;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  bool FCloseButtons = false;
  int FDefaultTabHeight = 20;
  int FCloseSize = 0;
  TskSkinUpDown* FUpDown = nullptr;
  TskDataSkinTabControl FEntry{L""};
  const TskPicture* FPicture = nullptr;

private:
  void CreateUpDown();
  void ScrollTabs();
  int CloseButtonSize() const;
  virtual void ApplySkin() = 0;
};

class TskSkinPageControl : public TskSkinTabsBase<TPageControl> {
public:
  explicit TskSkinPageControl(TComponent* AOwner);

  // While set, no up-down is created.
  bool NoUpDown() const { return FNoUpDown; }
  void SetNoUpDown(bool Value) { FNoUpDown = Value; }

  int VisibleTabCount() const override;
  // Called by the skinned form after a skin change.
  void ApplyPageControlSkin();

protected:
  SIZE UpDownSize() const override { return SIZE{2 * FDefaultTabHeight, FDefaultTabHeight}; }
  bool MayCreateUpDown() const override { return !FNoUpDown; }
  bool ScrollsTabs() const override { return !MultiLine(); }

private:
  void ApplySkin() override { ApplyPageControlSkin(); }
  bool FNoUpDown = false;
};

class TskSkinTabControl : public TskSkinTabsBase<TTabControl> {
public:
  explicit TskSkinTabControl(TComponent* AOwner);

  int VisibleTabCount() const override { return Tabs()->Count(); }
  // Called by the skinned form after a skin change.
  void ApplyTabControlSkin();
  // The client background: the entry's client picture or background picture
  // by its stretch settings, button face without an entry.
  void PaintTabControlBackground(HDC DC);

protected:
  SIZE UpDownSize() const override { return SIZE{36, 18}; }
  void Dispatch(TMessage& Message) override;

private:
  void ApplySkin() override { ApplyTabControlSkin(); }
  void PaintDisplayArea(HDC DC);
};
