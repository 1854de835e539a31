// The skin data as a component: ownership, links and their removal, the
// skin messages to the screen's forms, and the skin's cursors in the screen's
// cursor table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinData.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

struct Seen {
  TObject* form;
  UINT message;
  WPARAM wparam;
};
std::vector<Seen> g_seen;

// A form that records the skin messages it is sent.
class TSkinRecordingForm : public TForm {
public:
  using TForm::TForm;
  void WndProc(TMessage& m) override {
    if (m.Msg >= WM_SKINCHANGING && m.Msg <= WM_SKINNABLEFORMCHANGED)
      g_seen.push_back({this, m.Msg, m.WParam});
    TForm::WndProc(m);
  }
};

// A component that refers to a skin data, as skinned controls do.
class TSkinUser : public TComponent {
public:
  using TComponent::TComponent;
  TskSkinData* SkinData = nullptr;
  int Removals = 0;
  void SetSkinData(TskSkinData* value) {
    SkinData = value;
    if (value) value->FreeNotification(this);
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == SkinData) {
      SkinData = nullptr;
      ++Removals;
    }
  }
};

// A copy of the second skin whose CURSORS section is replaced.
std::wstring MakeCursorSkin(const std::wstring& name, const std::string& cursors) {
  std::wstring src = SourceDir() + L"resources\\skin\\alt\\";
  std::wstring dir = testsupport::MakeTempDir(name) + L"\\";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((src + L"*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileW((src + fd.cFileName).c_str(), (dir + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  std::vector<uint8_t> b = ReadWholeFile(dir + L"skin.ini");
  std::string text(b.begin(), b.end());
  std::string from = "[CURSORS]\r\nstartcursorindex=1\r\ncursorscount=0\r\n";
  size_t p = text.find(from);
  if (p == std::string::npos) {
    from = "[CURSORS]\nstartcursorindex=1\ncursorscount=0\n";
    p = text.find(from);
  }
  EXPECT_NE(p, std::string::npos);
  if (p != std::string::npos) text.replace(p, from.size(), "[CURSORS]\r\n" + cursors + "\r\n");
  HANDLE f = CreateFileW((dir + L"skin.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  DWORD n = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  CloseHandle(f);
  return dir;
}

// A 32 x 32 monochrome cursor file with a square of the given size.
void WriteCursorFile(const std::wstring& path, int square) {
  std::vector<uint8_t> d;
  auto p16 = [&](int v) { d.push_back(uint8_t(v)), d.push_back(uint8_t(v >> 8)); };
  auto p32 = [&](int v) { p16(v & 0xFFFF), p16((v >> 16) & 0xFFFF); };
  p16(0), p16(2), p16(1); // cursor file, one image
  d.push_back(32), d.push_back(32), d.push_back(0), d.push_back(0);
  p16(1), p16(1), p32(40 + 8 + 128 + 128), p32(22); // hot spot, size, offset
  p32(40), p32(32), p32(64), p16(1), p16(1), p32(0), p32(256), p32(0), p32(0), p32(2), p32(0);
  p32(0x000000), p32(0xFFFFFF);
  for (int y = 31; y >= 0; --y) // XOR mask
    for (int x = 0; x < 4; ++x)
      d.push_back(0);
  for (int y = 31; y >= 0; --y) // AND mask: 0 = drawn
    for (int xb = 0; xb < 4; ++xb) {
      uint8_t v = 0xFF;
      for (int bit = 0; bit < 8; ++bit)
        if (y < square && xb * 8 + bit < square) v &= uint8_t(~(0x80 >> bit));
      d.push_back(v);
    }
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, d.data(), static_cast<DWORD>(d.size()), &n, nullptr);
  CloseHandle(f);
}

class SkinComponentTest : public ::testing::Test {
protected:
  void SetUp() override { g_seen.clear(); }
};

TEST_F(SkinComponentTest, OwnerFormFreesTheSkinDataAndItsUsersHearOfIt) {
  auto* form = new TSkinRecordingForm(nullptr);
  auto* sd = new TskSkinData(form);
  auto* stored = new TskCompressedStoredSkin(form);
  ASSERT_TRUE(stored->LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE));
  TSkinUser outside(nullptr); // not owned by the form
  auto* inside = new TSkinUser(form);
  outside.SetSkinData(sd);
  inside->SetSkinData(sd);
  EXPECT_EQ(sd->Owner(), form);

  // Linking the stored skin loads it at once and announces it to the owner form first.
  g_seen.clear();
  sd->SetCompressedStoredSkin(stored);
  EXPECT_FALSE(sd->Empty());
  EXPECT_EQ(sd->CompressedStoredSkin(), stored);
  ASSERT_GE(g_seen.size(), 3u);
  EXPECT_EQ(g_seen[0].form, form);
  EXPECT_EQ(g_seen[0].message, WM_SKINCHANGING);
  EXPECT_EQ(g_seen[0].wparam, reinterpret_cast<WPARAM>(sd));

  // Freeing a linked component clears the link; the skin stays.
  delete stored;
  EXPECT_EQ(sd->CompressedStoredSkin(), nullptr);
  EXPECT_FALSE(sd->Empty());
  auto* strings = new TskResourceStrData(form);
  auto* list = new TskCompressedSkinList(form);
  sd->SetResourceStrData(strings);
  sd->SetSkinList(list);
  delete strings;
  delete list;
  EXPECT_EQ(sd->ResourceStrData(), nullptr);
  EXPECT_EQ(sd->SkinList(), nullptr);

  // The form frees the skin data; both users are told once and nothing is sent.
  g_seen.clear();
  delete form;
  EXPECT_EQ(outside.SkinData, nullptr);
  EXPECT_EQ(outside.Removals, 1);
  EXPECT_TRUE(g_seen.empty());
}

TEST_F(SkinComponentTest, FreedUserIsForgottenByTheSkinData) {
  auto sd = std::make_unique<TskSkinData>(nullptr);
  {
    TSkinUser user(nullptr);
    user.SetSkinData(sd.get());
  }
  TSkinUser later(nullptr);
  later.SetSkinData(sd.get());
  sd.reset(); // tells only the user still alive
  EXPECT_EQ(later.SkinData, nullptr);
  EXPECT_EQ(later.Removals, 1);
}

TEST_F(SkinComponentTest, MessagesReachTheScreensFormsByDefault) {
  std::unique_ptr<TSkinRecordingForm> a(new TSkinRecordingForm(nullptr));
  std::unique_ptr<TSkinRecordingForm> b(new TSkinRecordingForm(nullptr));
  EXPECT_FALSE(b->HandleAllocated());
  TskSkinData sd(a.get());
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  // Each form hears the three messages in order, the owner first; a form
  // without a window gets one.
  EXPECT_TRUE(b->HandleAllocated());
  std::vector<UINT> forA, forB;
  for (auto& s : g_seen) {
    if (s.form == a.get()) forA.push_back(s.message);
    if (s.form == b.get()) forB.push_back(s.message);
  }
  const std::vector<UINT> load{WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINAFTERCHANGE};
  EXPECT_EQ(forA, load);
  EXPECT_EQ(forB, load);
  ASSERT_FALSE(g_seen.empty());
  EXPECT_EQ(g_seen.front().form, a.get());
}

TEST_F(SkinComponentTest, SkinListItemsAreLoadedByIndex) {
  TskSkinData sd(nullptr);
  auto list = std::make_unique<TskCompressedSkinList>(nullptr);
  TskSkinListItem& slate = list->Add();
  ASSERT_TRUE(slate.Skin.LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE));
  TskSkinListItem& amber = list->Add();
  ASSERT_TRUE(amber.Skin.CompressFromIniFile(SourceDir() + L"resources\\skin\\alt\\skin.ini"));
  EXPECT_EQ(slate.Name, L"skSkin0");
  EXPECT_EQ(amber.DisplayName(), L"skSkin1");

  sd.SetSkinIndex(1); // without a list only stored
  EXPECT_EQ(sd.SkinIndex(), 1);
  EXPECT_TRUE(sd.Empty());
  sd.SetSkinList(list.get());
  EXPECT_EQ(sd.SkinName, L"Korvane Amber");
  g_seen.clear();
  sd.SetSkinIndex(1); // the current value: nothing happens
  sd.SetSkinIndex(2); // beyond the list: the old index stays
  sd.SetSkinIndex(-1);
  EXPECT_EQ(sd.SkinIndex(), 1);
  EXPECT_EQ(sd.SkinName, L"Korvane Amber");
  sd.SetSkinIndex(0);
  EXPECT_EQ(sd.SkinName, L"Korvane Slate");

  // The items have no copy of their own.
  TskCompressedSkinList other(nullptr);
  EXPECT_THROW(other.SetSkins(list->Skins()), EConvertError);
  list.reset();
  EXPECT_EQ(sd.SkinList(), nullptr);
  sd.SetSkinIndex(1); // without a list again only stored
  EXPECT_EQ(sd.SkinIndex(), 1);
  EXPECT_EQ(sd.SkinName, L"Korvane Slate");
}

TEST_F(SkinComponentTest, SkinCursorsTakeTheirScreenNumbersAndGiveThemBack) {
  const int start = 5000;
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  HCURSOR earlier = LoadCursorW(nullptr, IDC_CROSS);
  Screen->SetCursors(start + 1, earlier); // someone else's cursor beforehand
  std::wstring dir = MakeCursorSkin(L"cursorskin", "startcursorindex=5000\r\ncursorscount=3\r\n"
                                                   "0=first.cur\r\n1=second.cur\r\n2=missing.cur");
  WriteCursorFile(dir + L"first.cur", 8);
  WriteCursorFile(dir + L"second.cur", 16);

  auto sd = std::make_unique<TskSkinData>(nullptr);
  ASSERT_TRUE(sd->LoadSkinFromIni(dir + L"skin.ini")) << sd->LastError();
  EXPECT_EQ(sd->StartCursorIndex, start);
  ASSERT_NE(sd->SkinCursor(0), nullptr);
  ASSERT_NE(sd->SkinCursor(1), nullptr);
  EXPECT_EQ(sd->SkinCursor(2), nullptr);
  EXPECT_EQ(Screen->Cursors(start), sd->SkinCursor(0));
  EXPECT_EQ(Screen->Cursors(start + 1), sd->SkinCursor(1));
  EXPECT_EQ(Screen->Cursors(start + 2), arrow); // a cursor that did not load: no entry

  // A stored skin has no cursors: the table keeps those of the INI skin.
  HCURSOR first = sd->SkinCursor(0);
  ASSERT_TRUE(sd->LoadBuiltinSkin());
  EXPECT_EQ(Screen->Cursors(start), first);

  // A new INI skin puts its own cursors in place of the old ones.
  ASSERT_TRUE(sd->LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_EQ(Screen->Cursors(start), sd->SkinCursor(0));
  EXPECT_EQ(Screen->Cursors(start + 1), sd->SkinCursor(1));

  // A skin without cursors gives the numbers back.
  std::wstring plain = MakeCursorSkin(L"nocursorskin", "startcursorindex=5000\r\ncursorscount=0");
  ASSERT_TRUE(sd->LoadSkinFromIni(plain + L"skin.ini"));
  EXPECT_EQ(Screen->Cursors(start), arrow);
  EXPECT_EQ(Screen->Cursors(start + 1), earlier);

  // Freeing the skin data gives them back too.
  ASSERT_TRUE(sd->LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_NE(Screen->Cursors(start), arrow);
  sd.reset();
  EXPECT_EQ(Screen->Cursors(start), arrow);
  EXPECT_EQ(Screen->Cursors(start + 1), earlier);
  EXPECT_EQ(Screen->Cursors(start + 2), arrow);
  Screen->SetCursors(start + 1, nullptr);
}

TEST_F(SkinComponentTest, FailedLoadKeepsTheCursorsInPlace) {
  const int start = 5100;
  std::wstring dir = MakeCursorSkin(L"cursorskin2", "startcursorindex=5100\r\ncursorscount=1\r\n"
                                                    "0=first.cur");
  WriteCursorFile(dir + L"first.cur", 4);
  TskSkinData sd(nullptr);
  ASSERT_TRUE(sd.LoadSkinFromIni(dir + L"skin.ini"));
  HCURSOR before = Screen->Cursors(start);
  ASSERT_EQ(before, sd.SkinCursor(0));
  DeleteFileW((dir + L"main.bmp").c_str()); // the next load fails on its picture
  EXPECT_FALSE(sd.LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_EQ(Screen->Cursors(start), before);
  EXPECT_EQ(sd.SkinCursor(0), before);
}

} // namespace
