// Global hot keys: values and texts, registering, re-registering, the refusal
// message, and a key press starting and stopping a recording.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "recorder/HotKeyEdit.h"
#include "recorder/HotKeyManager.h"
#include "recorder/funcs.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

using namespace recorder;

namespace {

TEST(HotKeyTest, ValuesAndTexts) {
  const TShortCut v = TextToShortCut(L"Ctrl+Shift+F5");
  EXPECT_EQ(v, 0x6074);
  UINT mods = 0, key = 0;
  SeparateHotKey(v, mods, key);
  EXPECT_EQ(mods, 6u);
  EXPECT_EQ(key, 116u);
  EXPECT_EQ(TextToShortCut(ShortCutToText(v)), v);
  EXPECT_EQ(TextToShortCut(L"F2"), static_cast<TShortCut>(VK_F2));
  EXPECT_EQ(TextToShortCut(L""), 0);
  EXPECT_EQ(HotKeyFromLParam(MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_F5)), 0x6074u);
  EXPECT_EQ(HotKeyFromLParam(MAKELPARAM(MOD_ALT | MOD_WIN, 'A')), 0x8000u | 0x10000u | 'A');
  EXPECT_EQ(HotKeyToText(0x6074), HotKeyModifierName(1) + L"+" + HotKeyModifierName(0) + L"+F5");
  EXPECT_FALSE(HotKeyModifierName(2).empty());
}

TEST(HotKeyTest, HotKeyEditHoldsShortcut) {
  TForm form(nullptr);
  auto e = std::make_unique<TFcHotKeyEdit>(nullptr);
  e->SetParent(&form);
  EXPECT_EQ(e->Height(), 21);
  EXPECT_FALSE(e->FrameVisible());
  e->SetHotKey(TextToShortCut(L"Ctrl+F9"));
  EXPECT_EQ(ShortCutToText(e->HotKey()), L"Ctrl+F9");
  e->SetEnabled(false);
  EXPECT_EQ(e->Color(), e->DisabledColor());
  e->SetEnabled(true);
  EXPECT_EQ(e->Color(), e->NormalColor());
  e->SetParent(nullptr);
}

TEST(HotKeyTest, RegisterReRegisterAndRemove) {
  THotKeyManager m(nullptr);
  const uint32_t key = TextToShortCut(L"Ctrl+Alt+F11");
  const uint16_t id = m.AddHotKey(key);
  ASSERT_NE(id, 0);
  EXPECT_EQ(m.Count(), 1);
  // The same key again is refused and not stored.
  EXPECT_EQ(m.AddHotKey(key), 0);
  EXPECT_EQ(m.Count(), 1);
  // Another holder is refused as well.
  THotKeyManager other(nullptr);
  EXPECT_EQ(other.AddHotKey(key), 0);
  EXPECT_TRUE(m.RemoveHotKey(key));
  EXPECT_FALSE(m.RemoveHotKey(key));
  EXPECT_NE(other.AddHotKey(key), 0);
  other.ClearHotKeys();
  EXPECT_EQ(other.Count(), 0);
}

TEST(HotKeyTest, PressReachesOnlyListedKeys) {
  THotKeyManager m(nullptr);
  const uint32_t key = TextToShortCut(L"Ctrl+Alt+F10");
  ASSERT_NE(m.AddHotKey(key), 0);
  uint32_t seen = 0;
  int count = 0;
  m.OnHotKeyPressed = [&](TObject*, uint32_t k, uint16_t) {
    seen = k;
    ++count;
  };
  SendMessageW(m.Handle(), WM_HOTKEY, 5, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F10));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(seen, key);
  SendMessageW(m.Handle(), WM_HOTKEY, 5, MAKELPARAM(MOD_CONTROL, VK_F10));
  EXPECT_EQ(count, 1);
}

class HotKeyFormTest : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    outDir = testsupport::MakeTempDir(L"hotkey-recordings");
    TGlobalVars g;
    SetDefaultSettings(g, outDir);
    g.OP_OutputFormat = ofWAV;
    g.OP_AutoMakeName = true;
    g.OP_ActiveHotKey = true;
    g.OP_HotKeyStartRecording = L"Ctrl+Alt+F7";
    g.OP_HotKeyStopRecording = L"Ctrl+Alt+F8";
    SaveSettingsTo(GetSettingsFileName(), g);
  }
  void TearDown() override {
    if (form) {
      if (form->Recording() || form->RecordPaused()) form->StopRecording();
      delete form;
    }
  }
  void Create() {
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->HotKeyManager->Count() == 2; }, 20000));
  }
  TFormMain* form = nullptr;
  std::wstring outDir;
};

TEST_F(HotKeyFormTest, ApplyReplacesEarlierKeysAndReportsRefusal) {
  Create();
  EXPECT_EQ(form->ActionRecord->ShortCut(), TextToShortCut(L"Ctrl+Alt+F7"));
  EXPECT_TRUE(form->HotKeyRefusal().empty());
  // New keys: the old ones are unregistered.
  GlobalVars.OP_HotKeyStartRecording = L"Ctrl+Alt+F9";
  form->ApplyHotKeys();
  EXPECT_EQ(form->HotKeyManager->Count(), 2);
  EXPECT_FALSE(form->HotKeyManager->Contains(TextToShortCut(L"Ctrl+Alt+F7")));
  THotKeyManager other(nullptr);
  EXPECT_NE(other.AddHotKey(TextToShortCut(L"Ctrl+Alt+F7")), 0);
  // A key held by another program is named in the report.
  GlobalVars.OP_HotKeyStartRecording = L"Ctrl+Alt+F7";
  form->ApplyHotKeys();
  EXPECT_EQ(form->HotKeyManager->Count(), 1);
  EXPECT_NE(form->HotKeyRefusal().find(L"Ctrl+Alt+F7"), std::wstring::npos);
  EXPECT_NE(form->HotKeyRefusal().find(L"another program"), std::wstring::npos);
  // Turned off: no registrations and no shortcuts.
  GlobalVars.OP_ActiveHotKey = false;
  form->ApplyHotKeys();
  EXPECT_EQ(form->HotKeyManager->Count(), 0);
  EXPECT_EQ(form->ActionRecord->ShortCut(), 0);
  EXPECT_EQ(form->ActionRecordStop->ShortCut(), 0);
}

TEST_F(HotKeyFormTest, GlobalKeyStartsAndStopsRecording) {
  Create();
  testsupport::TonePlayer tone;
  // The keys reach a Wine window only while it has the X focus, and a focus
  // change between the modifier and the key releases the modifier: the test
  // runs alone (tests/CMakeLists.txt) and takes the focus back if it lost it.
  ASSERT_TRUE(testsupport::ForceForeground(form->Handle(), 10000));
  auto press = [&](UINT vk) {
    if (GetForegroundWindow() != form->Handle())
      ASSERT_TRUE(testsupport::ForceForeground(form->Handle(), 10000));
    testsupport::SendKeyInput(vk, true, false, true);
  };
  press(VK_F7);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Recording(); }, 20000));
  testsupport::PumpUntil([&] { return form->RecordedBlocks() > 0; }, 10000);
  press(VK_F7);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !form->Recording(); }, 20000));
  // Names carry the second: a start within the same second would ask about
  // overwriting the first file.
  time_t stopped = time(nullptr);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return time(nullptr) != stopped; }, 3000));
  press(VK_F7);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Recording(); }, 20000));
  press(VK_F8);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !form->Recording(); }, 20000));
}

TEST_F(HotKeyFormTest, ScheduledStartAndStopOnTheForm) {
  Create();
  GlobalVars.OP_EnableSchRecording = true;
  GlobalVars.OP_SchDate = 1;
  GlobalVars.OP_SchTimeStartAt = TimeToStr(EncodeTime(10, 0, 0, 0));
  GlobalVars.OP_SchTimeStopAt = TimeToStr(EncodeTime(10, 0, 5, 0));
  TDateTime clock = EncodeDate(2030, 3, 4) + EncodeTime(9, 59, 59, 0);
  form->Schedule.Clock = [&] { return clock; };
  form->Schedule.Reset();
  form->TimerWaitForRecordingTimer(nullptr);
  EXPECT_FALSE(form->Recording());
  clock += EncodeTime(0, 0, 2, 0);
  form->TimerWaitForRecordingTimer(nullptr);
  EXPECT_TRUE(form->Recording());
  EXPECT_TRUE(form->ScheduleStarted());
  clock += EncodeTime(0, 0, 10, 0);
  form->TimerWaitForRecordingTimer(nullptr);
  EXPECT_FALSE(form->Recording());
  EXPECT_FALSE(form->ScheduleStarted());
}

} // namespace
