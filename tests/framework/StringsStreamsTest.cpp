#include "framework/Streams.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/Gui.h"

namespace {

std::string ReadBytes(const std::wstring& file) {
  TMemoryStream m;
  m.LoadFromFile(file);
  return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
  TFileStream f(file, fmCreate);
  f.WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
}

TEST(StringListTest, AddInsertDeleteAndObjects) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TStringList*) { ++changes; };
  int a = 1, b = 2;
  EXPECT_EQ(list.Add(L"one"), 0);
  EXPECT_EQ(list.AddObject(L"two", &a), 1);
  list.Insert(0, L"zero");
  list.InsertObject(3, L"three", &b);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[0], L"zero");
  EXPECT_EQ(list.Strings(3), L"three");
  EXPECT_EQ(list.Objects(2), &a);
  EXPECT_EQ(list.Objects(3), &b);
  EXPECT_EQ(list.IndexOf(L"TWO"), 2);
  EXPECT_EQ(list.IndexOfObject(&b), 3);
  list.Delete(0);
  EXPECT_EQ(list[0], L"one");
  EXPECT_EQ(changes, 5);
  EXPECT_THROW(list.Delete(5), EListError);
  EXPECT_THROW(list.Get(-1), EListError);
  list.BeginUpdate();
  list.Add(L"x");
  list.Add(L"y");
  list.EndUpdate();
  EXPECT_EQ(changes, 6);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, AssignTextAndCommaText) {
  TStringList a;
  a.SetText(L"alpha\r\nbeta\ngamma\rdelta");
  ASSERT_EQ(a.Count(), 4);
  EXPECT_EQ(a[3], L"delta");
  EXPECT_EQ(a.Text(), L"alpha\r\nbeta\r\ngamma\r\ndelta\r\n");
  TStringList b;
  b.Add(L"old");
  b.Assign(a);
  EXPECT_TRUE(b.Equals(a));
  b.SetCommaText(L"a, \"b c\",\"d\"\"e\",,f");
  ASSERT_EQ(b.Count(), 5);
  EXPECT_EQ(b[1], L"b c");
  EXPECT_EQ(b[2], L"d\"e");
  EXPECT_EQ(b[3], L"");
  EXPECT_EQ(b.CommaText(), L"a,\"b c\",\"d\"\"e\",\"\",f");
}

TEST(StringListTest, NamesAndValuesIgnoreCase) {
  TStringList list;
  list.Add(L"Caption=Hello");
  list.Add(L"Width=10");
  list.Add(L"plain");
  EXPECT_EQ(list.Values(L"caption"), L"Hello");
  EXPECT_EQ(list.Values(L"WIDTH"), L"10");
  EXPECT_EQ(list.Values(L"missing"), L"");
  EXPECT_EQ(list.Names(1), L"Width");
  EXPECT_EQ(list.Names(2), L"");
  list.SetValues(L"width", L"20");
  EXPECT_EQ(list[1], L"width=20");
  list.SetValues(L"Height", L"5");
  EXPECT_EQ(list.Count(), 4);
  list.SetValues(L"CAPTION", L"");
  EXPECT_EQ(list.IndexOfName(L"Caption"), -1);
}

TEST(StringListTest, SortedListKeepsOrderAndIgnoresDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (auto s : {L"pear", L"Apple", L"fig", L"apple", L"banana"})
    list.Add(s);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[0], L"Apple");
  EXPECT_EQ(list[3], L"pear");
  EXPECT_EQ(list.IndexOf(L"FIG"), 2);
  EXPECT_THROW(list.Insert(0, L"x"), EListError);
  list.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(list.Add(L"pear"), EListError);
}

TEST(StringListTest, FileRoundTripUsesCrLf) {
  std::wstring dir = testsupport::MakeTempDir(L"strings");
  std::wstring file = dir + L"\\lst.dat";
  TStringList list;
  list.Add(L"C:\\rec\\one.mp3");
  list.Add(L"C:\\rec\\two.wav");
  list.SaveToFile(file);
  EXPECT_EQ(ReadBytes(file), "C:\\rec\\one.mp3\r\nC:\\rec\\two.wav\r\n");
  TStringList back;
  back.LoadFromFile(file);
  EXPECT_TRUE(back.Equals(list));

  // Lines outside the ANSI code page survive as UTF-8.
  TStringList wide;
  wide.Add(L"\u4e2d\u6587.mp3");
  wide.SaveToFile(file);
  back.LoadFromFile(file);
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back[0], L"\u4e2d\u6587.mp3");

  // Unix line ends are accepted on reading.
  WriteBytes(file, "a\nb\n");
  back.LoadFromFile(file);
  EXPECT_EQ(back.Count(), 2);
  EXPECT_EQ(back[1], L"b");
}

TEST(StringListTest, LoadFromMissingFileRaisesOpenError) {
  TStringList list;
  std::wstring missing = testsupport::MakeTempDir(L"strings_missing") + L"\\none.txt";
  try {
    list.LoadFromFile(missing);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind(L"Cannot open file \"" + missing + L"\". ", 0), 0u)
        << WideToUtf8(e.Message());
  }
}

TEST(StreamTest, MemoryStreamReadWriteSeek) {
  TMemoryStream m;
  const char data[] = "0123456789";
  m.WriteBuffer(data, 10);
  EXPECT_EQ(m.Size(), 10);
  EXPECT_EQ(m.Position(), 10);
  m.SetPosition(3);
  char buf[4] = {};
  m.ReadBuffer(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "345");
  EXPECT_EQ(m.Seek(-2, soEnd), 8);
  EXPECT_EQ(m.Read(buf, 4), 2);
  EXPECT_EQ(m.Read(buf, 4), 0);
  m.SetSize(4);
  EXPECT_EQ(m.Position(), 4);
  m.Seek(2, soCurrent); // writing past the end fills with zeros
  m.WriteBuffer("X", 1);
  EXPECT_EQ(m.Size(), 7);
  EXPECT_EQ(static_cast<const char*>(m.Memory())[5], 0);
}

TEST(StreamTest, ShortReadRaisesStreamReadError) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.SetPosition(1);
  char buf[8];
  try {
    m.ReadBuffer(buf, 5);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), L"Stream read error");
  }
}

TEST(StreamTest, CopyFromWholeStreamAndPart) {
  TMemoryStream src;
  std::string big(100000, 'q');
  big[99999] = 'z';
  src.WriteBuffer(big.data(), static_cast<long>(big.size()));
  TMemoryStream dst;
  src.SetPosition(50); // count 0 ignores the position
  EXPECT_EQ(dst.CopyFrom(src, 0), 100000);
  EXPECT_EQ(dst.Size(), 100000);
  EXPECT_EQ(static_cast<const char*>(dst.Memory())[99999], 'z');
  src.SetPosition(99990);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(src, 10), 10);
  src.SetPosition(99995);
  EXPECT_THROW(part.CopyFrom(src, 10), EReadError);
}

TEST(StreamTest, FileStreamModes) {
  std::wstring dir = testsupport::MakeTempDir(L"streams");
  std::wstring file = dir + L"\\data.bin";
  {
    TFileStream f(file, fmCreate);
    f.WriteBuffer("hello world", 11);
    EXPECT_EQ(f.Size(), 11);
  }
  {
    TFileStream f(file, fmOpenReadWrite | fmShareExclusive);
    f.Seek(6, soBeginning);
    f.WriteBuffer("WORLD", 5);
  }
  {
    TFileStream f(file, fmOpenRead | fmShareDenyWrite);
    char buf[12] = {};
    f.ReadBuffer(buf, 11);
    EXPECT_STREQ(buf, "hello WORLD");
    EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
  }
  EXPECT_THROW(TFileStream(dir + L"\\missing.bin", fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir + L"\\no\\such\\dir.bin", fmCreate), EFCreateError);
}

TEST(StreamTest, MissingResourceRaises) {
  EXPECT_THROW(TResourceStream(GetModuleHandleW(nullptr), L"NO_SUCH_RESOURCE", RT_RCDATA),
               EResNotFound);
}

} // namespace
