// The output-format set-up and specify dialogs: preset tables, load and store,
// enabling, the MP3 limits, summaries and cancelling.
#include <gtest/gtest.h>

#include "recorder/Mp3Format.h"
#include "recorder/Mp3FormatSpecify.h"
#include "recorder/OGGFormatSpecify.h"
#include "recorder/OggFormat.h"
#include "recorder/WMAFormat.h"
#include "recorder/WaveFormat.h"
#include "recorder/WaveFormatSpecify.h"
#include "tests/support/Gui.h"

using namespace recorder;

namespace {

TGlobalVars Defaults() {
  TGlobalVars g;
  SetDefaultSettings(g, L"C:\\");
  return g;
}

// Slider value → labels and the stored preset field that the recording maps.
struct PresetRow {
  int value;
  const wchar_t* name;
  const wchar_t* description;
};

template <class Form>
void CheckPresets(const std::vector<PresetRow>& rows, uint8_t TGlobalVars::*field, int max) {
  Form f(nullptr);
  TGlobalVars g = Defaults();
  f.Load(g);
  EXPECT_EQ(f.ImageSliderPreset->MinValue(), 0);
  EXPECT_EQ(f.ImageSliderPreset->MaxValue(), max);
  for (const auto& r : rows) {
    f.ImageSliderPreset->SetValue(r.value);
    EXPECT_EQ(f.LabelPresetName->Caption(), r.name) << r.value;
    EXPECT_EQ(f.LabelPresetDescription->Caption(), r.description) << r.value;
    f.Store(g);
    EXPECT_EQ(g.*field, r.value);
  }
}

TEST(FormatDialogTest, Mp3PresetsMapToEncoderPresets) {
  CheckPresets<TMp3FormatForm>({{0, L"Phone Quality", L"[MPEG 2.5, Layer 3, 16kbps, Mono]"},
                                {3, L"FM Quality", L"[MPEG 2, Layer 3, 96kbps, Joint Stereo]"},
                                {8, L"CD Quality", L"[MPEG 1, Layer 3, 192kbps, Stereo]"},
                                {10, L"Super Quality!", L"[MPEG 1, Layer 3, 320kbps, Stereo]"}},
                               &TGlobalVars::OutputMP3Presets, 10);
}

TEST(FormatDialogTest, OggPresetsMatchRecordingRates) {
  // Recording: preset 0 → 1 channel 64 kbps, 1..6 → stereo 96..320 kbps.
  CheckPresets<TOggFormatForm>({{0, L"Voice Quality", L"64 kbps, Mono"},
                                {1, L"FM Quality", L"96 kbps, Stereo"},
                                {2, L"Tape Quality", L"128 kbps, Stereo"},
                                {3, L"Hi-Fi Quality", L"160 kbps, Stereo"},
                                {4, L"CD Quality", L"192 kbps, Stereo"},
                                {5, L"Studio Quality", L"256 kbps, Stereo"},
                                {6, L"Best Quality", L"320 kbps, Stereo"}},
                               &TGlobalVars::OutputOGGPresets, 6);
}

TEST(FormatDialogTest, WavPresetsMatchRecordingRates) {
  // Recording: 0 → 22050, 1 → 44100, 2 → 96000 Hz, 16 bits, stereo.
  CheckPresets<TWaveFormatForm>({{0, L"FM Quality", L"22,050 Hz, 16 bits, Stereo"},
                                 {1, L"CD Quality", L"44,100 Hz, 16 bits, Stereo"},
                                 {2, L"Hi-Fi Quality", L"96,000 Hz, 16 bits, Stereo"}},
                                &TGlobalVars::OutputWAVPersets, 2);
}

TEST(FormatDialogTest, WmaPresetsMatchProfiles) {
  // Profiles 36, 23, 16, 13, 11, 10, 8 in slider order.
  CheckPresets<TWmaFormatForm>({{0, L"Phone Quality", L"[WMA, 8 kbps, 8,000 Hz, Mono]"},
                                {1, L"FM Quality", L"[WMA, 32 kbps, 22,050 Hz, Stereo]"},
                                {2, L"High Quality Mono", L"[WMA, 48 kbps, 44,100 Hz, Mono]"},
                                {6, L"Studio Quality", L"[WMA, 192 kbps, 44,100 Hz, Stereo]"}},
                               &TGlobalVars::OutputWMAPresets, 6);
}

TEST(FormatDialogTest, SetupLoadStoreAndEnabling) {
  TMp3FormatForm f(nullptr);
  TGlobalVars g = Defaults();
  g.OutputMP3Type = 1;
  g.OutputMP3Presets = 4;
  f.Load(g);
  f.FormShow(&f);
  EXPECT_TRUE(f.RadioButtonSpecify->Checked());
  EXPECT_FALSE(f.ImageSliderPreset->Enabled());
  EXPECT_TRUE(f.ButtonConfigure->Enabled());
  EXPECT_EQ(f.ImageSliderPreset->Value(), 4);
  EXPECT_EQ(f.LabelPresetName->Caption(), L"Voice Quality");
  f.RadioButtonPreset->SetChecked(true);
  EXPECT_TRUE(f.ImageSliderPreset->Enabled());
  EXPECT_FALSE(f.LabelSpecifySettings->Enabled());
  f.Store(g);
  EXPECT_EQ(g.OutputMP3Type, 0);
}

TEST(FormatDialogTest, Mp3SummaryTexts) {
  TGlobalVars g = Defaults();
  EXPECT_EQ(Mp3SettingsSummary(g), L"MPEG 1, Layer 3, 192kbps, Stereo");
  g.OutputMP3CBR = false;
  g.OutputMP3VBRBitRateMin = 0;
  g.OutputMP3VBRBitRateMax = 12;
  g.OutputMP3QualityLevel = true;
  g.OutputMP3QualityLevelValue = 2;
  g.OutputMP3WriteXING = true;
  g.OutputMP3Checksum = true;
  g.OutputMP3Mode = 1;
  EXPECT_EQ(Mp3SettingsSummary(g),
            L"MPEG 1, Layer 3, Variable 32kbps - 320kbps, Quality 2, Joint Stereo, XING "
            L"compatible variable bit rate header, Checksum on");
  g.OutputMP3QualityLevel = false;
  g.OutputMP3ABRBitRate = 20;
  g.OutputMP3WriteXING = false;
  g.OutputMP3Checksum = false;
  EXPECT_EQ(Mp3SettingsSummary(g),
            L"MPEG 1, Layer 3, Variable 32kbps - 320kbps, Average kbps, Joint Stereo");
}

TEST(FormatDialogTest, OggAndWavSummaries) {
  TGlobalVars g = Defaults();
  g.OutputOGGABR = true;
  g.OutputOGGABRBitRate = 6;
  g.OutputOGGMode = 1;
  EXPECT_EQ(OggSettingsSummary(g), L"Average Bit Rate: 350 kbps, Mono");
  g.OutputOGGABRBitRate = 9;
  EXPECT_EQ(OggSettingsSummary(g), L"Average Bit Rate: Unknow kbps, Mono");
  g.OutputOGGABR = false;
  g.OutputOGGQualityValue = 45;
  g.OutputOGGMode = 0;
  EXPECT_EQ(OggSettingsSummary(g), L"Variable bit rate 45%, Stereo");
  g = Defaults();
  g.OutputWAVBitesPerSample = 7;
  EXPECT_EQ(WaveSettingsSummary(g), L"WAV, 44,100 Hz, Unknow bits, Stereo");
}

TEST(FormatDialogTest, Mp3LimitsFollowEachOther) {
  TMp3SettingsSpecifyForm f(nullptr);
  TGlobalVars g = Defaults();
  g.OutputMP3CBR = false;
  g.OutputMP3VBRBitRateMin = 2;
  g.OutputMP3VBRBitRateMax = 5;
  f.Load(g);
  EXPECT_EQ(f.ComboBoxVBRMin->Items()->Count(), 13);
  EXPECT_EQ(f.ComboBoxVBRMax->Items()->Get(0), L"40 kbps");
  EXPECT_EQ(f.ComboBoxCBRBitRate->Items()->Get(13), L"320 kbps");
  f.ComboBoxVBRMin->SetItemIndex(9);
  f.ComboBoxVBRMinChange(f.ComboBoxVBRMin);
  EXPECT_EQ(f.ComboBoxVBRMax->ItemIndex(), 9);
  f.ComboBoxVBRMax->SetItemIndex(1);
  f.ComboBoxVBRMaxChange(f.ComboBoxVBRMax);
  EXPECT_EQ(f.ComboBoxVBRMin->ItemIndex(), 1);
  f.Store(g);
  EXPECT_LE(Mp3VbrMinOfIndex(g.OutputMP3VBRBitRateMin), Mp3VbrMaxOfIndex(g.OutputMP3VBRBitRateMax));
}

TEST(FormatDialogTest, Mp3QualitySliderIsInverted) {
  TMp3SettingsSpecifyForm f(nullptr);
  TGlobalVars g = Defaults();
  g.OutputMP3QualityLevelValue = 2;
  f.Load(g);
  EXPECT_EQ(f.ImageSliderQuality->Value(), 7);
  EXPECT_EQ(f.LabelQualityValue->Caption(), L"2");
  f.ImageSliderQuality->SetValue(0);
  EXPECT_EQ(f.LabelQualityValue->Caption(), L"9");
  f.Store(g);
  EXPECT_EQ(g.OutputMP3QualityLevelValue, 9);
  f.ImageSliderQuality->SetValue(9);
  f.Store(g);
  EXPECT_EQ(g.OutputMP3QualityLevelValue, 0);
}

TEST(FormatDialogTest, Mp3SpecifyEnabling) {
  TMp3SettingsSpecifyForm f(nullptr);
  TGlobalVars g = Defaults();
  g.OutputMP3CBR = true;
  f.Load(g);
  f.FormShow(&f);
  EXPECT_TRUE(f.ComboBoxCBRBitRate->Enabled());
  EXPECT_FALSE(f.ComboBoxVBRMin->Enabled());
  f.RadioButtonVBR->SetChecked(true);
  EXPECT_FALSE(f.ComboBoxCBRBitRate->Enabled());
  EXPECT_TRUE(f.ComboBoxVBRMin->Enabled());
  f.RadioButtonQuality->SetChecked(true);
  EXPECT_TRUE(f.ImageSliderQuality->Enabled());
  EXPECT_FALSE(f.ComboBoxABRBitRate->Enabled());
  f.RadioButtonABR->SetChecked(true);
  EXPECT_FALSE(f.ImageSliderQuality->Enabled());
  EXPECT_TRUE(f.ComboBoxABRBitRate->Enabled());
}

TEST(FormatDialogTest, OggAndWavSpecifyRoundTrip) {
  TGlobalVars g = Defaults();
  g.OutputOGGABR = false;
  g.OutputOGGQualityValue = 73;
  g.OutputOGGMode = 1;
  g.OutputOGGABRBitRate = 3;
  TOGGSettingsSpecifyForm o(nullptr);
  o.Load(g);
  EXPECT_EQ(o.LabelQualityValue->Caption(), L"73%");
  TGlobalVars h = Defaults();
  o.Store(h);
  EXPECT_EQ(h.OutputOGGQualityValue, 73);
  EXPECT_EQ(h.OutputOGGMode, 1);
  EXPECT_EQ(h.OutputOGGABRBitRate, 3);
  EXPECT_FALSE(h.OutputOGGABR);

  g.OutputWAVSampleType = 9;
  g.OutputWAVBitesPerSample = 2;
  g.OutputWAVMode = 1;
  TWaveFormatSpecifyForm w(nullptr);
  w.Load(g);
  EXPECT_TRUE(w.RadioButtonMono->Checked());
  w.Store(h);
  EXPECT_EQ(h.OutputWAVSampleType, 9);
  EXPECT_EQ(h.OutputWAVBitesPerSample, 2);
  EXPECT_EQ(h.OutputWAVMode, 1);
}

TEST(FormatDialogTest, ConfigureThenCancelKeepsNothing) {
  TGlobalVars g = Defaults();
  TMp3FormatForm f(nullptr);
  f.Load(g);
  f.RadioButtonSpecify->SetChecked(true);
  {
    // The specify dialog: switch to variable rate and confirm.
    testsupport::ModalAnswerer ok(L"Configure MP3 Settings", L"&OK");
    f.ButtonConfigureClick(&f);
    EXPECT_TRUE(ok.Wait());
  }
  // The summary follows the confirmed values; the record is untouched.
  EXPECT_EQ(f.LabelSpecifySettings->Caption(), Mp3SettingsSummary(f.Work()));
  TGlobalVars before = Defaults();
  EXPECT_EQ(g.OutputMP3Type, before.OutputMP3Type);
  TGlobalVars stored = Defaults();
  f.Store(stored);
  EXPECT_EQ(stored.OutputMP3Type, 1);
}

} // namespace
