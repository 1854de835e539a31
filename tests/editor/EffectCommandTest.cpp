// Effect commands: every preset of every dialog reaches the engine with the
// exact arguments, the command sequence (verb, caption, centring, busy,
// select all, status) and the slider / label / edit synchronisation.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/addnoise.h"
#include "editor/compressor.h"
#include "editor/effects.h"
#include "tests/editor/EffectTestHost.h"
#include "editor/filterdialog.h"
#include "editor/insertsilence.h"
#include "editor/vibrato.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

namespace {

using effecttest::TRecordingEditor;
using namespace editor;

using C = TEffectCommand;

struct PresetCase {
  C Command;
  // [0]: the call after OK with "(Custom)" (the stored values); [i]: after preset i.
  std::vector<std::string> Calls;
  // Names of some presets by index.
  std::vector<std::pair<int, std::wstring>> Names;
};

const std::vector<PresetCase>& Cases() {
  static const std::vector<PresetCase> cases = {
      {C::Mix,
       {"Mix(50,50)", "Mix(50,50)", "Mix(0,100)", "Mix(100,0)"},
       {{1, L"[Sys] 50/50 Mix"}, {2, L"[Sys] 100% Buffer"}, {3, L"[Sys] 100% Source File"}}},
      {C::MixFromFile,
       {"MixFromFile(50,50)", "MixFromFile(50,50)", "MixFromFile(0,100)", "MixFromFile(100,0)"},
       {}},
      {C::Trim,
       {"Trim(-20,100,2)", "Trim(-80,200,2)", "Trim(-60,200,2)", "Trim(-40,200,2)",
        "Trim(-20,200,2)", "Trim(-80,100,2)", "Trim(-60,100,2)", "Trim(-40,100,2)",
        "Trim(-20,100,2)"},
       {{1, L"[Sys] Soft Trim -80db"}, {8, L"[Sys] Trim -20db, 100ms"}}},
      {C::InsertSilence,
       {"InsertSilence(1000)", "InsertSilence(1000)", "InsertSilence(2000)", "InsertSilence(5000)",
        "InsertSilence(30000)", "InsertSilence(60000)", "InsertSilence(120000)",
        "InsertSilence(300000)", "InsertSilence(600000)"},
       {{4, L"[Sys] 1/2 Minute"}, {8, L"[Sys] 10 Minutes"}}},
      {C::DeleteSilence,
       {"DeleteSilence(-40,3,100)", "DeleteSilence(-40,3,100)", "DeleteSilence(-40,10,1000)",
        "DeleteSilence(-20,1,500)", "DeleteSilence(-60,1,500)", "DeleteSilence(-10,1,300)"},
       {{1, L"[Sys] Default All Parameter"},
        {2, L"[Sys] Long Decay Time"},
        {5, L"[Sys] Strong Beat Only"}}},
      {C::AddNoise,
       {"AddNoise(-20,1)", "AddNoise(-60,1)", "AddNoise(-40,1)", "AddNoise(-20,1)",
        "AddNoise(-10,1)", "AddNoise(-60,2)", "AddNoise(-40,2)", "AddNoise(-20,2)",
        "AddNoise(-10,2)"},
       {{1, L"[Sys] White Noise -60db"}, {8, L"[Sys] Gaussian Noise -10db"}}},
      {C::Amplify,
       {"Amplify(100)", "Amplify(316)", "Amplify(32)", "Amplify(141)", "Amplify(71)", "Amplify(95)",
        "Amplify(200)", "Amplify(50)", "Amplify(120)", "Amplify(140)", "Amplify(60)",
        "Amplify(80)"},
       {{1, L"[Sys] 10 dB Boost"},
        {5, L"[Sys] 5% Less Volume to Pervent Clipping"},
        {11, L"[Sys] Amplify 80%"}}},
      {C::FadeCustom,
       {"Fade(50,50)", "Fade(0,100)", "Fade(100,0)", "Fade(20,100)", "Fade(100,20)"},
       {{1, L"[Sys] Fade In"}, {4, L"[Sys] Soft Fade Out 80%"}}},
      {C::Normalize,
       {"Normalize(100,0)", "Normalize(100,0)", "Normalize(100,-1)", "Normalize(80,0)",
        "Normalize(80,-1)"},
       {{2, L"[Sys] Normalize 100% + DC Bias Adjust"}}},
      {C::Compressor,
       {"Compressor(-20,100,1)", "Compressor(-20,100,100)", "Compressor(-30,100,100)",
        "Compressor(-40,100,100)", "Compressor(-10,100,100)", "Compressor(-1,100,1)",
        "Compressor(-3,100,1)", "Compressor(-6,100,1)", "Compressor(-20,60,100)"},
       {{1, L"[Sys] Compressor -20dB"},
        {4, L"[Sys] Hard Compressor For Voice"},
        {8, L"[Sys] Soft Compressor For Voice"}}},
      {C::Expander,
       {"Expander(0,100,100)", "Expander(-54,75,100)", "Expander(-12,40,100)",
        "Expander(-30,100,100)", "Expander(-40,100,100)", "Expander(-50,100,100)",
        "Expander(-15,20,100)", "Expander(-30,25,30)"},
       {{1, L"[Sys] Cassette Noise Reduce"}, {7, L"[Sys] Voice Breath Reduce"}}},
      {C::ChannelConverter,
       {"ChannelConverter(50,50,50,50)", "ChannelConverter(50,50,50,50)",
        "ChannelConverter(100,0,100,0)", "ChannelConverter(0,100,0,100)",
        "ChannelConverter(100,100,100,100)", "ChannelConverter(80,20,20,80)",
        "ChannelConverter(70,30,30,70)", "ChannelConverter(0,100,100,0)"},
       {{2, L"[Sys] Both = Left"}, {7, L"[Sys] Swap Channels"}}},
      {C::Vibrato,
       {"Vibrato(50,10,10)", "Vibrato(40,15,95)", "Vibrato(70,20,90)", "Vibrato(40,1,95)"},
       {{1, L"[Sys] Fast Vibrato"}, {2, L"[Sys] Robotic Voice"}, {3, L"[Sys] Slow Vibrato"}}},
      {C::Delay,
       {"Delay(120,85,10)", "Delay(85,51,7)",   "Delay(70,53,11)",  "Delay(200,70,40)",
        "Delay(120,50,0)",  "Delay(60,50,0)",   "Delay(300,25,30)", "Delay(80,70,60)",
        "Delay(500,50,70)", "Delay(90,7,50)",   "Delay(180,3,60)",  "Delay(210,2,70)",
        "Delay(350,1,80)",  "Delay(120,7,50)",  "Delay(140,3,60)",  "Delay(220,2,70)",
        "Delay(300,1,80)",  "Delay(340,10,70)", "Delay(270,10,60)", "Delay(750,30,70)",
        "Delay(200,70,10)", "Delay(200,70,0)",  "Delay(26,60,10)",  "Delay(360,35,50)"},
       {{1, L"[Sys] Double Left Channel"},
        {21, L"[Sys] Small Echo"},
        {23, L"[Sys] Very Large Cavern"}}},
      {C::Phaser,
       {"Phaser(120,30,50)", "Phaser(300,30,45)", "Phaser(239,80,85)", "Phaser(300,30,45)",
        "Phaser(60,30,60)", "Phaser(400,25,50)"},
       {{1, L"[Sys] Gymnastic Hall"}, {3, L"[Sys] School Gym"}, {5, L"[Sys] Stadium"}}},
      {C::Flanger,
       {"Flanger(50,30,10,50,5,0)", "Flanger(14,50,30,99,18,40)", "Flanger(14,30,30,99,10,70)",
        "Flanger(14,35,70,99,5,70)", "Flanger(80,70,50,10,1,20)", "Flanger(100,50,85,90,30,90)",
        "Flanger(6,49,10,54,53,40)", "Flanger(70,50,1,99,0,50)", "Flanger(100,10,90,10,10,90)",
        "Flanger(100,50,85,99,100,90)", "Flanger(70,45,88,99,0,50)", "Flanger(14,50,75,99,0,120)",
        "Flanger(100,50,85,80,15,90)", "Flanger(14,8,41,1,42,40)", "Flanger(10,50,1,99,1,35)",
        "Flanger(3,35,10,40,4,40)", "Flanger(15,72,18,22,11,12)", "Flanger(80,50,70,10,19,20)"},
       {{1, L"[Sys] Blur"}, {8, L"[Sys] Light Reflective Romm"}, {17, L"[Sys] Up and Down"}}},
      {C::Reverb,
       {"Reverb(25,40,8,40,11000,10)", "Reverb(30,60,60,30,11000,10)",
        "Reverb(30,60,25,60,11000,10)", "Reverb(4,41,28,20,11000,10)", "Reverb(4,10,97,1,11000,10)",
        "Reverb(25,40,8,40,11000,10)", "Reverb(15,10,28,88,11000,10)",
        "Reverb(15,11,35,92,11000,10)", "Reverb(2,10,31,59,11000,10)",
        "Reverb(20,10,29,61,11000,10)"},
       {{1, L"[Sys] Allien Saying"},
        {4, L"[Sys] Metal Resonance (Second Metal Voice)"},
        {9, L"[Sys] Small Room Right Chanel"}}},
      {C::Chorus,
       {"Chorus(50,40,2,40,100,0)", "Chorus(10,20,60,0,0,90)", "Chorus(31,45,60,25,12,90)",
        "Chorus(31,45,60,90,25,0)", "Chorus(8,50,25,1,25,90)", "Chorus(7,60,0,15,90,90)",
        "Chorus(90,50,90,2,12,90)", "Chorus(31,70,50,1,1,90)", "Chorus(7,45,2,0,1,90)",
        "Chorus(5,30,60,2,12,90)", "Chorus(7,30,60,3,10,90)"},
       {{1, L"[Sys] Bathroom Delay"},
        {3, L"[Sys] Cassete Tape Hard Stretched"},
        {10, L"[Sys] Stereo Chorus Right"}}},
      {C::PitchShift,
       {"PitchShift(90)", "PitchShift(60)", "PitchShift(70)", "PitchShift(80)", "PitchShift(90)",
        "PitchShift(120)", "PitchShift(150)", "PitchShift(200)", "PitchShift(500)"},
       {{1, L"[Sys] Increase The Pitch 60%"}, {7, L"[Sys] Lower The Pitch 200%"}}},
      {C::StretchTime,
       {"StretchTime(90)", "StretchTime(60)", "StretchTime(70)", "StretchTime(80)",
        "StretchTime(90)", "StretchTime(120)", "StretchTime(150)", "StretchTime(200)",
        "StretchTime(500)"},
       {{1, L"[Sys] Slow Tempo 60%"}, {8, L"[Sys] Speed Up Tempo 500%"}}},
      {C::NotchFilter,
       {"NotchFilter(8000,50)", "NotchFilter(10000,50)", "NotchFilter(1000,50)",
        "NotchFilter(200,50)"},
       {{1, L"[Sys] Notch Filter 10kHz"}, {3, L"[Sys] Notch Filter 200Hz"}}},
      {C::BandPass,
       {"BandPass(8000,50)", "BandPass(10000,50)", "BandPass(1000,50)", "BandPass(200,50)"},
       {{2, L"[Sys] BandPass Filter 1kHz"}}},
      {C::LowPass,
       {"LowPass(8000,50)", "LowPass(10000,50)", "LowPass(1000,50)", "LowPass(200,50)"},
       {{1, L"[Sys] LowPass Filter 10kHz"}}},
      {C::HighPass,
       {"HighPass(8000,50)", "HighPass(10000,50)", "HighPass(1000,50)", "HighPass(200,50)"},
       {{3, L"[Sys] HighPass Filter 200Hz"}}},
      {C::LowShelf,
       {"LowShelf(0,8000,50)", "LowShelf(-10,10000,50)", "LowShelf(-10,100,50)"},
       {{2, L"[Sys] LowShelf Filter 100Hz"}}},
      {C::HighShelf,
       {"HighShelf(0,8000,50)", "HighShelf(-10,10000,50)", "HighShelf(-10,100,50)"},
       {{1, L"[Sys] HighShelf Filter 10kHz"}}},
      {C::PeakEQFilter,
       {"PeakEQFilter(0,8000,50)", "PeakEQFilter(-10,10000,50)", "PeakEQFilter(-10,100,50)",
        "PeakEQFilter(-10,2000,50)", "PeakEQFilter(-10,500,50)"},
       {{3, L"[Sys] Peak EQ Filter 2kHz"}, {4, L"[Sys] Peak EQ Filter 500Hz"}}},
  };
  return cases;
}

struct HostFixture {
  TRecordingEditor Engine;
  effecttest::THost<TRecordingEditor> Host;
  std::vector<std::string> Log;
  HostFixture() {
    Host.Engine = &Engine;
    Host.DisplayName = L"song.wav";
    Host.SetOperationText = [this](const std::wstring& v) {
      Log.push_back("verb:" + WideToUtf8(v));
    };
    Host.SelectAllIfNoSelection = [this] { Log.push_back("selectall"); };
    Host.UpdateStatusBar = [this] { Log.push_back("status"); };
    Host.BeginBusy = [this] { Log.push_back("busy"); };
    Host.EndBusy = [this] { Log.push_back("idle"); };
    Host.ChooseMixFile = [](std::wstring& f) {
      f = L"C:\\other.wav";
      return true;
    };
  }
};

} // namespace

TEST(EffectPresets, EveryPresetReachesTheEngineWithItsArguments) {
  for (const PresetCase& c : Cases()) {
    const TEffectCommandInfo& info = EffectCommandInfo(c.Command);
    for (size_t i = 0; i < c.Calls.size(); ++i) {
      HostFixture f;
      int presetCount = -1;
      std::wstring name;
      testsupport::ModalActor ok(L"", L"OK", testsupport::OnForm<TEffectDialog>([&](auto* d) {
                                   presetCount = d->PresetCount();
                                   EXPECT_EQ(d->cbPerset->Items()->Strings(0), L"(Custom)");
                                   EXPECT_EQ(d->cbPerset->ItemIndex(), 0);
                                   d->ChoosePreset(static_cast<int>(i));
                                   name = d->cbPerset->Items()->Strings(static_cast<int>(i));
                                 }));
      EXPECT_TRUE(ExecuteEffect(c.Command, f.Host)) << WideToUtf8(info.Action);
      EXPECT_TRUE(ok.Acted()) << WideToUtf8(info.Action);
      ASSERT_EQ(f.Engine.Calls.size(), 1u) << WideToUtf8(info.Action);
      EXPECT_EQ(f.Engine.Calls[0], c.Calls[i])
          << WideToUtf8(info.Action) << " preset " << i << " " << WideToUtf8(name);
      EXPECT_EQ(presetCount + 1, static_cast<int>(c.Calls.size())) << WideToUtf8(info.Action);
      if (i > 0) EXPECT_EQ(name.rfind(L"[Sys] ", 0), 0u) << WideToUtf8(name);
      for (auto& [index, expected] : c.Names)
        if (index == static_cast<int>(i)) EXPECT_EQ(name, expected);
    }
  }
}

TEST(EffectCommands, SequenceWithBusyAndSelectAll) {
  HostFixture f;
  testsupport::ModalActor ok(L"Compressor - song.wav", L"OK",
                             testsupport::OnForm<TEffectDialog>([&](auto* d) {
                               f.Log.push_back("show:" + WideToUtf8(d->Caption()));
                             }));
  ASSERT_TRUE(ExecuteEffect(C::Compressor, f.Host));
  std::vector<std::string> expected = {
      "verb:Compressoring", "show:Compressor - song.wav", "busy", "selectall", "status", "idle"};
  EXPECT_EQ(f.Log, expected);
  EXPECT_EQ(f.Engine.Calls, std::vector<std::string>{"Compressor(-20,100,1)"});
}

TEST(EffectCommands, TrimAndMixRunWithoutBusyOrSelectAll) {
  HostFixture f;
  testsupport::ModalActor ok(L"", L"OK");
  ok.Repeat();
  ASSERT_TRUE(ExecuteEffect(C::Trim, f.Host));
  EXPECT_EQ(f.Log, (std::vector<std::string>{"verb:Triming", "status"}));
  f.Log.clear();
  ASSERT_TRUE(ExecuteEffect(C::InsertSilence, f.Host));
  EXPECT_EQ(f.Log, (std::vector<std::string>{"verb:Inserting silece to", "status"}));
  f.Log.clear();
  ASSERT_TRUE(ExecuteEffect(C::MixFromFile, f.Host));
  EXPECT_EQ(f.Log, (std::vector<std::string>{"verb:Mixing", "status"}));
  EXPECT_EQ(f.Engine.LastFile, L"C:\\other.wav");
  EXPECT_EQ(ok.Count(), 3);
}

TEST(EffectCommands, CancelCallsNothingButKeepsTheVerb) {
  HostFixture f;
  testsupport::ModalActor cancel(
      L"", L"Cancel", testsupport::OnForm<TEffectDialog>([](auto* d) { d->ChoosePreset(2); }));
  EXPECT_FALSE(ExecuteEffect(C::Delay, f.Host));
  EXPECT_TRUE(cancel.Acted());
  EXPECT_TRUE(f.Engine.Calls.empty());
  EXPECT_EQ(f.Log, (std::vector<std::string>{"verb:Making a delay effect in"}));
}

TEST(EffectCommands, MixFromFileCancelledFileDialogShowsNoDialog) {
  HostFixture f;
  f.Host.ChooseMixFile = [](std::wstring&) { return false; };
  testsupport::ModalActor ok(L"", L"OK");
  EXPECT_FALSE(ExecuteEffect(C::MixFromFile, f.Host));
  testsupport::PumpFor(50);
  EXPECT_FALSE(ok.Acted());
  EXPECT_TRUE(f.Engine.Calls.empty());
}

TEST(EffectCommands, CommandsWithoutDialog) {
  HostFixture f;
  ASSERT_TRUE(ExecuteEffect(C::FadeIn, f.Host));
  ASSERT_TRUE(ExecuteEffect(C::FadeOut, f.Host));
  ASSERT_TRUE(ExecuteEffect(C::Reverse, f.Host));
  ASSERT_TRUE(ExecuteEffect(C::Invert, f.Host));
  f.Log.clear();
  ASSERT_TRUE(ExecuteEffect(C::SilenceSelection, f.Host));
  EXPECT_EQ(f.Log,
            (std::vector<std::string>{"verb:Silencing selection of", "busy", "status", "idle"}));
  EXPECT_EQ(f.Engine.Calls, (std::vector<std::string>{"Fade(0,100)", "Fade(100,0)", "Reverse()",
                                                      "Invert()", "SilenceSelection()"}));
}

TEST(EffectCommands, EngineFailureRestoresCursorAndSkipsStatus) {
  struct TFailing : TRecordingEditor {
    void Amplify(float) override { throw std::runtime_error("engine failed"); }
  } failing;
  HostFixture f;
  f.Host.Engine = &failing;
  testsupport::ModalActor ok(L"", L"OK");
  EXPECT_THROW(ExecuteEffect(C::Amplify, f.Host), std::runtime_error);
  EXPECT_EQ(f.Log, (std::vector<std::string>{"verb:Amplifying", "busy", "selectall", "idle"}));
}

TEST(EffectCommands, DialogIsCentredOnTheMainWindow) {
  auto* main = new TForm(nullptr);
  main->SetBounds(101, 51, 801, 601);
  HostFixture f;
  f.Host.MainForm = main;
  TRect r;
  testsupport::ModalActor cancel(L"", L"Cancel", testsupport::OnForm<TEffectDialog>([&](auto* d) {
                                   r = d->BoundsRect();
                                   EXPECT_EQ(d->Owner(), main);
                                 }));
  ExecuteEffect(C::Reverb, f.Host);
  EXPECT_TRUE(cancel.Acted());
  EXPECT_EQ(r.Left, 101 + (801 - r.Width()) / 2);
  EXPECT_EQ(r.Top, 51 + (601 - r.Height()) / 2);
  delete main;
}
