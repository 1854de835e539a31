#include "framework/Registry.h"

#include "framework/SysUtils.h"

#include <vector>

void TRegistry::SetRootKey(HKEY value) {
  if (value == FRootKey) return;
  CloseKey();
  FRootKey = value;
}

namespace {
std::wstring KeyPath(const std::wstring& key) {
  std::wstring path = key;
  while (!path.empty() && path[0] == L'\\')
    path.erase(0, 1);
  return path;
}
} // namespace

bool TRegistry::OpenKey(const std::wstring& key, bool canCreate) {
  std::wstring path = KeyPath(key);
  HKEY h = nullptr;
  LONG r = canCreate ? RegCreateKeyExW(FRootKey, path.c_str(), 0, nullptr, 0, FAccess, nullptr, &h,
                                       nullptr)
                     : RegOpenKeyExW(FRootKey, path.c_str(), 0, FAccess, &h);
  if (r != ERROR_SUCCESS) return false;
  CloseKey();
  FCurrentKey = h;
  return true;
}

void TRegistry::WriteString(const std::wstring& name, const std::wstring& value) {
  if (!FCurrentKey ||
      RegSetValueExW(FCurrentKey, name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw ERegistryException(Format(L"Failed to set data for '%s'", {name}));
}

void TRegistry::WriteInteger(const std::wstring& name, int value) {
  DWORD v = static_cast<DWORD>(value);
  if (!FCurrentKey || RegSetValueExW(FCurrentKey, name.c_str(), 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
    throw ERegistryException(Format(L"Failed to set data for '%s'", {name}));
}

bool TRegistry::DeleteValue(const std::wstring& name) {
  return FCurrentKey && RegDeleteValueW(FCurrentKey, name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::wstring& key) {
  return RegDeleteTreeW(FRootKey, KeyPath(key).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& key) {
  std::wstring path = KeyPath(key);
  HKEY h = nullptr;
  if (RegOpenKeyExW(FRootKey, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  CloseKey();
  FCurrentKey = h;
  return true;
}

bool TRegistry::KeyExists(const std::wstring& key) const {
  HKEY h = nullptr;
  if (RegOpenKeyExW(FRootKey, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

void TRegistry::CloseKey() {
  if (FCurrentKey) RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
}

bool TRegistry::ValueExists(const std::wstring& name) const {
  if (!FCurrentKey) return false;
  return RegQueryValueExW(FCurrentKey, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

std::wstring TRegistry::ReadString(const std::wstring& name) const {
  if (!FCurrentKey) return L"";
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return L"";
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException(Format(L"Invalid data type for '%s'", {name}));
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (RegQueryValueExW(FCurrentKey, name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf.data()), &bytes) != ERROR_SUCCESS)
    return L"";
  buf.back() = L'\0';
  return std::wstring(buf.data());
}

int TRegistry::ReadInteger(const std::wstring& name) const {
  DWORD type = 0, value = 0, size = sizeof value;
  if (!FCurrentKey ||
      RegQueryValueExW(FCurrentKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    throw ERegistryException(Format(L"Invalid data type for '%s'", {name}));
  return static_cast<int>(value);
}
