// The editor control on a form: sub-objects, a screenshot, playing a tone
// and recording it back through the bench's loopback.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio/ui/AudioEditor2.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

TEST(EditorControl, ShowsPlaysAndRecords) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(50, 50, 660, 300);
  auto* ed = new TAudioEditor2(form.get());
  ed->SetParent(form.get());
  ed->SetBounds(0, 0, 640, 260);
  ed->SetTempDirectory(testsupport::MakeTempDir(L"editor-control"));
  std::vector<float> v(44100 * 2);
  for (size_t i = 0; i < v.size() / 2; ++i)
    v[2 * i] = v[2 * i + 1] =
        0.5f * float(std::sin(2 * std::numbers::pi * 880.0 * double(i) / 44100.0));
  ed->Engine().LoadFrames(44100, 2, v.data(), 44100);
  EXPECT_EQ(ed->FileInfo()->SampleRate(), 44100);
  EXPECT_EQ(ed->Position()->Length(), 44100);
  ed->Position()->SetSelectionStart(1000);
  ed->Position()->SetSelectionEnd(2000);
  ed->Position()->SetSelectionActive(-1);
  EXPECT_EQ(ed->Position()->SelectionActive(), -1);
  EXPECT_EQ(ed->Position()->MsToSamples(1000), 44100);
  std::wstring genre;
  ed->FileInfo()->GenreName(0, genre);
  EXPECT_EQ(genre, L"Blues");
  ed->VerticalZoom(0); // clamped, not a division by zero
  form->Show();
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"editor-control-waveform"));
  ed->SetTypeView(1);
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"editor-control-spectral"));

  bool ended = false;
  ed->OnEndPlay = [&](TObject*) { ended = true; };
  ed->Position()->SetSelectionActive(0);
  ed->Position()->SetCursor(0);
  ed->Play(1);
  EXPECT_EQ(ed->State(), 1);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ended; }, 5000));
  EXPECT_EQ(ed->State(), 0);
  ed->Stop(); // harmless when idle

  SAFEARRAY* a = ed->GetVisualizationData(2048);
  EXPECT_EQ(audio::SampleArrayCount(a), 2048u);
  auto* vis = new TAudioVisualization2(form.get());
  vis->SetParent(form.get());
  vis->SetData(a);
  SafeArrayDestroy(a);
  EXPECT_FALSE(vis->Spectrum().empty());
}

TEST(EditorControl, RecordsThroughLoopback) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* ed = new TAudioEditor2(form.get());
  ed->SetParent(form.get());
  ed->SetTempDirectory(testsupport::MakeTempDir(L"editor-record"));
  // A tone played on a second device for the whole take.
  const size_t toneFrames = 44100 * 20;
  std::vector<int16_t> pcm(toneFrames * 2);
  for (size_t i = 0; i < toneFrames; ++i)
    pcm[2 * i] = pcm[2 * i + 1] =
        int16_t(16000 * std::sin(2 * std::numbers::pi * 880.0 * double(i) / 44100.0));
  audio::TWaveOut out;
  ASSERT_EQ(out.Open(WAVE_MAPPER, 44100, 2, nullptr), MMSYSERR_NOERROR);
  out.Write(pcm.data(), toneFrames, 0);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return out.PlayedFrames() > 0; }, 10000));

  ed->NewFile(44100, 2);
  ed->StartRecord(2);
  EXPECT_EQ(ed->State(), 2);
  // Capture may take seconds to start on a loaded system.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ed->Engine().Length() >= 44100; }, 15000));
  ed->Stop();
  out.Close();
  EXPECT_EQ(ed->State(), 0);
  EXPECT_TRUE(ed->RecordError().empty());
  EXPECT_GE(ed->Position()->Length(), 44100);
  std::vector<float> rec(size_t(ed->Engine().Length()) * 2);
  ed->Engine().ReadFrames(0, ed->Engine().Length(), rec.data());
  double peak = 0;
  for (float x : rec)
    peak = std::max(peak, double(std::abs(x)));
  EXPECT_GT(peak, 0.1);         // the tone reached the document
  EXPECT_EQ(ed->CanUndo(), -1); // the take is one undoable step
  ed->Undo();
  EXPECT_EQ(ed->Position()->Length(), 0);
}
