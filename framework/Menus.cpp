#include "framework/Menus.h"

#include <algorithm>
#include <map>

#include "framework/Forms.h"
#include "framework/ImgList.h"

namespace {

// Never freed: menu items may outlive the static objects of the program.
std::map<UINT, TMenuItem*>& Commands() {
  static auto* commands = new std::map<UINT, TMenuItem*>;
  return *commands;
}

UINT AllocCommand() {
  static UINT next = 100;
  auto& c = Commands();
  for (int i = 0; i < 0xF000; ++i) {
    UINT id = next++;
    if (next >= 0xF000) next = 100;
    if (!c.count(id)) return id;
  }
  return 0;
}

struct KeyName {
  WORD Key;
  const wchar_t* Name;
};
const KeyName kKeyNames[] = {
    {VK_BACK, L"BkSp"},   {VK_TAB, L"Tab"},    {VK_ESCAPE, L"Esc"}, {VK_RETURN, L"Enter"},
    {VK_SPACE, L"Space"}, {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"},  {VK_END, L"End"},
    {VK_HOME, L"Home"},   {VK_LEFT, L"Left"},  {VK_UP, L"Up"},      {VK_RIGHT, L"Right"},
    {VK_DOWN, L"Down"},   {VK_INSERT, L"Ins"}, {VK_DELETE, L"Del"},
};

std::wstring KeyToText(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, key);
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  for (auto& k : kKeyNames)
    if (k.Key == key) return k.Name;
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return L"Num " + std::to_wstring(key - VK_NUMPAD0);
  UINT ch = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
  if (ch >= 32) return std::wstring(1, static_cast<wchar_t>(ch));
  return L"";
}

} // namespace

std::wstring ShortCutToText(TShortCut ShortCut) {
  std::wstring key = KeyToText(ShortCut & 0xFF);
  if (key.empty()) return L"";
  std::wstring s;
  if (ShortCut & scShift) s += L"Shift+";
  if (ShortCut & scCtrl) s += L"Ctrl+";
  if (ShortCut & scAlt) s += L"Alt+";
  return s + key;
}

TShortCut TextToShortCut(const std::wstring& Text) {
  std::wstring rest = Text;
  TShortCut mods = 0;
  for (;;) {
    auto take = [&](const wchar_t* p, TShortCut bit) {
      size_t n = wcslen(p);
      if (rest.size() > n && CompareText(rest.substr(0, n), p) == 0) {
        rest.erase(0, n);
        mods |= bit;
        return true;
      }
      return false;
    };
    if (take(L"Shift+", scShift) || take(L"Ctrl+", scCtrl) || take(L"Alt+", scAlt)) continue;
    break;
  }
  if (rest.empty()) return 0;
  for (WORD key = 8; key < 255; ++key) {
    std::wstring name = KeyToText(key);
    if (!name.empty() && CompareText(name, rest) == 0) return mods | key;
  }
  return 0;
}

bool IsAccel(WORD Key, const std::wstring& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != L'&') continue;
    if (Caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(Caption[i + 1]))) ==
           CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(Key)));
  }
  return false;
}

std::wstring StripHotkey(const std::wstring& Caption) {
  std::wstring s;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == L'&') {
      if (i + 1 < Caption.size() && Caption[i + 1] == L'&') s += L'&', ++i;
      continue;
    }
    s += Caption[i];
  }
  return s;
}

// ---------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TMenuItem* AClient) : TActionLink(AClient), FItem(AClient) {}
void TMenuActionLink::SetCaption(const std::wstring& Value) {
  FItem->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
  FItem->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
  FItem->SetEnabled(Value);
}
void TMenuActionLink::SetHint(const std::wstring& Value) {
  FItem->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(int Value) {
  FItem->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
  FItem->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
  FItem->SetVisible(Value);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
  FCommand = AllocCommand();
  if (FCommand) Commands()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
  Destroying();
  Commands().erase(FCommand);
  FActionLink.reset();
  while (!FItems.empty()) {
    TMenuItem* i = FItems.back();
    FItems.pop_back();
    i->FParent = nullptr;
    delete i;
  }
  if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FItems[Index];
}

void TMenuItem::Add(TMenuItem* Item) {
  Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation(L"Menu inserted twice");
  Index = std::clamp(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged();
}

void TMenuItem::Delete(int Index) {
  TMenuItem* i = Items(Index);
  Remove(i);
  delete i;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
  MenuChanged();
}

void TMenuItem::Clear() {
  while (!FItems.empty())
    Delete(Count() - 1);
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::wstring& ACaption) const {
  std::wstring want = StripHotkey(ACaption);
  for (TMenuItem* i : FItems)
    if (SameText(StripHotkey(i->FCaption), want)) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent)
    i = i->FParent;
  return i->FMenu;
}

void TMenuItem::MenuChanged() {
  if (TMenu* m = GetParentMenu()) m->Changed();
}

void TMenuItem::SetCaption(const std::wstring& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  MenuChanged();
}
void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  MenuChanged();
}
void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem && FParent) {
    for (TMenuItem* i : FParent->FItems)
      if (i != this && i->FRadioItem && i->FGroupIndex == FGroupIndex) i->SetChecked(false);
  }
  MenuChanged();
}
void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  MenuChanged();
}
void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  MenuChanged();
}
void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  MenuChanged();
}
void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  MenuChanged();
}
void TMenuItem::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  MenuChanged();
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    if (FActionLink && FActionLink->Action()) FActionLink->Action()->RemoveFreeNotification(this);
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  ActionChange(Value, (ComponentState() & csLoading) != 0);
  Value->FreeNotification(this);
}

void TMenuItem::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
    FActionLink.reset();
}

bool TMenuItem::RethinkLines() {
  bool changed = false;
  bool seenItem = false;
  TMenuItem* pending = nullptr;
  auto show = [&changed](TMenuItem* Line, bool Value) {
    if (Line->FVisible == Value) return;
    Line->FVisible = Value;
    changed = true;
  };
  for (TMenuItem* item : FItems) {
    if (item->IsLine()) {
      if (!seenItem || pending) {
        show(item, false);
      } else {
        pending = item;
      }
    } else if (item->FVisible) {
      if (pending) show(pending, true);
      pending = nullptr;
      seenItem = true;
    }
  }
  if (pending) show(pending, false);
  if (changed) MenuChanged();
  return changed;
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !FActionLink) SetChecked(!FChecked);
  if (OnClick && FActionLink) {
    OnClick(this);
  } else if (FActionLink) {
    FActionLink->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

bool TMenuItem::DispatchCommand(UINT Command) {
  auto& c = Commands();
  auto it = c.find(Command);
  if (it == c.end()) return false;
  it->second->Click();
  return true;
}

void TMenuItem::UpdateMenuHandle(HMENU Menu) {
  // Items of the opening submenu take their actions' state first.
  int n = GetMenuItemCount(Menu);
  for (int i = 0; i < n; ++i) {
    UINT id = GetMenuItemID(Menu, i);
    auto& c = Commands();
    auto it = c.find(id);
    if (it == c.end()) continue;
    TMenuItem* item = it->second;
    item->InitiateAction();
    EnableMenuItem(Menu, i, MF_BYPOSITION | (item->FEnabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(Menu, i, MF_BYPOSITION | (item->FChecked ? MF_CHECKED : MF_UNCHECKED));
  }
}

void TMenuItem::AppendTo(HMENU Menu) {
  if (!FVisible) return;
  if (IsLine()) {
    AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  std::wstring text = FCaption;
  if (FShortCut) text += L"\t" + ShortCutToText(FShortCut);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE;
  mi.fType = MFT_STRING | (FRadioItem ? MFT_RADIOCHECK : 0);
  mi.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : 0) |
              (FDefault ? MFS_DEFAULT : 0);
  mi.wID = FCommand;
  mi.dwTypeData = text.data();
  if (!FItems.empty()) {
    HMENU sub = CreatePopupMenu();
    for (TMenuItem* i : FItems)
      i->AppendTo(sub);
    mi.fMask |= MIIM_SUBMENU;
    mi.hSubMenu = sub;
  }
  InsertMenuItemW(Menu, GetMenuItemCount(Menu), TRUE, &mi);
}

// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  FItems.reset();
  if (FHandle) DestroyMenu(FHandle);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TMenu::Build(HMENU Menu) {
  for (TMenuItem* i : FItems->FItems)
    i->AppendTo(Menu);
}

HMENU TMenu::Handle() {
  if (FDirty || !FHandle) {
    if (FHandle) DestroyMenu(FHandle);
    FHandle = CreateMenuHandle();
    Build(FHandle);
    FDirty = false;
  }
  return FHandle;
}

void TMenu::Changed() {
  FDirty = true;
}

namespace {
TMenuItem* FindByShortCut(TMenuItem* root, TShortCut sc) {
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* it = root->Items(i);
    if (!it->Visible()) continue;
    if (it->ShortCut() == sc) return it;
    if (TMenuItem* sub = FindByShortCut(it, sc)) return sub;
  }
  return nullptr;
}
} // namespace

bool TMenu::IsShortCut(TMessage& Message) {
  TShortCut sc = ::ShortCut(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam));
  if (!sc) return false;
  TMenuItem* item = FindByShortCut(FItems.get(), sc);
  if (!item) return false;
  item->InitiateAction();
  if (!item->Enabled()) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItem(UINT Command) const {
  auto& c = Commands();
  auto it = c.find(Command);
  if (it == c.end() || it->second->GetParentMenu() != this) return nullptr;
  return it->second;
}

bool TMenu::DispatchCommand(UINT Command) {
  TMenuItem* item = FindItem(Command);
  if (!item) return false;
  item->Click();
  return true;
}

void TMainMenu::Changed() {
  TMenu::Changed();
  // A menu bar on a form is rebuilt at once.
  if (auto* form = dynamic_cast<TCustomForm*>(Owner())) {
    if (form->Menu() == this && form->HandleAllocated()) {
      HMENU old = FHandle;
      FHandle = nullptr;
      ::SetMenu(form->Handle(), Handle());
      DrawMenuBar(form->Handle());
      if (old) DestroyMenu(old);
    }
  }
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int X, int Y) {
  DoPopup();
  std::vector<TMenuItem*> stack{Items()};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    i->InitiateAction();
    for (int k = 0; k < i->Count(); ++k)
      stack.push_back(i->Items(k));
  }
  HMENU menu = Handle();
  HWND owner = Application ? Application->Handle() : nullptr;
  UINT cmd =
      TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, X, Y, owner, nullptr);
  if (owner) PostMessageW(owner, WM_NULL, 0, 0);
  if (cmd) DispatchCommand(cmd);
}
