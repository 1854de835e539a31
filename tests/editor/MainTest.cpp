// The editor's main window on a real window with the real editor control:
// command enabling, view arithmetic, start-up, opening, recent files, edit
// commands on exact ranges, saving in every format and the save questions;
// the dock with the menu bar and toolbars, the popups, the recent-file menus
// and the status bars with the progress pane.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "audio/MediaEncoder.h"
#include "controls/PngImageList.h"
#include "editor/Info.h"
#include "editor/freanalysis.h"
#include "editor/funcs.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "editor/new.h"
#include "editor/outputformat.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"
#include "tests/support/Screen.h"
#include "tests/support/Tone.h"

using namespace editor;

namespace {

class MainWindowTest : public testing::Test {
protected:
  void SetUp() override {
    std::wstring name =
        L"editor-main-" + Utf8ToWide(testing::UnitTest::GetInstance()->current_test_info()->name());
    dir = testsupport::MakeTempDir(name);
    // The settings of the prefix's user, as the program keeps them, from nothing.
    ForceDirectories(DefaultSettingsDir());
    DeleteFileW(SettingsFile().c_str());
    tone = dir + L"\\tone.wav";
    testsupport::WriteToneWav(tone, 44100, 2, 44100);
  }
  void TearDown() override {
    delete form;
    form = nullptr;
  }
  static std::wstring SettingsFile() { return DefaultSettingsDir() + SettingsFileTitle; }
  void Create(const std::wstring& commandLine = L"") {
    form = new TfrmMain(nullptr);
    form->CommandLineFile = commandLine;
    form->AfterConstruction();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
    testsupport::PumpFor(100);
  }
  void Update() { form->ActionList->UpdateActions(); }
  bool Enabled(const wchar_t* name) {
    Update();
    TAction* a = form->FindAction(name);
    EXPECT_NE(a, nullptr) << name;
    return a && a->Enabled();
  }
  IAudioEditor2Position& Pos() {
    pos = form->AudioEditor->Position();
    return *pos;
  }
  void Select(int a, int b) {
    Pos().SetSelectionActive(-1);
    Pos().SetSelectionStart(a);
    Pos().SetSelectionEnd(b);
  }
  TfrmMain* form = nullptr;
  std::wstring dir, tone;
  std::shared_ptr<IAudioEditor2Position> pos;
};

} // namespace

// ---------------------------------------------------------------------------
// Tables

TEST(MainCommands, EnablingTable) {
  struct Row {
    TCommandConditions c;
    std::vector<const wchar_t*> on, off;
  };
  TCommandConditions none;
  TCommandConditions loaded{true, 0, false, false, false, false};
  TCommandConditions sel{true, 0, true, false, false, false};
  TCommandConditions clip{true, 0, true, true, true, true};
  TCommandConditions playing{true, 1, true, true, true, true};
  TCommandConditions paused{true, 5, false, false, false, false};
  TCommandConditions recording{true, 2, false, false, false, false};
  TCommandConditions undoNoDoc{false, 0, false, false, true, true};
  const Row rows[] = {
      {none,
       {L"ActionNew", L"ActionOpen", L"ActionHorizontalFormatDecimcal",
        L"ActionVerticalFormatVisiable", L"ActionWaveformMode", L"ActionSpectralMode"},
       {L"ActionClose", L"ActionSave", L"ActionSaveAs", L"ActionUndo", L"ActionRedo", L"ActionPlay",
        L"ActionStop", L"ActionFrequencyAnalysis", L"ActionAmplify", L"ActionZoomIn",
        L"ActionSelectAll"}},
      {loaded,
       {L"ActionClose", L"ActionSave", L"ActionSaveAs", L"ActionPasteFromFile", L"ActionSelectAll",
        L"ActionInsertMarker", L"ActionZoomIn", L"ActionFullZoom", L"ActionSetSelection",
        L"ActionPlay", L"ActionPause", L"ActionGoToEnd", L"ActionAmplify", L"ActionPeakEQFilter",
        L"ActionAudioInformation"},
       {L"ActionSaveSelectionAs", L"ActionCut", L"ActionCopy", L"ActionPaste", L"ActionMix",
        L"ActionCrop", L"ActionTrim", L"ActionZoomInSelection", L"ActionStop", L"ActionUndo"}},
      {sel,
       {L"ActionSaveSelectionAs", L"ActionCut", L"ActionCopy", L"ActionCrop", L"ActionTrim",
        L"ActionDeleteClear", L"ActionSilenceSelection", L"ActionMixFromFile",
        L"ActionZoomInSelection"},
       {L"ActionPaste", L"ActionMix"}},
      {clip, {L"ActionPaste", L"ActionMix", L"ActionUndo", L"ActionRedo"}, {L"ActionStop"}},
      {playing,
       {L"ActionPlay", L"ActionPause", L"ActionPlayLoop", L"ActionStop", L"ActionForward",
        L"ActionRewind", L"ActionGoToStart", L"ActionGoToEnd", L"ActionFrequencyAnalysis"},
       {L"ActionNew", L"ActionOpen", L"ActionSave", L"ActionCut", L"ActionUndo", L"ActionAmplify",
        L"ActionWaveformMode", L"ActionZoomIn", L"ActionAudioInformation"}},
      {paused,
       {L"ActionPlay", L"ActionStop", L"ActionFrequencyAnalysis"},
       {L"ActionOpen", L"ActionSelectAll"}},
      {recording,
       {L"ActionStop", L"ActionFrequencyAnalysis"},
       {L"ActionPlay", L"ActionPause", L"ActionPlayLoop", L"ActionForward", L"ActionGoToStart",
        L"ActionSave"}},
      {undoNoDoc, {L"ActionNew"}, {L"ActionUndo", L"ActionRedo"}},
  };
  int i = 0;
  for (const auto& r : rows) {
    auto m = ComputeCommandStates(r.c);
    for (auto n : r.on)
      EXPECT_TRUE(m.at(n)) << "row " << i << " " << WideToUtf8(n);
    for (auto n : r.off)
      EXPECT_FALSE(m.at(n)) << "row " << i << " " << WideToUtf8(n);
    EXPECT_FALSE(m.count(L"ActionRecord"));
    EXPECT_FALSE(m.count(L"ActionExit"));
    EXPECT_FALSE(m.count(L"ActionOutputFormatSetting"));
    ++i;
  }
}

TEST(MainCommands, ZoomAndScrollArithmetic) {
  int a, b;
  ZoomInRange(0, 1000, 3000, a, b);
  EXPECT_EQ(a, 1500);
  EXPECT_EQ(b, 2000);
  ZoomInRange(100, 1100, 600, a, b);
  EXPECT_EQ(a, 350);
  EXPECT_EQ(b, 850);
  ZoomInRange(0, 999, 0, a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 500);
  // Cursor one sample inside: no change; on the edge: re-centred.
  EXPECT_FALSE(ScrollRange(1000, 2000, 1001, 100000, a, b));
  EXPECT_FALSE(ScrollRange(1000, 2000, 1999, 100000, a, b));
  ASSERT_TRUE(ScrollRange(1000, 2000, 1000, 100000, a, b));
  EXPECT_EQ(a, 500);
  EXPECT_EQ(b, 1500);
  ASSERT_TRUE(ScrollRange(1000, 2000, 2000, 100000, a, b));
  EXPECT_EQ(a, 1500);
  EXPECT_EQ(b, 2500);
  ASSERT_TRUE(ScrollRange(1000, 2000, 100, 100000, a, b));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1000);
  ASSERT_TRUE(ScrollRange(1000, 2000, 99900, 100000, a, b));
  EXPECT_EQ(a, 99000);
  EXPECT_EQ(b, 100000);
  ASSERT_TRUE(ScrollRange(1000, 2001, 50000, 100000, a, b));
  EXPECT_EQ(b - a, 1000);
  EXPECT_EQ(ForwardTarget(1000000 - 299999, 1000000), 1000000);
  EXPECT_EQ(ForwardTarget(1000000 - 300000, 1000000), 1000000);
  EXPECT_EQ(ForwardTarget(1000, 1000000), 301000);
  EXPECT_EQ(RewindTarget(200000), 0);
  EXPECT_EQ(RewindTarget(200001), 1);
}

TEST(MainCommands, SaveFilterAndExtensions) {
  std::wstring f = SaveDialogFilter();
  int bars = 0;
  for (wchar_t c : f)
    bars += c == L'|';
  EXPECT_EQ(bars, 29);
  EXPECT_EQ(f.substr(0, 20), L"MPEG3  (*.mp3)|*.mp3");
  EXPECT_EQ(ReplaceExtension(L"C:\\a\\song.mp3", L".wav"), L"C:\\a\\song.wav");
  EXPECT_EQ(ReplaceExtension(L"C:\\a\\song", L".ogg"), L"C:\\a\\song.ogg");
}

// ---------------------------------------------------------------------------
// The window

TEST_F(MainWindowTest, FirstStartWritesDefaultsAndShowsTheCover) {
  Create();
  EXPECT_TRUE(FileExists(GetSettingsFileName()));
  EXPECT_FALSE(form->IsDocumentLoaded());
  EXPECT_EQ(form->Caption(), AppTitle);
  EXPECT_EQ(GlobalVars.MasterWindowLeft, form->Left() + form->Width() + 10);
  TIniFile ini(GetSettingsFileName());
  EXPECT_EQ(ini.ReadInteger(L"SYSTEM", L"MasterWindowLeft", -1), 0);
  EXPECT_EQ(GlobalVars.TempFolder.back(), L'\\');
  // Recent-file menus hidden with an empty list.
  EXPECT_FALSE(form->meuRecetFiles->Visible());
  EXPECT_TRUE(Enabled(L"ActionNew"));
  EXPECT_FALSE(Enabled(L"ActionClose"));
  EXPECT_TRUE(form->ActionRecord->Enabled());
}

TEST_F(MainWindowTest, CommandLineFileOpensAtStartUp) {
  Create(tone);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->IsDocumentLoaded(); }));
  EXPECT_EQ(form->Caption(), std::wstring(AppTitle) + L" - [tone]");
  EXPECT_EQ(form->FileName(), tone);
  EXPECT_EQ(Pos().Length(), 44100);
  EXPECT_EQ(form->StatusPaneHz->Caption(), L"44,100 Hz");
  EXPECT_EQ(form->StatusPaneChannel->Caption(), L"Stereo");
  EXPECT_EQ(form->StatusPaneTimeLengh->Caption(), L"00:00:01.000");
  EXPECT_NE(form->StatusPaneFreeSize->Caption(), L"Error!");
  EXPECT_EQ(GlobalVars.LastOpenDir, AddBackslash(dir));
  // The recent-file menus appear with the first entry.
  EXPECT_TRUE(form->meuRecetFiles->Visible());
  EXPECT_EQ(form->TfMRUList->Items()->Get(0), tone);
  Select(0, 44100);
  form->UpdateSelectionPanes();
  testsupport::PumpFor(200);
  testsupport::SaveWindowPng(form->Handle(), L"editor-main-loaded.png");
}

TEST_F(MainWindowTest, ToolbarAndMenuImagesAreLoaded) {
  Create(L"");
  ASSERT_NE(form->PngImageList, nullptr);
  EXPECT_EQ(form->PngImageList->Count(), kEditorImageCount);
  // The platform list is made once after the last image, and holds them all.
  EXPECT_EQ(ImageList_GetImageCount(form->PngImageList->Handle()), kEditorImageCount);
  EXPECT_EQ(form->PngImageList->Width(), 16);
  EXPECT_EQ(form->PngImageList->Height(), 16);
  EXPECT_EQ(form->ActionList->Images(), form->PngImageList);
  EXPECT_EQ(form->ActionNew->ImageIndex(), 0);
  EXPECT_EQ(form->ActionPlay->ImageIndex(), 17);
  EXPECT_EQ(form->ActionHelpContents->ImageIndex(), 31);
  EXPECT_EQ(form->ActionExit->ImageIndex(), -1);
}

// The analysis and information windows are made on their first use, once.
TEST_F(MainWindowTest, AnalysisAndInformationWindowsWaitForTheirFirstUse) {
  Create(L"");
  int analysisMade = 0, infoMade = 0;
  std::unique_ptr<TfrmFreAnalysis> analysis;
  form->MakeFreAnalysisWindow = [&] {
    ++analysisMade;
    analysis = std::make_unique<TfrmFreAnalysis>(nullptr, form->AudioEditor);
    analysis->AfterConstruction();
    return analysis.get();
  };
  form->MakeInfoWindow = [&] {
    ++infoMade;
    return static_cast<TfrmInfo*>(nullptr);
  };
  EXPECT_EQ(form->FreAnalysisWindow, nullptr);
  EXPECT_EQ(form->InfoWindow, nullptr);
  // Without a document the information window is not needed.
  form->ActionAudioInformation->OnExecute(nullptr);
  EXPECT_EQ(infoMade, 0);
  form->ActionFrequencyAnalysis->OnExecute(nullptr);
  ASSERT_EQ(analysisMade, 1);
  EXPECT_EQ(form->FreAnalysisWindow, analysis.get());
  EXPECT_TRUE(analysis->Showing());
  analysis->Close();
  testsupport::PumpFor(100);
  EXPECT_FALSE(analysis->Showing());
  form->ActionFrequencyAnalysis->OnExecute(nullptr);
  EXPECT_EQ(analysisMade, 1);
  EXPECT_TRUE(analysis->Showing());
  analysis->Close();
  form->FreAnalysisWindow = nullptr;
  form->MakeFreAnalysisWindow = nullptr;
  form->MakeInfoWindow = nullptr;
}

TEST_F(MainWindowTest, MissingCommandLineFileIsIgnored) {
  Create(dir + L"\\missing.wav");
  testsupport::PumpFor(300);
  EXPECT_FALSE(form->IsDocumentLoaded());
  EXPECT_EQ(form->Caption(), AppTitle);
}

TEST_F(MainWindowTest, EnablingFollowsTheDocument) {
  Create();
  form->OpenDocument(tone);
  EXPECT_TRUE(Enabled(L"ActionSave"));
  EXPECT_FALSE(Enabled(L"ActionCut"));
  EXPECT_FALSE(Enabled(L"ActionUndo"));
  Select(100, 200);
  EXPECT_TRUE(Enabled(L"ActionCut"));
  EXPECT_FALSE(Enabled(L"ActionPaste"));
  form->ActionCopy->Execute();
  EXPECT_TRUE(Enabled(L"ActionPaste"));
  form->ActionDeleteClear->Execute();
  EXPECT_TRUE(Enabled(L"ActionUndo"));
  // Undo needs a loaded document even when the control has history.
  testsupport::ModalActor no(L"Save changes?", L"&No");
  form->ActionClose->Execute();
  EXPECT_TRUE(no.Acted());
  EXPECT_FALSE(form->IsDocumentLoaded());
  EXPECT_FALSE(Enabled(L"ActionUndo"));
  EXPECT_FALSE(Enabled(L"ActionPlay"));
}

TEST_F(MainWindowTest, EditCommandsOnExactRanges) {
  Create();
  form->OpenDocument(tone);
  Select(1000, 2000);
  form->ActionCut->Execute();
  EXPECT_EQ(Pos().Length(), 43100);
  EXPECT_TRUE(form->HasClipboard());
  EXPECT_EQ(form->OperationText(), L"Cuting the selection of");
  form->ActionUndo->Execute();
  EXPECT_EQ(Pos().Length(), 44100);
  form->ActionRedo->Execute();
  EXPECT_EQ(Pos().Length(), 43100);
  Select(0, 0);
  Pos().SetSelectionActive(0);
  Pos().SetCursor(500);
  form->ActionPaste->Execute();
  EXPECT_EQ(Pos().Length(), 44100);
  Select(100, 600);
  form->ActionCrop->Execute();
  EXPECT_EQ(Pos().Length(), 500);
  EXPECT_EQ(form->OperationText(), L"Croping the selection of");
  form->ActionSelectAll->Execute();
  EXPECT_EQ(Pos().SelectionStart(), 0);
  EXPECT_EQ(Pos().SelectionEnd(), 500);
  EXPECT_EQ(form->StatusPaneSelectEnd->Caption(), L"00:00:00.011");
  Select(10, 30);
  form->ActionInsertMarker->Execute();
  form->ActionInsertMarker->Execute();
  ASSERT_EQ(form->AudioEditor->MarkerList().size(), 2u);
  EXPECT_EQ(form->AudioEditor->MarkerList()[1].Name, L"Marker2");
  EXPECT_TRUE(form->IsModified());
}

TEST_F(MainWindowTest, ViewCommandsMoveTheCursorAndWriteKeys) {
  testsupport::WriteToneWav(tone, 8000, 1, 1000000);
  Create();
  form->OpenDocument(tone);
  Pos().SetCursor(1000000 - 299999);
  form->ActionForward->Execute();
  EXPECT_EQ(Pos().Cursor(), 1000000);
  Pos().SetCursor(200001);
  form->ActionRewind->Execute();
  EXPECT_EQ(Pos().Cursor(), 1);
  form->ActionGoToEnd->Execute();
  EXPECT_EQ(Pos().Cursor(), 1000000);
  EXPECT_GE(Pos().ViewEnd(), 999999);
  form->ActionHorizontalFormatSample->Execute();
  EXPECT_EQ(ReadSettingInteger(L"Horizontal", L"Format", 0), 2);
  EXPECT_EQ(form->AudioEditor->ScaleX()->Format(), 1);
  form->ActionSpectralMode->Execute();
  EXPECT_EQ(ReadSettingInteger(L"WaveMode", L"Mode", 0), 2);
  for (int i = 0; i < 6; ++i)
    form->ActionVerticalZoomOut->Execute();
  EXPECT_EQ(form->VerticalZoom(), -20);
  // Stop while idle does nothing.
  form->ActionStop->Execute();
  EXPECT_EQ(form->AudioEditor->State(), 0);
}

TEST_F(MainWindowTest, FailedOpenKeepsThePreviousDocument) {
  Create();
  form->OpenDocument(tone);
  std::wstring caption = form->Caption();
  std::wstring bad = dir + L"\\bad.wav";
  {
    FILE* f = _wfopen(bad.c_str(), L"wb");
    fputs("not a sound", f);
    fclose(f);
  }
  EXPECT_ANY_THROW(form->OpenDocument(bad));
  EXPECT_EQ(form->Caption(), caption);
  EXPECT_EQ(form->FileName(), tone);
  EXPECT_TRUE(form->IsDocumentLoaded());
  EXPECT_EQ(Pos().Length(), 44100);
}

TEST_F(MainWindowTest, MendedSamplesAreToldInTheStatusBar) {
  Create();
  // A float WAV with one NaN among its samples.
  std::wstring path = dir + L"\\nan.wav";
  std::vector<float> data(1000, 0.25f);
  data[10] = std::nanf("");
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, f); };
  fwrite("RIFF", 1, 4, f);
  u32(36 + 4000);
  fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(3);
  u16(1);
  u32(8000);
  u32(32000);
  u16(4);
  u16(32);
  fwrite("data", 1, 4, f);
  u32(4000);
  fwrite(data.data(), 4, data.size(), f);
  fclose(f);
  form->OpenDocument(path);
  EXPECT_NE(form->StatusPaneHint->Caption().find(L"not numbers"), std::wstring::npos);
  // A clean file says nothing.
  form->OpenDocument(tone);
  EXPECT_EQ(form->StatusPaneHint->Caption(), L"");
}

TEST_F(MainWindowTest, ModifiedDocumentAsksBeforeClosing) {
  Create();
  form->OpenDocument(tone);
  Select(0, 100);
  form->ActionDeleteClear->Execute();
  {
    testsupport::ModalActor cancel(L"Save changes?", L"Cancel");
    cancel.Repeat();
    form->ActionClose->Execute();
    EXPECT_EQ(cancel.Count(), 1);
    EXPECT_NE(cancel.SeenText().find(L"\"tone\" has been modified"), std::wstring::npos);
    EXPECT_TRUE(form->IsDocumentLoaded());
    bool canClose = true;
    form->FormCloseQuery(form, canClose);
    EXPECT_FALSE(canClose);
    EXPECT_FALSE(form->NewDocument());
    EXPECT_EQ(form->FileName(), tone);
  }
  // Yes saves under the document's own name.
  testsupport::ModalActor yes(L"Save changes?", L"&Yes");
  form->ActionClose->Execute();
  EXPECT_TRUE(yes.Acted());
  EXPECT_FALSE(form->IsDocumentLoaded());
  form->OpenDocument(tone);
  EXPECT_EQ(Pos().Length(), 44000);
  EXPECT_FALSE(form->IsModified());
}

TEST_F(MainWindowTest, SaveAsEveryEntryAndReadBack) {
  Create();
  form->OpenDocument(tone);
  testsupport::ModalActor replace(L"Save audio files", IDYES);
  replace.Repeat();
  for (int i = 1; i <= kSaveFilterCount; ++i) {
    std::wstring name = dir + L"\\out" + IntToStr(i) + L".mp3";
    if (i == 13) {
      // The engine has no encoder for this variant: the failure leaves the name as it was.
      std::wstring before = form->FileName();
      EXPECT_ANY_THROW(form->SaveAsTo(name, i, false));
      EXPECT_EQ(form->FileName(), before);
      continue;
    }
    ASSERT_TRUE(form->SaveAsTo(name, i, false)) << i;
    std::wstring written = form->FileName();
    EXPECT_TRUE(FileExists(written)) << i;
    EXPECT_GT(FileSizeOf(written), 44) << i;
    EXPECT_EQ(form->Caption(), std::wstring(AppTitle) + L" - [out" + IntToStr(i) + L"]");
    TAudioEditor2 check(nullptr);
    check.OpenFile(written);
    EXPECT_GT(check.Position()->Length(), 0) << i;
    EXPECT_GT(check.FileInfo()->SampleRate(), 0) << i;
  }
  EXPECT_EQ(ExtractFileExt(form->FileName()), L".wav");
}

TEST_F(MainWindowTest, SaveByExtension) {
  Create();
  GlobalVars.PcmRate = 22050;
  GlobalVars.PcmChannel = 1;
  form->OpenDocument(tone);
  Select(0, 100);
  form->ActionDeleteClear->Execute();
  form->ActionSave->Execute();
  EXPECT_FALSE(form->IsModified());
  TAudioEditor2 check(nullptr);
  check.OpenFile(tone);
  EXPECT_EQ(check.FileInfo()->SampleRate(), 22050);
  EXPECT_EQ(check.FileInfo()->Channels(), 1);
  // Upper-case extension still picks its format.
  std::wstring upper = dir + L"\\UP.MP3";
  testsupport::ModalActor replace(L"Save audio files", IDYES);
  replace.Repeat();
  ASSERT_TRUE(form->SaveAsTo(dir + L"\\UP.x", 1, false));
  EXPECT_TRUE(SameText(form->FileName(), upper));
  form->ActionSave->Execute();
  TAudioEditor2 mp3(nullptr);
  mp3.OpenFile(form->FileName());
  EXPECT_GT(mp3.Position()->Length(), 0);
}

TEST_F(MainWindowTest, SaveOfAnExtensionWithoutFormatGoesToSaveAs) {
  Create();
  std::wstring aif = dir + L"\\copy.aif";
  ASSERT_TRUE(CopyFileW(tone.c_str(), aif.c_str(), FALSE));
  long long before = FileSizeOf(aif);
  // A .aif name holding WAV data still opens; Save must not write another format under that name.
  try {
    form->OpenDocument(aif);
  } catch (...) {
    GTEST_SKIP() << "the engine does not open this file";
  }
  testsupport::ModalActor cancel(L"Save audio files", IDCANCEL);
  form->ActionSave->Execute();
  EXPECT_TRUE(cancel.Acted());
  EXPECT_EQ(FileSizeOf(aif), before);
  EXPECT_EQ(form->FileName(), aif);
}

TEST_F(MainWindowTest, OverwriteQuestionNamesTheRealFile) {
  Create();
  form->OpenDocument(tone);
  std::wstring existing = dir + L"\\taken.wav";
  ASSERT_TRUE(CopyFileW(tone.c_str(), existing.c_str(), FALSE));
  {
    testsupport::ModalActor no(L"Save audio files", IDNO);
    EXPECT_FALSE(form->SaveAsTo(dir + L"\\taken.mp3", 15, false));
    ASSERT_TRUE(no.Acted());
    EXPECT_EQ(no.SeenText(), existing + L" already exists.\r\nDo you want to replace it?");
  }
  EXPECT_EQ(form->FileName(), tone);
  testsupport::ModalActor asked(L"Save audio files", IDNO);
  EXPECT_TRUE(form->SaveAsTo(dir + L"\\fresh.wav", 1, false));
  EXPECT_FALSE(asked.Acted());
}

TEST_F(MainWindowTest, SaveSelectionAsKeepsTheDocumentName) {
  Create();
  form->OpenDocument(tone);
  Select(0, 4410);
  std::wstring part = dir + L"\\part.wav";
  ASSERT_TRUE(form->SaveAsTo(part, 15, true));
  EXPECT_EQ(form->FileName(), tone);
  EXPECT_EQ(form->Caption(), std::wstring(AppTitle) + L" - [tone]");
  TAudioEditor2 check(nullptr);
  check.OpenFile(part);
  EXPECT_EQ(check.Position()->Length(), 4410);
}

TEST_F(MainWindowTest, NewDocumentThenSaveAsksForAName) {
  Create();
  {
    testsupport::ModalActor ok(L"New Sample", L"OK", testsupport::OnForm<TfrmNew>([](auto* d) {
                                 d->cbSampleRate->SetItemIndex(10); // 8,000 Hz
                                 d->rbMono->SetChecked(true);
                               }));
    ASSERT_TRUE(form->NewDocument());
    EXPECT_TRUE(ok.Acted());
  }
  EXPECT_TRUE(form->IsNewDocument());
  EXPECT_EQ(form->FileName(), L"New Recording");
  EXPECT_EQ(form->Caption(), std::wstring(AppTitle) + L" - [New Recording]");
  EXPECT_EQ(form->StatusPaneHz->Caption(), L"8,000 Hz");
  EXPECT_EQ(form->StatusPaneChannel->Caption(), L"Mono");
  testsupport::ModalActor cancel(L"Save audio files", IDCANCEL);
  form->ActionSave->Execute();
  EXPECT_TRUE(cancel.Acted());
}

TEST_F(MainWindowTest, MissingRecentFileIsReportedAndRemoved) {
  Create();
  std::wstring gone = dir + L"\\gone.wav";
  ASSERT_TRUE(CopyFileW(tone.c_str(), gone.c_str(), FALSE));
  form->OpenDocument(gone);
  form->OpenDocument(tone);
  ASSERT_EQ(form->TfMRUList->Items()->Count(), 2);
  DeleteFileW(gone.c_str());
  testsupport::ModalActor ok(L"Error", IDOK);
  form->TfMRUListClick(form, gone);
  ASSERT_TRUE(ok.Acted());
  EXPECT_NE(ok.SeenText().find(L"could not be found"), std::wstring::npos);
  EXPECT_EQ(form->TfMRUList->Items()->Count(), 1);
  EXPECT_EQ(form->FileName(), tone);
  TTfMRUList again(nullptr);
  again.SetMaxItems(6);
  TIniFile ini(GetSettingsFileName());
  again.LoadFromIniFile(&ini, L"MRU");
  EXPECT_EQ(again.Items()->Count(), 1);
}

TEST_F(MainWindowTest, SettingsComeBackAtTheNextStart) {
  Create();
  form->ActionHorizontalFormatSample->Execute();
  form->ActionVerticalFormatDecibel->Execute();
  GlobalVars.Mp3Bitrate = 192;
  bool canClose = true;
  form->FormCloseQuery(form, canClose);
  TCloseAction action = caHide;
  form->FormClose(form, action);
  delete form;
  form = nullptr;
  GlobalVars = TGlobalVars{};
  Create();
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 192);
  EXPECT_EQ(form->AudioEditor->ScaleX()->Format(), 1);
  EXPECT_EQ(form->AudioEditor->ScaleY()->Format(), 3);
}

// Headerless files carry no code width: the window opens them with the
// settings it saves them with, from the settings file at start-up and from
// the Output Format dialog after OK.
TEST_F(MainWindowTest, HeaderlessFilesOpenWithTheOutputFormatSettings) {
  {
    TIniFile ini(SettingsFile());
    ini.WriteInteger(L"G726", L"BitDepth", 2);
  }
  Create();
  ASSERT_EQ(GlobalVars.G726BitDepth, 2);
  form->OpenDocument(tone); // 1 s
  testsupport::ModalActor replace(L"Save audio files", IDYES);
  replace.Repeat();
  auto savedSeconds = [&](int entry, const std::wstring& name) {
    EXPECT_TRUE(form->SaveAsTo(dir + name, entry, false));
    form->OpenDocument(form->FileName());
    auto p = form->AudioEditor->Position();
    return double(p->Length()) / form->AudioEditor->FileInfo()->SampleRate();
  };
  // Read with another width the file would come out 2/4 or 4/3 as long.
  EXPECT_NEAR(savedSeconds(7, L"\\two.g726"), 1.0, 0.06);
  {
    testsupport::ModalActor ok(L"Output Format", L"OK",
                               testsupport::OnForm<TfrmOutputFormat>([](auto* d) {
                                 d->cbG276Bitdepth->SetItemIndex(1); // 3 bits
                                 d->cbVOXRate->SetItemIndex(0);      // 6000 Hz
                               }));
    form->ActionOutputFormatSetting->Execute();
    EXPECT_TRUE(ok.Acted());
  }
  ASSERT_EQ(GlobalVars.G726BitDepth, 3);
  form->OpenDocument(tone);
  EXPECT_NEAR(savedSeconds(7, L"\\three.g726"), 1.0, 0.06);
  form->OpenDocument(tone);
  EXPECT_NEAR(savedSeconds(4, L"\\slow.vox"), 1.0, 0.01);
  EXPECT_EQ(form->AudioEditor->FileInfo()->SampleRate(), 6000);
}

// The program started as the recorder starts it: one quoted path.
TEST(TessaroProgram, OpensTheQuotedPathOfItsArgument) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = ExtractFilePath(self) + L"Tessaro.exe";
  if (!FileExists(exe)) GTEST_SKIP() << "Tessaro.exe is not built";
  std::wstring dir = testsupport::MakeTempDir(L"editor-program");
  std::wstring file = dir + L"\\my take.wav";
  testsupport::WriteToneWav(file, 22050, 1, 22050);
  std::wstring cmd = L"\"" + exe + L"\" \"" + file + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             dir.c_str(), &si, &pi));
  std::wstring caption = std::wstring(AppTitle) + L" - [my take]";
  HWND wnd = nullptr;
  bool found = testsupport::PumpUntil(
      [&] {
        wnd = FindWindowW(nullptr, caption.c_str());
        return wnd != nullptr;
      },
      30000);
  if (found) {
    testsupport::SaveWindowPng(wnd, L"editor-program-started.png");
    PostMessageW(wnd, WM_CLOSE, 0, 0);
  }
  bool ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(found);
  EXPECT_TRUE(ended);
}

TEST_F(MainWindowTest, TransportFollowsTheControlState) {
  testsupport::WriteToneWav(tone, 44100, 2, 44100 * 5);
  Create();
  form->OpenDocument(tone);
  try {
    form->ActionPause->Execute(); // idle: starts playing
  } catch (...) {
    GTEST_SKIP() << "no playback device";
  }
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->AudioEditor->State() == 1; }, 3000));
  EXPECT_FALSE(Enabled(L"ActionOpen"));
  EXPECT_TRUE(Enabled(L"ActionStop"));
  form->ActionPause->Execute();
  EXPECT_EQ(form->AudioEditor->State(), 5);
  Update();
  EXPECT_FALSE(form->AudioEditor->MouseEventsEnabled());
  form->ActionPlay->Execute(); // paused: resumes
  EXPECT_EQ(form->AudioEditor->State(), 1);
  form->ActionPlay->Execute(); // playing: stops
  EXPECT_EQ(form->AudioEditor->State(), 0);
  Update();
  EXPECT_TRUE(form->AudioEditor->MouseEventsEnabled());
  // Closing while playing stops playback first.
  form->ActionPlay->Execute();
  EXPECT_EQ(form->AudioEditor->State(), 1);
  bool canClose = false;
  form->FormCloseQuery(form, canClose);
  EXPECT_TRUE(canClose);
  EXPECT_EQ(form->AudioEditor->State(), 0);
}

// ---------------------------------------------------------------------------
// Dock, menu bar, toolbars, popups, recent files and status bars

namespace {

// The entries of a menu or toolbar: captions of items and submenus (a
// submenu's entries follow as "Sub/Entry"), separators as "-" ("" when blank),
// recent-file list items as "<MRU>".
std::vector<std::wstring> Entries(TTfCustomItem* parent, const std::wstring& prefix = L"") {
  std::vector<std::wstring> r;
  for (int i = 0; i < parent->ChildCount(); ++i) {
    TTfCustomItem* c = parent->ChildAt(i);
    if (auto* s = dynamic_cast<TTfSeparatorItem*>(c)) {
      r.push_back(s->Blank() ? L"" : L"-");
    } else if (dynamic_cast<TTfMRUListItem*>(c)) {
      r.push_back(prefix + L"<MRU>");
    } else {
      r.push_back(prefix + c->Caption());
      if (dynamic_cast<TTfSubmenuItem*>(c)) {
        auto sub = Entries(c, prefix + c->Caption() + L"/");
        r.insert(r.end(), sub.begin(), sub.end());
      }
    }
  }
  return r;
}

std::vector<std::wstring> WithoutSeparators(std::vector<std::wstring> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](auto& s) { return s.empty() || s == L"-"; }),
          v.end());
  return v;
}

// Every item bound to an action, in the tree below parent.
void BoundItems(TTfCustomItem* parent, std::vector<TTfCustomItem*>& out) {
  for (int i = 0; i < parent->ChildCount(); ++i) {
    TTfCustomItem* c = parent->ChildAt(i);
    if (c->Action()) out.push_back(c);
    BoundItems(c, out);
  }
}

// The action names of a toolbar's items, separators as "-" ("" when blank).
std::vector<std::wstring> ActionNames(TTfCustomItem* parent) {
  std::vector<std::wstring> r;
  for (int i = 0; i < parent->ChildCount(); ++i) {
    TTfCustomItem* c = parent->ChildAt(i);
    if (auto* s = dynamic_cast<TTfSeparatorItem*>(c))
      r.push_back(s->Blank() ? L"" : L"-");
    else
      r.push_back(c->Action() ? c->Action()->Name() : L"?" + c->Caption());
  }
  return r;
}

using Strings = std::vector<std::wstring>;

} // namespace

TEST_F(MainWindowTest, MenuBarHoldsEveryMenuBoundToTheActions) {
  Create();
  ASSERT_TRUE(form->ToolbarMainMenu->MenuBar());
  EXPECT_TRUE(form->ToolbarMainMenu->ProcessShortCuts());
  EXPECT_EQ(form->ToolbarMainMenu->CurrentDock(), form->Dock);
  EXPECT_EQ(form->ToolbarEdit->CurrentDock(), form->Dock);
  EXPECT_EQ(form->ToolbarMainMenu->AssignedRow, 0);
  EXPECT_EQ(form->ToolbarEdit->AssignedRow, 1);
  EXPECT_EQ(form->ToolbarMainMenu->Width(), form->Dock->Width()); // full size
  EXPECT_EQ(form->Menu(), nullptr); // no window menu beside the menu bar
  TTfCustomItem* root = form->ToolbarMainMenu->Items();
  Strings menus;
  for (int i = 0; i < root->ChildCount(); ++i)
    menus.push_back(root->ChildAt(i)->Caption());
  EXPECT_EQ(menus, (Strings{L"&File", L"&Edit", L"&View", L"&Action", L"&Transform", L"&Filter",
                            L"&Options", L"&Help"}));
  EXPECT_EQ(root->ChildAt(0), form->meuFile);
  EXPECT_EQ(root->ChildAt(7), form->meuHelp);
  EXPECT_EQ(WithoutSeparators(Entries(form->meuFile)),
            (Strings{L"New...", L"Open...", L"Close", L"Save", L"Save As...",
                     L"Save Selection As...", L"Recent Files", L"Recent Files/<MRU>", L"Exit"}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuEdit)),
            (Strings{L"Undo", L"Redo", L"Cut", L"Copy", L"Paste", L"Paste From File...", L"Mix...",
                     L"Mix From File...", L"Crop", L"Trim...", L"Delete(Clear)",
                     L"Silence Selection", L"Select All", L"Audio Information..."}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuView)),
            (Strings{L"Waveform Mode",
                     L"Spectral Mode",
                     L"Left Channel",
                     L"Right Channel",
                     L"Set Selection...",
                     L"Zoom In",
                     L"Zoom Out",
                     L"Zoom In Selection",
                     L"Full Zoom",
                     L"Vertical Zoom In",
                     L"Vertical Zoom Out",
                     L"Horizontal Scale Format",
                     L"Horizontal Scale Format/Decimcal (m:ss.dddd)",
                     L"Horizontal Scale Format/Sample",
                     L"Horizontal Scale Format/Visible",
                     L"Vertical Scale Format",
                     L"Vertical Scale Format/Decibel Values",
                     L"Vertical Scale Format/Normalized Values",
                     L"Vertical Scale Format/Sample Values",
                     L"Vertical Scale Format/Visiable",
                     L"Frequency Analysis...",
                     L"Toolbar",
                     L"Toolbar/Standard"}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuAction)),
            (Strings{L"Play", L"Play Loop", L"Record...", L"Pause", L"Stop", L"Rewind", L"Forward",
                     L"Go To Start", L"Go To End"}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuTransform)), (Strings{L"Insert Silence...",
                                                                     L"Delete Silence...",
                                                                     L"Add Noise...",
                                                                     L"Fade",
                                                                     L"Fade/In",
                                                                     L"Fade/Out",
                                                                     L"Fade/Custom...",
                                                                     L"Amplify...",
                                                                     L"Normalize...",
                                                                     L"Compressor...",
                                                                     L"Expander...",
                                                                     L"Vibrato...",
                                                                     L"Invert",
                                                                     L"Reverse",
                                                                     L"Delay...",
                                                                     L"Phaser...",
                                                                     L"Flanger...",
                                                                     L"Reverb...",
                                                                     L"Chorus...",
                                                                     L"Channel Converter...",
                                                                     L"Stretch Time...",
                                                                     L"Pitch Shift..."}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuFilter)),
            (Strings{L"Notch Filter...", L"Band Pass...", L"Low Pass...", L"High Pass...",
                     L"Low Shelf...", L"High Shelf...", L"Peak EQ Filter..."}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuOptions)),
            (Strings{L"Windows Recording Mixer...", L"Output Format Setting...", L"Properties...",
                     L"Show/Hide Effect Bar"}));
  EXPECT_EQ(WithoutSeparators(Entries(form->meuHelp)),
            (Strings{L"Contents and Index", L"Support Or Bug Report", L"Home Page"}));
  // The named items of the main window.
  EXPECT_EQ(form->meuFile->ChildAt(form->meuFile->IndexOf(form->meuRecetFiles) - 1),
            form->meuSeparatorReopen);
  EXPECT_EQ(form->meuHorizontalDecimcalmssdddd->Action(), form->ActionHorizontalFormatDecimcal);
  EXPECT_EQ(form->meuHorizontalSample->Action(), form->ActionHorizontalFormatSample);
  EXPECT_EQ(form->meuVerticalDecibel->Action(), form->ActionVerticalFormatDecibel);
  EXPECT_EQ(form->meuVerticalNormalized->Action(), form->ActionVerticalFormatNormalized);
  EXPECT_EQ(form->meuVerticalSample->Action(), form->ActionVerticalFormatSample);
  EXPECT_EQ(form->meuToolbarStandard->Control(), form->ToolbarEdit);

  // Every item follows its action: caption, shortcut, hint and image.
  std::vector<TTfCustomItem*> bound;
  BoundItems(root, bound);
  EXPECT_EQ(bound.size(), 84u);
  int effectItems = 0;
  for (TTfCustomItem* item : bound) {
    auto* a = dynamic_cast<TAction*>(item->Action());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(item->Caption(), a->Caption()) << a->Name();
    EXPECT_EQ(item->ShortCut(), a->ShortCut()) << a->Name();
    EXPECT_EQ(item->Hint(), a->Hint()) << a->Name();
    EXPECT_EQ(item->ImageIndex(), a->ImageIndex()) << a->Name();
    effectItems += form->EffectActions.count(a->Name()) ? 1 : 0;
  }
  EXPECT_EQ(effectItems, int(form->EffectActions.size())); // each effect once
  struct Key {
    TAction* action;
    const wchar_t* text;
  } keys[] = {{form->ActionNew, L"Ctrl+N"},
              {form->ActionOpen, L"Ctrl+O"},
              {form->ActionSave, L"Ctrl+S"},
              {form->ActionExit, L"Alt+F4"},
              {form->ActionUndo, L"Ctrl+Z"},
              {form->ActionRedo, L"Shift+Ctrl+Z"},
              {form->ActionCut, L"Ctrl+X"},
              {form->ActionCopy, L"Ctrl+C"},
              {form->ActionPaste, L"Ctrl+V"},
              {form->ActionDeleteClear, L"Del"},
              {form->ActionSelectAll, L"Ctrl+A"},
              {form->ActionPlay, L"Space"},
              {form->ActionPause, L"Enter"},
              {form->ActionStop, L"Space"},
              {form->ActionRecord, L"Ctrl+R"},
              {form->ActionGoToStart, L"Ctrl+Home"},
              {form->ActionGoToEnd, L"Ctrl+End"},
              {form->ActionHelpContents, L"F1"},
              {form->ActionClose, L""}};
  for (const auto& k : keys) {
    auto it = std::find_if(bound.begin(), bound.end(),
                           [&](TTfCustomItem* i) { return i->Action() == k.action; });
    ASSERT_NE(it, bound.end()) << k.text;
    EXPECT_EQ((*it)->ShortCutText(), k.text) << k.action->Name();
  }

  // Enabled follows the action through the idle update.
  auto itemOf = [&](TAction* a) {
    return *std::find_if(bound.begin(), bound.end(),
                         [&](TTfCustomItem* i) { return i->Action() == a; });
  };
  Update();
  EXPECT_TRUE(itemOf(form->ActionNew)->Enabled());
  EXPECT_FALSE(itemOf(form->ActionClose)->Enabled());
  EXPECT_FALSE(itemOf(form->ActionCut)->Enabled());
  EXPECT_TRUE(itemOf(form->ActionRecord)->Enabled());
  form->OpenDocument(tone);
  Update();
  EXPECT_TRUE(itemOf(form->ActionClose)->Enabled());
  EXPECT_TRUE(itemOf(form->ActionSave)->Enabled());
  EXPECT_FALSE(itemOf(form->ActionCut)->Enabled());
  Select(100, 300);
  Update();
  EXPECT_TRUE(itemOf(form->ActionCut)->Enabled());
  EXPECT_TRUE(itemOf(form->EffectActions.at(L"ActionAmplify"))->Enabled());
  // Check marks follow too.
  form->ActionSpectralMode->Execute();
  Update();
  EXPECT_TRUE(itemOf(form->ActionSpectralMode)->Checked());
  EXPECT_FALSE(itemOf(form->ActionWaveformMode)->Checked());
  form->ActionWaveformMode->Execute();
  Update();
  EXPECT_TRUE(itemOf(form->ActionWaveformMode)->Checked());
  // The format items of a hidden scale are disabled while their actions stay enabled.
  form->ActionHorizontalFormatVisible->Execute();
  Update();
  EXPECT_FALSE(form->ActionHorizontalFormatVisible->Checked());
  EXPECT_TRUE(form->ActionHorizontalFormatDecimcal->Enabled());
  EXPECT_FALSE(form->meuHorizontalDecimcalmssdddd->Enabled());
  EXPECT_FALSE(form->meuHorizontalSample->Enabled());
  EXPECT_TRUE(form->meuVerticalDecibel->Enabled());
  form->ActionHorizontalFormatVisible->Execute();
  Update();
  EXPECT_TRUE(form->meuHorizontalDecimcalmssdddd->Enabled());

  // The menu bar takes the items' shortcuts: Del deletes the selection.
  TMessage del{WM_KEYDOWN, VK_DELETE, 0, 0};
  EXPECT_TRUE(root->HandleShortCut(del));
  EXPECT_EQ(Pos().Length(), 44100 - 200);
  // A disabled item takes no shortcut: without a selection Del does nothing.
  Pos().SetSelectionActive(0);
  Update();
  EXPECT_FALSE(itemOf(form->ActionDeleteClear)->Enabled());
  EXPECT_FALSE(root->HandleShortCut(del));
  EXPECT_EQ(Pos().Length(), 44100 - 200);
}

TEST_F(MainWindowTest, ToolbarsAndPopupsHoldTheirCommands) {
  Create();
  EXPECT_EQ(ActionNames(form->ToolbarEdit->Items()), (Strings{L"ActionNew",
                                                              L"ActionRecord",
                                                              L"ActionOpen",
                                                              L"ActionSave",
                                                              L"ActionSaveAs",
                                                              L"-",
                                                              L"ActionCut",
                                                              L"ActionCopy",
                                                              L"ActionPaste",
                                                              L"ActionMix",
                                                              L"ActionDeleteClear",
                                                              L"ActionCrop",
                                                              L"-",
                                                              L"ActionUndo",
                                                              L"ActionRedo",
                                                              L"-",
                                                              L"ActionZoomIn",
                                                              L"ActionZoomOut",
                                                              L"ActionZoomInSelection",
                                                              L"ActionFullZoom",
                                                              L"-",
                                                              L"ActionSetSelection"}));
  EXPECT_EQ(form->ToolbarEdit->Caption(), L"Edit");
  EXPECT_EQ(form->ToolbarEdit->Images(), form->PngImageList);
  // Full Zoom on the toolbar keeps a hint of its own, also after its action changed.
  form->OpenDocument(tone);
  Update();
  EXPECT_EQ(form->tbFullZoom->Hint(), L"Views the complete data window.");
  EXPECT_EQ(form->ActionFullZoom->Hint(), L"Zooms in full.");
  // Under the waveform: transport left, zoom right, the selection panes between.
  EXPECT_EQ(form->buttomTBBottom->Parent(), form->StatusBarEditor);
  EXPECT_EQ(ActionNames(form->buttomTBBottom->Items()),
            (Strings{L"ActionRecord", L"-", L"ActionPlayLoop", L"ActionPlay", L"ActionStop",
                     L"ActionPause", L"ActionGoToStart", L"ActionRewind", L"ActionForward",
                     L"ActionGoToEnd", L"", L"ActionInsertMarker"}));
  EXPECT_EQ(ActionNames(form->buttomTb2->Items()),
            (Strings{L"ActionZoomIn", L"ActionZoomOut", L"", L"ActionFullZoom"}));
  EXPECT_LT(form->buttomTBBottom->Left() + form->buttomTBBottom->Width(),
            form->StatusPaneSelectStart->Left() + 1);
  EXPECT_LT(form->StatusPaneSelectStart->Left(), form->StatusPaneSelectEnd->Left());
  EXPECT_LT(form->StatusPaneSelectEnd->Left(), form->StatusPaneSelectLengh->Left());
  EXPECT_LE(form->StatusPaneSelectLengh->Left() + form->StatusPaneSelectLengh->Width(),
            form->buttomTb2->Left());
  EXPECT_EQ(form->StatusPaneSelectStart->Hint(), L"Selection Left. Double click to edit.");
  // The toolbar buttons show their images and follow their actions.
  TTfItemViewer* play =
      form->buttomTBBottom->View()->ViewerOf(form->buttomTBBottom->Items()->ChildAt(3));
  ASSERT_NE(play, nullptr);
  EXPECT_TRUE(play->IsImageShown());
  EXPECT_FALSE(play->CaptionShown());
  EXPECT_TRUE(form->buttomTBBottom->Items()->ChildAt(3)->Enabled());
  {
    testsupport::ModalActor no(L"Save changes?", L"&No");
    form->ActionClose->Execute();
  }
  Update();
  EXPECT_FALSE(form->buttomTBBottom->Items()->ChildAt(3)->Enabled());
  // Popup menus.
  EXPECT_EQ(ActionNames(form->PopupMenuScaleX->Items()),
            (Strings{L"ActionHorizontalFormatDecimcal", L"ActionHorizontalFormatSample", L"-",
                     L"ActionHorizontalFormatVisible"}));
  EXPECT_EQ(ActionNames(form->PopupMenuScaleY->Items()),
            (Strings{L"ActionVerticalFormatSample", L"ActionVerticalFormatNormalized",
                     L"ActionVerticalFormatDecibel", L"-", L"ActionVerticalFormatVisiable"}));
  EXPECT_EQ(
      Entries(form->TfPopupMenuMaskPanel->Items()),
      (Strings{L"Recent Files", L"Recent Files/<MRU>", L"-", L"New...", L"Open...", L"Record..."}));
  EXPECT_EQ(form->TfPopupMenuMaskPanel->Items()->ChildAt(0), form->meuMaskpanelPopRecentFiles);
  EXPECT_EQ(form->TfPopupMenuMaskPanel->Items()->ChildAt(1), form->popSeparatorRecentFiles);
  EXPECT_EQ(form->PanelMainGray->PopupMenu(), form->TfPopupMenuMaskPanel);
  // A popup menu runs its own loop: Escape ends it without a command.
  PostMessageW(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(form->PopupMenuScaleY->PopupEx(300, 300, true), nullptr);
  // Down, Down, Enter chooses Normalized Values and runs its action.
  PostMessageW(form->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(form->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(form->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  form->ActionVerticalFormatDecibel->Execute();
  ASSERT_EQ(form->AudioEditor->ScaleY()->Format(), 3);
  form->PopupMenuScaleY->Popup(300, 300);
  testsupport::PumpUntil([&] { return form->AudioEditor->ScaleY()->Format() == 2; }, 3000);
  EXPECT_EQ(form->AudioEditor->ScaleY()->Format(), 2);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainWindowTest, ToolbarIsHiddenAndShownByItsToggleItem) {
  Create();
  ASSERT_TRUE(form->ToolbarEdit->Visible());
  form->meuToolbarStandard->UpdateFromAction();
  EXPECT_TRUE(form->meuToolbarStandard->Checked());
  EXPECT_EQ(form->meuToolbarStandard->Caption(), L"Standard");
  testsupport::PumpFor(50);
  int dockHeight = form->Dock->Height();
  int editorTop = form->PanelMainAudioEditor->Top();
  form->meuToolbarStandard->Click();
  testsupport::PumpFor(50);
  EXPECT_FALSE(form->ToolbarEdit->Visible());
  form->meuToolbarStandard->UpdateFromAction();
  EXPECT_FALSE(form->meuToolbarStandard->Checked());
  EXPECT_LT(form->Dock->Height(), dockHeight);
  EXPECT_LT(form->PanelMainAudioEditor->Top(), editorTop);
  EXPECT_TRUE(form->ToolbarMainMenu->Visible()); // the menu bar stays
  // The state is kept as [Toolbar] Edit and comes back at the next start.
  bool canClose = true;
  form->FormCloseQuery(form, canClose);
  TCloseAction action = caHide;
  form->FormClose(form, action);
  EXPECT_FALSE(ReadSettingBool(L"Toolbar", L"Edit", true));
  delete form;
  form = nullptr;
  Create();
  EXPECT_FALSE(form->ToolbarEdit->Visible());
  EXPECT_FALSE(form->meuToolbarStandard->Checked());
  form->meuToolbarStandard->Click();
  testsupport::PumpFor(50);
  EXPECT_TRUE(form->ToolbarEdit->Visible());
  form->meuToolbarStandard->UpdateFromAction();
  EXPECT_TRUE(form->meuToolbarStandard->Checked());
  EXPECT_EQ(form->Dock->Height(), dockHeight);
  form->FormCloseQuery(form, canClose);
  form->FormClose(form, action);
  EXPECT_TRUE(ReadSettingBool(L"Toolbar", L"Edit", false));
}

TEST_F(MainWindowTest, RecentFilesAppearInTheFileMenuAndReloadAtTheNextStart) {
  Create();
  EXPECT_EQ(form->TfMRUList->MaxItems(), 6);
  EXPECT_EQ(form->TfMRUList->Prefix, L"MRU");
  EXPECT_FALSE(form->TfMRUList->HidePathExtension());
  EXPECT_FALSE(form->meuRecetFiles->Visible());
  EXPECT_FALSE(form->meuSeparatorReopen->Visible());
  EXPECT_FALSE(form->meuMaskpanelPopRecentFiles->Visible());
  EXPECT_FALSE(form->popSeparatorRecentFiles->Visible());
  std::wstring a = dir + L"\\first take.wav", b = dir + L"\\second.wav";
  ASSERT_TRUE(CopyFileW(tone.c_str(), a.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(tone.c_str(), b.c_str(), FALSE));
  form->OpenDocument(a);
  form->OpenDocument(b);
  for (TTfCustomItem* m : std::initializer_list<TTfCustomItem*>{
           form->meuRecetFiles, form->meuSeparatorReopen, form->meuMaskpanelPopRecentFiles,
           form->popSeparatorRecentFiles})
    EXPECT_TRUE(m->Visible()) << m->Name();
  // The entries, newest first, with their numbers and full paths.
  TTfCustomItem* entries = form->TfMRUList->Container();
  ASSERT_EQ(entries->ChildCount(), 2);
  EXPECT_EQ(entries->ChildAt(0)->Caption(), L"&1 " + b);
  EXPECT_EQ(entries->ChildAt(1)->Caption(), L"&2 " + a);
  // Both "Recent Files" submenus show them in place of their list item.
  for (TTfSubmenuItem* sub : {form->meuRecetFiles, form->meuMaskpanelPopRecentFiles}) {
    TTfPopupWindow* win = sub->CreatePopupWindow(nullptr, false);
    win->View()->ValidatePositions();
    int shown = 0;
    Strings captions;
    for (int i = 0; i < win->View()->ViewerCount(); ++i)
      if (win->View()->Viewers(i)->Shown) {
        ++shown;
        captions.push_back(win->View()->Viewers(i)->Item()->Caption());
      }
    EXPECT_EQ(shown, 2) << sub->Name();
    EXPECT_EQ(captions, (Strings{L"&1 " + b, L"&2 " + a})) << sub->Name();
    delete win;
  }
  {
    TIniFile ini(GetSettingsFileName());
    EXPECT_EQ(ini.ReadString(L"MRU", L"MRU1", L""), b);
    EXPECT_EQ(ini.ReadString(L"MRU", L"MRU2", L""), a);
    EXPECT_EQ(ini.ReadString(L"MRU", L"MRU3", L"none"), L"none");
  }
  // Next start: the list comes back from "sys~.dat" with its menus.
  bool canClose = true;
  form->FormCloseQuery(form, canClose);
  TCloseAction action = caHide;
  form->FormClose(form, action);
  delete form;
  form = nullptr;
  Create();
  ASSERT_EQ(form->TfMRUList->Items()->Count(), 2);
  EXPECT_EQ(form->TfMRUList->Items()->Get(0), b);
  EXPECT_EQ(form->TfMRUList->Items()->Get(1), a);
  EXPECT_TRUE(form->meuRecetFiles->Visible());
  EXPECT_TRUE(form->meuMaskpanelPopRecentFiles->Visible());
  // Choosing an entry opens it and moves it to the top.
  form->TfMRUList->Container()->ChildAt(1)->Click();
  ASSERT_TRUE(form->IsDocumentLoaded());
  EXPECT_EQ(form->FileName(), a);
  EXPECT_EQ(form->Caption(), std::wstring(AppTitle) + L" - [first take]");
  EXPECT_EQ(form->TfMRUList->Items()->Get(0), a);
  TIniFile ini(GetSettingsFileName());
  EXPECT_EQ(ini.ReadString(L"MRU", L"MRU1", L""), a);
  // A modified document is offered for saving first; Cancel keeps it.
  Select(0, 100);
  form->ActionDeleteClear->Execute();
  ASSERT_TRUE(form->IsModified());
  testsupport::ModalActor cancel(L"Save changes?", L"Cancel");
  cancel.Repeat();
  form->TfMRUList->Container()->ChildAt(1)->Click();
  EXPECT_EQ(cancel.Count(), 1);
  EXPECT_EQ(form->FileName(), a);
  EXPECT_EQ(Pos().Length(), 44000);
}

TEST_F(MainWindowTest, ProgressPaneShowsThePercentDuringALongOperation) {
  std::wstring big = dir + L"\\long take.wav";
  testsupport::WriteToneWav(big, 44100, 2, 44100 * 20);
  Create();
  EXPECT_FALSE(form->ProgressBar->Visible());
  EXPECT_EQ(form->ProgressBar->Parent(), form->StatusBarMain);
  EXPECT_EQ(form->ProgressBar->Align(), alLeft);
  struct Seen {
    int percent, shown;
    bool visible;
    std::wstring hint;
  };
  std::vector<Seen> seen;
  bool saved = false;
  auto inner = form->AudioEditor->OnBlockOperation;
  form->AudioEditor->OnBlockOperation = [&](TObject* s, int16_t p) {
    inner(s, p);
    seen.push_back({p, form->ProgressBar->Percent(), form->ProgressBar->Visible(),
                    form->StatusPaneHint->Caption()});
    if (!saved && p >= 50) {
      form->StatusBarMain->Repaint();
      saved = testsupport::SaveWindowPng(form->Handle(), L"editor-main-progress.png");
    }
  };
  form->OpenDocument(big);
  ASSERT_GE(seen.size(), 3u);
  for (const auto& s : seen) {
    EXPECT_EQ(s.shown, s.percent);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.hint, L"Loading long take.wav - Please wait...");
  }
  EXPECT_LT(seen.front().percent, seen.back().percent);
  EXPECT_TRUE(saved);
  // At the end the pane is hidden again and the hint emptied.
  EXPECT_FALSE(form->ProgressBar->Visible());
  EXPECT_EQ(form->ProgressBar->Percent(), 0);
  EXPECT_EQ(form->StatusPaneHint->Caption(), L"");
  EXPECT_EQ(Pos().Length(), 44100 * 20);
}

TEST_F(MainWindowTest, OpeningALongCompressedFileShowsProgressAndTheWindowAnswers) {
  // Two minutes of OGG Vorbis.
  std::wstring ogg = dir + L"\\long take.ogg";
  {
    audio::TOggSettings s;
    s.SampleRate = 22050;
    s.Channels = 1;
    s.Quality = 0.0;
    auto enc = audio::CreateOggEncoder(ogg, s);
    std::vector<int16_t> pcm(22050);
    for (size_t i = 0; i < pcm.size(); ++i)
      pcm[i] = int16_t(8000 * std::sin(2 * 3.14159265 * 440 * double(i) / 22050));
    for (int sec = 0; sec < 120; ++sec)
      enc->Write(pcm.data(), pcm.size());
    enc->Close();
  }
  Create();
  std::vector<int> percents;
  bool allShown = true;
  auto inner = form->AudioEditor->OnBlockOperation;
  form->AudioEditor->OnBlockOperation = [&](TObject* s, int16_t p) {
    inner(s, p);
    percents.push_back(p);
    allShown = allShown && form->ProgressBar->Visible() && form->ProgressBar->Percent() == p &&
               form->StatusPaneHint->Caption() == L"Loading long take.ogg - Please wait...";
  };
  HWND wnd = form->Handle();
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
      Sleep(5);
    }
    finished = true;
  });
  Sleep(20);
  form->OpenDocument(ogg);
  stop = true;
  // A question still on its way is answered before the thread ends.
  testsupport::PumpUntil([&] { return finished.load(); });
  asker.join();
  form->AudioEditor->OnBlockOperation = inner;
  EXPECT_NEAR(double(Pos().Length()), 120.0 * 22050, 22050);
  ASSERT_GE(percents.size(), 20u);
  EXPECT_EQ(percents.front(), 0);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_TRUE(allShown);
  EXPECT_GT(answered, 0);
  EXPECT_LT(longest, 250u);
  EXPECT_FALSE(form->ProgressBar->Visible());
}

TEST_F(MainWindowTest, ScreenshotsWithALoadedFileAndAnOpenMenu) {
  Create(tone);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->IsDocumentLoaded(); }));
  Select(4410, 22050);
  form->UpdateSelectionPanes();
  Update();
  testsupport::PumpFor(200);
  EXPECT_EQ(form->StatusPaneSelectStart->Caption(), L"00:00:00.100");
  EXPECT_EQ(form->StatusPaneSelectEnd->Caption(), L"00:00:00.500");
  EXPECT_EQ(form->StatusPaneSelectLengh->Caption(), L"00:00:00.400");
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"editor-main-window.png"));
  // The File menu opened from the keyboard, pictured from inside its loop.
  HWND bar = form->ToolbarMainMenu->Handle();
  bool savedMenu = false;
  std::thread shooter([&] {
    HWND popup = nullptr;
    for (int i = 0; i < 100 && !popup; ++i) {
      Sleep(50);
      popup = testsupport::FindWindowOf(L"TTfPopupWindow", L"");
    }
    if (popup) {
      Sleep(200);
      savedMenu = testsupport::SaveWindowPng(popup, L"editor-main-file-menu.png");
    }
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  // Alt+F selects File; Down opens it.
  PostMessageW(bar, WM_KEYDOWN, VK_DOWN, 0);
  form->ToolbarMainMenu->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'f');
  shooter.join();
  testsupport::PumpFor(50);
  EXPECT_TRUE(savedMenu);
  EXPECT_FALSE(form->ToolbarMainMenu->View()->State() & vwTracking);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainWindowTest, CoverShowsItsTiledPicture) {
  Create();
  ASSERT_TRUE(form->PanelMainGray->Visible());
  TtlImagePanel* cover = form->tlImagePanel;
  ASSERT_NE(cover, nullptr);
  EXPECT_EQ(cover->Parent(), form->PanelMainGray);
  EXPECT_EQ(cover->Align(), alClient);
  EXPECT_EQ(cover->DrawStyle(), tlTile);
  EXPECT_EQ(cover->PopupMenu(), form->TfPopupMenuMaskPanel);
  ASSERT_NE(cover->Picture()->Graphic(), nullptr);
  const int tw = cover->Picture()->Width(), th = cover->Picture()->Height();
  ASSERT_GT(tw, 0);
  ASSERT_GT(th, 0);
  ASSERT_GT(cover->Width(), 2 * tw);
  ASSERT_GT(cover->Height(), 2 * th);
  // Painted tile by tile: the same pixels one tile further right and down.
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, cover->Width(), cover->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessageW(cover->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  int differing = 0;
  for (int y = 0; y < th; y += 3)
    for (int x = 0; x < tw; x += 3) {
      COLORREF c = GetPixel(mem, x, y);
      EXPECT_EQ(GetPixel(mem, x + tw, y), c) << x << "," << y;
      EXPECT_EQ(GetPixel(mem, x, y + th), c) << x << "," << y;
      if (c != GetPixel(mem, 0, 0)) ++differing;
    }
  EXPECT_GT(differing, 0); // a picture, not a plain fill
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  // Opening a document hides the cover with its picture.
  form->OpenDocument(tone);
  EXPECT_FALSE(form->PanelMainGray->Visible());
}

namespace {
// Moves the real pointer over a transport item; the hint comes by the
// application's own timers.
class MainWindowHintTest : public MainWindowTest {
protected:
  static void MoveMouse(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
  }
  TRect ItemOnScreen(TAction* a) {
    TTfView* v = form->buttomTBBottom->View();
    for (int i = 0; i < v->ViewerCount(); ++i) {
      TTfItemViewer* iv = v->Viewers(i);
      if (iv->Item()->Action() != a) continue;
      RECT r = iv->BoundsRect;
      MapWindowPoints(form->buttomTBBottom->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
      return TRect(r.left, r.top, r.right, r.bottom);
    }
    ADD_FAILURE() << "no item for " << WideToUtf8(a->Name());
    return TRect();
  }
  // Waits for the hint of `a` with the pointer over its item.
  THintWindow* HintOver(TAction* a) {
    TRect r = ItemOnScreen(a);
    MoveMouse((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    std::wstring want = a->Hint();
    testsupport::PumpUntil([&] {
      THintWindow* h = Application->HintWindow();
      return h && h->HandleAllocated() && IsWindowVisible(h->Handle()) &&
             h->Caption().rfind(want, 0) == 0;
    });
    return Application->HintWindow();
  }
};
} // namespace

TEST_F(MainWindowHintTest, TransportHintBelongsToTheItemUnderThePointerAndHoldsItsText) {
  Create(tone);
  MoveMouse(0, 0);
  testsupport::PumpFor(100);
  for (TAction* a : {form->ActionPause, form->ActionStop, form->ActionPause}) {
    THintWindow* h = HintOver(a);
    ASSERT_NE(h, nullptr) << WideToUtf8(a->Name());
    std::wstring text = h->Caption();
    EXPECT_EQ(text.rfind(a->Hint(), 0), 0u)
        << WideToUtf8(text) << " over " << WideToUtf8(a->Name());
    // The text measured with the hint font fits the client area inside the margins.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Screen->HintFont()->Handle());
    RECT t{0, 0, 10000, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &t, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    RECT c;
    GetClientRect(h->Handle(), &c);
    EXPECT_GE(c.right - c.left, t.right + 8) << WideToUtf8(text);
    EXPECT_GE(c.bottom - c.top, t.bottom + 4) << WideToUtf8(text);
    EXPECT_GT(t.bottom, 8);
    // What the screen shows is that text in the hint font: drawn apart the same
    // way, nearly every text pixel is on the screen too.
    int w = c.right, ht = c.bottom;
    POINT o{0, 0};
    ClientToScreen(h->Handle(), &o);
    testsupport::PumpFor(100);
    std::vector<DWORD> shown = testsupport::ScreenPixels(RECT{o.x, o.y, o.x + w, o.y + ht});
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bmp = testsupport::CreateTopDownDib(screen, w, ht, &bits);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    HBRUSH back = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    FillRect(mem, &c, back);
    DeleteObject(back);
    HGDIOBJ oldFont = SelectObject(mem, Screen->HintFont()->Handle());
    SetTextColor(mem, GetSysColor(COLOR_INFOTEXT));
    SetBkMode(mem, TRANSPARENT);
    RECT inner{4, 2, w - 4, ht - 2};
    DrawTextW(mem, text.c_str(), int(text.size()), &inner, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    GdiFlush();
    SelectObject(mem, oldFont);
    const DWORD* ref = static_cast<const DWORD*>(bits);
    DWORD bg = ref[0] & 0xFFFFFF;
    int textPixels = 0, matched = 0;
    for (int i = 0; i < w * ht && size_t(i) < shown.size(); ++i) {
      if ((ref[i] & 0xFFFFFF) == bg) continue;
      ++textPixels;
      if ((shown[i] & 0xFFFFFF) == (ref[i] & 0xFFFFFF)) ++matched;
    }
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    ASSERT_GT(textPixels, 50);
    EXPECT_GT(double(matched) / textPixels, 0.9) << WideToUtf8(text);
  }
  testsupport::SaveWindowPng(Application->HintWindow()->Handle(), L"editor_transport_hint.png");
}
