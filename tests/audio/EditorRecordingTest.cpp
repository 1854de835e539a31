// The editor control's recording options, judged by what they do to a tone
// recorded through the bench's loopback: filters, automatic gain control,
// voice activation, the play/record buffer and the display while recording.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

#include "audio/ui/AudioEditor2.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

namespace {

struct Bench {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TAudioEditor2* ed = nullptr;
  explicit Bench(const wchar_t* name) {
    form->SetBounds(40, 40, 660, 300);
    ed = new TAudioEditor2(form.get());
    ed->SetParent(form.get());
    ed->SetBounds(0, 0, 640, 260);
    ed->SetTempDirectory(testsupport::MakeTempDir(name));
    ed->NewFile(44100, 2);
  }
  // Records until the input has delivered `frames` frames.
  void RecordInput(int64_t frames) {
    ed->StartRecord(2);
    ASSERT_EQ(ed->State(), 2);
    // Capture may take seconds to start on a loaded system.
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ed->RecordInputFrames() >= frames; }, 20000));
    ed->Stop();
    EXPECT_EQ(ed->State(), 0);
    EXPECT_TRUE(ed->RecordError().empty());
  }
  std::vector<float> Take(int64_t from = 0) {
    int64_t n = std::max<int64_t>(0, ed->Engine().Length() - from);
    std::vector<float> v(size_t(n) * 2);
    ed->Engine().ReadFrames(from, n, v.data());
    return v;
  }
};

double Rms(const std::vector<float>& v) {
  double sum = 0;
  for (float x : v)
    sum += double(x) * x;
  return v.empty() ? 0 : std::sqrt(sum / double(v.size()));
}

double Peak(const std::vector<float>& v) {
  double p = 0;
  for (float x : v)
    p = std::max(p, double(std::abs(x)));
  return p;
}

// The last `fraction` of the take, past the start of the capture and the
// settling of filters and gain.
std::vector<float> Tail(const std::vector<float>& v, double fraction) {
  size_t frames = v.size() / 2;
  size_t from = frames - size_t(double(frames) * fraction);
  return std::vector<float>(v.begin() + ptrdiff_t(from * 2), v.end());
}

} // namespace

struct FilterCase {
  const char* name;
  int high, low, notch; // cut-off or centre in Hz, 0 = off
  double tone;
  bool stops; // the tone lies in the stop band
  friend std::ostream& operator<<(std::ostream& o, const FilterCase& c) { return o << c.name; }
};

class RecordingFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(RecordingFilter, ShapesTheRecordedTone) {
  const FilterCase& c = GetParam();
  Bench b(L"editor-record-filter");
  auto r = b.ed->Recorder();
  r->SetHighPassEnabled(c.high ? -1 : 0);
  r->SetHighPass(float(c.high ? c.high : 2000));
  r->SetLowPassEnabled(c.low ? -1 : 0);
  r->SetLowPass(float(c.low ? c.low : 2000));
  r->SetNotchPassEnabled(c.notch ? -1 : 0);
  r->SetNotchPass(float(c.notch ? c.notch : 2000));
  testsupport::TonePlayer tone(c.tone, 0.5, 0.5);
  ASSERT_TRUE(tone.Ok());
  testsupport::PumpFor(200);
  b.RecordInput(44100);
  ASSERT_GE(b.ed->Engine().Length(), 44100);
  double db = 20 * std::log10(std::max(1e-9, Rms(Tail(b.Take(), 0.5)) / (0.5 / std::sqrt(2.0))));
  if (c.stops)
    EXPECT_LT(db, -20.0) << c.name;
  else
    EXPECT_GT(db, -3.0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordingFilter,
                         testing::Values(FilterCase{"none", 0, 0, 0, 1000, false},
                                         FilterCase{"high_pass_stops", 2000, 0, 0, 200, true},
                                         FilterCase{"high_pass_passes", 200, 0, 0, 4000, false},
                                         FilterCase{"low_pass_stops", 0, 1000, 0, 6000, true},
                                         FilterCase{"notch_stops", 0, 0, 1000, 1000, true},
                                         FilterCase{"notch_passes", 0, 0, 1000, 5000, false}),
                         [](const testing::TestParamInfo<FilterCase>& i) {
                           return std::string(i.param.name);
                         });

class RecordingGain : public testing::TestWithParam<bool> {};

// A tone 54 dB down, under the low level of -40 dB: the gain rises towards it.
TEST_P(RecordingGain, RaisesAQuietTone) {
  const bool agc = GetParam();
  Bench b(L"editor-record-agc");
  auto r = b.ed->Recorder();
  r->SetAGCEnabled(agc ? -1 : 0);
  r->SetAGCLowLevel(-40);
  r->SetAGCHighLevel(-10);
  r->SetAGCAttackTime(4);
  const double level = 0.002;
  testsupport::TonePlayer tone(1000, level, level);
  ASSERT_TRUE(tone.Ok());
  testsupport::PumpFor(200);
  b.RecordInput(44100 * 5 / 2);
  double gain = Peak(Tail(b.Take(), 0.2)) / level;
  if (agc)
    EXPECT_GT(gain, 2.0);
  else
    EXPECT_NEAR(gain, 1.0, 0.3);
}

INSTANTIATE_TEST_SUITE_P(OffOn, RecordingGain, testing::Bool());

class RecordingVoice : public testing::TestWithParam<bool> {};

// A second of silence, then a tone: voice activation leaves the silence out.
TEST_P(RecordingVoice, DropsSilence) {
  const bool voice = GetParam();
  Bench b(L"editor-record-voice");
  auto r = b.ed->Recorder();
  r->SetAccuEnabled(voice ? -1 : 0);
  r->SetAttackTime(100);
  r->SetAttackLevel(-45);
  r->SetReleaseTime(300);
  r->SetReleaseLevel(-45);
  b.ed->StartRecord(2);
  ASSERT_EQ(b.ed->State(), 2);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return b.ed->RecordInputFrames() >= 44100; }, 20000));
  const int64_t silence = b.ed->RecordInputFrames();
  if (voice) EXPECT_EQ(b.ed->Engine().Length(), 0);
  std::optional<testsupport::TonePlayer> tone(std::in_place, 1000, 0.5, 0.5);
  ASSERT_TRUE(tone->Ok());
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] { return b.ed->RecordInputFrames() >= silence + 44100 * 3 / 2; }, 20000));
  b.ed->Stop();
  tone.reset();
  const int64_t input = b.ed->RecordInputFrames(), length = b.ed->Engine().Length();
  if (voice) {
    EXPECT_LE(length, input - silence);
    EXPECT_GE(length, 22050); // the tone is kept
    EXPECT_GT(Peak(b.Take()), 0.3);
  } else {
    EXPECT_EQ(length, input);
  }
}

INSTANTIATE_TEST_SUITE_P(OffOn, RecordingVoice, testing::Bool());

TEST(RecordingVoice, ASilentTakeLeavesNothingToUndo) {
  Bench b(L"editor-record-silent");
  b.ed->Recorder()->SetAccuEnabled(-1);
  b.RecordInput(22050);
  EXPECT_EQ(b.ed->Engine().Length(), 0);
  EXPECT_EQ(b.ed->CanUndo(), 0);
}

// The buffer is what playing keeps queued with the device.
TEST(RecordingBuffer, SetsWhatPlayingQueues) {
  Bench b(L"editor-play-buffer");
  std::vector<float> v(44100 * 5 * 2, 0.0f);
  b.ed->Engine().LoadFrames(44100, 2, v.data(), 44100 * 5);
  for (int ms : {100, 2000}) {
    b.ed->SetFileBufferSize(ms);
    b.ed->Position()->SetCursor(0);
    b.ed->Play(1);
    int64_t queued = b.ed->PlayQueuedFrames();
    b.ed->Stop();
    EXPECT_LE(queued, 44100 * ms / 1000) << ms;
    // The device may take the first block at once.
    if (ms == 2000) EXPECT_GE(queued, 44100 * ms / 1000 * 3 / 4);
  }
}

// And what recording reads in: eight input buffers share it, so the input
// arrives in steps of an eighth of it.
TEST(RecordingBuffer, SetsTheInputSteps) {
  for (int ms : {4000, 800}) {
    Bench b(L"editor-record-buffer");
    b.ed->SetFileBufferSize(ms);
    const int64_t step = 44100LL * ms / 1000 / 8;
    b.ed->StartRecord(2);
    ASSERT_EQ(b.ed->State(), 2);
    std::vector<int64_t> seen;
    testsupport::PumpUntil(
        [&] {
          int64_t n = b.ed->RecordInputFrames();
          if (n > 0 && (seen.empty() || seen.back() != n)) seen.push_back(n);
          return n >= 44100 * 3;
        },
        20000);
    b.ed->Stop();
    ASSERT_FALSE(seen.empty()) << ms;
    for (int64_t n : seen)
      EXPECT_EQ(n % step, 0) << ms << " ms: " << n;
    if (ms == 800) { // steps of 100 ms show between the 500 ms ones
      bool between = false;
      for (int64_t n : seen)
        between = between || n % 22050 != 0;
      EXPECT_TRUE(between);
    }
  }
}

// Share of the wave area's pixels in colour c while recording.
static double RecordingShare(TAudioEditor2* ed, COLORREF c) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const int w = ed->Width(), h = ed->Height();
  HBITMAP bmp = testsupport::CreateTopDownDib(screen, w, h, &bits);
  HGDIOBJ old = SelectObject(dc, bmp);
  ed->PaintClientTo(dc);
  GdiFlush();
  audioedit::ViewLayout l = audioedit::LayoutView(w, h, ed->View());
  const DWORD want = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  int hits = 0, all = 0;
  for (int y = l.Wave.top; y < l.Wave.bottom; ++y)
    for (int x = l.Wave.left; x < l.Wave.right; ++x, ++all)
      hits += (static_cast<DWORD*>(bits)[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF) == want;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return all ? double(hits) / all : 0;
}

// Type 1 shows the whole take as it grows; type 2 an oscilloscope of the input.
TEST(RecordingDisplay, DrawsTheChosenType) {
  testsupport::TonePlayer tone(880, 0.5, 0.5);
  ASSERT_TRUE(tone.Ok());
  for (int type : {1, 2}) {
    Bench b(L"editor-record-display");
    b.ed->SetRecordVisualizationType(int16_t(type));
    b.form->Show();
    b.ed->StartRecord(2);
    ASSERT_EQ(b.ed->State(), 2);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return b.ed->Engine().Length() >= 44100; }, 20000));
    double scope = RecordingShare(b.ed, 0x00FF00);
    EXPECT_TRUE(testsupport::SaveWindowPng(b.form->Handle(),
                                           L"editor-record-display-" + std::to_wstring(type)));
    if (type == 1) {
      EXPECT_EQ(scope, 0.0);
      EXPECT_EQ(b.ed->Engine().ViewStart(), 0.0);
      EXPECT_EQ(b.ed->Engine().ViewEnd(), double(b.ed->Engine().Length()));
    } else {
      EXPECT_GT(scope, 0.01); // the tone's trace crosses the lanes
    }
    b.ed->Stop();
  }
}
