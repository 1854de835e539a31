// Loading skins: the built-in skin, a skin folder, compressed containers,
// failures, and the skin messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "framework/IniFiles.h"
#include "skin/SkinData.h"
#include "skin/skzlib.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

// --- a window that records the skin messages it receives

struct Received {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m >= WM_SKINCHANGING && m <= WM_SKINNABLEFORMCHANGED) g_received.push_back({h, m, w, l});
  return DefWindowProcW(h, m, w, l);
}

HWND MakeForm() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinTestForm";
    RegisterClassW(&wc);
    registered = true;
  }
  return CreateWindowW(L"SkinTestForm", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                       GetModuleHandleW(nullptr), nullptr);
}

std::vector<UINT> Messages() {
  std::vector<UINT> m;
  for (auto& r : g_received)
    m.push_back(r.message);
  return m;
}

const std::vector<UINT> kLoadMessages{WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINAFTERCHANGE};

// Sends the skin messages only to the test's own forms.
class SkinLoadTest : public ::testing::Test {
protected:
  void SetUp() override {
    owner = MakeForm();
    other = MakeForm();
    TskSkinData::SetFormsProvider([this] { return std::vector<HWND>{other, owner}; });
    g_received.clear();
  }
  void TearDown() override {
    TskSkinData::SetFormsProvider(nullptr);
    DestroyWindow(owner);
    DestroyWindow(other);
  }
  HWND owner = nullptr, other = nullptr;
};

// --- files

std::wstring AltSkinSource() {
  return SourceDir() + L"resources\\skin\\alt\\";
}

// A "skin" folder beside a fake program folder holding the second skin.
std::wstring MakeSkinFolder(const std::wstring& name) {
  std::wstring dir = testsupport::MakeTempDir(name) + L"\\skin\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((AltSkinSource() + L"*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileW((AltSkinSource() + fd.cFileName).c_str(), (dir + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  return dir;
}

void WriteText(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  CloseHandle(h);
}

std::string ReadText(const std::wstring& path) {
  std::vector<uint8_t> b = ReadWholeFile(path);
  return std::string(b.begin(), b.end());
}

void ReplaceLine(std::string& text, const std::string& from, const std::string& to) {
  size_t p = text.find(from);
  ASSERT_NE(p, std::string::npos) << from;
  text.replace(p, from.size(), to);
}

// --- pictures

void SavePicture(const TskPicture& p, const std::wstring& name) {
  std::vector<uint8_t> bgra(static_cast<size_t>(p.Width()) * p.Height() * 4);
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const uint8_t* s = p.ScanLine(y) + x * 3;
      uint8_t* d = &bgra[(static_cast<size_t>(y) * p.Width() + x) * 4];
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 255;
    }
  testsupport::SavePixelsPng(testsupport::OutputPath(name), p.Width(), p.Height(), bgra.data(),
                             p.Width() * 4);
}

TskPicture ComposeForm(const TskSkinData& sd, int w, int h) {
  TskSkinImageParams p;
  p.R = RECT{0, 0, sd.Picture.Width(), sd.Picture.Height()};
  p.Old = sd.FormGeometry();
  p.New = ScaleSkinGeometry(p.Old, p.R, w, h);
  p.W = w;
  p.H = h;
  p.LeftStretch = sd.LeftStretch;
  p.TopStretch = sd.TopStretch;
  p.RightStretch = sd.RightStretch;
  p.BottomStretch = sd.BottomStretch;
  p.StretchEffect = sd.StretchEffect;
  p.StretchType = sd.StretchType;
  TskPicture out;
  CreateSkinImage(p, sd.Picture, out);
  return out;
}

// --- tests

TEST_F(SkinLoadTest, BuiltInSkinHoldsEverythingTheRecorderLooksUp) {
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  EXPECT_TRUE(sd.Empty());
  ASSERT_TRUE(sd.LoadBuiltinSkin()) << sd.LastError();
  EXPECT_FALSE(sd.Empty());
  EXPECT_FALSE(sd.SkinChanging());
  EXPECT_EQ(sd.Picture.Width(), 408);
  EXPECT_EQ(sd.Picture.Height(), 398);
  EXPECT_EQ(sd.ActivePictures.size(), 7u);
  for (const wchar_t* area :
       {L"StartRecordButton", L"PauseRecordButton", L"StopRecordButton", L"EditRecordButton",
        L"ListButton", L"OptionButton", L"ScheduleButton", L"HelpButton", L"CloseButton",
        L"PlayButton", L"PauseButton", L"StopButton", L"EditButton", L"DelButton", L"CopyButton",
        L"LeftGauge", L"RightGauge", L"trackbar2"})
    EXPECT_GE(sd.FindSkinArea(area), 0) << area;
  for (const wchar_t* control :
       {L"PlayButton", L"OptionButton", L"gauge", L"htrackbar", L"resizebutton", L"VScrollBar",
        L"HScrollBar", L"vscrollbar", L"hscrollbar", L"bothhscrollbar", L"combobox", L"listbox",
        L"listview", L"button", L"vgauge", L"trackbar"})
    EXPECT_GE(sd.FindControlDescription(control), 0) << control;
  for (const wchar_t* object :
       {L"caption", L"closebutton", L"minimizebutton", L"sysmenubutton", L"menuitem"})
    EXPECT_GE(sd.FindObjectDescription(object), 0) << object;
  EXPECT_EQ(sd.FindControlDescription(L"playbutton"), -1);
  auto* play = sd.FindControl<TskDataSkinButtonControl>(L"PlayButton");
  ASSERT_TRUE(play);
  ASSERT_TRUE(sd.ActivePicture(play->PictureIndex));
  EXPECT_EQ(RectWidth(play->SkinRect), 32);
  auto* gauge = sd.FindControl<TskDataSkinGaugeControl>(L"gauge");
  ASSERT_TRUE(gauge);
  EXPECT_FALSE(IsNullRect(gauge->ProgressRect));
  auto* combo = sd.FindControl<TskDataSkinComboBox>(L"combobox");
  ASSERT_TRUE(combo);
  EXPECT_GE(sd.FindControlDescription(combo->ListBoxName), 0);
  auto* close = sd.FindObject<TskDataSkinStdButton>(L"closebutton");
  ASSERT_TRUE(close);
  EXPECT_EQ(close->Command, cmClose);
  EXPECT_EQ(sd.PopupWindow.WindowPictureIndex, 4);
  EXPECT_EQ(sd.HintWindow.FontName, L"Tahoma");
  EXPECT_NE(sd.SkinColors.cBtnFace, 0);
  EXPECT_EQ(sd.ActivePicture(99), nullptr);
  EXPECT_EQ(sd.ControlAt(-1), nullptr);
  EXPECT_EQ(sd.ControlAt(1000), nullptr);
  EXPECT_EQ(Messages(),
            (std::vector<UINT>{WM_SKINCHANGING, WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINCHANGED,
                               WM_SKINAFTERCHANGE, WM_SKINAFTERCHANGE}));
}

TEST_F(SkinLoadTest, MessagesReachOwnerFirstThenEveryFormInOrder) {
  HWND third = MakeForm();
  TskSkinData::SetFormsProvider([&] { return std::vector<HWND>{other, owner, third}; });
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  ASSERT_EQ(g_received.size(), 9u);
  HWND order[] = {owner, other, third};
  UINT msgs[] = {WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINAFTERCHANGE};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(g_received[i].window, order[i % 3]) << i;
    EXPECT_EQ(g_received[i].message, msgs[i / 3]) << i;
    EXPECT_EQ(g_received[i].wparam, reinterpret_cast<WPARAM>(&sd));
    EXPECT_EQ(g_received[i].lparam, 1000);
  }
  g_received.clear();
  sd.SetSkinnableForm(false);
  sd.SetSkinnableForm(false);
  sd.SetResourceStrData(nullptr);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_SKINNABLEFORMCHANGED, WM_SKINNABLEFORMCHANGED,
                                           WM_SKINNABLEFORMCHANGED, WM_SKINRESSTRCHANGED,
                                           WM_SKINRESSTRCHANGED, WM_SKINRESSTRCHANGED}));
  DestroyWindow(third);
}

TEST_F(SkinLoadTest, SkinFolderReplacesTheBuiltInSkin) {
  std::wstring dir = MakeSkinFolder(L"altskin");
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  COLORREF builtinTitle = sd.Picture.Pixel(200, 10);
  int oldPlay = sd.FindControlDescription(L"PlayButton");
  TskDataSkinControl* oldDescription = sd.ControlAt(oldPlay);
  g_received.clear();
  ASSERT_TRUE(sd.LoadSkinFromIni(dir + L"skin.ini")) << sd.LastError();
  EXPECT_EQ(Messages().size(), 6u);
  EXPECT_EQ(sd.SkinName, L"Korvane Amber");
  EXPECT_NE(sd.Picture.Pixel(200, 10), builtinTitle);
  EXPECT_EQ(sd.MaskPictureName, L"mask.bmp");
  EXPECT_EQ(sd.MaskPicture.Width(), 408);
  // The mask area is widened to the client rectangle.
  EXPECT_EQ(sd.MaskRectArea.left, sd.ClientRect.left);
  EXPECT_EQ(sd.MaskRectArea.bottom, sd.ClientRect.bottom);
  EXPECT_EQ(sd.ActivePictureNames.size(), 7u);
  EXPECT_GE(sd.FindControlDescription(L"PlayButton"), 0);
  EXPECT_NE(sd.ControlAt(sd.FindControlDescription(L"PlayButton")), oldDescription);
  // The rounded corners of the mask cut the window region.
  TskSkinGeometry g{sd.HitTestLTPoint, sd.HitTestRTPoint, sd.HitTestLBPoint, sd.HitTestRBPoint,
                    sd.MaskRectArea};
  TskSkinGeometry n = ScaleSkinGeometry(g, RECT{0, 0, 408, 398}, 408, 178);
  HRGN rgn = CreateSkinRegion(g, n, 408, 178, sd.MaskPicture);
  ASSERT_TRUE(rgn);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 204, 0));
  EXPECT_TRUE(PtInRegion(rgn, 204, 177));
  EXPECT_FALSE(PtInRegion(rgn, 407, 177));
  DeleteObject(rgn);
  SavePicture(ComposeForm(sd, 408, 398), L"skin_alt_408x398.png");
  SavePicture(ComposeForm(sd, 408, 178), L"skin_alt_408x178.png");
  // And back.
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  EXPECT_EQ(sd.Picture.Pixel(200, 10), builtinTitle);
  EXPECT_TRUE(sd.MaskPicture.Empty());
}

TEST_F(SkinLoadTest, NoSkinFileKeepsTheSkinAndSendsNothing) {
  std::wstring dir = MakeSkinFolder(L"noskin");
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  g_received.clear();
  EXPECT_FALSE(sd.LoadSkinFromIni(dir + L"missing.ini"));
  std::string text = ReadText(dir + L"skin.ini");
  ReplaceLine(text, "[SKINCONTROLS]", "[OTHERCONTROLS]");
  WriteText(dir + L"skin.ini", text);
  EXPECT_FALSE(sd.LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_TRUE(g_received.empty());
  EXPECT_EQ(sd.SkinName, L"Korvane Slate");
  EXPECT_FALSE(sd.Empty());
}

TEST_F(SkinLoadTest, FailedLoadKeepsThePreviousSkinAndAnnouncesIt) {
  std::wstring dir = MakeSkinFolder(L"badpicture");
  DeleteFileW((dir + L"gauge.bmp").c_str());
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  g_received.clear();
  EXPECT_FALSE(sd.LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_FALSE(sd.LastError().empty());
  EXPECT_EQ(Messages().size(), 6u);
  EXPECT_EQ(g_received.back().message, WM_SKINAFTERCHANGE);
  EXPECT_FALSE(sd.Empty());
  EXPECT_FALSE(sd.SkinChanging());
  EXPECT_EQ(sd.SkinName, L"Korvane Slate");
  EXPECT_GE(sd.FindControlDescription(L"PlayButton"), 0);
  EXPECT_EQ(sd.ActivePictures.size(), 7u);

  // A broken picture file behaves the same.
  dir = MakeSkinFolder(L"badbmp");
  WriteText(dir + L"gauge.bmp", "BM not a picture");
  EXPECT_FALSE(sd.LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_EQ(sd.SkinName, L"Korvane Slate");

  // Without any earlier skin the skin data stays empty.
  TskSkinData fresh;
  fresh.SetOwnerForm(owner);
  EXPECT_FALSE(fresh.LoadSkinFromIni(dir + L"skin.ini"));
  EXPECT_TRUE(fresh.Empty());
}

TEST_F(SkinLoadTest, MalformedValuesReadAsDefaultsWithoutAborting) {
  std::wstring dir = MakeSkinFolder(L"malformed");
  std::string text = ReadText(dir + L"skin.ini");
  ReplaceLine(text, "clientrect=3,22,405,395", "clientrect=1,,2,3");
  ReplaceLine(text, "borderwidth=3", "borderwidth=three");
  ReplaceLine(text, "lefttoppoint=100,40", "lefttoppoint=,");
  text += "[SKINAREAS2]\r\n";
  WriteText(dir + L"skin.ini", text);
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadSkinFromIni(dir + L"skin.ini")) << sd.LastError();
  EXPECT_TRUE(IsNullRect(sd.ClientRect));
  EXPECT_EQ(sd.BorderW, 0);
  EXPECT_EQ(sd.LTPoint.x, 0);
  // Composition of such geometry must not fail.
  TskPicture out = ComposeForm(sd, 408, 178);
  EXPECT_EQ(out.Width(), 408);
}

TEST_F(SkinLoadTest, ListsSkipUnknownKindsAndEntriesWithoutColon) {
  std::wstring dir = MakeSkinFolder(L"lists");
  std::string text = ReadText(dir + L"skin.ini");
  ReplaceLine(text, "[SKINOBJECTS]\r\ncount=5\r\n0=caption:caption",
              "[SKINOBJECTS]\r\ncount=7\r\n5=nocolon\r\n6=x:unknown\r\n0=caption:caption");
  ReplaceLine(text, "[SKINCOLORS]", "[NOCOLORS]");
  WriteText(dir + L"skin.ini", text);
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadSkinFromIni(dir + L"skin.ini")) << sd.LastError();
  EXPECT_EQ(sd.ObjectList.size(), 5u);
  EXPECT_EQ(sd.SkinColors.cBtnFace, 0);
  EXPECT_EQ(sd.SkinColors.cWindow, 0);
}

TEST_F(SkinLoadTest, HugeControlListsLoadQuicklyAndAreBounded) {
  std::wstring dir = MakeSkinFolder(L"huge");
  std::string text = ReadText(dir + L"skin.ini");
  const int n = 30000;
  // The skin's own entries come first; their count is the skin's.
  const std::string head = "[SKINCONTROLS]\r\ncount=";
  size_t at = text.find(head);
  ASSERT_NE(at, std::string::npos);
  size_t end = text.find("\r\n", at + head.size());
  const int own = std::stoi(text.substr(at + head.size(), end - at - head.size()));
  text.replace(at + head.size(), end - at - head.size(), std::to_string(n));
  std::string more = "\r\n[SKINCONTROLS]\r\n";
  for (int i = own; i < n; ++i)
    more += std::to_string(i) + "=c" + std::to_string(i) + ":button\r\n";
  for (int i = own; i < n; ++i)
    more += "[c" + std::to_string(i) + "]\r\npictureindex=0\r\nskinrect=0,0,32,32\r\n";
  WriteText(dir + L"skin.ini", text + more);
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  // Processor time, not wall time: other programs' load must not fail it.
  const double t0 = testsupport::ThreadCpuMs();
  ASSERT_TRUE(sd.LoadSkinFromIni(dir + L"skin.ini")) << sd.LastError();
  EXPECT_LT(testsupport::ThreadCpuMs() - t0, 1000.0);
  EXPECT_GE(sd.FindControlDescription(L"PlayButton"), 0);
  // Entries beyond the bound are not read.
  EXPECT_LE(sd.ControlList.size(), 4096u);
  EXPECT_GE(sd.ControlList.size(), static_cast<size_t>(own));
}

TEST(SkinCompressed, RoundTripThroughOurWriter) {
  TskSkinStreamContent c;
  c.Version = 2;
  c.Picture.SetSize(20, 10);
  c.Picture.Fill(RGB(10, 20, 30));
  c.InactivePicture.SetSize(3, 3);
  c.ActivePictures.emplace_back(5, 7);
  c.ActivePictures.back().SetPixel(4, 6, RGB(1, 2, 3));
  c.IniText = L"[VERSION]\r\nskinname=Round\r\n[PICTURES]\r\nactivepicturescount=1\r\n0=a.bmp\r\n"
              L"[FORMINFO]\r\nclientrect=1,2,19,9\r\n[SKINOBJECTS]\r\ncount=0\r\n"
              L"[SKINCONTROLS]\r\ncount=1\r\n0=PlayButton:button\r\n[PlayButton]\r\n"
              L"skinrect=0,0,5,7\r\npictureindex=0\r\n";
  TskCompressedStoredSkin stored;
  stored.CompressedData = CompressBytes(WriteSkinStream(c), zcMax);
  ASSERT_GE(stored.CompressedData.size(), 2u);
  EXPECT_EQ(stored.CompressedData[0], 0x78);
  EXPECT_EQ(stored.CompressedData[1], 0xDA);
  std::vector<uint8_t> file = stored.SaveToCompressedBytes();
  TskCompressedStoredSkin back;
  back.LoadFromCompressedBytes(file.data(), file.size());
  EXPECT_EQ(back.CompressedData, stored.CompressedData);
  TskSkinData sd;
  ASSERT_TRUE(sd.LoadSkinFromStoredSkin(back)) << sd.LastError();
  EXPECT_EQ(sd.SkinName, L"Round");
  EXPECT_EQ(sd.Picture.Pixel(19, 9), RGB(10, 20, 30));
  EXPECT_EQ(sd.InactivePicture.Width(), 3);
  ASSERT_EQ(sd.ActivePictures.size(), 1u);
  EXPECT_EQ(sd.ActivePictures[0].Pixel(4, 6), RGB(1, 2, 3));
  EXPECT_EQ(sd.ActivePictureNames, (TskLines{L"a.bmp"}));
  EXPECT_EQ(sd.ClientRect.right, 19);
  EXPECT_EQ(sd.FindControlDescription(L"PlayButton"), 0);

  // Versions 0, 1 and 3 carry their own sets of pictures.
  for (int v : {0, 1, 3}) {
    c.Version = v;
    c.RollUpPicture.SetSize(2, 2);
    TskSkinStreamContent read;
    ASSERT_TRUE(ReadSkinStream(WriteSkinStream(c), read)) << v;
    EXPECT_EQ(read.Version, v);
    EXPECT_EQ(read.InactivePicture.Empty(), v != 3) << v;
    EXPECT_EQ(read.RollUpPicture.Empty(), v != 1) << v;
    EXPECT_EQ(read.ActivePictures.size(), 1u);
    EXPECT_NE(read.IniText.find(L"Round"), std::wstring::npos);
  }
}

TEST(SkinCompressed, CompressFromIniFolderMatchesTheFolderSkin) {
  std::wstring dir = MakeSkinFolder(L"compress");
  TskCompressedStoredSkin stored;
  ASSERT_TRUE(stored.CompressFromIniFile(dir + L"skin.ini"));
  std::vector<uint8_t> bytes = stored.SaveToCompressedBytes();
  HANDLE h =
      CreateFileW((dir + L"alt.skn").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
  TskSkinData a, b;
  ASSERT_TRUE(a.LoadSkinFromIni(dir + L"skin.ini"));
  ASSERT_TRUE(b.LoadSkinFromSknFile(dir + L"alt.skn")) << b.LastError();
  EXPECT_EQ(a.SkinName, b.SkinName);
  EXPECT_EQ(a.ControlList.size(), b.ControlList.size());
  EXPECT_EQ(a.Picture.Pixel(100, 100), b.Picture.Pixel(100, 100));
  EXPECT_EQ(a.MaskPicture.Pixel(0, 0), b.MaskPicture.Pixel(0, 0));
}

TEST(SkinCompressed, ContainerFieldsAreChecked) {
  TskCompressedStoredSkin s;
  std::vector<uint8_t> v4{4, 0, 0, 0, 1, 0, 0, 0, 0x78};
  s.LoadFromCompressedBytes(v4.data(), v4.size());
  EXPECT_TRUE(s.IsEmpty());
  std::vector<uint8_t> big{2, 0, 0, 0, 100, 0, 0, 0, 0x78, 0xDA};
  EXPECT_THROW(s.LoadFromCompressedBytes(big.data(), big.size()), ESkinError);
  std::vector<uint8_t> neg{2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_THROW(s.LoadFromCompressedBytes(neg.data(), neg.size()), ESkinError);
  std::vector<uint8_t> zero{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
  s.LoadFromCompressedBytes(zero.data(), zero.size());
  EXPECT_TRUE(s.IsEmpty());
  std::vector<uint8_t> shortFile{2, 0};
  EXPECT_THROW(s.LoadFromCompressedBytes(shortFile.data(), shortFile.size()), ESkinError);
  // Inflation is bounded.
  std::vector<uint8_t> zeros(3u << 20, 0);
  std::vector<uint8_t> bomb = CompressBytes(zeros);
  EXPECT_THROW(DecompressBytes(bomb.data(), bomb.size(), 1u << 20), EDecompressionError);
  EXPECT_EQ(DecompressBytes(bomb).size(), zeros.size());
  std::vector<uint8_t> cut(bomb.begin(), bomb.begin() + bomb.size() / 2);
  EXPECT_THROW(DecompressBytes(cut), EDecompressionError);
  std::vector<uint8_t> junk{1, 2, 3, 4, 5};
  EXPECT_THROW(DecompressBytes(junk), EDecompressionError);
}

TEST_F(SkinLoadTest, ContainerVersionFourIsIgnoredSilently) {
  std::wstring dir = testsupport::MakeTempDir(L"v4");
  WriteText(dir + L"\\v4.skn", std::string("\x04\0\0\0\x02\0\0\0xx", 10));
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  EXPECT_FALSE(sd.LoadSkinFromSknFile(dir + L"\\v4.skn"));
  EXPECT_TRUE(g_received.empty());
}

// Truncated and mutated containers end in an error or a valid skin, never a
// crash or a hang; after an error the previous skin is complete.
TEST_F(SkinLoadTest, MutatedContainersNeverBreakTheSkin) {
  TskCompressedStoredSkin builtin;
  ASSERT_TRUE(builtin.LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE));
  std::vector<uint8_t> inner = builtin.DecompressToBytes();
  size_t iniStart = 0;
  {
    std::string s(inner.begin(), inner.end());
    iniStart = s.find("[VERSION]");
    ASSERT_NE(iniStart, std::string::npos);
  }
  TskSkinData sd;
  sd.SetOwnerForm(owner);
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  std::vector<std::vector<uint8_t>> corpus;
  // Truncated inner streams.
  for (size_t len : {size_t(0), size_t(3), size_t(4), size_t(5), size_t(20), size_t(60),
                     inner.size() / 3, iniStart - 1, iniStart + 10})
    corpus.emplace_back(inner.begin(), inner.begin() + std::min(len, inner.size()));
  // Mutated header fields: picture flags, BMP sizes and dimensions, picture count.
  for (size_t pos : {size_t(0), size_t(4), size_t(5), size_t(7), size_t(8), size_t(9), size_t(10),
                     size_t(23), size_t(24), size_t(27), size_t(28)}) {
    for (uint8_t value : {uint8_t(0), uint8_t(0x7F), uint8_t(0xFF)}) {
      std::vector<uint8_t> m = inner;
      m[pos] = value;
      corpus.push_back(m);
    }
  }
  // Random bytes anywhere, and in the INI text.
  for (int i = 0; i < 12; ++i) {
    std::vector<uint8_t> m = inner;
    size_t pos = i < 6 ? next() % m.size() : iniStart + next() % (m.size() - iniStart);
    m[pos] = static_cast<uint8_t>(next());
    corpus.push_back(m);
  }
  auto started = std::chrono::steady_clock::now();
  int valid = 0, errors = 0;
  for (const auto& m : corpus) {
    TskCompressedStoredSkin s;
    s.CompressedData = CompressBytes(m, zcFastest);
    bool ok = sd.LoadSkinFromStoredSkin(s);
    (ok ? valid : errors)++;
    EXPECT_FALSE(sd.Empty());
    EXPECT_FALSE(sd.SkinChanging());
    if (!ok)
      EXPECT_GE(sd.FindControlDescription(L"PlayButton"), 0);
    else
      ASSERT_TRUE(sd.LoadBuiltinSkin());
  }
  // Mutated compressed bytes and containers.
  std::vector<uint8_t> file = builtin.SaveToCompressedBytes();
  for (int i = 0; i < 16; ++i) {
    std::vector<uint8_t> m = file;
    if (i < 5)
      m.resize(next() % m.size());
    else
      m[next() % std::min<size_t>(m.size(), i < 10 ? 64 : m.size())] ^=
          static_cast<uint8_t>(1 + next() % 255);
    TskCompressedStoredSkin s;
    try {
      s.LoadFromCompressedBytes(m.data(), m.size());
    } catch (const ESkinError&) {
      ++errors;
      continue;
    }
    bool ok = s.IsEmpty() ? false : sd.LoadSkinFromStoredSkin(s);
    (ok ? valid : errors)++;
    EXPECT_FALSE(sd.Empty());
    if (ok) {
      ASSERT_TRUE(sd.LoadBuiltinSkin());
    }
  }
  EXPECT_GT(errors, 0);
  EXPECT_GT(valid, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(120));
}

TEST(SkinScreens, BuiltInMainPictureAtBothHeights) {
  TskSkinData sd;
  ASSERT_TRUE(sd.LoadBuiltinSkin());
  TskPicture tall = ComposeForm(sd, 408, 398);
  TskPicture compact = ComposeForm(sd, 408, 178);
  SavePicture(tall, L"skin_builtin_408x398.png");
  SavePicture(compact, L"skin_builtin_408x178.png");
  ASSERT_EQ(compact.Height(), 178);
  // The tall size reproduces the picture.
  for (int y = 0; y < 398; y += 7)
    for (int x = 0; x < 408; x += 5)
      ASSERT_EQ(tall.Pixel(x, y), sd.Picture.Pixel(x, y)) << x << "," << y;
  // The compact size keeps the title, the display and the buttons, and ends
  // with the picture's bottom border.
  for (int y = 0; y < 160; y += 3)
    for (int x = 0; x < 408; x += 9)
      ASSERT_EQ(compact.Pixel(x, y), sd.Picture.Pixel(x, y)) << x << "," << y;
  for (int x = 0; x < 408; x += 3) {
    ASSERT_EQ(compact.Pixel(x, 177), sd.Picture.Pixel(x, 397)) << x;
    ASSERT_EQ(compact.Pixel(x, 176), sd.Picture.Pixel(x, 396)) << x;
  }
}

} // namespace
