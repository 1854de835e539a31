// Effect dialogs on screen: sliders, value labels and numeric edits kept in
// step, range correction on leaving an edit, OK with the focus still in an
// edit, and pictures of representative dialogs.
#include <gtest/gtest.h>

#include <memory>

#include "editor/channelconverter.h"
#include "editor/compressor.h"
#include "editor/deletesilence.h"
#include "editor/delay.h"
#include "editor/effects.h"
#include "tests/editor/EffectTestHost.h"
#include "editor/flanger.h"
#include "editor/insertsilence.h"
#include "editor/lowshelf.h"
#include "editor/notchfilter.h"
#include "editor/phaser.h"
#include "editor/vibrato.h"
#include "framework/ExtCtrls.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

namespace {

using namespace editor;

struct Separators {
  wchar_t dec, thousands;
  Separators() : dec(FormatSettings.DecimalSeparator), thousands(FormatSettings.ThousandSeparator) {
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L',';
  }
  ~Separators() {
    FormatSettings.DecimalSeparator = dec;
    FormatSettings.ThousandSeparator = thousands;
  }
};

// Shows a dialog modelessly with the focus, for typing into it.
template <class T> std::unique_ptr<T> Shown() {
  auto d = std::make_unique<T>(nullptr);
  d->SetBounds(120, 120, d->Width(), d->Height());
  d->Show();
  testsupport::ForceForeground(d->Handle());
  testsupport::PumpFor(50);
  return d;
}

// Types Text into Edit (after selecting what it holds) and leaves it for Next.
void TypeAndLeave(TEdit* Edit, const std::wstring& Text, TWinControl* Next) {
  Edit->SetFocus();
  testsupport::PumpFor(20);
  Edit->SelectAll();
  testsupport::TypeText(Edit->Handle(), Text);
  Next->SetFocus();
  testsupport::PumpFor(20);
}

// Takes the arguments of the one call a test expects.
class TOneCall : public effecttest::TRecordingEditor {
public:
  std::vector<float> Args;
  int Calls = 0;
  void InsertSilence(int32_t ms) override { Args = {float(ms)}, ++Calls; }
  void Compressor(float t, float r, float m) override { Args = {t, r, m}, ++Calls; }
};

// Runs a command through its real modal dialog; Act runs inside the modal
// loop and must end it.
void RunModal(TEffectCommand Command, TOneCall& Engine, std::function<void(TEffectDialog*)> Act) {
  effecttest::THost<effecttest::TRecordingEditor> host;
  host.Engine = &Engine;
  host.DisplayName = L"tone.wav";
  testsupport::ModalActor actor(L"", 0, testsupport::OnForm<TEffectDialog>([&](auto* d) {
                                  testsupport::ForceForeground(d->Handle());
                                  Act(d);
                                }));
  ExecuteEffect(Command, host);
  EXPECT_TRUE(actor.Acted());
}

} // namespace

TEST(EffectDialogs, StoredValuesShowInLabelsAndEdits) {
  Separators sep;
  TfrmVibrato v(nullptr);
  EXPECT_EQ(v.labDepth->Caption(), L"50%");
  EXPECT_EQ(v.labFrequency->Caption(), L"10.Hz");
  EXPECT_EQ(v.labPhase->Caption(), L"10");
  TfrmCompressor c(nullptr);
  EXPECT_EQ(c.labThresHold->Caption(), L"-20.db");
  EXPECT_EQ(c.labCompressorRate->Caption(), L"100%");
  EXPECT_EQ(c.editRMSTime->Text(), L"1");
  EXPECT_EQ(c.Caption(), L"Compressor");
  EXPECT_EQ(c.ClientWidth(), 347);
  EXPECT_EQ(c.ClientHeight(), 247);
  EXPECT_EQ(c.labPerset->Caption(), L"Perset:");
  EXPECT_TRUE(c.btnOK->Default());
  EXPECT_EQ(c.btnOK->ModalResult(), mrOk);
  EXPECT_EQ(c.btnCancel->ModalResult(), mrCancel);
  TfrmNotchFilter n(nullptr);
  EXPECT_EQ(n.editFrequency->Text(), L"8,000");
  EXPECT_EQ(n.labSteepness->Caption(), L"50%");
}

TEST(EffectDialogs, SliderMovesRewriteEveryLabelAndEdit) {
  Separators sep;
  TfrmDeleteSilence d(nullptr);
  EXPECT_EQ(d.labThresHold->Caption(), L"-40.db");
  d.editReleaseTime->SetText(L"1,234");
  d.slAttackTime->SetValue(250);
  EXPECT_EQ(d.editAttackTime->Text(), L"250");
  // Every label and edit is rewritten, not only the one that moved.
  EXPECT_EQ(d.editReleaseTime->Text(), L"100");
  d.slThewsHold->SetValue(-92);
  EXPECT_EQ(d.labThresHold->Caption(), L"-92.db");

  TfrmLowShelf s(nullptr);
  s.slGain->SetValue(-1000);
  EXPECT_EQ(s.slGain->Value(), -90);
  EXPECT_EQ(s.labGain->Caption(), L"-90.db");
  s.slFrequency->SetValue(8001);
  s.slFrequency->SetValue(8000);
  EXPECT_EQ(s.editFrequency->Text(), L"8000");
}

TEST(EffectDialogs, PresetChoiceSetsSlidersAndCustomKeepsThem) {
  Separators sep;
  TfrmDelay d(nullptr);
  d.ChoosePreset(21);
  EXPECT_EQ(d.cbPerset->Text(), L"[Sys] Small Echo");
  EXPECT_EQ(d.slDelaytime->Value(), 200);
  EXPECT_EQ(d.slMixdepth->Value(), 70);
  EXPECT_EQ(d.slFeedbackgain->Value(), 0);
  EXPECT_EQ(d.editDelaytime->IntegerValue(), 200);
  EXPECT_EQ(d.labMixdepth->Caption(), L"70%");
  d.ChoosePreset(0);
  EXPECT_EQ(d.slDelaytime->Value(), 200);
  // Moving a slider keeps the preset name shown.
  d.ChoosePreset(3);
  d.slMixdepth->SetValue(12);
  EXPECT_EQ(d.cbPerset->ItemIndex(), 3);
}

TEST(EffectDialogs, LeavingAnEditCorrectsItsRangeAndMovesTheSlider) {
  Separators sep;
  auto p = Shown<TfrmPhaser>();
  TypeAndLeave(p->editDelaytime, L"3000", p->btnCancel);
  EXPECT_EQ(p->slDelaytime->Value(), 1000);
  EXPECT_EQ(p->editDelaytime->IntegerValue(), 1000);
  EXPECT_EQ(p->editDelaytime->Text(), L"1000");

  auto n = Shown<TfrmNotchFilter>();
  TypeAndLeave(n->editFrequency, L"5", n->btnCancel);
  EXPECT_EQ(n->slFrequency->Value(), 10);
  EXPECT_EQ(n->editFrequency->Text(), L"10");
  TypeAndLeave(n->editFrequency, L"30000", n->btnCancel);
  EXPECT_EQ(n->slFrequency->Value(), 22050);
  // Typing the value the slider already has keeps the edit's own formatting.
  n->slFrequency->SetValue(8000);
  EXPECT_EQ(n->editFrequency->Text(), L"8000");
  TypeAndLeave(n->editFrequency, L"8000", n->btnCancel);
  EXPECT_EQ(n->editFrequency->Text(), L"8,000");
  EXPECT_EQ(n->slFrequency->Value(), 8000);
}

TEST(EffectDialogs, EnterInAnEditAppliesTheCorrectedValue) {
  Separators sep;
  TOneCall engine;
  RunModal(TEffectCommand::Compressor, engine, [](TEffectDialog* d) {
    auto* c = static_cast<TfrmCompressor*>(d);
    c->editRMSTime->SetFocus();
    c->editRMSTime->SelectAll();
    testsupport::TypeText(c->editRMSTime->Handle(), L"7000");
    PostMessageW(c->editRMSTime->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(c->editRMSTime->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
  });
  ASSERT_EQ(engine.Calls, 1);
  EXPECT_EQ(engine.Args, (std::vector<float>{-20, 100, 5000}));
}

TEST(EffectDialogs, InsertSilenceTakesTheCorrectedDurationWithFocusInTheEdit) {
  Separators sep;
  for (auto [typed, expected] : std::vector<std::pair<std::wstring, float>>{
           {L"0", 1.0f}, {L"5000000", 1000000.0f}, {L"2500", 2500.0f}}) {
    TOneCall engine;
    RunModal(TEffectCommand::InsertSilence, engine, [&](TEffectDialog* d) {
      auto* s = static_cast<TfrmInsertSilence*>(d);
      s->editDuration->SetFocus();
      s->editDuration->SelectAll();
      testsupport::TypeText(s->editDuration->Handle(), typed);
      s->btnOK->Click();
    });
    ASSERT_EQ(engine.Calls, 1) << WideToUtf8(typed);
    EXPECT_EQ(engine.Args, std::vector<float>{expected}) << WideToUtf8(typed);
  }
  // Without leaving the edit the duration is still corrected.
  TfrmInsertSilence d(nullptr);
  d.editDuration->SetText(L"99999999");
  EXPECT_EQ(d.Duration(), 1000000);
  d.editDuration->SetText(L"-5");
  EXPECT_EQ(d.Duration(), 1);
  d.ChoosePreset(4);
  EXPECT_EQ(d.Duration(), 30000);
}

TEST(EffectDialogs, Screenshots) {
  Separators sep;
  auto c = Shown<TfrmCompressor>();
  c->ChoosePreset(8);
  c->SetCaption(L"Compressor - tone.wav");
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(c->Handle(), L"editor_compressor.png"));
  auto f = Shown<TfrmFlanger>();
  f->ChoosePreset(2);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(f->Handle(), L"editor_flanger.png"));
  auto ch = Shown<TfrmChannelConverter>();
  ch->ChoosePreset(5);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(ch->Handle(), L"editor_channelconverter.png"));
}
