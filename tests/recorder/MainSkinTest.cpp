// The recorder's main window on its skinned form: pictures of both heights in
// both skins, every skinned control on its skin area, the caption buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "skin/SkinMenus.h"
#include "tests/support/Gui.h"

using namespace recorder;

namespace {

std::wstring AltSkinIni() {
  wchar_t buf[MAX_PATH];
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring w = buf;
  w = w.substr(0, w.find_last_of(L'\\') + 1) + L"..\\..\\resources\\skin\\alt\\skin.ini";
  if (GetFileAttributesW(w.c_str()) != INVALID_FILE_ATTRIBUTES) return w;
  std::string f = __FILE__;
  std::wstring s(f.begin(), f.end());
  for (auto& c : s)
    if (c == L'/') c = L'\\';
  if (!s.empty() && s[0] == L'\\') s = L"Z:" + s;
  return s.substr(0, s.find_last_of(L'\\') + 1) + L"..\\..\\resources\\skin\\alt\\skin.ini";
}

class MainSkinTest : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    testsupport::PumpFor(200);
  }
  void TearDown() override {
    delete form;
    form = nullptr;
  }
  void UseSkin(bool alt) {
    if (alt)
      form->LoadSkin(AltSkinIni());
    else
      ASSERT_TRUE(form->skSkinData->LoadBuiltinSkin());
    ASSERT_FALSE(form->skSkinData->Empty()) << form->skSkinData->LastError();
    testsupport::PumpFor(100);
  }
  TFormMain* form = nullptr;
};

} // namespace

TEST_F(MainSkinTest, PicturesOfBothHeightsInBothSkins) {
  for (bool alt : {false, true}) {
    UseSkin(alt);
    std::wstring name = alt ? L"alt" : L"builtin";
    form->SetHeight(398);
    form->ShowFileListPanel();
    // Levels on the meter, as while recording.
    form->skSkinGaugeLeft->SetValue(24000);
    form->skSkinGaugeRight->SetValue(15000);
    testsupport::PumpFor(150);
    EXPECT_EQ(form->Width(), 408);
    EXPECT_EQ(form->Height(), 398);
    EXPECT_TRUE(form->skSkinnedForm->SkinActive());
    testsupport::SaveWindowPng(form->Handle(), L"recorder_main_" + name + L"_398_list.png");
    // The play slider, as while a file plays.
    form->SliderPlay->SetVisible(true);
    form->SliderPlay->SetValue(40);
    testsupport::PumpFor(100);
    testsupport::SaveWindowPng(form->Handle(), L"recorder_main_" + name + L"_playing.png");
    form->SliderPlay->SetVisible(false);
    form->ShowMixerPanel();
    testsupport::PumpFor(150);
    testsupport::SaveWindowPng(form->Handle(), L"recorder_main_" + name + L"_398_mixer.png");
    form->ShowFileListPanel();
    form->SetHeight(178);
    testsupport::PumpFor(150);
    EXPECT_EQ(form->Height(), 178);
    testsupport::SaveWindowPng(form->Handle(), L"recorder_main_" + name + L"_178.png");
  }
}

TEST_F(MainSkinTest, EverySkinnedControlSitsOnItsArea) {
  struct Entry {
    const wchar_t* area;
    TControl* control;
  } table[] = {{L"LeftGauge", form->skSkinGaugeLeft},
               {L"RightGauge", form->skSkinGaugeRight},
               {L"trackbar2", form->SliderPlay},
               {L"StartRecordButton", form->SkinButtonRecord},
               {L"PauseRecordButton", form->SkinButtonPause},
               {L"StopRecordButton", form->SkinButtonStop},
               {L"EditRecordButton", form->SkinButtonEdit},
               {L"ListButton", form->SkinButtonFilezList},
               {L"OptionButton", form->SkinButtonOptions},
               {L"ScheduleButton", form->SkinButtonSchedule},
               {L"HelpButton", form->SkinButtonHelp},
               {L"CloseButton", form->SkinButtonClose},
               {L"PlayButton", form->SkinButtonPlay},
               {L"PauseButton", form->SkinButtonPlayPause},
               {L"StopButton", form->SkinButtonPlayStop},
               {L"EditButton", form->SkinButtonPlayEdit},
               {L"DelButton", form->SkinButtonDel},
               {L"CopyButton", form->SkinButtonCopy}};
  for (bool alt : {false, true}) {
    UseSkin(alt);
    TskSkinData* sd = form->skSkinData;
    for (const Entry& e : table) {
      SCOPED_TRACE(std::string(alt ? "alt " : "builtin ") +
                   std::string(e.area, e.area + wcslen(e.area)));
      TskDataSkinArea* a = sd->AreaAt(sd->FindSkinArea(e.area));
      ASSERT_NE(a, nullptr);
      RECT want = form->skSkinnedForm->MapSkinRectToForm(a->AreaRect);
      EXPECT_EQ(e.control->Align(), alNone);
      EXPECT_EQ(e.control->Left(), want.left);
      EXPECT_EQ(e.control->Top(), want.top);
      EXPECT_EQ(e.control->Width(), want.right - want.left);
      EXPECT_EQ(e.control->Height(), want.bottom - want.top);
    }
  }
  // The mixer bars are horizontal skinned scroll bars.
  EXPECT_EQ(form->tbGain->Kind(), sbHorizontal);
  EXPECT_EQ(form->tbBalance->Kind(), sbHorizontal);
  EXPECT_EQ(form->ListViewFiles->VScrollBar(), form->VSkinScrollBar);
  EXPECT_EQ(form->ListViewFiles->HScrollBar(), form->HSkinScrollBar);
}

TEST_F(MainSkinTest, CaptionCloseButtonRunsFormClose) {
  // Recordings go to a folder of the test.
  delete form;
  std::wstring outDir = testsupport::MakeTempDir(L"skin-close");
  TGlobalVars g;
  SetDefaultSettings(g, outDir);
  SaveSettingsTo(GetSettingsFileName(), g);
  form = new TFormMain(nullptr);
  form->AfterConstruction();
  form->Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  testsupport::PumpFor(200);
  ASSERT_TRUE(form->SettingsLoaded());
  form->ActionRecord->Execute();
  ASSERT_TRUE(form->Recording());
  testsupport::PumpFor(300);
  DeleteFileW(GetSettingsFileName().c_str());
  TskActiveSkinObject* close = nullptr;
  for (auto& o : form->skSkinnedForm->Objects())
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get()))
      if (b->Command == cmClose) close = b;
  ASSERT_NE(close, nullptr);
  int x = (close->ObjectRect.left + close->ObjectRect.right) / 2;
  int y = (close->ObjectRect.top + close->ObjectRect.bottom) / 2;
  form->skSkinnedForm->TestActiveObject(x, y, true);
  form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  testsupport::PumpFor(50);
  // Settings saved, the recording finished into its file, the window gone.
  EXPECT_TRUE(FileExists(GetSettingsFileName()));
  EXPECT_FALSE(form->Recording());
  int64_t recorded = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((outDir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        recorded += (int64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  EXPECT_GT(recorded, 1000);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(MainSkinTest, LoadSkinTakesIniAndSknFilesAndKeepsTheSkinOtherwise) {
  TskSkinData* sd = form->skSkinData;
  std::wstring builtinName = sd->SkinName;
  ASSERT_FALSE(sd->Empty());
  // Another extension, a missing file and a file that is no skin change nothing.
  std::wstring dir = testsupport::MakeTempDir(L"skin-load");
  std::wstring notSkin = dir + L"\\skin.ini";
  HANDLE h = CreateFileW(notSkin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, "[nothing]\r\na=1\r\n", 16, &written, nullptr);
  CloseHandle(h);
  for (const std::wstring& f : {AltSkinIni().substr(0, AltSkinIni().size() - 4) + L".txt",
                                dir + L"\\missing.ini", notSkin}) {
    form->LoadSkin(f);
    EXPECT_FALSE(sd->Empty());
    EXPECT_EQ(sd->SkinName, builtinName);
  }
  // An INI skin, in any case of its extension.
  std::wstring upper = AltSkinIni().substr(0, AltSkinIni().size() - 4) + L".INI";
  form->LoadSkin(upper);
  EXPECT_EQ(sd->SkinName, L"Korvane Amber");
  EXPECT_TRUE(form->skSkinnedForm->SkinActive());
}

TEST_F(MainSkinTest, SkinFolderBesideTheProgramGivesTheStartSkin) {
  delete form;
  form = nullptr;
  wchar_t buf[MAX_PATH];
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring exe = buf;
  std::wstring skinDir = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"skin\\";
  std::wstring src = AltSkinIni().substr(0, AltSkinIni().find_last_of(L'\\') + 1);
  // The folder goes again whatever happens.
  struct Cleanup {
    std::wstring dir;
    ~Cleanup() {
      WIN32_FIND_DATAW fd;
      HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
      if (h != INVALID_HANDLE_VALUE) {
        do
          if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((dir + fd.cFileName).c_str());
        while (FindNextFileW(h, &fd));
        FindClose(h);
      }
      RemoveDirectoryW(dir.c_str());
    }
  } cleanup{skinDir};
  CreateDirectoryW(skinDir.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((src + L"*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileW((src + fd.cFileName).c_str(), (skinDir + fd.cFileName).c_str(), FALSE);
  while (FindNextFileW(h, &fd));
  FindClose(h);
  form = new TFormMain(nullptr);
  form->AfterConstruction();
  form->Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  testsupport::PumpFor(200);
  EXPECT_EQ(form->skSkinData->SkinName, L"Korvane Amber");
  EXPECT_TRUE(form->skSkinnedForm->SkinActive());
  testsupport::SaveWindowPng(form->Handle(), L"recorder_main_skin_folder.png");
  delete form;
  form = nullptr;
}

TEST_F(MainSkinTest, ResourceCountsStaySteadyOverSkinChanges) {
  HANDLE p = GetCurrentProcess();
  for (int i = 0; i < 4; ++i)
    UseSkin(i % 2 != 0);
  testsupport::PumpFor(50);
  DWORD gdi = GetGuiResources(p, GR_GDIOBJECTS), user = GetGuiResources(p, GR_USEROBJECTS);
  for (int i = 0; i < 100; ++i) {
    if (i % 2)
      form->LoadSkin(AltSkinIni());
    else
      form->skSkinData->LoadBuiltinSkin();
    if (i % 10 == 0) testsupport::PumpFor(10);
  }
  form->skSkinData->LoadBuiltinSkin();
  testsupport::PumpFor(50);
  EXPECT_LE(GetGuiResources(p, GR_GDIOBJECTS), gdi + 3);
  EXPECT_LE(GetGuiResources(p, GR_USEROBJECTS), user + 3);
}

namespace {

// The picture a button paints into a memory device context, as BGRA pixels.
std::vector<DWORD> ButtonPixels(TskSkinButton* b) {
  HWND h = b->Handle();
  RECT r;
  GetClientRect(h, &r);
  HDC screen = GetDC(h);
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = testsupport::CreateTopDownDib(screen, r.right, r.bottom, &bits);
  HGDIOBJ old = SelectObject(dc, bmp);
  SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  GdiFlush();
  std::vector<DWORD> px(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + r.right * r.bottom);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(h, screen);
  return px;
}

std::string ReadBytes(const std::wstring& path) {
  std::string out;
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n)
    out.append(buf, n);
  CloseHandle(h);
  return out;
}

void WriteBytes(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, data.data(), DWORD(data.size()), &n, nullptr);
  CloseHandle(h);
}

} // namespace

TEST_F(MainSkinTest, CommandButtonsShowTheirOwnPicturesFromTheSkin) {
  TskSkinButton* buttons[] = {form->SkinButtonRecord, form->SkinButtonPause, form->SkinButtonStop,
                              form->SkinButtonEdit, form->SkinButtonFilezList};
  for (bool alt : {false, true}) {
    SCOPED_TRACE(alt ? "alt" : "builtin");
    UseSkin(alt);
    std::vector<std::vector<DWORD>> pictures;
    for (TskSkinButton* b : buttons) {
      EXPECT_EQ(b->SkinDataName(), b->Name());
      pictures.push_back(ButtonPixels(b));
    }
    // Every command looks different, the record button shows a red mark.
    for (size_t i = 0; i < pictures.size(); ++i)
      for (size_t j = i + 1; j < pictures.size(); ++j)
        EXPECT_NE(pictures[i], pictures[j]) << i << " " << j;
    DWORD centre = pictures[0][16 * 32 + 16];
    int red = (centre >> 16) & 0xFF, green = (centre >> 8) & 0xFF;
    EXPECT_GT(red, green + 80) << std::hex << centre;
  }
  // A skin without pictures of its own for the commands gives the shared entries.
  std::wstring dir = testsupport::MakeTempDir(L"skin-shared-buttons");
  std::wstring from = AltSkinIni().substr(0, AltSkinIni().find_last_of(L'\\') + 1);
  for (const wchar_t* f : {L"main.bmp", L"mask.bmp", L"buttons.bmp", L"gauge.bmp", L"scroll.bmp",
                           L"list.bmp", L"popup.bmp", L"hint.bmp", L"capbtns.bmp"})
    ASSERT_TRUE(CopyFileW((from + f).c_str(), (dir + L"\\" + f).c_str(), FALSE)) << f;
  std::string ini = ReadBytes(AltSkinIni());
  for (size_t p = ini.find("SkinButton"); p != std::string::npos; p = ini.find("SkinButton", p))
    ini.replace(p, 10, "SomeButton");
  WriteBytes(dir + L"\\skin.ini", ini);
  form->LoadSkin(dir + L"\\skin.ini");
  ASSERT_FALSE(form->skSkinData->Empty());
  testsupport::PumpFor(100);
  EXPECT_EQ(form->SkinButtonRecord->SkinDataName(), L"PlayButton");
  EXPECT_EQ(form->SkinButtonFilezList->SkinDataName(), L"button");
  EXPECT_EQ(ButtonPixels(form->SkinButtonEdit), ButtonPixels(form->SkinButtonFilezList));
}

// The system-menu caption button opens the skinned system menu; the hint is
// the skinned one; the list and help menus stay plain popup menus.
TEST_F(MainSkinTest, SkinHintAndPlainPopupMenus) {
  ASSERT_NE(form->skSkinHint, nullptr);
  EXPECT_TRUE(form->skSkinHint->Active());
  EXPECT_EQ(form->skSkinHint->LineSeparator(), L"@");
  EXPECT_EQ(form->skSkinHint->SkinData(), form->skSkinData);
  EXPECT_EQ(form->skSkinnedForm->SkinHint(), form->skSkinHint);
  EXPECT_EQ(dynamic_cast<TskSkinPopupMenu*>(form->PopupMenuListview), nullptr);
  EXPECT_EQ(dynamic_cast<TskSkinPopupMenu*>(form->PopupMenuHelp), nullptr);
}

TEST_F(MainSkinTest, SystemMenuInputButtonOpensTheSkinnedSystemMenu) {
  for (bool alt : {false, true}) {
    SCOPED_TRACE(alt ? "alt" : "builtin");
    UseSkin(alt);
    ASSERT_TRUE(testsupport::ForceForeground(form->Handle(), 3000));
    TskSkinStdButtonObject* b = nullptr;
    for (auto& o : form->skSkinnedForm->Objects())
      if (auto* s = dynamic_cast<TskSkinStdButtonObject*>(o.get()); s && s->Command == cmSysMenu)
        b = s;
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->Enabled);
    POINT p{(b->ObjectRect.left + b->ObjectRect.right) / 2,
            (b->ObjectRect.top + b->ObjectRect.bottom) / 2};
    ClientToScreen(form->Handle(), &p);
    // A press at the same place within the double-click time would be a
    // double click of the last round's press, which closes the form.
    if (alt) testsupport::PumpFor(static_cast<int>(GetDoubleClickTime()) + 100);
    SetCursorPos(p.x, p.y);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    TskSkinMenu* sm = form->skSkinnedForm->SkinMenu();
    ASSERT_TRUE(
        testsupport::PumpUntil([&] { return sm->Visible() && sm->LevelCount() == 1; }, 2000));
    TskSkinPopupWindow* w = sm->Level(0);
    std::vector<std::wstring> shown;
    for (int i = 0; i < w->ItemCount(); ++i)
      shown.push_back(w->Item(i)->MenuItem()->Caption());
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Mi&nimize", L"-", L"&Close"}));
    EXPECT_EQ(ShortCutToText(w->Item(2)->MenuItem()->ShortCut()), L"Alt+F4");
    testsupport::SaveWindowPng(w->Handle(), alt ? L"recorder_system_menu_alt.png"
                                                : L"recorder_system_menu_builtin.png");
    sm->CloseAll();
    EXPECT_FALSE(b->Pressed);
  }
}
