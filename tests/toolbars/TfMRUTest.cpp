// The recent-file list: captions and accelerators, the INI keys it reads,
// writes and deletes, change events, bad indexes and its list items.
#include <gtest/gtest.h>

#include <map>

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "toolbars/TfMRU.h"

namespace {

std::wstring Take(int n) {
  return L"C:\\audio\\take" + std::to_wstring(n) + L".wav";
}

// A list of MaxItems entries, the newest (highest number) first.
void Fill(TTfMRUList& mru, int count) {
  for (int i = 1; i <= count; ++i)
    mru.AddFile(Take(i));
}

std::vector<std::wstring> Entries(const TTfMRUList& mru) {
  std::vector<std::wstring> r;
  for (int i = 0; i < mru.Items()->Count(); ++i)
    r.push_back(mru.Items()->Get(i));
  return r;
}

TEST(TfMRUList, DefaultsOfANewList) {
  TTfMRUList mru(nullptr);
  EXPECT_TRUE(mru.AddFullPath);
  EXPECT_TRUE(mru.HidePathExtension());
  EXPECT_EQ(mru.MaxItems(), 4);
  EXPECT_EQ(mru.Prefix, L"MRU");
  EXPECT_EQ(mru.Items()->Count(), 0);
  Fill(mru, 5);
  EXPECT_EQ(Entries(mru), (std::vector<std::wstring>{Take(5), Take(4), Take(3), Take(2)}));
}

TEST(TfMRUList, AcceleratorsAreDigitsThenLettersThenNone) {
  TTfMRUList mru(nullptr);
  mru.SetMaxItems(40);
  mru.SetHidePathExtension(false);
  Fill(mru, 36);
  ASSERT_EQ(mru.Container()->ChildCount(), 36);
  struct Row {
    int index;
    std::wstring caption;
  };
  // Entry i holds take(36 - i).
  const Row rows[] = {
      {0, L"&1 " + Take(36)},  {8, L"&9 " + Take(28)}, {9, L"&A " + Take(27)},
      {10, L"&B " + Take(26)}, {34, L"&Z " + Take(2)}, {35, Take(1)},
  };
  for (const Row& r : rows)
    EXPECT_EQ(mru.Container()->ChildAt(r.index)->Caption(), r.caption) << r.index;
}

TEST(TfMRUList, CaptionsDoubleAmpersandsAndHideTheFolder) {
  TTfMRUList mru(nullptr);
  mru.SetHidePathExtension(false);
  mru.AddFile(L"C:\\R&B\\a&&b.wav");
  EXPECT_EQ(mru.Container()->ChildAt(0)->Caption(), L"&1 C:\\R&&B\\a&&&&b.wav");
  // The entry itself keeps the name as given.
  EXPECT_EQ(mru.Items()->Get(0), L"C:\\R&B\\a&&b.wav");
  mru.SetHidePathExtension(true);
  std::wstring c = mru.Container()->ChildAt(0)->Caption();
  EXPECT_EQ(c.find(L"R&&B"), std::wstring::npos) << std::string(c.begin(), c.end());
  EXPECT_EQ(c.rfind(L"&1 a&&&&b", 0), 0u) << std::string(c.begin(), c.end());
}

TEST(TfMRUList, AddingANameAgainMovesItAndKeepsTheNewestSpelling) {
  TTfMRUList mru(nullptr);
  mru.SetMaxItems(6);
  mru.SetHidePathExtension(false);
  Fill(mru, 3);
  int changes = 0;
  mru.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &mru);
    ++changes;
  };
  // Move to the top and overwrite: two changes.
  mru.AddFile(L"c:\\AUDIO\\Take1.WAV");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Entries(mru), (std::vector<std::wstring>{L"c:\\AUDIO\\Take1.WAV", Take(3), Take(2)}));
  EXPECT_EQ(mru.Container()->ChildAt(0)->Caption(), L"&1 c:\\AUDIO\\Take1.WAV");
  EXPECT_EQ(mru.Container()->ChildAt(2)->Caption(), L"&3 " + Take(2));
  // Already on top: only overwritten.
  changes = 0;
  mru.AddFile(Take(1));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(mru.Items()->Get(0), Take(1));
  EXPECT_EQ(mru.Items()->Count(), 3);
  // A relative name is expanded first.
  mru.AddFile(L"relative.wav");
  EXPECT_EQ(mru.Items()->Get(0), ExpandFileName(L"relative.wav"));
  mru.AddFullPath = false;
  mru.AddFile(L"kept.wav");
  EXPECT_EQ(mru.Items()->Get(0), L"kept.wav");
}

struct IniCase {
  const char* name;
  int maxItems;
  std::map<std::wstring, std::wstring> before; // key -> value in section "MRU"
  std::vector<std::wstring> loaded;
  std::map<std::wstring, std::wstring> after; // every MRU key after saving
};

void PrintTo(const IniCase& c, std::ostream* os) {
  *os << c.name;
}

class TfMRUIni : public ::testing::TestWithParam<IniCase> {};

TEST_P(TfMRUIni, LoadThenSave) {
  const IniCase& c = GetParam();
  std::wstring ini = testsupport::MakeTempDir(L"tfmruini") + L"\\sys~.dat";
  {
    TIniFile f(ini);
    for (const auto& [k, v] : c.before)
      f.WriteString(L"MRU", k, v);
    f.WriteString(L"Other", L"MRU1", L"untouched");
  }
  TTfMRUList mru(nullptr);
  mru.SetMaxItems(c.maxItems);
  mru.SetHidePathExtension(false);
  mru.AddFile(L"C:\\stale.wav"); // loading replaces whatever was there
  TIniFile f(ini);
  mru.LoadFromIniFile(&f, L"MRU");
  EXPECT_EQ(Entries(mru), c.loaded);
  EXPECT_EQ(mru.Container()->ChildCount(), static_cast<int>(c.loaded.size()));
  mru.SaveToIniFile(&f, L"MRU");
  std::map<std::wstring, std::wstring> after;
  for (int n = 1; n <= 9; ++n) {
    std::wstring k = L"MRU" + std::to_wstring(n);
    if (f.ValueExists(L"MRU", k)) after[k] = f.ReadString(L"MRU", k, L"");
  }
  EXPECT_EQ(after, c.after);
  EXPECT_EQ(f.ReadString(L"Other", L"MRU1", L""), L"untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TfMRUIni,
    ::testing::Values(
        // A gap closes up; the keys after the last entry are deleted, keys
        // above the maximum are left alone.
        IniCase{"Gap",
                6,
                {{L"MRU1", L"C:\\a.wav"}, {L"MRU3", L"C:\\c.wav"}, {L"MRU7", L"C:\\g.wav"}},
                {L"C:\\a.wav", L"C:\\c.wav"},
                {{L"MRU1", L"C:\\a.wav"}, {L"MRU2", L"C:\\c.wav"}, {L"MRU7", L"C:\\g.wav"}}},
        // Empty values are skipped; values are taken as stored, duplicates too.
        IniCase{"EmptyAndDuplicate",
                4,
                {{L"MRU1", L""}, {L"MRU2", L"b.wav"}, {L"MRU3", L"B.WAV"}},
                {L"b.wav", L"B.WAV"},
                {{L"MRU1", L"b.wav"}, {L"MRU2", L"B.WAV"}}},
        // Only the first MaxItems keys are read.
        IniCase{"Limit",
                2,
                {{L"MRU1", L"1"}, {L"MRU2", L"2"}, {L"MRU3", L"3"}},
                {L"1", L"2"},
                {{L"MRU1", L"1"}, {L"MRU2", L"2"}, {L"MRU3", L"3"}}},
        // With no room the list is emptied and nothing is written or deleted.
        IniCase{"NoRoom", 0, {{L"MRU1", L"C:\\a.wav"}}, {}, {{L"MRU1", L"C:\\a.wav"}}},
        IniCase{"Negative", -3, {{L"MRU1", L"C:\\a.wav"}}, {}, {{L"MRU1", L"C:\\a.wav"}}}),
    [](const ::testing::TestParamInfo<IniCase>& i) { return std::string(i.param.name); });

TEST(TfMRUList, NoRoomKeepsTheListEmpty) {
  TTfMRUList mru(nullptr);
  mru.SetMaxItems(0);
  mru.AddFile(L"C:\\a.wav");
  EXPECT_EQ(mru.Items()->Count(), 0);
  EXPECT_EQ(mru.Container()->ChildCount(), 0);
  // Lowering the maximum drops the oldest entries with their menu items.
  mru.SetMaxItems(5);
  Fill(mru, 5);
  mru.SetMaxItems(2);
  EXPECT_EQ(Entries(mru), (std::vector<std::wstring>{Take(5), Take(4)}));
  EXPECT_EQ(mru.Container()->ChildCount(), 2);
}

TEST(TfMRUList, BadIndexesChangeNothing) {
  TTfMRUList mru(nullptr);
  mru.SetHidePathExtension(false);
  Fill(mru, 3);
  auto before = Entries(mru);
  TTfMRUListStrings* s = mru.Items();
  EXPECT_THROW(s->Delete(3), EListError);
  EXPECT_THROW(s->Delete(-1), EListError);
  EXPECT_THROW(s->Insert(5, L"x"), EListError);
  EXPECT_THROW(s->Put(3, L"x"), Exception);
  EXPECT_THROW(s->MoveEntry(1, 3), EListError);
  EXPECT_THROW(s->MoveEntry(-1, 0), EListError);
  EXPECT_EQ(Entries(mru), before);
  ASSERT_EQ(mru.Container()->ChildCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(mru.Container()->ChildAt(i)->Caption(),
              L"&" + std::to_wstring(i + 1) + L" " + before[static_cast<size_t>(i)]);
}

TEST(TfMRUList, AssignedEntriesReplaceTheListAndAreTrimmed) {
  TTfMRUList mru(nullptr);
  mru.SetHidePathExtension(false);
  Fill(mru, 2);
  TStringList names;
  for (const wchar_t* n : {L"a", L"b", L"c", L"d", L"e"})
    names.Add(n);
  mru.SetItems(names);
  EXPECT_EQ(Entries(mru), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(mru.Container()->ChildAt(3)->Caption(), L"&4 d");
}

TEST(TfMRUList, ClickedEntryGoesToTheTopBeforeTheEvent) {
  TTfMRUList mru(nullptr);
  mru.SetHidePathExtension(false);
  Fill(mru, 3); // take3, take2, take1
  std::vector<std::wstring> seen;
  mru.OnClick = [&](TObject* Sender, const std::wstring& Name) {
    EXPECT_EQ(Sender, &mru);
    seen.push_back(Name);
    EXPECT_EQ(mru.Items()->Get(0), Name);
  };
  mru.Container()->ChildAt(2)->Click();
  mru.Container()->ChildAt(0)->Click();
  EXPECT_EQ(seen, (std::vector<std::wstring>{Take(1), Take(1)}));
  EXPECT_EQ(Entries(mru), (std::vector<std::wstring>{Take(1), Take(3), Take(2)}));
  EXPECT_EQ(mru.Container()->ChildAt(0)->Caption(), L"&1 " + Take(1));
}

TEST(TfMRUList, ListItemForgetsAFreedList) {
  auto* mru = new TTfMRUList(nullptr);
  TTfMRUListItem item(nullptr);
  EXPECT_EQ(item.Caption(), L"(MRU List)");
  item.SetMRUList(mru);
  EXPECT_EQ(item.LinkSubitems(), mru->Container());
  delete mru;
  EXPECT_EQ(item.MRUList(), nullptr);
  EXPECT_EQ(item.LinkSubitems(), nullptr);
}

} // namespace
