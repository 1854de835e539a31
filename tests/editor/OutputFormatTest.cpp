// The Output Format dialog: loading and storing every field, presets,
// defaults, the WMA profile texts and the OGG bit-rate order check.
#include <gtest/gtest.h>

#include "editor/globals.h"
#include "editor/outputformat.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

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
    OutputFormatShowHook = nullptr;
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
  g.G726Rate = 8000, g.G726BitDepth = 2, g.G723Rate = 12000, g.G723BitDepth = 3, g.G721Rate = 24000;
  g.UlawRate = 8000, g.UlawChannel = 1, g.AlawRate = 11025, g.AlawChannel = 1, g.GsmRate = 22050;
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
  EXPECT_EQ(g.G723Rate, 12000);
  EXPECT_EQ(g.G723BitDepth, 3);
  EXPECT_EQ(g.G721Rate, 24000);
  EXPECT_EQ(g.UlawRate, 8000);
  EXPECT_EQ(g.UlawChannel, 1);
  EXPECT_EQ(g.AlawRate, 11025);
  EXPECT_EQ(g.AlawChannel, 1);
  EXPECT_EQ(g.GsmRate, 22050);
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
  testsupport::ModalAnswerer ok(L"Error", IDOK);
  EXPECT_FALSE(dlg->CheckOggBitrates());
  ASSERT_TRUE(ok.Wait());
  EXPECT_NE(ok.SeenText().find(L"Invalid OGG bitrate: Nominal bitrate \"256 kbps\""),
            std::wstring::npos);
  EXPECT_EQ(dlg->MainPageControl->ActivePage(), dlg->TabOGG);
  testsupport::SaveWindowPng(dlg->Handle(), L"editor-output-format-ogg.png");
}

TEST_F(OutputFormatTest, DefaultThenCancelLeavesTheRecord) {
  GlobalVars.Mp3Bitrate = 320;
  OutputFormatShowHook = [](TfrmOutputFormat* d) {
    d->AskDefault = [] { return int(mrYes); };
    d->btnDefault->Click();
    EXPECT_EQ(d->cbMP3Bitrate->ItemIndex(), 5);
    return int(mrCancel);
  };
  TForm owner(nullptr);
  EXPECT_FALSE(RunOutputFormatDialog(&owner));
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 320);
  OutputFormatShowHook = [](TfrmOutputFormat* d) {
    d->AskDefault = [] { return int(mrYes); };
    d->btnDefault->Click();
    return int(mrOk);
  };
  EXPECT_TRUE(RunOutputFormatDialog(&owner));
  EXPECT_EQ(GlobalVars.Mp3Bitrate, 128);
}
