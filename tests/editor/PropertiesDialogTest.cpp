// Properties dialog: record to controls and back, enabling, the refused
// temporary folder, the command's store / save / apply sequence.
#include <gtest/gtest.h>

#include <memory>

#include "editor/funcs.h"
#include "editor/globals.h"
#include "editor/properties.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

using namespace editor;

namespace {

editor::TGlobalVars Sample() {
  editor::TGlobalVars g;
  g.TempFolder = L"C:\\windows";
  g.PlayRecordtBuffer = 1234;
  g.UndoRedoLevel = 7;
  g.SmoothEnabled = false;
  g.SmoothTime = 120;
  g.AccuEnabled = true;
  g.AttackTime = 250;
  g.AttackLevel = -30;
  g.ReleaseTime = 900;
  g.ReleaseLevel = -60;
  g.AGCEnabled = true;
  g.AGCLowLevel = -50;
  g.AGCHighLevel = -5;
  g.AGCAttackTime = 9;
  g.VisType = 2;
  g.HighPassEnabled = true;
  g.HighPass = 300;
  g.LowPassEnabled = false;
  g.LowPass = 8000;
  g.NotchPassEnabled = true;
  g.NotchPass = 50;
  return g;
}

void ExpectSameSettings(const editor::TGlobalVars& a, const editor::TGlobalVars& b) {
  EXPECT_EQ(a.TempFolder, b.TempFolder);
  EXPECT_EQ(a.PlayRecordtBuffer, b.PlayRecordtBuffer);
  EXPECT_EQ(a.UndoRedoLevel, b.UndoRedoLevel);
  EXPECT_EQ(a.SmoothEnabled, b.SmoothEnabled);
  EXPECT_EQ(a.SmoothTime, b.SmoothTime);
  EXPECT_EQ(a.AccuEnabled, b.AccuEnabled);
  EXPECT_EQ(a.AttackTime, b.AttackTime);
  EXPECT_EQ(a.AttackLevel, b.AttackLevel);
  EXPECT_EQ(a.ReleaseTime, b.ReleaseTime);
  EXPECT_EQ(a.ReleaseLevel, b.ReleaseLevel);
  EXPECT_EQ(a.AGCEnabled, b.AGCEnabled);
  EXPECT_EQ(a.AGCLowLevel, b.AGCLowLevel);
  EXPECT_EQ(a.AGCHighLevel, b.AGCHighLevel);
  EXPECT_EQ(a.AGCAttackTime, b.AGCAttackTime);
  EXPECT_EQ(a.VisType, b.VisType);
  EXPECT_EQ(a.HighPassEnabled, b.HighPassEnabled);
  EXPECT_EQ(a.HighPass, b.HighPass);
  EXPECT_EQ(a.LowPassEnabled, b.LowPassEnabled);
  EXPECT_EQ(a.LowPass, b.LowPass);
  EXPECT_EQ(a.NotchPassEnabled, b.NotchPassEnabled);
  EXPECT_EQ(a.NotchPass, b.NotchPass);
}

} // namespace

TEST(PropertiesDialog, LoadThenStoreKeepsEveryField) {
  TfrmProperties d(nullptr);
  const editor::TGlobalVars in = Sample();
  LoadPropertiesDialog(&d, in);
  EXPECT_EQ(d.rgVisType->ItemIndex(), 1);
  EXPECT_EQ(d.editTempFolder->Text(), L"C:\\windows");
  EXPECT_EQ(d.editBuffer->IntegerValue(), 1234);
  EXPECT_FALSE(d.editSmoothTime->Enabled());
  EXPECT_TRUE(d.gbAttack->Enabled());
  EXPECT_FALSE(d.editLowPass->Enabled());
  EXPECT_TRUE(d.editNotchPass->Enabled());
  editor::TGlobalVars out;
  StorePropertiesDialog(&d, out);
  ExpectSameSettings(in, out);
  EXPECT_EQ(d.MainPageControl->ActivePage(), d.tsSystem);
  EXPECT_EQ(d.Caption(), L"Properties");
}

TEST(PropertiesDialog, UncheckingAccuControlGreysBothGroupsButValuesAreStored) {
  TfrmProperties d(nullptr);
  LoadPropertiesDialog(&d, Sample());
  d.chAccuEnabled->SetChecked(false);
  EXPECT_FALSE(d.gbAttack->Enabled());
  EXPECT_FALSE(d.gbRelease->Enabled());
  EXPECT_FALSE(d.editReleaseLevel->Enabled());
  d.chAGCEnabled->SetChecked(false);
  EXPECT_FALSE(d.editAGCAttackTime->Enabled());
  editor::TGlobalVars out;
  StorePropertiesDialog(&d, out);
  EXPECT_FALSE(out.AccuEnabled);
  EXPECT_EQ(out.AttackTime, 250);
  EXPECT_EQ(out.ReleaseLevel, -60);
}

TEST(PropertiesDialog, OutOfRangeValuesAreHeldByTheSpinEdits) {
  TfrmProperties d(nullptr);
  editor::TGlobalVars in = Sample();
  in.PlayRecordtBuffer = 50000;
  in.UndoRedoLevel = -3;
  LoadPropertiesDialog(&d, in);
  editor::TGlobalVars out;
  StorePropertiesDialog(&d, out);
  EXPECT_EQ(out.PlayRecordtBuffer, 10000);
  EXPECT_EQ(out.UndoRedoLevel, 0);
}

TEST(PropertiesDialog, MissingTemporaryFolderKeepsTheDialogOpen) {
  TfrmProperties d(nullptr);
  LoadPropertiesDialog(&d, Sample());
  d.Show();
  d.MainPageControl->SetActivePage(d.tsRecording);
  d.editTempFolder->SetText(L"C:\\no such folder\\here");
  testsupport::ModalActor answer(L"Error", IDOK);
  d.btnOKClick(nullptr);
  EXPECT_TRUE(answer.Acted());
  EXPECT_NE(answer.SeenText().find(L"Invalid temporary folder: \"C:\\no such folder\\here\""),
            std::wstring::npos)
      << WideToUtf8(answer.SeenText());
  EXPECT_EQ(d.ModalResult(), mrNone);
  EXPECT_EQ(d.MainPageControl->ActivePage(), d.tsSystem);

  d.editTempFolder->SetText(testsupport::MakeTempDir(L"props_temp"));
  d.btnOKClick(nullptr);
  EXPECT_EQ(d.ModalResult(), mrOk);
}

TEST(PropertiesCommand, OkStoresSavesAndApplies) {
  editor::TGlobalVars vars = Sample();
  std::vector<std::string> log;
  TPropertiesHost host;
  host.Vars = &vars;
  host.SaveSettings = [&] { log.push_back("save " + std::to_string(vars.PlayRecordtBuffer)); };
  host.ApplySettings = [&] { log.push_back("apply"); };
  {
    testsupport::ModalActor ok(L"Properties", L"OK",
                               testsupport::OnForm<TfrmProperties>([](auto* d) {
                                 d->editBuffer->SetValue(2000);
                                 d->rgVisType->SetItemIndex(0);
                               }));
    ASSERT_TRUE(ExecuteProperties(host));
    EXPECT_TRUE(ok.Acted());
  }
  EXPECT_EQ(vars.PlayRecordtBuffer, 2000);
  EXPECT_EQ(vars.VisType, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"save 2000", "apply"}));

  testsupport::ModalActor cancel(
      L"Properties", L"Cancel",
      testsupport::OnForm<TfrmProperties>([](auto* d) { d->editBuffer->SetValue(3000); }));
  EXPECT_FALSE(ExecuteProperties(host));
  EXPECT_TRUE(cancel.Acted());
  EXPECT_EQ(vars.PlayRecordtBuffer, 2000);
  EXPECT_EQ(log.size(), 2u);
}

TEST(PropertiesDialog, Screenshot) {
  TfrmProperties d(nullptr);
  LoadPropertiesDialog(&d, Sample());
  d.SetBounds(100, 100, d.Width(), d.Height());
  d.Show();
  d.MainPageControl->SetActivePage(d.tsRecording);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(d.Handle(), L"editor_properties_recording.png"));
}
