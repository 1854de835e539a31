#include "framework/IniFiles.h"

#include "framework/Strings.h"
#include "framework/SysUtils.h"

#include <windows.h>

// ---------------------------------------------------------------------------
// TCustomIniFile

int TCustomIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident, int def) {
  std::wstring s = Trim(ReadString(section, ident, L""));
  if (s.empty()) return def;
  return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(const std::wstring& section, const std::wstring& ident,
                                  int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::wstring& section, const std::wstring& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

void TCustomIniFile::ReadSectionValues(const std::wstring& section, TStrings& strings) {
  TStringList keys;
  ReadSection(section, keys);
  strings.BeginUpdate();
  strings.Clear();
  for (int i = 0; i < keys.Count(); ++i)
    strings.Add(keys[i] + L"=" + ReadString(section, keys[i], L""));
  strings.EndUpdate();
}

bool TCustomIniFile::SectionExists(const std::wstring& section) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::wstring& section, const std::wstring& ident) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.IndexOf(ident) >= 0;
}

// ---------------------------------------------------------------------------
// TIniFile

namespace {

// Runs a profile query with a growing buffer; the result may hold nulls.
template <class F> std::wstring ProfileQuery(F query) {
  std::vector<wchar_t> buf(2048);
  for (;;) {
    DWORD n = query(buf.data(), static_cast<DWORD>(buf.size()));
    if (n + 2 < buf.size()) return std::wstring(buf.data(), n);
    buf.resize(buf.size() * 4);
  }
}

void SplitNullList(const std::wstring& list, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  size_t i = 0;
  while (i < list.size()) {
    size_t j = list.find(L'\0', i);
    if (j == std::wstring::npos) j = list.size();
    if (j > i) strings.Add(list.substr(i, j - i));
    i = j + 1;
  }
  strings.EndUpdate();
}

} // namespace

TIniFile::~TIniFile() {
  // Flush the system's cache of the file.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, FileName().c_str());
}

void TIniFile::WriteFailed() {
  if (!FSilentWriteErrors) throw EIniFileException(Format(L"Unable to write to %s", {FileName()}));
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                  const std::wstring& def) {
  return ProfileQuery([&](wchar_t* buf, DWORD size) {
    return GetPrivateProfileStringW(section.c_str(), ident.c_str(), def.c_str(), buf, size,
                                    FileName().c_str());
  });
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                           const std::wstring& value) {
  if (!WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(),
                                  FileName().c_str()))
    WriteFailed();
}

void TIniFile::ReadSection(const std::wstring& section, TStrings& strings) {
  std::wstring list = ProfileQuery([&](wchar_t* buf, DWORD size) {
    return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buf, size, FileName().c_str());
  });
  SplitNullList(list, strings);
}

void TIniFile::ReadSections(TStrings& strings) {
  std::wstring list = ProfileQuery([&](wchar_t* buf, DWORD size) {
    return GetPrivateProfileStringW(nullptr, nullptr, L"", buf, size, FileName().c_str());
  });
  SplitNullList(list, strings);
}

void TIniFile::EraseSection(const std::wstring& section) {
  if (!WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, FileName().c_str()))
    WriteFailed();
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  WritePrivateProfileStringW(section.c_str(), ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, FileName().c_str());
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const std::wstring& fileName) : TCustomIniFile(fileName) {
  if (!fileName.empty() && FileExists(fileName)) {
    TStringList lines;
    lines.LoadFromFile(fileName);
    SetStrings(lines);
  }
}

TMemIniFile::TSection* TMemIniFile::FindSection(const std::wstring& name) {
  auto it = FSectionIndex.find(LowerCase(name));
  return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

TMemIniFile::TSection& TMemIniFile::AddSection(const std::wstring& name) {
  FSectionIndex.emplace(LowerCase(name), FSections.size());
  FSections.push_back(TSection{name, {}, {}});
  return FSections.back();
}

void TMemIniFile::Reindex(TSection& s) {
  s.index.clear();
  for (size_t i = 0; i < s.values.size(); ++i)
    s.index.emplace(LowerCase(s.values[i].first), i);
}

std::wstring TMemIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                     const std::wstring& def) {
  if (TSection* s = FindSection(section)) {
    auto it = s->index.find(LowerCase(ident));
    if (it != s->index.end()) return s->values[it->second].second;
  }
  return def;
}

void TMemIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                              const std::wstring& value) {
  TSection* s = FindSection(section);
  if (!s) s = &AddSection(section);
  auto [it, added] = s->index.emplace(LowerCase(ident), s->values.size());
  if (added)
    s->values.emplace_back(ident, value);
  else
    s->values[it->second].second = value;
}

void TMemIniFile::ReadSection(const std::wstring& section, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  if (TSection* s = FindSection(section))
    for (auto& v : s->values)
      strings.Add(v.first);
  strings.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  for (auto& s : FSections)
    strings.Add(s.name);
  strings.EndUpdate();
}

void TMemIniFile::EraseSection(const std::wstring& section) {
  auto it = FSectionIndex.find(LowerCase(section));
  if (it == FSectionIndex.end()) return;
  FSections.erase(FSections.begin() + static_cast<ptrdiff_t>(it->second));
  FSectionIndex.clear();
  for (size_t i = 0; i < FSections.size(); ++i)
    FSectionIndex.emplace(LowerCase(FSections[i].name), i);
}

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  TSection* s = FindSection(section);
  if (!s) return;
  auto it = s->index.find(LowerCase(ident));
  if (it == s->index.end()) return;
  s->values.erase(s->values.begin() + static_cast<ptrdiff_t>(it->second));
  Reindex(*s);
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  TStringList lines;
  GetStrings(lines);
  lines.SaveToFile(FileName());
}

void TMemIniFile::Clear() {
  FSections.clear();
  FSectionIndex.clear();
}

void TMemIniFile::SetStrings(const TStrings& lines) {
  Clear();
  TSection* current = nullptr;
  for (int i = 0; i < lines.Count(); ++i) {
    std::wstring line = Trim(lines[i]);
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      size_t close = line.find(L']');
      std::wstring name =
          Trim(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
      current = FindSection(name);
      if (!current) current = &AddSection(name);
      continue;
    }
    if (!current) continue;
    size_t eq = line.find(L'=');
    std::wstring key = Trim(eq == std::wstring::npos ? line : line.substr(0, eq));
    std::wstring value = eq == std::wstring::npos ? L"" : Trim(line.substr(eq + 1));
    // The first of repeated keys wins, as with the profile functions.
    if (current->index.emplace(LowerCase(key), current->values.size()).second)
      current->values.emplace_back(key, value);
  }
}

void TMemIniFile::SetText(const std::wstring& text) {
  TStringList lines;
  lines.SetText(text);
  SetStrings(lines);
}

void TMemIniFile::GetStrings(TStrings& lines) const {
  lines.BeginUpdate();
  lines.Clear();
  for (size_t i = 0; i < FSections.size(); ++i) {
    if (i) lines.Add(L"");
    lines.Add(L"[" + FSections[i].name + L"]");
    for (auto& v : FSections[i].values)
      lines.Add(v.first + L"=" + v.second);
  }
  lines.EndUpdate();
}
