// The settings-file component: every kind of place keeps what is written,
// writing outside HKEY_CURRENT_USER or without write rights is refused, and
// a changed property moves reading and writing to the new place.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "controls/FcCommon.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace {

struct PlaceCase {
  const char* name;
  TFcPathType type;
  TFcSpecialFolder folder;
  int csidl; // where the file is expected; 0: the path as given
  friend std::ostream& operator<<(std::ostream& o, const PlaceCase& c) { return o << c.name; }
};

const wchar_t* kKey = L"Software\\KorvaneTests\\RegIniFile";

} // namespace

class RegIniPlace : public testing::TestWithParam<PlaceCase> {};

TEST_P(RegIniPlace, RoundTripsValues) {
  const PlaceCase& c = GetParam();
  std::wstring path;
  if (c.type == ptRegistry)
    path = kKey;
  else if (c.folder == sfNone)
    path = testsupport::MakeTempDir(L"regini") + L"\\settings.ini";
  else
    path = L"KorvaneTests\\regini.ini";
  {
    TFcRegIniFile w(nullptr);
    w.SetPathType(c.type);
    w.SetSpecialFolder(c.folder);
    w.SetPath(path);
    w.EraseSection(L"Main");
    w.WriteString(L"Main", L"Name", L"Tone at 440 Hz");
    w.WriteInteger(L"Main", L"Count", -17);
    w.WriteBool(L"Main", L"On", true);
    if (c.csidl) {
      wchar_t folder[MAX_PATH] = {};
      ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, c.csidl, nullptr, 0, folder)));
      std::wstring file = std::wstring(folder) + L"\\" + path;
      EXPECT_EQ(w.Location(), file);
      EXPECT_TRUE(FileExists(file));
    } else if (c.type == ptIniFile) {
      EXPECT_TRUE(FileExists(path));
    } else {
      EXPECT_EQ(w.Location(), std::wstring(L"HKEY_CURRENT_USER\\") + kKey);
    }
  }
  TFcRegIniFile r(nullptr);
  r.SetPathType(c.type);
  r.SetSpecialFolder(c.folder);
  r.SetPath(path);
  EXPECT_EQ(r.ReadString(L"Main", L"Name", L"-"), L"Tone at 440 Hz");
  EXPECT_EQ(r.ReadInteger(L"Main", L"Count", 0), -17);
  EXPECT_TRUE(r.ReadBool(L"Main", L"On", false));
  EXPECT_TRUE(r.ValueExists(L"Main", L"Count"));
  EXPECT_EQ(r.ReadString(L"Main", L"Missing", L"default"), L"default");
  EXPECT_EQ(r.ReadInteger(L"Other", L"Count", 5), 5);
  r.DeleteKey(L"Main", L"Count");
  EXPECT_FALSE(r.ValueExists(L"Main", L"Count"));
  r.EraseSection(L"Main");
  EXPECT_EQ(r.ReadString(L"Main", L"Name", L"gone"), L"gone");
}

INSTANTIATE_TEST_SUITE_P(
    Places, RegIniPlace,
    testing::Values(PlaceCase{"ini_file", ptIniFile, sfNone, 0},
                    PlaceCase{"roaming", ptIniFile, sfUserAppDataRoaming, CSIDL_APPDATA},
                    PlaceCase{"local", ptIniFile, sfUserAppDataLocal, CSIDL_LOCAL_APPDATA},
                    PlaceCase{"documents", ptIniFile, sfUserDocuments, CSIDL_PERSONAL},
                    PlaceCase{"program_data", ptIniFile, sfProgramData, CSIDL_COMMON_APPDATA},
                    PlaceCase{"registry", ptRegistry, sfNone, 0}),
    [](const testing::TestParamInfo<PlaceCase>& i) { return std::string(i.param.name); });

TEST(RegIniFile, WritesOnlyUnderTheCurrentUser) {
  for (TFcRegKey root : {hkeyLocalMachine, hkeyUsers, hkeyClassesRoot}) {
    TFcRegIniFile s(nullptr);
    s.SetPathType(ptRegistry);
    s.SetRegKey(root);
    s.SetPath(kKey);
    try {
      s.WriteString(L"Main", L"Name", L"x");
      ADD_FAILURE() << "writing was not refused";
    } catch (const ERegistryException& e) {
      EXPECT_NE(e.Message().find(L"HKEY_CURRENT_USER"), std::wstring::npos);
      EXPECT_NE(e.Message().find(s.Location()), std::wstring::npos) << "names the key";
    }
    HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    HKEY h = nullptr;
    EXPECT_NE(RegOpenKeyExW(roots[root], kKey, 0, KEY_READ, &h), ERROR_SUCCESS)
        << "nothing was created";
    if (h) RegCloseKey(h);
  }
  // Reading there is allowed.
  TFcRegIniFile s(nullptr);
  s.SetPathType(ptRegistry);
  s.SetRegKey(hkeyLocalMachine);
  s.SetPath(L"Software\\Microsoft\\Windows NT");
  EXPECT_FALSE(s.ReadString(L"CurrentVersion", L"CurrentVersion", L"").empty());
}

TEST(RegIniFile, WritesOnlyWithWriteRights) {
  TFcRegIniFile s(nullptr);
  s.SetPathType(ptRegistry);
  s.SetPath(kKey);
  EXPECT_EQ(s.RegAccess(), 512);
  s.SetRegAccess(RegAccessBit(keyRead));
  EXPECT_THROW(s.WriteInteger(L"Main", L"Count", 1), ERegistryException);
  s.SetRegAccess(RegAccessBit(keyRead) | RegAccessBit(keyWrite));
  s.WriteInteger(L"Main", L"Count", 3);
  EXPECT_EQ(s.ReadInteger(L"Main", L"Count", 0), 3);
  s.EraseSection(L"Main");
}

TEST(RegIniFile, AChangedPropertyMovesToTheNewPlace) {
  std::wstring dir = testsupport::MakeTempDir(L"regini-change");
  TFcRegIniFile s(nullptr);
  EXPECT_TRUE(s.SettingsChanged());
  EXPECT_THROW(s.ReadString(L"Main", L"Name", L""), EIniFileException) << "no path";
  s.SetPath(dir + L"\\a.ini");
  s.WriteString(L"Main", L"Name", L"first");
  EXPECT_FALSE(s.SettingsChanged());
  s.SetPath(dir + L"\\a.ini");
  EXPECT_FALSE(s.SettingsChanged()) << "the same value changes nothing";
  s.SetPath(dir + L"\\b.ini");
  EXPECT_TRUE(s.SettingsChanged());
  EXPECT_EQ(s.ReadString(L"Main", L"Name", L"none"), L"none");
  s.WriteString(L"Main", L"Name", L"second");
  s.SetPath(dir + L"\\a.ini");
  EXPECT_EQ(s.ReadString(L"Main", L"Name", L""), L"first");
  s.SetPathType(ptRegistry);
  EXPECT_TRUE(s.SettingsChanged());
}

TEST(RegIniFile, FrameControllerForgetsAFreedSettingsFile) {
  TFcFrameController c(nullptr);
  auto* s = new TFcRegIniFile(nullptr);
  c.SetRegIniFile(s);
  EXPECT_EQ(c.RegIniFile(), s);
  delete s;
  EXPECT_EQ(c.RegIniFile(), nullptr);
}
