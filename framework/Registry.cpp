#include "framework/Registry.h"

#include "framework/SysUtils.h"

#include <vector>

void TRegistry::SetRootKey(HKEY value) {
  if (value == FRootKey) return;
  CloseKey();
  FRootKey = value;
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& key) {
  std::wstring path = key;
  while (!path.empty() && path[0] == L'\\')
    path.erase(0, 1);
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
