// The recording settings of the Properties dialog reach the recording: the
// main window pushes them into the editor control, whose next take of a tone
// played through the bench's loopback shows their effect.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/ui/AudioEditor2.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

using namespace editor;

namespace {

// RMS of the last half of a take, relative to the tone's (dB).
double TakeDb(TAudioEditor2* ed, double toneLevel) {
  const int64_t n = ed->Engine().Length() / 2, from = ed->Engine().Length() - n;
  std::vector<float> v(size_t(n) * 2);
  ed->Engine().ReadFrames(from, n, v.data());
  double sum = 0;
  for (float x : v)
    sum += double(x) * x;
  double rms = v.empty() ? 0 : std::sqrt(sum / double(v.size()));
  return 20 * std::log10(std::max(1e-9, rms / (toneLevel / std::sqrt(2.0))));
}

} // namespace

TEST(RecordingSettings, PropertiesReachTheTake) {
  ForceDirectories(DefaultSettingsDir());
  DeleteFileW((DefaultSettingsDir() + SettingsFileTitle).c_str());
  auto* form = new TfrmMain(nullptr);
  form->AfterConstruction();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  testsupport::TonePlayer tone(200, 0.5, 0.5);
  ASSERT_TRUE(tone.Ok());
  for (bool highPass : {false, true}) {
    GlobalVars.HighPassEnabled = highPass;
    GlobalVars.HighPass = 2000;
    GlobalVars.PlayRecordtBuffer = 800;
    GlobalVars.VisType = 2;
    form->ApplySettingsToEditor();
    TAudioEditor2* ed = form->AudioEditor;
    EXPECT_EQ(ed->FileBufferSize(), 800);
    EXPECT_EQ(ed->RecordVisualizationType(), 2);
    ed->NewFile(44100, 2);
    ed->StartRecord(2);
    ASSERT_EQ(ed->State(), 2);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ed->RecordInputFrames() >= 44100; }, 20000));
    ed->Stop();
    ASSERT_GE(ed->Engine().Length(), 44100);
    if (highPass)
      EXPECT_LT(TakeDb(ed, 0.5), -20.0);
    else
      EXPECT_GT(TakeDb(ed, 0.5), -3.0);
  }
  delete form;
}
