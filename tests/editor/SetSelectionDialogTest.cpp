// Set Selection: the time text reader, editing start, end and length with
// their limits, presets, OK with the focus in an edit and the new selection
// brought into view; New Sample: summary, result and failure.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "audio/ui/AudioEditor2.h"
#include "editor/new.h"
#include "editor/setselection.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

using namespace editor;

namespace {

struct ParseCase {
  const wchar_t* Text;
  int64_t Ms;
};

class TimeText : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TimeText, ReadsTheFirstMatchingForm) {
  EXPECT_EQ(ParseTimeText(GetParam().Text), GetParam().Ms) << WideToUtf8(GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TimeText,
    ::testing::Values(ParseCase{L"01:02:03.004", 3723004}, ParseCase{L"1:2:3.4", 3723004},
                      ParseCase{L"1:02.5", 62005}, ParseCase{L"2.25", 2025},
                      ParseCase{L"1.5", 1005}, ParseCase{L"1.500", 1500}, ParseCase{L"12.", 12000},
                      ParseCase{L".5", 5}, ParseCase{L"90", 90000}, ParseCase{L"0", 0},
                      ParseCase{L"1:30", 90000}, ParseCase{L":", 0}, ParseCase{L"1:2:3", 3723000},
                      ParseCase{L"1::", 3600000}, ParseCase{L"100:00:00", 360000000},
                      ParseCase{L"", -1}, ParseCase{L"abc", -1}, ParseCase{L"-5", -1},
                      ParseCase{L"1.2.3", -1}, ParseCase{L"1:2:3:4", -1}, ParseCase{L"1.2:3", -1},
                      ParseCase{L"1 ", -1}, ParseCase{L"1:2:3.4.5", -1},
                      ParseCase{L"99999999999", 0}));

struct Dialog {
  std::unique_ptr<TfrmSetSelection> D = std::make_unique<TfrmSetSelection>(nullptr);
  Dialog() {
    D->FStartMs = 1000;
    D->FEndMs = 5000;
    D->FLengthMs = 600000;
    D->FCursorMs = 2000;
    D->SetBounds(100, 100, D->Width(), D->Height());
    D->Show();
    testsupport::ForceForeground(D->Handle());
    testsupport::PumpFor(30);
  }
  void Type(TEdit* e, const std::wstring& text, bool leave = true) {
    e->SetFocus();
    testsupport::PumpFor(10);
    e->SelectAll();
    testsupport::TypeText(e->Handle(), text);
    if (leave) {
      D->btnCancel->SetFocus();
      testsupport::PumpFor(10);
    }
  }
};

} // namespace

TEST(SetSelectionDialog, ShowsTheOpenersValues) {
  Dialog d;
  EXPECT_EQ(d.D->EditStart->Text(), L"00:00:01.000");
  EXPECT_EQ(d.D->EditEnd->Text(), L"00:00:05.000");
  EXPECT_EQ(d.D->EditLenght->Text(), L"00:00:04.000");
  EXPECT_EQ(d.D->cbSelectionPreset->Text(), L"(Custom)");
  EXPECT_EQ(d.D->Caption(), L"Set Selection");
}

TEST(SetSelectionDialog, StartBeyondTheEndMovesTheEndAndIsClampedToTheLength) {
  Dialog d;
  d.Type(d.D->EditStart, L"90");
  EXPECT_EQ(d.D->EditStart->Text(), L"00:01:30.000");
  EXPECT_EQ(d.D->EditEnd->Text(), L"00:01:30.000");
  EXPECT_EQ(d.D->EditLenght->Text(), L"00:00:00.000");
  d.Type(d.D->EditStart, L"700");
  EXPECT_EQ(d.D->FCurStartMs, 600000);
  EXPECT_EQ(d.D->FCurEndMs, 600000);
  d.Type(d.D->EditStart, L"1:30");
  EXPECT_EQ(d.D->EditStart->Text(), L"00:01:30.000");
  EXPECT_EQ(d.D->FCurEndMs, 600000);
}

TEST(SetSelectionDialog, EndAndLengthStayWithinStartAndLength) {
  Dialog d;
  d.Type(d.D->EditEnd, L"0.5");
  EXPECT_EQ(d.D->FCurEndMs, 1000);
  EXPECT_EQ(d.D->EditLenght->Text(), L"00:00:00.000");
  d.Type(d.D->EditEnd, L"2.25");
  EXPECT_EQ(d.D->EditEnd->Text(), L"00:00:02.025");
  d.Type(d.D->EditEnd, L"9999");
  EXPECT_EQ(d.D->FCurEndMs, 600000);
  d.Type(d.D->EditLenght, L"10");
  EXPECT_EQ(d.D->FCurEndMs, 11000);
  EXPECT_EQ(d.D->EditLenght->Text(), L"00:00:10.000");
  d.Type(d.D->EditLenght, L"1000:00");
  EXPECT_EQ(d.D->FCurEndMs, 600000);
}

TEST(SetSelectionDialog, RefusedTextsRestoreTheTextOnEntering) {
  Dialog d;
  for (const wchar_t* bad : {L"abc", L"-5", L""}) {
    d.Type(d.D->EditStart, bad);
    EXPECT_EQ(d.D->EditStart->Text(), L"00:00:01.000") << WideToUtf8(bad);
    d.Type(d.D->EditEnd, bad);
    EXPECT_EQ(d.D->EditEnd->Text(), L"00:00:05.000");
    d.Type(d.D->EditLenght, bad);
    EXPECT_EQ(d.D->EditLenght->Text(), L"00:00:04.000");
  }
  EXPECT_EQ(d.D->FCurStartMs, 1000);
  EXPECT_EQ(d.D->FCurEndMs, 5000);
}

TEST(SetSelectionDialog, Presets) {
  Dialog d;
  auto choose = [&](int i) {
    d.D->cbSelectionPreset->SetItemIndex(i);
    d.D->cbSelectionPresetClick(nullptr);
    return std::make_pair(d.D->FCurStartMs, d.D->FCurEndMs);
  };
  EXPECT_EQ(choose(2), std::make_pair(0, 600000));
  EXPECT_EQ(d.D->EditLenght->Text(), L"00:10:00.000");
  EXPECT_EQ(choose(3), std::make_pair(2000, 600000));
  EXPECT_EQ(choose(4), std::make_pair(0, 2000));
  EXPECT_EQ(choose(1), std::make_pair(1000, 5000));
  d.Type(d.D->EditEnd, L"7");
  EXPECT_EQ(choose(0), std::make_pair(1000, 7000));
}

TEST(SetSelectionDialog, OkAppliesTheTextStillBeingTyped) {
  Dialog d;
  d.Type(d.D->EditEnd, L"8", false);
  d.D->btnOK->Click();
  EXPECT_EQ(d.D->FSelStartMs, 1000);
  EXPECT_EQ(d.D->FSelEndMs, 8000);
}

TEST(SetSelectionCommand, AppliesTheSelectionAndBringsItIntoView) {
  TAudioEditor2 ed(nullptr);
  std::vector<float> f(size_t(44100) * 10, 0.1f);
  ed.Engine().LoadFrames(44100, 1, f.data(), 44100 * 10);
  ed.ZoomToRange(0, 44100);
  int selStart = -1, selEnd = -1;
  TSetSelectionHost host;
  host.Editor = &ed;
  host.SelStartMs = &selStart;
  host.SelEndMs = &selEnd;
  auto choose = [](int startMs, int endMs) {
    return testsupport::OnForm<TfrmSetSelection>([=](auto* d) {
      EXPECT_EQ(d->FLengthMs, 10000);
      d->FCurStartMs = startMs;
      d->FCurEndMs = endMs;
    });
  };
  {
    testsupport::ModalActor ok(L"Set Selection", L"OK", choose(8000, 8500));
    ASSERT_TRUE(ExecuteSetSelection(host));
    EXPECT_TRUE(ok.Acted());
  }
  EXPECT_EQ(selStart, 8000);
  EXPECT_EQ(selEnd, 8500);
  auto p = ed.Position();
  EXPECT_NE(p->SelectionActive(), 0);
  EXPECT_EQ(p->SelectionStart(), 8 * 44100);
  EXPECT_EQ(p->SelectionEnd(), 44100 * 85 / 10);
  EXPECT_LE(p->ViewStart(), p->SelectionStart());
  EXPECT_GE(p->ViewEnd(), p->SelectionEnd());
  EXPECT_NEAR(p->ViewEnd() - p->ViewStart(), 44100, 2);

  // A selection wider than the view: the view takes the selection.
  {
    testsupport::ModalActor ok(L"Set Selection", L"OK", choose(1000, 9000));
    ASSERT_TRUE(ExecuteSetSelection(host));
    EXPECT_TRUE(ok.Acted());
  }
  EXPECT_LE(p->ViewStart(), 44100);
  EXPECT_GE(p->ViewEnd(), 9 * 44100);

  // Cancel changes nothing.
  testsupport::ModalActor cancel(L"Set Selection", L"Cancel");
  EXPECT_FALSE(ExecuteSetSelection(host));
  EXPECT_TRUE(cancel.Acted());
  EXPECT_EQ(p->SelectionStart(), 44100);
}

TEST(NewSampleDialog, SummaryFollowsTheChoices) {
  TfrmNew d(nullptr);
  EXPECT_EQ(d.Caption(), L"New Sample");
  EXPECT_EQ(d.labCurrent->Caption(), L"44,100Hz; 16-bit; Stereo.");
  d.cbSampleRate->SetItemIndex(10);
  d.cbBitDepth->SetItemIndex(2);
  d.rbMono->SetChecked(true);
  d.UpdateSummary();
  EXPECT_EQ(d.labCurrent->Caption(), L"8,000Hz; 32-bit(float); Mono.");
  EXPECT_EQ(d.SampleRate(), 8000);
  EXPECT_EQ(d.Channels(), 1);
}

TEST(NewSampleDialog, NewDocumentMakesTheDocumentThenNamesIt) {
  TAudioEditor2 ed(nullptr);
  TNewDocumentHost host;
  host.Editor = &ed;
  std::vector<std::string> log;
  host.DocumentCreated = [&](int rate, int channels) {
    log.push_back("created " + std::to_string(rate) + " " + std::to_string(channels));
  };
  {
    testsupport::ModalActor ok(L"New Sample", L"OK", testsupport::OnForm<TfrmNew>([](auto* d) {
                                 d->cbSampleRate->SetItemIndex(2);
                                 d->rbMono->SetChecked(true);
                               }));
    ASSERT_TRUE(NewDocument(host));
    EXPECT_TRUE(ok.Acted());
  }
  EXPECT_EQ(log, std::vector<std::string>{"created 48000 1"});
  EXPECT_EQ(ed.FileInfo()->SampleRate(), 48000);
  EXPECT_EQ(ed.FileInfo()->Channels(), 1);

  testsupport::ModalActor cancel(L"New Sample", L"Cancel");
  EXPECT_FALSE(NewDocument(host));
  EXPECT_TRUE(cancel.Acted());
  EXPECT_EQ(log.size(), 1u);
}

TEST(NewSampleDialog, FailedNewFileLeavesTheOldDocumentsNameAlone) {
  TNewDocumentHost host;
  bool created = false;
  host.DocumentCreated = [&](int, int) { created = true; };
  host.NewFile = [](int, int) { throw std::runtime_error("no memory"); };
  testsupport::ModalActor ok(L"New Sample", L"OK");
  EXPECT_THROW(NewDocument(host), std::runtime_error);
  EXPECT_TRUE(ok.Acted());
  EXPECT_FALSE(created);
}
