// Access to the registry, by default under HKEY_CURRENT_USER.
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

  // Rights asked for by OpenKey (KEY_ALL_ACCESS unless set).
  REGSAM Access() const { return FAccess; }
  void SetAccess(REGSAM value) { FAccess = value; }

  // Opens an existing key for reading; never creates it.
  bool OpenKeyReadOnly(const std::wstring& key);
  // Opens a key with Access, creating it (and the keys above it) when
  // CanCreate is set.
  bool OpenKey(const std::wstring& key, bool canCreate);
  bool KeyExists(const std::wstring& key) const;
  void CloseKey();

  bool ValueExists(const std::wstring& name) const;
  // A missing value reads as ""; a value of another type raises
  // ERegistryException "Invalid data type for '%s'".
  std::wstring ReadString(const std::wstring& name) const;
  // A missing or non-DWORD value raises ERegistryException.
  int ReadInteger(const std::wstring& name) const;
  // Writes into the open key; a failure raises ERegistryException
  // "Failed to set data for '%s'".
  void WriteString(const std::wstring& name, const std::wstring& value);
  void WriteInteger(const std::wstring& name, int value);
  bool DeleteValue(const std::wstring& name);
  // Deletes a key below the root with its values and subkeys.
  bool DeleteKey(const std::wstring& key);

private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  REGSAM FAccess = KEY_ALL_ACCESS;
};
