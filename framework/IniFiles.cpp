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
  for (auto& s : FSections)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

std::wstring TMemIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                     const std::wstring& def) {
  if (TSection* s = FindSection(section))
    for (auto& v : s->values)
      if (SameText(v.first, ident)) return v.second;
  return def;
}

void TMemIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                              const std::wstring& value) {
  TSection* s = FindSection(section);
  if (!s) {
    FSections.push_back(TSection{section, {}});
    s = &FSections.back();
  }
  for (auto& v : s->values)
    if (SameText(v.first, ident)) {
      v.second = value;
      return;
    }
  s->values.emplace_back(ident, value);
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
  for (auto it = FSections.begin(); it != FSections.end(); ++it)
    if (SameText(it->name, section)) {
      FSections.erase(it);
      return;
    }
}

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  if (TSection* s = FindSection(section))
    for (auto it = s->values.begin(); it != s->values.end(); ++it)
      if (SameText(it->first, ident)) {
        s->values.erase(it);
        return;
      }
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  TStringList lines;
  GetStrings(lines);
  lines.SaveToFile(FileName());
}

void TMemIniFile::Clear() {
  FSections.clear();
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
      if (!current) {
        FSections.push_back(TSection{name, {}});
        current = &FSections.back();
      }
      continue;
    }
    if (!current) continue;
    size_t eq = line.find(L'=');
    std::wstring key = Trim(eq == std::wstring::npos ? line : line.substr(0, eq));
    std::wstring value = eq == std::wstring::npos ? L"" : Trim(line.substr(eq + 1));
    bool found = false;
    for (auto& v : current->values)
      if (SameText(v.first, key)) {
        found = true;
        break;
      }
    // The first of repeated keys wins, as with the profile functions.
    if (!found) current->values.emplace_back(key, value);
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
