#include "recorder/HotKeyManager.h"

namespace recorder {

namespace {

struct THotKeyUnit {
  std::wstring Names[4] = {L"Shift", L"Ctrl", L"Alt", L"Win"};
  HKL USLayout = nullptr;
  bool Unload = false;

  static std::wstring KeyName(UINT vk) {
    wchar_t buf[64] = {};
    LONG scan = static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    int n = GetKeyNameTextW(scan, buf, 64);
    return n > 0 ? std::wstring(buf, n) : std::wstring();
  }

  THotKeyUnit() {
    const UINT keys[3] = {VK_SHIFT, VK_CONTROL, VK_MENU};
    for (int i = 0; i < 3; ++i) {
      std::wstring n = KeyName(keys[i]);
      if (!n.empty()) Names[i] = n;
    }
    bool letters = !Names[2].empty();
    for (wchar_t c : Names[2])
      if (c < L'A' || c > L'Z') letters = false;
    if (letters) Names[3] = L"WIN";
    const int count = GetKeyboardLayoutList(0, nullptr);
    std::vector<HKL> before(count > 0 ? count : 0);
    if (count > 0) GetKeyboardLayoutList(count, before.data());
    USLayout = LoadKeyboardLayoutW(L"00000409", KLF_NOTELLSHELL);
    if (USLayout) {
      Unload = true;
      for (HKL h : before)
        if (h == USLayout) Unload = false;
    }
  }
  ~THotKeyUnit() {
    if (Unload && USLayout) UnloadKeyboardLayout(USLayout);
  }
};

THotKeyUnit& Unit() {
  static THotKeyUnit unit;
  return unit;
}

// Loaded before the application starts, as the unit's start-up.
const bool kUnitStarted = (Unit(), true);

const wchar_t* const kMediaNames[] = {
    L"Browser Back",        L"Browser Forward",    L"Browser Refresh",    L"Browser Stop",
    L"Browser Search",      L"Browser Favorites",  L"Browser Start/Home", L"Volume Mute",
    L"Volume Down",         L"Volume Up",          L"Next Track",         L"Previous Track",
    L"Stop Media",          L"Play/Pause Media",   L"Start Mail",         L"Select Media",
    L"Start Application 1", L"Start Application 2"};

} // namespace

const std::wstring& HotKeyModifierName(int Index) {
  return Unit().Names[Index & 3];
}

HKL HotKeyUSLayout() {
  return Unit().USLayout;
}

void SeparateHotKey(uint32_t HotKey, UINT& Modifiers, UINT& Key) {
  Key = HotKey & 0xFF;
  Modifiers = 0;
  if (HotKey & hkAltBit) Modifiers |= MOD_ALT;
  if (HotKey & hkCtrlBit) Modifiers |= MOD_CONTROL;
  if (HotKey & hkShiftBit) Modifiers |= MOD_SHIFT;
  if (HotKey & hkWinBit) Modifiers |= MOD_WIN;
}

uint32_t HotKeyFromLParam(LPARAM LParam) {
  const UINT mods = LOWORD(LParam);
  uint32_t v = HIWORD(LParam) & 0xFF;
  if (mods & MOD_SHIFT) v |= hkShiftBit;
  if (mods & MOD_CONTROL) v |= hkCtrlBit;
  if (mods & MOD_ALT) v |= hkAltBit;
  if (mods & MOD_WIN) v |= hkWinBit;
  return v;
}

std::wstring HotKeyToText(uint32_t HotKey) {
  std::wstring s;
  auto add = [&](int i) { s += Unit().Names[i] + L"+"; };
  if (HotKey & hkCtrlBit) add(1);
  if (HotKey & hkShiftBit) add(0);
  if (HotKey & hkAltBit) add(2);
  if (HotKey & hkWinBit) add(3);
  const UINT vk = HotKey & 0xFF;
  LONG scan = static_cast<LONG>(MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, Unit().USLayout));
  scan <<= 16;
  if ((vk >= 33 && vk <= 40) || vk == 45 || vk == 46) scan |= 1 << 24;
  wchar_t buf[64] = {};
  int n = GetKeyNameTextW(scan, buf, 64);
  std::wstring name(buf, n > 0 ? n : 0);
  if (name.size() <= 1 && vk >= 166 && vk <= 183) name = kMediaNames[vk - 166];
  return s + name;
}

THotKeyManager::THotKeyManager(TComponent* AOwner) : TComponent(AOwner) {
  FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

THotKeyManager::~THotKeyManager() {
  ClearHotKeys();
  if (FHandle) DeallocateHWnd(FHandle);
  FHandle = nullptr;
}

bool THotKeyManager::Contains(uint32_t HotKey) const {
  for (const auto& r : FHotKeys)
    if (r.HotKey == HotKey) return true;
  return false;
}

uint16_t THotKeyManager::AddHotKey(uint32_t HotKey) {
  UINT mods = 0, key = 0;
  SeparateHotKey(HotKey, mods, key);
  const std::wstring atomName = L"HotKeyManagerHotKey" + std::to_wstring(HotKey);
  ATOM id = GlobalAddAtomW(atomName.c_str());
  if (!id) return 0;
  if (!RegisterHotKey(FHandle, id, mods, key)) {
    GlobalDeleteAtom(id);
    return 0;
  }
  FHotKeys.push_back({HotKey, id});
  return id;
}

bool THotKeyManager::RemoveHotKey(uint32_t HotKey) {
  for (size_t i = 0; i < FHotKeys.size(); ++i) {
    if (FHotKeys[i].HotKey != HotKey) continue;
    const uint16_t id = FHotKeys[i].Id;
    const bool ok = UnregisterHotKey(FHandle, id) != 0;
    GlobalDeleteAtom(id);
    FHotKeys.erase(FHotKeys.begin() + static_cast<std::ptrdiff_t>(i));
    return ok;
  }
  return false;
}

void THotKeyManager::ClearHotKeys() {
  while (!FHotKeys.empty())
    RemoveHotKey(FHotKeys.back().HotKey);
}

void THotKeyManager::WndProc(TMessage& Message) {
  if (Message.Msg == WM_HOTKEY && OnHotKeyPressed) {
    const uint32_t value = HotKeyFromLParam(Message.LParam);
    if (Contains(value))
      OnHotKeyPressed(this, value, static_cast<uint16_t>(Message.WParam & 0xFFFF));
  }
  Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

} // namespace recorder
