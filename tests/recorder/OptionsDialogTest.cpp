// The Options dialog: load and store of every field, enabling, the output
// folder check, cancelling, unreadable schedule texts; the file-name prompt.
#include <gtest/gtest.h>

#include "framework/AppUtils.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "recorder/Name.h"
#include "recorder/Options.h"
#include "tests/support/Gui.h"

using namespace recorder;

namespace {

TGlobalVars Defaults(const std::wstring& folder) {
  TGlobalVars g;
  SetDefaultSettings(g, folder);
  return g;
}

TEST(OptionsDialogTest, LoadStoreRoundTripOfEveryField) {
  const std::wstring dir = testsupport::MakeTempDir(L"options-roundtrip");
  TGlobalVars g = Defaults(dir);
  g.AGCEnabled = true;
  g.AGCLowLevel = -40;
  g.AGCHightLevel = -3;
  g.AGCAttackTime = 1234;
  g.AccuEnabled = true;
  g.AccuAttackTime = 250;
  g.AccuAttackLevel = -30;
  g.AccuReleaseTime = 4000;
  g.AccuReleaseLevel = -50;
  g.OP_OutputFolder = dir;
  g.OP_OutputFormat = ofWMA;
  g.OP_AutoMakeName = false;
  g.OP_SetTop = true;
  g.OP_EnableSchRecording = true;
  g.OP_SchDate = 2;
  g.OP_SchDateOnce = DateToStr(EncodeDate(2031, 7, 14));
  g.OP_SchDateWeekly = 5;
  g.OP_SchTimeStartAt = TimeToStr(EncodeTime(7, 30, 15, 0));
  g.OP_SchTimeStopAt = TimeToStr(EncodeTime(8, 45, 0, 0));
  g.OP_ActiveHotKey = false;
  g.OP_HotKeyStartRecording = L"Ctrl+F5";
  g.OP_HotKeyStopRecording = L"Shift+F6";

  TFormOptions f(nullptr);
  f.Load(g);
  TGlobalVars out = Defaults(L"C:\\");
  f.Store(out);
  EXPECT_EQ(out.AGCEnabled, true);
  EXPECT_EQ(out.AGCLowLevel, -40);
  EXPECT_EQ(out.AGCHightLevel, -3);
  EXPECT_EQ(out.AGCAttackTime, 1234);
  EXPECT_EQ(out.AccuEnabled, true);
  EXPECT_EQ(out.AccuAttackTime, 250);
  EXPECT_EQ(out.AccuAttackLevel, -30);
  EXPECT_EQ(out.AccuReleaseTime, 4000);
  EXPECT_EQ(out.AccuReleaseLevel, -50);
  EXPECT_EQ(out.OP_OutputFolder, dir);
  EXPECT_EQ(out.OP_OutputFormat, ofWMA);
  EXPECT_FALSE(out.OP_AutoMakeName);
  EXPECT_TRUE(out.OP_SetTop);
  EXPECT_TRUE(out.OP_EnableSchRecording);
  EXPECT_EQ(out.OP_SchDate, 2);
  EXPECT_EQ(out.OP_SchDateOnce, g.OP_SchDateOnce);
  EXPECT_EQ(out.OP_SchDateWeekly, 5);
  EXPECT_EQ(out.OP_SchTimeStartAt, g.OP_SchTimeStartAt);
  EXPECT_EQ(out.OP_SchTimeStopAt, g.OP_SchTimeStopAt);
  EXPECT_FALSE(out.OP_ActiveHotKey);
  EXPECT_EQ(out.OP_HotKeyStartRecording, L"Ctrl+F5");
  EXPECT_EQ(out.OP_HotKeyStopRecording, L"Shift+F6");
}

TEST(OptionsDialogTest, EnablingFollowsCheckBoxes) {
  TGlobalVars g = Defaults(L"C:\\");
  g.OP_EnableSchRecording = false;
  g.OP_SchDate = 0;
  g.AGCEnabled = false;
  g.AccuEnabled = true;
  g.OP_ActiveHotKey = true;
  TFormOptions f(nullptr);
  f.Load(g);
  f.FormShow(&f);
  EXPECT_FALSE(f.DateTimePickerStart->Enabled());
  EXPECT_FALSE(f.DateTimePickerOnce->Enabled());
  EXPECT_FALSE(f.SpinEditAGCLow->Enabled());
  EXPECT_TRUE(f.SpinEditReleaseLevel->Enabled());
  EXPECT_TRUE(f.HotKeyStartRecording->Enabled());
  f.CheckBoxEnableSchedule->SetChecked(true);
  EXPECT_TRUE(f.DateTimePickerStart->Enabled());
  EXPECT_TRUE(f.DateTimePickerOnce->Enabled());
  EXPECT_FALSE(f.ComboBoxWeekly->Enabled());
  f.RadioButtonWeekly->SetChecked(true);
  EXPECT_FALSE(f.DateTimePickerOnce->Enabled());
  EXPECT_TRUE(f.ComboBoxWeekly->Enabled());
  f.CheckBoxActiveHotKey->SetChecked(false);
  EXPECT_FALSE(f.HotKeyStopRecording->Enabled());
}

TEST(OptionsDialogTest, UnreadableScheduleTextsFallBackToNow) {
  TGlobalVars g = Defaults(L"C:\\");
  g.OP_SchDateOnce = L"not a date";
  g.OP_SchTimeStartAt = L"25:99:99";
  g.OP_SchTimeStopAt = L"??";
  TFormOptions f(nullptr);
  ASSERT_NO_THROW(f.Load(g));
  TDateTime v;
  EXPECT_TRUE(TryStrToDate(g.OP_SchDateOnce, v));
  EXPECT_EQ(v, Date());
  EXPECT_TRUE(TryStrToTime(g.OP_SchTimeStartAt, v));
  EXPECT_TRUE(TryStrToTime(g.OP_SchTimeStopAt, v));
}

TEST(OptionsDialogTest, SpinEditsReadBadTextAsMinimum) {
  TFormOptions f(nullptr);
  f.SpinEditAGCAttack->SetText(L"abc");
  EXPECT_EQ(SpinValue(f.SpinEditAGCAttack), 0);
  f.SpinEditAttackTime->SetText(L"");
  EXPECT_EQ(SpinValue(f.SpinEditAttackTime), 10);
  f.SpinEditAttackTime->SetText(L"99.6");
  EXPECT_EQ(SpinValue(f.SpinEditAttackTime), 100);
}

TEST(OptionsDialogTest, ChangedFolderAndFormatSettingsDoNotSurviveCancel) {
  const std::wstring dir = testsupport::MakeTempDir(L"options-cancel");
  const std::wstring other = testsupport::MakeTempDir(L"options-cancel-other");
  TGlobalVars g = Defaults(dir);
  const TGlobalVars original = g;
  TFormOptions f(nullptr);
  f.OnBrowseFolder = [&](std::wstring& folder) {
    folder = other;
    return true;
  };
  f.OnFormatSettings = [](int, TGlobalVars& work) {
    work.OutputMP3Presets = 2;
    return true;
  };
  f.Load(g);
  f.btnChangeOutputDirClick(&f);
  EXPECT_EQ(f.EditOutputDir->Text(), other);
  f.RadioButtonMp3->SetChecked(true);
  f.ButtonFormatSettingsClick(&f);
  // Cancelled: nothing is stored.
  EXPECT_EQ(g.OP_OutputFolder, original.OP_OutputFolder);
  EXPECT_EQ(g.OutputMP3Presets, original.OutputMP3Presets);
  // Confirmed: both are stored.
  f.Store(g);
  EXPECT_EQ(g.OP_OutputFolder, other);
  EXPECT_EQ(g.OutputMP3Presets, 2);
}

TEST(OptionsDialogTest, MissingFolderKeepsDialogOpen) {
  TGlobalVars g = Defaults(L"C:\\no-such-folder-xyz");
  TFormOptions f(nullptr);
  f.Load(g);
  f.PageControl->SetActivePage(f.TabSheetSchedule);
  f.Show();
  testsupport::ModalAnswerer box(AppTitle, IDOK);
  f.btnOKClick(&f);
  EXPECT_TRUE(box.Wait());
  EXPECT_NE(box.SeenText().find(L"The selected output destination does not exist."),
            std::wstring::npos);
  EXPECT_EQ(f.ModalResult(), mrNone);
  EXPECT_EQ(f.PageControl->ActivePage(), f.TabSheetGeneral);
  f.EditOutputDir->SetText(testsupport::MakeTempDir(L"options-ok"));
  f.btnOKClick(&f);
  EXPECT_EQ(f.ModalResult(), mrOk);
  EXPECT_TRUE(testsupport::SaveWindowPng(f.Handle(), L"recorder-options"));
}

TEST(OptionsDialogTest, NamePromptRefusesBadNames) {
  TGlobalVars g = Defaults(L"C:\\out");
  g.OP_OutputFormat = ofOGG;
  g.OP_AutoMakeName = false;
  TFormName f(nullptr);
  f.Load(g);
  EXPECT_EQ(f.labName->Caption(), L"Enter the name of the Ogg file:");
  EXPECT_EQ(f.labOutputPath->Caption(), L"C:\\out");
  EXPECT_FALSE(f.Confirmed);
  f.Show();
  f.EditFileName->SetText(L"a+b");
  {
    testsupport::ModalAnswerer box(L"Invalid File Name", IDOK);
    f.btnOKClick(&f);
    EXPECT_TRUE(box.Wait());
  }
  EXPECT_FALSE(f.Confirmed);
  EXPECT_EQ(f.ModalResult(), mrNone);
  f.EditFileName->SetText(L"interview");
  f.CheckBoxAutoName->SetChecked(true);
  f.OnBrowseFolder = [](std::wstring& folder) {
    folder = L"C:\\elsewhere";
    return true;
  };
  f.LabelChangeClick(&f);
  EXPECT_EQ(f.labOutputPath->Caption(), L"C:\\elsewhere");
  EXPECT_EQ(g.OP_OutputFolder, L"C:\\out");
  f.btnOKClick(&f);
  EXPECT_TRUE(f.Confirmed);
  f.Store(g);
  EXPECT_TRUE(g.OP_AutoMakeName);
  EXPECT_EQ(g.OP_OutputFolder, L"C:\\elsewhere");
}

} // namespace

// Help with no help file beside the program says which file was not found
// and in which folder it was looked for, for every help link.
TEST(OptionsDialogTest, MissingHelpFileIsReported) {
  const std::wstring folder = ExtractFilePath(Application->ExeName());
  ASSERT_FALSE(FileExists(AddBackslash(folder) + L"arhelp.chm"));
  TFormOptions f(nullptr);
  f.AfterConstruction();
  for (auto click : {&TFormOptions::labWhatIsAGCClick, &TFormOptions::labWhatIsAccuClick}) {
    testsupport::ModalAnswerer box(L"", IDOK);
    (f.*click)(nullptr);
    ASSERT_TRUE(box.Wait());
    EXPECT_NE(box.SeenText().find(L"\"arhelp.chm\" was not found"), std::wstring::npos)
        << WideToUtf8(box.SeenText());
    EXPECT_NE(box.SeenText().find(folder), std::wstring::npos) << WideToUtf8(box.SeenText());
  }
}
