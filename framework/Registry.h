// Read access to the registry, by default under HKEY_CURRENT_USER.
#pragma once

#include <string>

#include <windows.h>

class TRegistry {
public:
  TRegistry() = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  ~TRegistry() { CloseKey(); }

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY value);
  HKEY CurrentKey() const { return FCurrentKey; }

  // Opens an existing key for reading; never creates it.
  bool OpenKeyReadOnly(const std::wstring& key);
  bool KeyExists(const std::wstring& key) const;
  void CloseKey();

  bool ValueExists(const std::wstring& name) const;
  // A missing value reads as ""; a value of another type raises
  // ERegistryException "Invalid data type for '%s'".
  std::wstring ReadString(const std::wstring& name) const;
  // A missing or non-DWORD value raises ERegistryException.
  int ReadInteger(const std::wstring& name) const;

private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
};
