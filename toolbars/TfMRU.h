// Recent-file list: entries mirrored as numbered menu items, shown in menus
// through list items, stored in an INI file under a prefix and a number.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "toolbars/TfItem.h"

class TTfMRUList;

using TTfMRUListClickEvent = std::function<void(TObject* Sender, const std::wstring& Filename)>;

// The entries; every change is made to the menu items as well.
class TTfMRUListStrings : public TStrings {
public:
  explicit TTfMRUListStrings(TTfMRUList* List) : FList(List) {}
  int Count() const override { return FStrings.Count(); }
  std::wstring Get(int index) const override { return FStrings.Get(index); }
  void Put(int index, const std::wstring& s) override;
  void InsertObject(int index, const std::wstring& s, void* object) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::wstring& s) const override;
  void MoveEntry(int from, int to);

private:
  TTfMRUList* FList;
  TStringList FStrings;
};

class TTfMRUList : public TComponent {
public:
  explicit TTfMRUList(TComponent* AOwner);
  ~TTfMRUList() override;

  void AddFile(const std::wstring& FileName);
  void LoadFromIniFile(TCustomIniFile* IniFile, const std::wstring& Section);
  void SaveToIniFile(TCustomIniFile* IniFile, const std::wstring& Section);

  bool AddFullPath = true;
  bool HidePathExtension() const { return FHidePathExtension; }
  void SetHidePathExtension(bool Value);
  int MaxItems() const { return FMaxItems; }
  void SetMaxItems(int Value);
  TTfMRUListStrings* Items() const { return FItems.get(); }
  void SetItems(const TStrings& Value) { FItems->Assign(Value); }
  std::wstring Prefix = L"MRU";
  TTfCustomItem* Container() const { return FContainer.get(); }
  TNotifyEvent OnChange;
  TTfMRUListClickEvent OnClick;

  virtual TTfCustomItem* CreateMenuItem();
  virtual void RebuildCaptions();

private:
  friend class TTfMRUListStrings;
  void Changed();
  void ItemClicked(TObject* Sender);
  std::unique_ptr<TTfCustomItem> FContainer;
  std::unique_ptr<TTfMRUListStrings> FItems;
  bool FHidePathExtension = true;
  int FMaxItems = 4;
  bool FRebuilding = false;
};

// Shows a recent-file list's entries in place of itself.
class TTfMRUListItem : public TTfCustomItem {
public:
  explicit TTfMRUListItem(TComponent* AOwner);
  TTfMRUList* MRUList() const { return FMRUList; }
  void SetMRUList(TTfMRUList* Value);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TTfMRUList* FMRUList = nullptr;
};
