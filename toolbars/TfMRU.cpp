#include "toolbars/TfMRU.h"

#include <commdlg.h>

#include "framework/SysUtils.h"

static std::wstring LowerFileName(const std::wstring& s) {
  std::wstring r = s;
  if (!r.empty())
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, s.c_str(), static_cast<int>(s.size()),
                 r.data(), static_cast<int>(r.size()));
  return r;
}

// Raises the string list's error before anything is changed, so that the
// entries and the menu items stay in step.
static void CheckListIndex(int index, int limit) {
  if (index < 0 || index >= limit)
    throw EListError(Format(L"List index out of bounds (%d)", {index}));
}

void TTfMRUListStrings::Put(int index, const std::wstring& s) {
  FStrings.Put(index, s);
  FList->Changed();
}

void TTfMRUListStrings::InsertObject(int index, const std::wstring& s, void* object) {
  CheckListIndex(index, Count() + 1);
  TTfCustomItem* item = FList->CreateMenuItem();
  item->OnClick = [list = FList](TObject* Sender) { list->ItemClicked(Sender); };
  FList->FContainer->Insert(index, item);
  FStrings.InsertObject(index, s, object);
  FList->Changed();
}

void TTfMRUListStrings::Delete(int index) {
  CheckListIndex(index, Count());
  delete FList->FContainer->ChildAt(index);
  FStrings.Delete(index);
  FList->Changed();
}

void TTfMRUListStrings::Clear() {
  for (int i = Count() - 1; i >= 0; --i)
    Delete(i);
}

int TTfMRUListStrings::IndexOf(const std::wstring& s) const {
  std::wstring ls = LowerFileName(s);
  for (int i = 0; i < Count(); ++i) {
    std::wstring e = LowerFileName(FStrings.Get(i));
    if (CompareStringW(LOCALE_USER_DEFAULT, 0, ls.c_str(), -1, e.c_str(), -1) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

void TTfMRUListStrings::MoveEntry(int from, int to) {
  CheckListIndex(from, Count());
  CheckListIndex(to, Count());
  if (from == to) return;
  FStrings.Move(from, to);
  FList->FContainer->Move(from, to);
  FList->Changed();
}

TTfMRUList::TTfMRUList(TComponent* AOwner)
    : TComponent(AOwner), FContainer(std::make_unique<TTfCustomItem>(nullptr)),
      FItems(std::make_unique<TTfMRUListStrings>(this)) {}

TTfMRUList::~TTfMRUList() {
  Destroying();
  FContainer.reset();
  FItems.reset();
}

TTfCustomItem* TTfMRUList::CreateMenuItem() {
  auto* it = new TTfCustomItem(FContainer.get());
  it->SetTraits(itSelectable | itRepaintOnSelect | itRepaintOnHover);
  return it;
}

void TTfMRUList::Changed() {
  RebuildCaptions();
  if (OnChange && !(ComponentState() & csLoading)) OnChange(this);
}

void TTfMRUList::RebuildCaptions() {
  if (FRebuilding) return;
  FRebuilding = true;
  // A negative maximum counts as 0.
  int max = std::max(0, FMaxItems);
  while (FItems->Count() > max)
    FItems->Delete(FItems->Count() - 1);
  for (int i = 0; i < FContainer->ChildCount() && i < FItems->Count(); ++i) {
    std::wstring text = FItems->Get(i);
    if (FHidePathExtension) {
      wchar_t buf[260];
      if (GetFileTitleW(text.c_str(), buf, 260) == 0) text = buf;
    }
    text = DoubleAmpersands(text);
    wchar_t accel = 0;
    if (i < 9)
      accel = static_cast<wchar_t>(L'1' + i);
    else if (i < 35)
      accel = static_cast<wchar_t>(L'A' + i - 9);
    FContainer->ChildAt(i)->SetCaption(accel ? std::wstring(L"&") + accel + L" " + text : text);
  }
  FRebuilding = false;
}

void TTfMRUList::SetMaxItems(int Value) {
  FMaxItems = Value;
  RebuildCaptions();
}

void TTfMRUList::SetHidePathExtension(bool Value) {
  if (Value == FHidePathExtension) return;
  FHidePathExtension = Value;
  RebuildCaptions();
}

void TTfMRUList::AddFile(const std::wstring& FileName) {
  std::wstring name = AddFullPath ? ExpandFileName(FileName) : FileName;
  int k = FItems->IndexOf(name);
  if (k < 0) {
    FItems->Insert(0, name);
  } else {
    if (k > 0) FItems->MoveEntry(k, 0);
    FItems->Put(0, name);
  }
}

void TTfMRUList::LoadFromIniFile(TCustomIniFile* IniFile, const std::wstring& Section) {
  FItems->Clear();
  if (FMaxItems <= 0) return;
  for (int n = 1; n <= FMaxItems; ++n) {
    std::wstring v = IniFile->ReadString(Section, Prefix + std::to_wstring(n), L"");
    if (!v.empty()) FItems->Add(v);
  }
}

void TTfMRUList::SaveToIniFile(TCustomIniFile* IniFile, const std::wstring& Section) {
  if (FMaxItems <= 0) return;
  for (int n = 1; n <= FMaxItems; ++n) {
    std::wstring key = Prefix + std::to_wstring(n);
    if (n <= FItems->Count())
      IniFile->WriteString(Section, key, FItems->Get(n - 1));
    else
      IniFile->DeleteKey(Section, key);
  }
}

void TTfMRUList::ItemClicked(TObject* Sender) {
  int i = FContainer->IndexOf(dynamic_cast<TTfCustomItem*>(Sender));
  if (i < 0) return;
  if (i > 0) FItems->MoveEntry(i, 0);
  if (OnClick) OnClick(this, FItems->Get(0));
}

TTfMRUListItem::TTfMRUListItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits |= itInlineGroup;
  SetCaption(tfstr::MRUListCaption);
}

void TTfMRUListItem::SetMRUList(TTfMRUList* Value) {
  if (Value == FMRUList) return;
  FMRUList = Value;
  if (Value) {
    Value->FreeNotification(this);
    SetLinkSubitems(Value->Container());
  } else {
    SetLinkSubitems(nullptr);
  }
}

void TTfMRUListItem::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FMRUList) SetMRUList(nullptr);
  TTfCustomItem::Notification(AComponent, Operation);
}
