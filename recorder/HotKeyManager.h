// System-wide hot keys: a hidden window registers them and reports presses.
#pragma once
#include "framework/Classes.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace recorder {

// Hot-key value: virtual key in the low 8 bits plus these modifier bits.
constexpr uint32_t hkShiftBit = 0x2000, hkCtrlBit = 0x4000, hkAltBit = 0x8000, hkWinBit = 0x10000;

// Splits a value into the system's modifier flags and the virtual key.
void SeparateHotKey(uint32_t HotKey, UINT& Modifiers, UINT& Key);
// The value of a WM_HOTKEY's second parameter.
uint32_t HotKeyFromLParam(LPARAM LParam);
// "Ctrl+Shift+F5": modifier names then the key's name in the US layout.
std::wstring HotKeyToText(uint32_t HotKey);
// Display names of Shift, Ctrl, Alt and the Windows key.
const std::wstring& HotKeyModifierName(int Index);
// The US English layout loaded at start-up (may be null).
HKL HotKeyUSLayout();

using THotKeyPressedEvent = std::function<void(TObject* Sender, uint32_t HotKey, uint16_t Index)>;

class THotKeyManager : public TComponent {
public:
  explicit THotKeyManager(TComponent* AOwner);
  ~THotKeyManager() override;

  // Registers the key; its identifier, 0 when the system refuses it.
  uint16_t AddHotKey(uint32_t HotKey);
  // Unregisters the first record of the value; false when none or refused.
  bool RemoveHotKey(uint32_t HotKey);
  void ClearHotKeys();
  int Count() const { return static_cast<int>(FHotKeys.size()); }
  uint32_t HotKeys(int Index) const { return FHotKeys[Index].HotKey; }
  uint16_t Ids(int Index) const { return FHotKeys[Index].Id; }
  bool Contains(uint32_t HotKey) const;
  HWND Handle() const { return FHandle; }

  THotKeyPressedEvent OnHotKeyPressed;

private:
  struct TRegistration {
    uint32_t HotKey;
    uint16_t Id;
  };
  void WndProc(TMessage& Message);
  HWND FHandle = nullptr;
  std::vector<TRegistration> FHotKeys;
};

} // namespace recorder
