// One real run of every effect command through the editor control on a
// 1 kHz tone, each checked by a property that can be measured.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "editor/effects.h"
#include "editor/filterdialog.h"
#include "tests/editor/EffectTestHost.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

namespace {

using namespace editor;

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct TToneDoc {
  TAudioEditor2 Editor{nullptr};
  std::vector<float> Before;
  TToneDoc() {
    std::vector<float> f(size_t(kRate) * 2);
    for (int i = 0; i < kRate; ++i) {
      double s = std::sin(2 * kPi * 1000.0 * i / kRate);
      f[size_t(2 * i)] = float(0.25 * s);
      f[size_t(2 * i + 1)] = float(0.1 * s);
    }
    Editor.Engine().LoadFrames(kRate, 2, f.data(), kRate);
    Before = Frames();
  }
  std::vector<float> Frames() {
    int64_t n = Editor.Engine().Length();
    std::vector<float> out(size_t(n) * 2);
    if (n > 0) Editor.Engine().ReadFrames(0, n, out.data());
    return out;
  }
};

double Peak(const std::vector<float>& f, int ch) {
  double p = 0;
  for (size_t i = size_t(ch); i < f.size(); i += 2)
    p = std::max(p, double(std::fabs(f[i])));
  return p;
}

double Rms(const std::vector<float>& f, int ch, size_t from = 0) {
  double s = 0;
  size_t n = 0;
  for (size_t i = from * 2 + size_t(ch); i < f.size(); i += 2, ++n)
    s += double(f[i]) * f[i];
  return n ? std::sqrt(s / n) : 0;
}

bool Differs(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::fabs(a[i] - b[i]) > 1e-4f) return true;
  return false;
}

struct RunCase {
  TEffectCommand Command;
  int Preset; // chosen in the dialog (0 = stored values)
  std::function<void(TToneDoc&, const std::vector<float>&)> Check;
  std::function<void(TToneDoc&)> Prepare;
  // Further settings made in the dialog after the preset.
  std::function<void(TEffectDialog*)> Adjust;
};

void Changed(TToneDoc& d, const std::vector<float>& a) {
  EXPECT_TRUE(Differs(d.Before, a));
}

} // namespace

TEST(EffectEngineRuns, EveryCommandChangesTheToneMeasurably) {
  using C = TEffectCommand;
  std::wstring mixFile = testsupport::MakeTempDir(L"effect_runs") + L"\\tone.wav";
  std::vector<RunCase> cases = {
      {C::Amplify, 6,
       [](TToneDoc&, const std::vector<float>& a) { EXPECT_NEAR(Peak(a, 0), 0.5, 0.02); }},
      {C::Normalize, 0,
       [](TToneDoc&, const std::vector<float>& a) { EXPECT_NEAR(Peak(a, 0), 1.0, 0.02); }},
      {C::FadeIn, 0,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Peak(std::vector<float>(a.begin(), a.begin() + 400), 0), 0.01);
         EXPECT_GT(Peak(std::vector<float>(a.end() - 400, a.end()), 0), 0.2);
       }},
      {C::FadeOut, 0,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Peak(std::vector<float>(a.end() - 400, a.end()), 0), 0.01);
       }},
      {C::FadeCustom, 1,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Peak(std::vector<float>(a.begin(), a.begin() + 400), 0), 0.01);
       }},
      {C::Invert, 0,
       [](TToneDoc& d, const std::vector<float>& a) {
         ASSERT_EQ(a.size(), d.Before.size());
         EXPECT_NEAR(a[200], -d.Before[200], 1e-4);
       }},
      {C::Reverse, 0,
       [](TToneDoc& d, const std::vector<float>& a) {
         ASSERT_EQ(a.size(), d.Before.size());
         EXPECT_NEAR(a[0], d.Before[d.Before.size() - 2], 1e-4);
       }},
      {C::SilenceSelection, 0,
       [](TToneDoc&, const std::vector<float>& a) { EXPECT_LT(Peak(a, 0), 1e-4); }},
      {C::InsertSilence, 0,
       [](TToneDoc&, const std::vector<float>& a) { EXPECT_EQ(a.size() / 2, size_t(2 * kRate)); }},
      {C::ChannelConverter, 2,
       [](TToneDoc&, const std::vector<float>& a) { EXPECT_NEAR(Peak(a, 1), Peak(a, 0), 0.01); }},
      {C::StretchTime, 0,
       [](TToneDoc& d, const std::vector<float>& a) { EXPECT_NE(a.size(), d.Before.size()); }},
      {C::PitchShift, 0, Changed},
      {C::LowPass, 3,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.7);
       }},
      {C::HighPass, 1,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.7);
       }},
      {C::BandPass, 3,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.7);
       }},
      {C::NotchFilter, 2,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.7);
       }},
      {C::LowShelf, 1, Changed},
      {C::HighShelf, 2, Changed},
      {C::PeakEQFilter, 0,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.7);
       },
       nullptr,
       [](TEffectDialog* d) {
         auto* f = static_cast<TFilterDialog*>(d);
         f->slFrequency->SetValue(1000);
         f->slGain->SetValue(-20);
       }},
      {C::Compressor, 3,
       [](TToneDoc&, const std::vector<float>& a) {
         EXPECT_LT(Rms(a, 0, 4410), 0.25 * 0.707 * 0.9);
       }},
      {C::Expander, 1, Changed},
      {C::AddNoise, 4, Changed},
      {C::Vibrato, 0, Changed},
      {C::Delay, 0, Changed},
      {C::Phaser, 0, Changed},
      {C::Flanger, 0, Changed},
      {C::Reverb, 0, Changed},
      {C::Chorus, 0, Changed},
      {C::Trim, 0,
       [](TToneDoc& d, const std::vector<float>& a) { EXPECT_LE(a.size(), d.Before.size()); }},
      {C::DeleteSilence, 0,
       [](TToneDoc& d, const std::vector<float>& a) {
         EXPECT_LT(a.size(), d.Before.size() + 2 * kRate);
       },
       [](TToneDoc& d) {
         // A second of silence in the middle.
         d.Editor.Engine().SetSelection(kRate / 2, kRate / 2);
         d.Editor.Transform()->InsertSilence(1000);
         d.Before = d.Frames();
       }},
      {C::Mix, 0, Changed,
       [](TToneDoc& d) {
         // A quarter period apart, so that the mix shows.
         d.Editor.Engine().SetSelection(11, kRate / 2);
         d.Editor.Copy();
         d.Editor.Engine().SetSelection(kRate / 2, kRate);
       }},
      {C::MixFromFile, 2, Changed,
       [&mixFile](TToneDoc& d) {
         d.Editor.SaveFile(mixFile, 0);
         d.Editor.Engine().SetSelection(11, kRate / 2);
       }},
  };
  for (RunCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(EffectCommandInfo(c.Command).Action));
    TToneDoc doc;
    if (c.Prepare) c.Prepare(doc);
    effecttest::THost<TAudioEditor2> host;
    host.Engine = &doc.Editor;
    host.SelectAllIfNoSelection = [&doc] {
      auto& e = doc.Editor.Engine();
      if (!e.SelActive() || e.SelStart() == e.SelEnd()) {
        e.SetSelection(0, e.Length());
        e.SetSelActive(true);
      }
    };
    host.ChooseMixFile = [&mixFile](std::wstring& f) {
      f = mixFile;
      return true;
    };
    testsupport::ModalActor ok(L"", L"OK", testsupport::OnForm<TEffectDialog>([&c](auto* d) {
                                 d->ChoosePreset(c.Preset);
                                 if (c.Adjust) c.Adjust(d);
                               }));
    try {
      EXPECT_TRUE(ExecuteEffect(c.Command, host));
      // Only the commands with a dialog show one.
      EXPECT_EQ(ok.Acted(), *EffectCommandInfo(c.Command).CaptionPrefix != L'\0');
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    c.Check(doc, doc.Frames());
  }
}
