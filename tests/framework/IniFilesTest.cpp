#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/Gui.h"

namespace {

std::wstring IniPath(const wchar_t* name) {
  return testsupport::MakeTempDir(name) + L"\\sys.dat";
}

// Both INI classes follow the same reading rules.
class IniRulesTest : public ::testing::TestWithParam<bool> {
protected:
  std::unique_ptr<TCustomIniFile> Make(const std::wstring& text) {
    if (GetParam()) {
      auto mem = std::make_unique<TMemIniFile>();
      mem->SetText(text);
      return mem;
    }
    std::wstring file = IniPath(L"inirules");
    TStringList lines;
    lines.SetText(text);
    lines.SaveToFile(file);
    return std::make_unique<TIniFile>(file);
  }
};

TEST_P(IniRulesTest, IntegerAndBoolRules) {
  auto ini = Make(L"[SYSTEM]\r\n"
                  L"Num=42\r\nNeg=-7\r\nHex=0x1F\r\nDollar=$10\r\nBad=12abc\r\nEmpty=\r\n"
                  L"T=1\r\nF=0\r\nTwo=2\r\nWord=true\r\n");
  struct Case {
    const wchar_t* key;
    int expected;
  };
  const Case ints[] = {{L"Num", 42}, {L"Neg", -7},   {L"Hex", 31},    {L"Dollar", 16},
                       {L"Bad", -1}, {L"Empty", -1}, {L"Missing", -1}};
  for (const auto& c : ints)
    EXPECT_EQ(ini->ReadInteger(L"SYSTEM", c.key, -1), c.expected) << c.key;
  EXPECT_EQ(ini->ReadInteger(L"system", L"NUM", 0), 42); // names ignore case
  struct BoolCase {
    const wchar_t* key;
    bool def;
    bool expected;
  };
  const BoolCase bools[] = {{L"T", false, true},   {L"F", true, false},
                            {L"Two", false, true}, {L"Word", false, false},
                            {L"Word", true, true}, {L"Missing", true, true}};
  for (const auto& c : bools)
    EXPECT_EQ(ini->ReadBool(L"SYSTEM", c.key, c.def), c.expected) << c.key << c.def;
  EXPECT_EQ(ini->ReadString(L"SYSTEM", L"Missing", L"dflt"), L"dflt");
  EXPECT_TRUE(ini->SectionExists(L"SYSTEM"));
  EXPECT_FALSE(ini->SectionExists(L"AGC"));
  EXPECT_TRUE(ini->ValueExists(L"SYSTEM", L"hex"));
  EXPECT_FALSE(ini->ValueExists(L"SYSTEM", L"nothing"));
}

TEST_P(IniRulesTest, WritesBoolsAsOneAndZero) {
  auto ini = Make(L"");
  ini->WriteBool(L"AGC", L"On", true);
  ini->WriteBool(L"AGC", L"Off", false);
  ini->WriteInteger(L"AGC", L"Level", -5);
  ini->WriteString(L"FormPos", L"Left", L"100");
  EXPECT_EQ(ini->ReadString(L"AGC", L"On", L""), L"1");
  EXPECT_EQ(ini->ReadString(L"AGC", L"Off", L""), L"0");
  EXPECT_EQ(ini->ReadInteger(L"AGC", L"Level", 0), -5);
  TStringList keys;
  ini->ReadSection(L"AGC", keys);
  EXPECT_EQ(keys.CommaText(), L"On,Off,Level");
  TStringList sections;
  ini->ReadSections(sections);
  EXPECT_EQ(sections.CommaText(), L"AGC,FormPos");
  TStringList values;
  ini->ReadSectionValues(L"AGC", values);
  EXPECT_EQ(values.Values(L"level"), L"-5");
  ini->DeleteKey(L"AGC", L"Off");
  EXPECT_FALSE(ini->ValueExists(L"AGC", L"Off"));
  ini->EraseSection(L"AGC");
  EXPECT_FALSE(ini->SectionExists(L"AGC"));
  EXPECT_EQ(ini->ReadString(L"FormPos", L"Left", L""), L"100");
}

INSTANTIATE_TEST_SUITE_P(ProfileAndMemory, IniRulesTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Memory" : "Profile"; });

TEST(IniFileTest, FileContentsAfterWriting) {
  std::wstring file = IniPath(L"inifile");
  {
    TIniFile ini(file);
    ini.WriteBool(L"SYSTEM", L"TopMost", true);
    ini.WriteInteger(L"SYSTEM", L"Format", 2);
  }
  TStringList lines;
  lines.LoadFromFile(file);
  EXPECT_GE(lines.IndexOf(L"TopMost=1"), 0) << WideToUtf8(lines.Text());
  EXPECT_GE(lines.IndexOf(L"Format=2"), 0);
}

TEST(IniFileTest, WriteFailureRaisesUnlessSilent) {
  std::wstring dir = testsupport::MakeTempDir(L"inifail");
  // A folder in place of the file cannot be written.
  std::wstring file = dir + L"\\sys.dat";
  ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
  TIniFile ini(file);
  EXPECT_THROW(ini.WriteString(L"S", L"K", L"V"), EIniFileException);
  ini.SetSilentWriteErrors(true);
  EXPECT_NO_THROW(ini.WriteString(L"S", L"K", L"V"));
  EXPECT_EQ(ini.ReadString(L"S", L"K", L"none"), L"none");
}

TEST(MemIniFileTest, ParsesBlanksCommentsAndSavesBack) {
  std::wstring file = IniPath(L"memini");
  TMemIniFile ini(file);
  ini.SetText(L"; comment\r\n[ VERSION ]\r\n  Name = Blue Skin  \r\nName=second\r\n"
              L"[Pictures]\r\npic0=a.bmp\r\n");
  EXPECT_EQ(ini.ReadString(L"version", L"name", L""), L"Blue Skin");
  EXPECT_EQ(ini.ReadString(L"PICTURES", L"PIC0", L""), L"a.bmp");
  ini.WriteString(L"Pictures", L"pic1", L"b.bmp");
  ini.UpdateFile();
  TMemIniFile again(file);
  EXPECT_EQ(again.ReadString(L"Pictures", L"pic1", L""), L"b.bmp");
  EXPECT_EQ(again.ReadString(L"VERSION", L"Name", L""), L"Blue Skin");
}

TEST(RegistryTest, ReadsExistingKeysOnly) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KorvaneTest\\Reg", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  const wchar_t text[] = L"C:\\Users\\x\\AppData";
  RegSetValueExW(h, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  DWORD num = 400;
  RegSetValueExW(h, L"Delay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&num), sizeof num);
  RegCloseKey(h);

  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKeyReadOnly(L"Software\\KorvaneTest\\Missing"));
  EXPECT_FALSE(reg.KeyExists(L"Software\\KorvaneTest\\Missing")); // not created
  ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\Software\\KorvaneTest\\Reg"));
  EXPECT_TRUE(reg.ValueExists(L"AppData"));
  EXPECT_FALSE(reg.ValueExists(L"Nothing"));
  EXPECT_EQ(reg.ReadString(L"AppData"), text);
  EXPECT_EQ(reg.ReadString(L"Nothing"), L"");
  EXPECT_EQ(reg.ReadInteger(L"Delay"), 400);
  EXPECT_THROW(reg.ReadString(L"Delay"), ERegistryException);
  reg.CloseKey();
  EXPECT_FALSE(reg.ValueExists(L"AppData"));
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KorvaneTest\\Reg");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KorvaneTest");
}

} // namespace
