// The recorder's history list: rows and their columns, "lst.dat" across
// restarts, files that are missing or unreadable, adding, copying, deleting
// with the confirmation window, and starting the editor.
#include <gtest/gtest.h>

#include <ctime>

#include "audio/AudioInformation2.h"
#include "audio/MediaEncoder.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/DeleteConfirmation.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace recorder;

namespace {

void WriteText(const std::wstring& path, const std::string& text) {
  std::ofstream f(std::filesystem::path(path), std::ios::binary);
  f << text;
}

std::string ReadText(const std::wstring& path) {
  std::ifstream f(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

class HistoryListTest : public testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(GetSettingsFileName().c_str());
    DeleteFileW(GetListFileName().c_str());
    dir = testsupport::MakeTempDir(L"history");
    TGlobalVars g;
    SetDefaultSettings(g, dir);
    g.OP_OutputFormat = ofWAV;
    SaveSettingsTo(GetSettingsFileName(), g);
  }
  void TearDown() override {
    ShellOpen = savedShellOpen;
    Destroy();
  }
  void Create() {
    form = new TFormMain(nullptr);
    form->AfterConstruction();
    form->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    testsupport::PumpFor(200);
    // Answerers of boxes captioned with the title must not find this window.
    form->SetCaption(L"Recorder under test");
  }
  void Destroy() {
    if (form) {
      if (form->Recording() || form->RecordPaused()) form->StopRecording();
      delete form;
    }
    form = nullptr;
  }
  std::vector<std::wstring> Listed() {
    TStringList l;
    if (FileExists(GetListFileName())) l.LoadFromFile(GetListFileName());
    std::vector<std::wstring> v;
    for (int i = 0; i < l.Count(); ++i)
      v.push_back(l[i]);
    return v;
  }
  std::wstring Tone(const std::wstring& name, double seconds) {
    std::wstring p = dir + L"\\" + name;
    testsupport::WriteToneWav(p, 44100, 2, uint32_t(seconds * 44100));
    return p;
  }
  void SelectOnly(std::initializer_list<int> rows) {
    form->ListViewFiles->ClearSelection();
    for (int r : rows)
      form->ListViewFiles->Items()->Item(r)->SetSelected(true);
  }
  int Rows() const { return form->ListViewFiles->Items()->Count(); }
  std::wstring RowFile(int r) const { return form->FileItemAt(r)->FileName; }

  TFormMain* form = nullptr;
  std::wstring dir;
  TShellOpenFunc savedShellOpen = ShellOpen;
};

TEST_F(HistoryListTest, ColumnsShowTheValuesTheirCaptionsName) {
  Create();
  std::wstring path = Tone(L"three seconds.wav", 3.0);
  form->AddFileToList(path, true);
  ASSERT_EQ(Rows(), 1);
  TListColumns* c = form->ListViewFiles->Columns();
  ASSERT_EQ(c->Count(), 4);
  EXPECT_EQ(c->Items(0)->Caption(), L"Time");
  EXPECT_EQ(c->Items(1)->Caption(), L"Duration");
  EXPECT_EQ(c->Items(2)->Caption(), L"File");
  EXPECT_EQ(c->Items(3)->Caption(), L"Size");
  TListItem* row = form->ListViewFiles->Items()->Item(0);
  TFileItem* item = form->FileItemAt(0);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->FileName, path);
  EXPECT_EQ(row->Caption(), FormatDateTime(L"dd-mm-yyyy,hh:mm:ss", GetFileDate(path)));
  EXPECT_EQ((*row->SubItems())[0], L"0:00:03");
  EXPECT_EQ((*row->SubItems())[1], path);
  EXPECT_EQ(item->Size, GetFileSize64(path));
  EXPECT_EQ((*row->SubItems())[2], FormatMegabytes(2, 1e-9, item->Size / 1024.0 / 1024.0) + L" MB");
  EXPECT_EQ((*row->SubItems())[2].substr(0, 3), L"0.5"); // 529,244 bytes
  EXPECT_EQ(row->ImageIndex(), 0);
  EXPECT_EQ(Listed(), std::vector<std::wstring>{path});
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"recorder-history"));
}

// Pixels of the image list's first image, or of a row's icon rectangle in the
// list view's own drawing, that show the picture's wave colour or the key.
struct RowImagePixels {
  int wave = 0, key = 0, other = 0;
};

static RowImagePixels CountRowImage(HWND lv, HIMAGELIST il, const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  RECT client;
  GetClientRect(lv, &client);
  void* bits = nullptr;
  const int bw = lv ? client.right : w, bh = lv ? client.bottom : h;
  HBITMAP bmp = testsupport::CreateTopDownDib(screen, bw, bh, &bits);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, bw, bh};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (lv)
    SendMessageW(lv, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  else
    ImageList_Draw(il, 0, dc, 0, 0, ILD_NORMAL);
  GdiFlush();
  RowImagePixels n;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      DWORD p = static_cast<DWORD*>(bits)[size_t(y) * size_t(bw) + size_t(x)] & 0xFFFFFF;
      if (p == 0x1848C8)
        ++n.wave;
      else if (p == 0xFF00FF)
        ++n.key;
      else
        ++n.other;
    }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return n;
}

TEST_F(HistoryListTest, RowsShowTheListImage) {
  Create();
  form->AddFileToList(Tone(L"row image.wav", 0.5), true);
  ASSERT_EQ(Rows(), 1);
  HWND lv = form->ListViewFiles->Handle();
  HIMAGELIST il = form->ImageListListViewFiles->Handle();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(lv, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), il);
  int w = 0, h = 0;
  ASSERT_TRUE(ImageList_GetIconSize(il, &w, &h));
  EXPECT_EQ(w, 13);
  EXPECT_EQ(h, 19);
  EXPECT_EQ(ImageList_GetImageCount(il), 1);
  // The picture: a wave on a sheet, its magenta key left out.
  RowImagePixels own = CountRowImage(nullptr, il, RECT{0, 0, 13, 19});
  EXPECT_GT(own.wave, 8);
  EXPECT_EQ(own.key, 0);
  // And the row draws it in its icon place.
  RECT icon{};
  icon.left = LVIR_ICON;
  ASSERT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon)));
  EXPECT_EQ(icon.right - icon.left, 13);
  RowImagePixels row = CountRowImage(lv, nullptr, icon);
  EXPECT_EQ(row.wave, own.wave);
  EXPECT_EQ(row.key, 0);
}

TEST_F(HistoryListTest, TwoRecordingsAreListedAndReloadedAfterRestart) {
  Create();
  testsupport::TonePlayer tone;
  ASSERT_TRUE(tone.Ok());
  for (int n = 0; n < 2; ++n) {
    form->ActionRecord->Execute();
    ASSERT_TRUE(form->Recording());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->RecordedBlocks() >= 8; }, 30000));
    form->ActionRecordStop->Execute();
    // Names carry the second: the next one must differ.
    time_t stopped = time(nullptr);
    if (n == 0) ASSERT_TRUE(testsupport::PumpUntil([&] { return time(nullptr) != stopped; }, 3000));
  }
  ASSERT_EQ(Rows(), 2);
  auto files = Listed();
  ASSERT_EQ(files.size(), 2u);
  for (int r = 0; r < 2; ++r) {
    EXPECT_EQ(RowFile(r), files[r]);
    TAudioInformation2 info;
    info.OpenFile(files[r]);
    EXPECT_GE(info.Duration(), 1500);
    TListItem* row = form->ListViewFiles->Items()->Item(r);
    EXPECT_EQ((*row->SubItems())[0], FormatDuration(info.Duration()));
    EXPECT_EQ(form->FileItemAt(r)->Size, GetFileSize64(files[r]));
    EXPECT_EQ((*row->SubItems())[2],
              FormatMegabytes(2, 1e-9, GetFileSize64(files[r]) / 1024.0 / 1024.0) + L" MB");
  }
  Destroy();
  Create();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Rows() == 2; }));
  EXPECT_EQ(RowFile(0), files[0]);
  EXPECT_EQ(RowFile(1), files[1]);
}

TEST_F(HistoryListTest, MissingAndUnreadableFilesDoNotStopTheLoad) {
  std::wstring first = Tone(L"first.wav", 1.0);
  std::wstring missing = dir + L"\\gone.wav";
  std::wstring broken = dir + L"\\broken.mp3";
  WriteText(broken, "this is not a sound file at all");
  std::wstring last = Tone(L"last.wav", 2.0);
  {
    TStringList l;
    for (const auto& p : {first, missing, broken, last})
      l.Add(p);
    l.SaveToFile(GetListFileName());
  }
  Create();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Rows() == 3; }));
  EXPECT_EQ(RowFile(0), first);
  EXPECT_EQ(RowFile(1), broken);
  EXPECT_EQ(form->FileItemAt(1)->Duration, L"");
  EXPECT_EQ(RowFile(2), last);
  EXPECT_EQ(form->FileItemAt(2)->Duration, L"0:00:02");
  ASSERT_EQ(form->LoadProblems().size(), 1u);
  EXPECT_NE(form->LoadProblems()[0].find(broken), std::wstring::npos);
  // The settings were applied after the list.
  EXPECT_FALSE(form->LabelFormat->Caption().empty());
  // The missing path leaves the file at its next save.
  form->SaveFileList();
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{first, broken, last}));
}

TEST_F(HistoryListTest, DevicesAndPipesInTheListAreLeftOutAtOnce) {
  std::wstring tone = Tone(L"tone.wav", 1.0);
  {
    TStringList l;
    for (const wchar_t* p : {L"COM1", L"C:\\AUX", L"\\\\.\\COM2", L"\\\\.\\pipe\\korvane-history",
                             L"CONIN$", L"LPT1.wav"})
      l.Add(p);
    l.Add(tone);
    l.SaveToFile(GetListFileName());
  }
  auto t0 = GetTickCount64();
  Create();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Rows() == 1; }));
  EXPECT_LT(GetTickCount64() - t0, 5000u);
  EXPECT_EQ(RowFile(0), tone);
  EXPECT_EQ(form->FileItemAt(0)->Duration, L"0:00:01");
}

TEST_F(HistoryListTest, MissingListGivesAnEmptyList) {
  Create();
  testsupport::PumpFor(300);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(form->LoadProblems().empty());
}

TEST_F(HistoryListTest, AddingExistingFiles) {
  Create();
  std::wstring a = Tone(L"a.wav", 1.0);
  TStringList paths;
  paths.Add(a);
  paths.Add(dir + L"\\not there.wav");
  form->AddFilesToList(&paths);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(RowFile(0), a);
  EXPECT_EQ(Listed(), std::vector<std::wstring>{a});
  EXPECT_NE(form->OpenDialog->Options() & ofAllowMultiSelect, 0u);
  EXPECT_NE(form->OpenDialog->Options() & ofFileMustExist, 0u);
  EXPECT_EQ(form->OpenDialog->Filter().substr(0, 21), L"All Supported Formats");
}

TEST_F(HistoryListTest, NoSelectionWarns) {
  Create();
  form->AddFileToList(Tone(L"a.wav", 1.0), true);
  form->ListViewFiles->ClearSelection();
  testsupport::ModalAnswerer answer(L"No file selected", IDOK);
  EXPECT_EQ(form->GetSelectedFileName(), L"");
  ASSERT_TRUE(answer.Wait());
  EXPECT_NE(answer.SeenText().find(L"You need to select a file first."), std::wstring::npos);
}

TEST_F(HistoryListTest, CopyIntoAFolderNeverOverwrites) {
  Create();
  std::wstring a = Tone(L"a.wav", 1.0), b = Tone(L"b.wav", 1.0);
  form->AddFileToList(a, true);
  form->AddFileToList(b, true);
  std::wstring target = testsupport::MakeTempDir(L"history-copy");
  SelectOnly({0, 1});
  EXPECT_TRUE(form->CopySelectedFilesTo(target));
  EXPECT_EQ(GetFileSize64(target + L"\\a.wav"), GetFileSize64(a));
  EXPECT_EQ(GetFileSize64(target + L"\\b.wav"), GetFileSize64(b));

  // A file of the same name stays as it was, and the refusal is reported.
  WriteText(target + L"\\a.wav", "keep me");
  DeleteFileW((target + L"\\b.wav").c_str());
  testsupport::ModalAnswerer answer(AppTitle, IDOK);
  EXPECT_FALSE(form->CopySelectedFilesTo(target));
  ASSERT_TRUE(answer.Wait());
  EXPECT_NE(answer.SeenText().find(L"already exists"), std::wstring::npos)
      << WideToUtf8(answer.SeenText());
  EXPECT_NE(answer.SeenText().find(a), std::wstring::npos);
  EXPECT_EQ(ReadText(target + L"\\a.wav"), "keep me");
  EXPECT_TRUE(FileExists(target + L"\\b.wav"));
}

TEST_F(HistoryListTest, DeleteFromListAndFromDiskWithTheConfirmation) {
  Create();
  std::wstring a = Tone(L"a.wav", 1.0), b = Tone(L"b.wav", 1.0), c = Tone(L"c.wav", 1.0),
               d = Tone(L"d.wav", 1.0);
  for (const auto& p : {a, b, c, d})
    form->AddFileToList(p, true);

  // Cancel changes nothing.
  GlobalVars.DeleteFromDisk = true;
  SelectOnly({1});
  {
    testsupport::ModalAnswerer answer(L"Delete Confirmation", L"&Cancel");
    form->ActionListDel->Execute();
    ASSERT_TRUE(answer.Wait());
  }
  EXPECT_EQ(Rows(), 4);
  EXPECT_TRUE(GlobalVars.DeleteFromDisk);

  // From the list only: the file stays on disk, its path leaves "lst.dat",
  // and the row that followed it is selected.
  GlobalVars.DeleteFromDisk = false;
  {
    testsupport::ModalAnswerer answer(L"Delete Confirmation", L"&OK");
    form->ActionListDel->Execute();
    ASSERT_TRUE(answer.Wait());
  }
  ASSERT_EQ(Rows(), 3);
  EXPECT_TRUE(FileExists(b));
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{a, c, d}));
  ASSERT_NE(form->ListViewFiles->Selected(), nullptr);
  EXPECT_EQ(form->ListViewFiles->Selected()->Index(), 1);

  // From disk, the last rows: the new last row is selected.
  GlobalVars.DeleteFromDisk = true;
  SelectOnly({1, 2});
  {
    testsupport::ModalAnswerer answer(L"Delete Confirmation", L"&OK");
    form->ActionListDel->Execute();
    ASSERT_TRUE(answer.Wait());
  }
  ASSERT_EQ(Rows(), 1);
  EXPECT_FALSE(FileExists(c));
  EXPECT_FALSE(FileExists(d));
  EXPECT_TRUE(GlobalVars.DeleteFromDisk);
  EXPECT_EQ(Listed(), std::vector<std::wstring>{a});
  ASSERT_NE(form->ListViewFiles->Selected(), nullptr);
  EXPECT_EQ(form->ListViewFiles->Selected()->Index(), 0);
}

TEST_F(HistoryListTest, AFileThatCannotBeDeletedKeepsItsRow) {
  Create();
  std::wstring a = Tone(L"locked.wav", 1.0), b = Tone(L"free.wav", 1.0);
  form->AddFileToList(a, true);
  form->AddFileToList(b, true);
  // Held open without delete sharing.
  HANDLE h = CreateFileW(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SelectOnly({0, 1});
  testsupport::ModalAnswerer answer(AppTitle, IDOK);
  form->DeleteSelectedRows(true);
  bool answered = answer.Wait();
  CloseHandle(h);
  if (!FileExists(a)) {
    GTEST_SKIP() << "the platform deleted a file held open";
  }
  ASSERT_TRUE(answered);
  EXPECT_NE(answer.SeenText().find(a), std::wstring::npos);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(RowFile(0), a);
  EXPECT_FALSE(FileExists(b));
  EXPECT_EQ(Listed(), std::vector<std::wstring>{a});
}

TEST_F(HistoryListTest, ConfirmationWindowShowsItsPicture) {
  TFormDeleteConfirmation dialog(nullptr);
  dialog.AfterConstruction();
  EXPECT_EQ(dialog.Caption(), L"Delete Confirmation");
  EXPECT_EQ(dialog.ClientWidth(), 377);
  EXPECT_EQ(dialog.ClientHeight(), 114);
  EXPECT_FALSE(DeleteIconPngData().empty());
  EXPECT_EQ(dialog.ImageIcon->Picture()->Width(), 48);
  EXPECT_EQ(dialog.ImageIcon->Picture()->Height(), 48);
  EXPECT_EQ(dialog.CheckBoxDeleteFromDisk->Caption(), L"Also delete the recorded file from disk.");
  dialog.Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return dialog.Showing(); }));
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(dialog.Handle(), L"recorder-delete-confirmation"));
}

TEST_F(HistoryListTest, EditStartsTheEditorWithTheQuotedPath) {
  std::wstring program = TFormMain::ProgramFolder() + L"Tessaro.exe";
  std::wstring backup = program + L".kept";
  bool hadEditor = FileExists(program);
  if (hadEditor) {
    ASSERT_TRUE(MoveFileW(program.c_str(), backup.c_str()));
  }
  struct Restore {
    std::wstring program, backup;
    bool had;
    ~Restore() {
      DeleteFileW(program.c_str());
      if (had) MoveFileW(backup.c_str(), program.c_str());
    }
  } restore{program, backup, hadEditor};

  Create();
  std::wstring path = Tone(L"with spaces in name.wav", 1.0);
  form->AddFileToList(path, true);
  SelectOnly({0});
  struct Call {
    HWND owner;
    std::wstring verb, file, params;
    int show;
  };
  std::vector<Call> calls;
  ShellOpen = [&](HWND o, const std::wstring& v, const std::wstring& f, const std::wstring& p,
                  int s) {
    calls.push_back({o, v, f, p, s});
    return true;
  };

  // Missing editor.
  {
    testsupport::ModalAnswerer answer(AppTitle, IDOK);
    form->ActionEditAudioFiles->Execute();
    ASSERT_TRUE(answer.Wait());
    EXPECT_NE(
        answer.SeenText().find(L"Can not find Tessaro.exe, please re-install this application."),
        std::wstring::npos);
  }
  EXPECT_TRUE(calls.empty());

  WriteText(program, "MZ");
  form->ActionEditAudioFiles->Execute();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].owner, nullptr);
  EXPECT_EQ(calls[0].verb, L"Open");
  EXPECT_EQ(calls[0].file, program);
  EXPECT_EQ(calls[0].params, L"\"" + path + L"\"");
  EXPECT_EQ(calls[0].show, SW_SHOWNORMAL);
  // The command line the editor gets holds the path as one argument.
  std::wstring commandLine = L"\"" + calls[0].file + L"\" " + calls[0].params;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc);
  ASSERT_EQ(argc, 2);
  EXPECT_EQ(std::wstring(argv[1]), path);
  LocalFree(argv);
}

TEST_F(HistoryListTest, PopupMenuOfTheList) {
  Create();
  TMenuItem* items = form->PopupMenuListview->Items();
  ASSERT_EQ(items->Count(), 9);
  EXPECT_EQ(items->Items(0)->Caption(), L"Add Files");
  EXPECT_EQ(items->Items(1)->Caption(), L"Copy Files To...");
  EXPECT_EQ(items->Items(2)->Caption(), L"-");
  EXPECT_EQ(items->Items(3)->Caption(), L"Delete Files");
  EXPECT_EQ(items->Items(4)->Caption(), L"Edit File In Audio Editor");
  EXPECT_EQ(items->Items(3)->Action(), form->ActionListDel);
}

} // namespace

TEST_F(HistoryListTest, LongListLoadsWhileTheWindowAnswers) {
  // 200 entries of four formats, each 2.3 seconds long.
  std::vector<int16_t> pcm(size_t(44100 * 2.3) * 2);
  for (size_t i = 0; i < pcm.size() / 2; ++i)
    pcm[2 * i] = pcm[2 * i + 1] = int16_t(8000 * std::sin(2 * 3.14159265 * 440 * i / 44100.0));
  std::vector<std::wstring> originals = {Tone(L"t.wav", 2.3), dir + L"\\t.mp3", dir + L"\\t.ogg",
                                         dir + L"\\t.wma"};
  {
    auto mp3 = audio::CreateMp3Encoder(originals[1], audio::TMp3Settings());
    auto ogg = audio::CreateOggEncoder(originals[2], audio::TOggSettings());
    auto wma = audio::CreateWmaEncoder(originals[3], audio::TWmaSettings());
    for (auto* e : {mp3.get(), ogg.get(), wma.get()}) {
      e->Write(pcm.data(), pcm.size() / 2);
      e->Close();
    }
  }
  std::vector<std::wstring> paths;
  {
    TStringList l;
    for (int i = 0; i < 200; ++i) {
      const std::wstring& from = originals[size_t(i) % originals.size()];
      std::wstring p = dir + L"\\h" + std::to_wstring(i) + from.substr(from.size() - 4);
      ASSERT_TRUE(CopyFileW(from.c_str(), p.c_str(), FALSE));
      paths.push_back(p);
      l.Add(p);
    }
    l.SaveToFile(GetListFileName());
  }
  form = new TFormMain(nullptr);
  form->AfterConstruction();
  HWND wnd = form->Handle();
  // Another thread asks the window again and again while the list loads.
  std::atomic<bool> stop{false};
  std::atomic<int> answered{0};
  std::atomic<ULONGLONG> longest{0};
  std::atomic<bool> finished{false};
  std::thread asker([&] {
    while (!stop) {
      ULONGLONG t0 = GetTickCount64();
      DWORD_PTR r = 0;
      if (SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r)) ++answered;
      longest = std::max<ULONGLONG>(longest, GetTickCount64() - t0);
      Sleep(10);
    }
    finished = true;
  });
  ULONGLONG start = GetTickCount64();
  bool loaded = testsupport::PumpUntil([&] { return Rows() == 200; }, 60000);
  ULONGLONG took = GetTickCount64() - start;
  stop = true;
  // A question still on its way is answered before the thread ends.
  testsupport::PumpUntil([&] { return finished.load(); });
  asker.join();
  ASSERT_TRUE(loaded);
  EXPECT_GT(answered, int(took / 100));
  // A window that waits for the whole list answers late by about the loading
  // time; one that loads beside its messages answers within a quarter second,
  // or a quarter of the loading time when a busy machine stretches both.
  EXPECT_LT(longest, std::max<ULONGLONG>(250, took / 4)) << "loading took " << took << " ms";
  for (int r = 0; r < 200; ++r) {
    EXPECT_EQ(RowFile(r), paths[size_t(r)]);
    EXPECT_EQ(form->FileItemAt(r)->Duration, L"0:00:02") << paths[size_t(r)];
  }
  EXPECT_TRUE(form->LoadProblems().empty());
}
