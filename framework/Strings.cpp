#include "framework/Strings.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Put(int index, const std::wstring& s) {
  void* object = GetObjectAt(index);
  Delete(index);
  InsertObject(index, s, object);
}

void* TStrings::GetObjectAt(int) const {
  return nullptr;
}

void TStrings::PutObjectAt(int, void*) {}

int TStrings::IndexOf(const std::wstring& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (SameText(Get(i), s)) return i;
  return -1;
}

int TStrings::AddObject(const std::wstring& s, void* object) {
  int index = Count();
  InsertObject(index, s, object);
  return index;
}

void TStrings::AddStrings(const TStrings& source) {
  BeginUpdate();
  for (int i = 0, n = source.Count(); i < n; ++i)
    AddObject(source.Get(i), source.GetObjectAt(i));
  EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  BeginUpdate();
  Clear();
  AddStrings(source);
  EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* strings = dynamic_cast<TStrings*>(Source)) {
    Assign(*strings);
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::AssignTo(TPersistent* Dest) {
  if (auto* strings = dynamic_cast<TStrings*>(Dest)) {
    strings->Assign(*this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  std::wstring s = Get(curIndex);
  void* object = GetObjectAt(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
  EndUpdate();
}

void TStrings::Exchange(int a, int b) {
  if (a == b) return;
  BeginUpdate();
  std::wstring sa = Get(a), sb = Get(b);
  void *oa = GetObjectAt(a), *ob = GetObjectAt(b);
  Put(a, sb);
  PutObjectAt(a, ob);
  Put(b, sa);
  PutObjectAt(b, oa);
  EndUpdate();
}

int TStrings::IndexOfObject(const void* object) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (GetObjectAt(i) == object) return i;
  return -1;
}

std::wstring TStrings::Text() const {
  std::wstring r;
  for (int i = 0, n = Count(); i < n; ++i) {
    r += Get(i);
    r += L"\r\n";
  }
  return r;
}

void TStrings::SetText(const std::wstring& text) {
  BeginUpdate();
  Clear();
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t j = text.find_first_of(L"\r\n", i);
    if (j == std::wstring::npos) {
      Add(text.substr(i));
      break;
    }
    Add(text.substr(i, j - i));
    if (text[j] == L'\r' && j + 1 < n && text[j + 1] == L'\n') ++j;
    i = j + 1;
  }
  EndUpdate();
}

std::wstring TStrings::CommaText() const {
  std::wstring r;
  for (int i = 0, n = Count(); i < n; ++i) {
    if (i) r += L',';
    std::wstring s = Get(i);
    bool quote = s.empty() || s.find_first_of(L" ,\"\t") != std::wstring::npos;
    if (!quote) {
      r += s;
      continue;
    }
    r += L'"';
    for (wchar_t c : s) {
      if (c == L'"') r += L'"';
      r += c;
    }
    r += L'"';
  }
  return r;
}

void TStrings::SetCommaText(const std::wstring& text) {
  BeginUpdate();
  Clear();
  size_t i = 0, n = text.size();
  auto skipBlanks = [&] {
    while (i < n && text[i] <= L' ')
      ++i;
  };
  skipBlanks();
  while (i < n) {
    std::wstring item;
    if (text[i] == L'"') {
      ++i;
      while (i < n) {
        if (text[i] == L'"') {
          if (i + 1 < n && text[i + 1] == L'"') {
            item += L'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < n && text[i] > L' ' && text[i] != L',')
        item += text[i++];
    }
    Add(item);
    skipBlanks();
    if (i < n && text[i] == L',') {
      ++i;
      skipBlanks();
      if (i >= n) Add(L"");
    }
  }
  EndUpdate();
}

std::wstring TStrings::Names(int index) const {
  std::wstring s = Get(index);
  size_t p = s.find(L'=');
  return p == std::wstring::npos ? L"" : s.substr(0, p);
}

std::wstring TStrings::ValueFromIndex(int index) const {
  std::wstring s = Get(index);
  size_t p = s.find(L'=');
  return p == std::wstring::npos ? L"" : s.substr(p + 1);
}

int TStrings::IndexOfName(const std::wstring& name) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    std::wstring s = Get(i);
    size_t p = s.find(L'=');
    if (p != std::wstring::npos && SameText(s.substr(0, p), name)) return i;
  }
  return -1;
}

std::wstring TStrings::Values(const std::wstring& name) const {
  int i = IndexOfName(name);
  return i < 0 ? L"" : ValueFromIndex(i);
}

void TStrings::SetValues(const std::wstring& name, const std::wstring& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i >= 0) {
    Put(i, name + L"=" + value);
  } else {
    Add(name + L"=" + value);
  }
}

namespace {

std::wstring DecodeText(const std::string& bytes) {
  const size_t n = bytes.size();
  if (n >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring r((n - 2) / 2, L'\0');
    std::memcpy(r.data(), bytes.data() + 2, r.size() * 2);
    return r;
  }
  if (n >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
    return Utf8ToWide(bytes.substr(3));
  if (n == 0) return L"";
  // Valid UTF-8 with non-ASCII bytes is taken as UTF-8, anything else as ANSI.
  bool ascii = std::all_of(bytes.begin(), bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(n), nullptr, 0) > 0)
    return Utf8ToWide(bytes);
  return AnsiToWide(bytes);
}

std::string EncodeText(const std::wstring& text) {
  BOOL lossy = FALSE;
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
  if (!lossy && n > 0) return WideToAnsi(text);
  return "\xEF\xBB\xBF" + WideToUtf8(text);
}

} // namespace

void TStrings::LoadFromStream(TStream& stream) {
  int64_t size = stream.Size() - stream.Position();
  std::string bytes(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<long>(bytes.size()));
  SetText(DecodeText(bytes));
}

void TStrings::SaveToStream(TStream& stream) const {
  std::string bytes = EncodeText(Text());
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
}

void TStrings::LoadFromFile(const std::wstring& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::SaveToFile(const std::wstring& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0, n = Count(); i < n; ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

// ---------------------------------------------------------------------------
// TStringList

void TStringList::CheckIndex(int index, bool forInsert) const {
  int limit = Count() + (forInsert ? 1 : 0);
  if (index < 0 || index >= limit)
    throw EListError(Format(L"List index out of bounds (%d)", {index}));
}

int TStringList::CompareStrings(const std::wstring& a, const std::wstring& b) const {
  if (FCaseSensitive) return a < b ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

std::wstring TStringList::Get(int index) const {
  CheckIndex(index);
  return FItems[index].s;
}

void TStringList::Put(int index, const std::wstring& s) {
  if (FSorted) throw EListError(L"Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  FItems[index].s = s;
  Changed();
}

void* TStringList::GetObjectAt(int index) const {
  CheckIndex(index);
  return FItems[index].object;
}

void TStringList::PutObjectAt(int index, void* object) {
  CheckIndex(index);
  Changing();
  FItems[index].object = object;
  Changed();
}

void TStringList::InsertObject(int index, const std::wstring& s, void* object) {
  if (FSorted) throw EListError(L"Operation not allowed on sorted list");
  CheckIndex(index, true);
  Changing();
  FItems.insert(FItems.begin() + index, TItem{s, object});
  Changed();
}

int TStringList::AddObject(const std::wstring& s, void* object) {
  if (!FSorted) {
    int index = Count();
    InsertObject(index, s, object);
    return index;
  }
  int index;
  if (Find(s, index)) {
    if (FDuplicates == TDuplicates::dupIgnore) return index;
    if (FDuplicates == TDuplicates::dupError)
      throw EListError(L"String list does not allow duplicates");
  }
  Changing();
  FItems.insert(FItems.begin() + index, TItem{s, object});
  Changed();
  return index;
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  Changed();
}

int TStringList::IndexOf(const std::wstring& s) const {
  if (!FSorted) {
    for (int i = 0, n = Count(); i < n; ++i)
      if (CompareStrings(FItems[i].s, s) == 0) return i;
    return -1;
  }
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::wstring& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareStrings(FItems[mid].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return CompareStrings(a.s, b.s) < 0; });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (FCaseSensitive == value) return;
  FCaseSensitive = value;
  if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}
