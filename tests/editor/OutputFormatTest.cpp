// The Output Format dialog: loading and storing every field, presets,
// defaults, the WMA profile texts and the OGG bit-rate order check; every
// output format saved and opened again with the dialog's settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "audio/EditorFormats.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "editor/outputformat.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

using namespace editor;

namespace {

class OutputFormatTest : public testing::Test {
protected:
  void SetUp() override {
    saved = GlobalVars;
    GlobalVars = TGlobalVars{};
    dlg = new TfrmOutputFormat(nullptr);
    dlg->AfterConstruction();
  }
  void TearDown() override {
    delete dlg;
    GlobalVars = saved;
  }
  std::wstring Text(TComboBox* c) { return c->Items()->Get(c->ItemIndex()); }
  TfrmOutputFormat* dlg = nullptr;
  TGlobalVars saved;
};

} // namespace

TEST_F(OutputFormatTest, StartingEntries) {
  EXPECT_EQ(dlg->MainPageControl->PageCount(), 15);
  EXPECT_EQ(dlg->MainPageControl->ActivePageIndex(), 0);
  EXPECT_EQ(dlg->MainPageControl->Pages(0)->Caption(), L" PCM ");
  EXPECT_EQ(dlg->MainPageControl->Pages(11)->Caption(), L"ALAW");
  EXPECT_EQ(Text(dlg->cbPCMRate), L"44100");
  EXPECT_EQ(Text(dlg->cbOGGAverageBitrate), L"192 kbps");
  EXPECT_EQ(Text(dlg->cbOGGMinBitrate), L"128 kbps");
  EXPECT_EQ(Text(dlg->cbOGGMaxBitrate), L"256 kbps");
  EXPECT_EQ(Text(dlg->cbMP3Bitrate), L"128 kbps");
  EXPECT_EQ(Text(dlg->cbMP3Perset), L"(Custom)");
  EXPECT_EQ(dlg->lstWMAProfile->Items()->Count(), 51);
  EXPECT_EQ(dlg->lstWMAProfile->ItemIndex(), 23);
  EXPECT_EQ(Text(dlg->cbG276Bitdepth), L"5");
  EXPECT_EQ(Text(dlg->cbDSPRate), L"8000");
}

TEST_F(OutputFormatTest, WmaProfileTexts) {
  EXPECT_EQ(WmaProfileText(24), L"WMA 44,100 Hz; 16 Bit; Stereo; 128 kbps. ");
  EXPECT_EQ(WmaProfileDescription(24), L"Audio for CD-quality transparency (128 Kbps stereo)");
  EXPECT_EQ(WmaProfileText(22), L"WMA 44,100 Hz; 16 Bit; Stereo; 64 kbps.  ");
  EXPECT_EQ(WmaProfileText(41), L"WMA 44,000 Hz; 16 Bit; Stereo; 64 kbps. ");
  EXPECT_EQ(WmaProfileText(1), L"WMA 8,000 Hz; 16 Bit; Mono; 8 kbps. ");
  EXPECT_EQ(WmaProfileDescription(51), L"Windows Media 8 Best Quality based VBR for Broadband");
  EXPECT_EQ(ParseKbps(L"128 kbps"), 128);
}

TEST_F(OutputFormatTest, LoadAndStoreEveryField) {
  TGlobalVars& g = GlobalVars;
  g.PcmRate = 8000, g.PcmBitDepth = 8, g.PcmChannel = 1;
  g.OggRate = 22050, g.OggAverageBitrate = 96, g.OggMinBitrate = 64, g.OggMaxBitrate = 160,
  g.OggChannel = 1;
  g.Mp3Rate = 32000, g.Mp3Bitrate = 320, g.Mp3Channel = 1;
  g.Mp2Rate = 48000, g.Mp2Bitrate = 64, g.Mp2Channel = 3;
  g.VoxRate = 6000;
  g.RawRate = 16000, g.RawBitDepth = 8, g.RawChannel = 1, g.RawCompressFormat = 6;
  g.WmaProfile = 1;
  g.G726Rate = 8000, g.G726BitDepth = 2, g.G723Rate = 8000, g.G723BitDepth = 3, g.G721Rate = 8000;
  g.UlawRate = 8000, g.UlawChannel = 1, g.AlawRate = 11025, g.AlawChannel = 1, g.GsmRate = 8000;
  g.AdpcmRate = 8000, g.AdpcmChannel = 1;
  const TGlobalVars expected = g;
  dlg->LoadOutputFormatDialog();
  EXPECT_EQ(Text(dlg->cbCompressFormat), L"MS ADPCM");
  EXPECT_EQ(dlg->lstWMAProfile->ItemIndex(), 0);
  EXPECT_EQ(dlg->labWMAProfileName->Caption(), WmaProfileDescription(1));
  EXPECT_TRUE(dlg->rbMP2JointStereo->Checked());
  g = TGlobalVars{};
  dlg->StoreOutputFormatDialog();
  EXPECT_EQ(g.PcmRate, 8000);
  EXPECT_EQ(g.PcmBitDepth, 8);
  EXPECT_EQ(g.PcmChannel, 1);
  EXPECT_EQ(g.OggRate, expected.OggRate);
  EXPECT_EQ(g.OggAverageBitrate, 96);
  EXPECT_EQ(g.OggMinBitrate, 64);
  EXPECT_EQ(g.OggMaxBitrate, 160);
  EXPECT_EQ(g.OggChannel, 1);
  EXPECT_EQ(g.Mp3Rate, 32000);
  EXPECT_EQ(g.Mp3Bitrate, 320);
  EXPECT_EQ(g.Mp3Channel, 1);
  EXPECT_EQ(g.Mp2Rate, 48000);
  EXPECT_EQ(g.Mp2Bitrate, 64);
  EXPECT_EQ(g.Mp2Channel, 3);
  EXPECT_EQ(g.VoxRate, 6000);
  EXPECT_EQ(g.RawRate, 16000);
  EXPECT_EQ(g.RawBitDepth, 8);
  EXPECT_EQ(g.RawChannel, 1);
  EXPECT_EQ(g.RawCompressFormat, 6);
  EXPECT_EQ(g.WmaProfile, 1);
  EXPECT_EQ(g.G726Rate, 8000);
  EXPECT_EQ(g.G726BitDepth, 2);
  EXPECT_EQ(g.G723Rate, 8000);
  EXPECT_EQ(g.G723BitDepth, 3);
  EXPECT_EQ(g.G721Rate, 8000);
  EXPECT_EQ(g.UlawRate, 8000);
  EXPECT_EQ(g.UlawChannel, 1);
  EXPECT_EQ(g.AlawRate, 11025);
  EXPECT_EQ(g.AlawChannel, 1);
  EXPECT_EQ(g.GsmRate, 8000);
  EXPECT_EQ(g.AdpcmRate, 8000);
  EXPECT_EQ(g.AdpcmChannel, 1);
}

TEST_F(OutputFormatTest, ValueOutsideTheListKeepsTheStartingEntry) {
  GlobalVars.Mp3Bitrate = 100;
  dlg->LoadOutputFormatDialog();
  EXPECT_EQ(Text(dlg->cbMP3Bitrate), L"128 kbps");
  dlg->StoreOutputFormatDialog();
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 128);
}

TEST_F(OutputFormatTest, TelephoneCodecsOfferOnlyTheRatesTheyWrite) {
  auto entries = [](TComboBox* c) {
    std::wstring all;
    for (int i = 0; i < c->Items()->Count(); ++i)
      all += (i ? L"," : L"") + c->Items()->Get(i);
    return all;
  };
  EXPECT_EQ(entries(dlg->cbVOXRate), L"6000,8000");
  for (TComboBox* c : {dlg->cbG276Rate, dlg->cbG273Rate, dlg->cbG271Rate, dlg->cbGSMRate})
    EXPECT_EQ(entries(c), L"8000");
  EXPECT_EQ(Text(dlg->cbVOXRate), L"8000");
  // A rate stored by an older version opens as the one the codec writes.
  GlobalVars.VoxRate = GlobalVars.G726Rate = GlobalVars.G723Rate = GlobalVars.G721Rate =
      GlobalVars.GsmRate = 44100;
  dlg->LoadOutputFormatDialog();
  dlg->StoreOutputFormatDialog();
  EXPECT_EQ(GlobalVars.VoxRate, 8000);
  EXPECT_EQ(GlobalVars.G726Rate, 8000);
  EXPECT_EQ(GlobalVars.G723Rate, 8000);
  EXPECT_EQ(GlobalVars.G721Rate, 8000);
  EXPECT_EQ(GlobalVars.GsmRate, 8000);
  // Default picks them too.
  dlg->cbVOXRate->SetItemIndex(0);
  dlg->SetDefaults();
  EXPECT_EQ(Text(dlg->cbVOXRate), L"8000");
  EXPECT_EQ(Text(dlg->cbG276Rate), L"8000");
  EXPECT_EQ(Text(dlg->cbG276Bitdepth), L"5");
}

// MP2 offers 16,000 Hz and up; RAW with GSM offers 8,000 Hz mono only, and
// the other RAW formats get every rate and stereo back.
TEST_F(OutputFormatTest, Mp2AndRawGsmOfferOnlyWhatIsWritten) {
  auto entries = [](TComboBox* c) {
    std::wstring all;
    for (int i = 0; i < c->Items()->Count(); ++i)
      all += (i ? L"," : L"") + c->Items()->Get(i);
    return all;
  };
  const std::wstring pcmRates = L"6000,8000,11025,12000,16000,22050,24000,32000,44100,48000";
  EXPECT_EQ(entries(dlg->cbMP2Rate), L"16000,22050,24000,32000,44100,48000");
  EXPECT_EQ(Text(dlg->cbMP2Rate), L"44100");
  EXPECT_EQ(entries(dlg->cbRAWRate), pcmRates);
  GlobalVars.Mp2Rate = 8000; // stored by an older version
  GlobalVars.RawCompressFormat = 4;
  GlobalVars.RawRate = 44100;
  GlobalVars.RawChannel = 2;
  dlg->LoadOutputFormatDialog();
  EXPECT_EQ(Text(dlg->cbMP2Rate), L"16000");
  EXPECT_EQ(entries(dlg->cbRAWRate), L"8000");
  EXPECT_TRUE(dlg->rbRAWMono->Checked());
  EXPECT_FALSE(dlg->rbRAWStereo->Enabled());
  dlg->StoreOutputFormatDialog();
  EXPECT_EQ(GlobalVars.Mp2Rate, 16000);
  EXPECT_EQ(GlobalVars.RawRate, 8000);
  EXPECT_EQ(GlobalVars.RawChannel, 1);
  // Back to PCM: every rate and stereo again.
  dlg->cbCompressFormat->SetItemIndex(0);
  dlg->ApplyRawCompression();
  EXPECT_EQ(entries(dlg->cbRAWRate), pcmRates);
  EXPECT_EQ(Text(dlg->cbRAWRate), L"8000");
  EXPECT_TRUE(dlg->rbRAWStereo->Enabled());
  // GSM chosen with the mouse, then Default.
  dlg->cbCompressFormat->SetItemIndex(3);
  dlg->ApplyRawCompression();
  EXPECT_EQ(Text(dlg->cbRAWRate), L"8000");
  dlg->SetDefaults();
  EXPECT_EQ(Text(dlg->cbCompressFormat), L"PCM");
  EXPECT_EQ(Text(dlg->cbRAWRate), L"44100");
  EXPECT_TRUE(dlg->rbRAWStereo->Checked());
  EXPECT_EQ(Text(dlg->cbMP2Rate), L"44100");
}

TEST_F(OutputFormatTest, Presets) {
  dlg->cbOGGPerset->SetItemIndex(6); // Voice Quality, 64kbps
  dlg->ApplyOggPreset();
  EXPECT_EQ(Text(dlg->cbOGGAverageBitrate), L"64 kbps");
  EXPECT_EQ(Text(dlg->cbOGGMinBitrate), L"64 kbps");
  EXPECT_EQ(Text(dlg->cbOGGMaxBitrate), L"64 kbps");
  EXPECT_TRUE(dlg->rbOGGStereo->Checked());
  dlg->cbMP3Perset->SetItemIndex(7); // Voice Quality, 64kbps, Mono
  dlg->ApplyMp3Preset();
  EXPECT_EQ(Text(dlg->cbMP3Bitrate), L"64 kbps");
  EXPECT_TRUE(dlg->rbMP3Mono->Checked());
  dlg->cbMP2Perset->SetItemIndex(3); // Hi-Fi, Joint Stereo
  dlg->ApplyMp2Preset();
  EXPECT_EQ(Text(dlg->cbMP2Bitrate), L"160 kbps");
  EXPECT_TRUE(dlg->rbMP2JointStereo->Checked());
}

TEST_F(OutputFormatTest, OggOrderCheck) {
  dlg->Show();
  // 192 / 192 / 192 passes.
  dlg->cbOGGAverageBitrate->SetItemIndex(2);
  dlg->cbOGGMinBitrate->SetItemIndex(2);
  dlg->cbOGGMaxBitrate->SetItemIndex(2);
  EXPECT_TRUE(dlg->CheckOggBitrates());
  // Nominal 256 above maximum 192 is refused with the message and the OGG tab shown.
  dlg->cbOGGAverageBitrate->SetItemIndex(0);
  testsupport::ModalActor ok(L"Error", IDOK);
  EXPECT_FALSE(dlg->CheckOggBitrates());
  ASSERT_TRUE(ok.Acted());
  EXPECT_NE(ok.SeenText().find(L"Invalid OGG bitrate: Nominal bitrate \"256 kbps\""),
            std::wstring::npos);
  EXPECT_EQ(dlg->MainPageControl->ActivePage(), dlg->TabOGG);
  testsupport::SaveWindowPng(dlg->Handle(), L"editor-output-format-ogg.png");
}

TEST_F(OutputFormatTest, DefaultThenCancelLeavesTheRecord) {
  GlobalVars.Mp3Bitrate = 320;
  // Default asks first; Yes sets the starting entries.
  auto defaults = [](bool check) {
    return testsupport::OnForm<TfrmOutputFormat>([check](auto* d) {
      testsupport::ModalActor yes(L"Set default?", L"&Yes");
      d->btnDefault->Click();
      EXPECT_TRUE(yes.Acted());
      if (check) EXPECT_EQ(d->cbMP3Bitrate->ItemIndex(), 5);
    });
  };
  TForm owner(nullptr);
  {
    testsupport::ModalActor cancel(L"Output Format", L"Cancel", defaults(true));
    EXPECT_FALSE(RunOutputFormatDialog(&owner));
    EXPECT_TRUE(cancel.Acted());
  }
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 320);
  testsupport::ModalActor ok(L"Output Format", L"OK", defaults(false));
  EXPECT_TRUE(RunOutputFormatDialog(&owner));
  EXPECT_TRUE(ok.Acted());
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 128);
}

namespace {

// Two tones, so that a wrong rate or code width cannot pass for the source.
double Source(double t) {
  return 0.3 * std::sin(2 * std::numbers::pi * 440.0 * t) +
         0.3 * std::sin(2 * std::numbers::pi * 1250.0 * t);
}

// Correlation of the opened sound (first channel) with the source at the
// best delay of up to 100 ms.
double CorrelationWithSource(const std::vector<float>& v, int channels, int rate) {
  const int before = rate / 100, after = rate / 10;
  const size_t frames = v.size() / size_t(channels);
  // ref[k] is the source at frame k - after.
  std::vector<double> ref(frames + size_t(after + before) + 1);
  for (size_t k = 0; k < ref.size(); ++k)
    ref[k] = Source((double(k) - after) / rate);
  auto corr = [&](int lag, double from, double to) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = size_t(from * rate); i < size_t(to * rate) && i < frames; ++i) {
      double x = v[i * size_t(channels)], r = ref[size_t(int64_t(i) - lag + after)];
      xy += x * r, xx += x * x, yy += r * r;
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
  };
  int best = 0;
  double bestCorr = -2;
  for (int lag = -before; lag <= after; ++lag) {
    double c = corr(lag, 0.5, 0.55);
    if (c > bestCorr) bestCorr = c, best = lag;
  }
  return corr(best, 0.2, 1.8);
}

} // namespace

// Every output format saved and opened again by the editor control, once
// with the default settings and once with others: the opened sound must be
// the source (rate and length kept, high correlation). Headerless files
// carry no rate or code width, so they are opened with the settings saving
// used.
TEST_F(OutputFormatTest, EveryFormatReopensAsTheSource) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-output-roundtrip");
  const int rate = 44100;
  std::vector<float> source(size_t(rate) * 2 * 2);
  for (size_t i = 0; i < source.size() / 2; ++i)
    source[2 * i] = source[2 * i + 1] = float(Source(double(i) / rate));
  using Change = std::function<void(TGlobalVars&)>;
  struct Case {
    const char* name;
    int entry; // save-dialog entry
    Change change;
  };
  const Change none = [](TGlobalVars&) {};
  const std::vector<Case> defaults = {
      {"MP3", 1, none},       {"MP2", 2, none},    {"OGG", 3, none},    {"VOX", 4, none},
      {"RAW", 5, none},       {"WMA", 6, none},    {"G.726", 7, none},  {"G.723", 8, none},
      {"G.721", 9, none},     {"u-Law", 10, none}, {"A-Law", 11, none}, {"GSM", 12, none},
      {"MS ADPCM", 14, none}, {"PCM", 15, none}};
  const std::vector<Case> others = {
      {"MP3 22050 64k mono", 1,
       [](TGlobalVars& g) { g.Mp3Rate = 22050, g.Mp3Bitrate = 64, g.Mp3Channel = 1; }},
      {"MP2 32000 192k joint", 2,
       [](TGlobalVars& g) { g.Mp2Rate = 32000, g.Mp2Bitrate = 192, g.Mp2Channel = 3; }},
      {"OGG 22050 96k mono", 3,
       [](TGlobalVars& g) {
         g.OggRate = 22050, g.OggAverageBitrate = 96, g.OggMinBitrate = 64;
         g.OggMaxBitrate = 128, g.OggChannel = 1;
       }},
      {"VOX 6000", 4, [](TGlobalVars& g) { g.VoxRate = 6000; }},
      {"RAW PCM 22050 8-bit mono", 5,
       [](TGlobalVars& g) { g.RawRate = 22050, g.RawBitDepth = 8, g.RawChannel = 1; }},
      {"RAW a-Law 16000 mono", 5,
       [](TGlobalVars& g) { g.RawCompressFormat = 2, g.RawRate = 16000, g.RawChannel = 1; }},
      {"RAW u-Law 8000 stereo", 5,
       [](TGlobalVars& g) { g.RawCompressFormat = 3, g.RawRate = 8000; }},
      {"RAW GSM", 5, [](TGlobalVars& g) { g.RawCompressFormat = 4; }},
      {"RAW IMA ADPCM 22050", 5,
       [](TGlobalVars& g) { g.RawCompressFormat = 5, g.RawRate = 22050; }},
      {"RAW MS ADPCM 11025 mono", 5,
       [](TGlobalVars& g) { g.RawCompressFormat = 6, g.RawRate = 11025, g.RawChannel = 1; }},
      {"WMA profile 21", 6, [](TGlobalVars& g) { g.WmaProfile = 21; }},
      {"G.726 2-bit", 7, [](TGlobalVars& g) { g.G726BitDepth = 2; }},
      {"G.726 3-bit", 7, [](TGlobalVars& g) { g.G726BitDepth = 3; }},
      {"G.726 4-bit", 7, [](TGlobalVars& g) { g.G726BitDepth = 4; }},
      {"G.723 3-bit", 8, [](TGlobalVars& g) { g.G723BitDepth = 3; }},
      {"u-Law 22050 mono", 10, [](TGlobalVars& g) { g.UlawRate = 22050, g.UlawChannel = 1; }},
      {"A-Law 11025 mono", 11, [](TGlobalVars& g) { g.AlawRate = 11025, g.AlawChannel = 1; }},
      {"MS ADPCM 22050 mono", 14, [](TGlobalVars& g) { g.AdpcmRate = 22050, g.AdpcmChannel = 1; }},
      {"PCM 22050 8-bit mono", 15,
       [](TGlobalVars& g) { g.PcmRate = 22050, g.PcmBitDepth = 8, g.PcmChannel = 1; }}};
  std::printf("%-8s %-26s %-7s %-12s %-8s %s\n", "settings", "format", "file", "opened", "seconds",
              "correlation");
  int n = 0;
  for (const auto* set : {&defaults, &others}) {
    for (const Case& c : *set) {
      GlobalVars = TGlobalVars{};
      c.change(GlobalVars);
      std::wstring path = ReplaceExtension(dir + L"\\out" + IntToStr(++n), L".x");
      TAudioEditor2 writer(nullptr);
      writer.SetTempDirectory(dir);
      writer.Engine().LoadFrames(rate, 2, source.data(), int64_t(source.size() / 2));
      path = ReplaceExtension(path, ApplyFilterFormat(*writer.OutputFormat(), c.entry));
      ASSERT_NO_THROW(writer.SaveFile(path, 0)) << c.name;
      int savedRate = 0, savedChannels = 0;
      audioedit::EffectiveFormat(writer.Engine().Format, savedRate, savedChannels);

      TAudioEditor2 reader(nullptr);
      reader.SetTempDirectory(dir);
      ApplyHeaderlessFormats(*reader.HeaderlessInputFormat());
      ASSERT_NO_THROW(reader.OpenFile(path)) << c.name;
      auto& e = reader.Engine();
      std::vector<float> v(size_t(e.Length() * e.Channels()));
      e.ReadFrames(0, e.Length(), v.data());
      double seconds = double(e.Length()) / e.SampleRate();
      double corr = CorrelationWithSource(v, e.Channels(), e.SampleRate());
      std::printf("%-8s %-26s %5d/%d %7d/%d %8.3f %8.3f\n", set == &defaults ? "default" : "other",
                  c.name, savedRate, savedChannels, e.SampleRate(), e.Channels(), seconds, corr);
      EXPECT_EQ(e.SampleRate(), savedRate) << c.name;
      EXPECT_EQ(e.Channels(), savedChannels) << c.name;
      EXPECT_GE(seconds, 1.98) << c.name; // WMA at 32,000 Hz ends 16 ms short
      EXPECT_LE(seconds, 2.4) << c.name;
      EXPECT_GT(corr, 0.8) << c.name;
    }
  }
}
