// The editor's dialogs, shown as the user sees them: no two sibling
// controls overlap. Help without the help file says what is missing.
#include <gtest/gtest.h>

#include "editor/addnoise.h"
#include "editor/amplify.h"
#include "editor/bandpass.h"
#include "editor/channelconverter.h"
#include "editor/chorus.h"
#include "editor/compressor.h"
#include "editor/delay.h"
#include "editor/deletesilence.h"
#include "editor/expander.h"
#include "editor/fade.h"
#include "editor/flanger.h"
#include "editor/highpass.h"
#include "editor/highshelf.h"
#include "editor/insertsilence.h"
#include "editor/lowpass.h"
#include "editor/lowshelf.h"
#include "editor/mix.h"
#include "editor/new.h"
#include "editor/normalize.h"
#include "editor/notchfilter.h"
#include "editor/outputformat.h"
#include "editor/peakeq.h"
#include "editor/phaser.h"
#include "editor/pitchshift.h"
#include "editor/properties.h"
#include "editor/reverb.h"
#include "editor/setselection.h"
#include "editor/stretchtime.h"
#include "editor/trim.h"
#include "editor/vibrato.h"
#include "editor/funcs.h"
#include "framework/AppUtils.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"
#include "tests/support/Layout.h"

using namespace editor;

namespace {

using testsupport::Case;
using testsupport::DialogCase;

class EditorDialogLayoutTest : public testing::TestWithParam<DialogCase> {};

TEST_P(EditorDialogLayoutTest, NoSiblingControlsOverlap) {
  testsupport::ExpectNoOverlapWhenShown(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorDialogLayoutTest,
    testing::Values(Case<TfrmAddNoise>("AddNoise"), Case<TfrmAmplify>("Amplify"),
                    Case<TfrmBandPass>("BandPass"), Case<TfrmChannelConverter>("ChannelConverter"),
                    Case<TfrmChorus>("Chorus"), Case<TfrmCompressor>("Compressor"),
                    Case<TfrmDelay>("Delay"), Case<TfrmDeleteSilence>("DeleteSilence"),
                    Case<TfrmExpander>("Expander"), Case<TfrmFade>("Fade"),
                    Case<TfrmFlanger>("Flanger"), Case<TfrmHighPass>("HighPass"),
                    Case<TfrmHighShelf>("HighShelf"), Case<TfrmInsertSilence>("InsertSilence"),
                    Case<TfrmLowPass>("LowPass"), Case<TfrmLowShelf>("LowShelf"),
                    Case<TfrmMix>("Mix"), Case<TfrmNew>("New"), Case<TfrmNormalize>("Normalize"),
                    Case<TfrmNotchFilter>("NotchFilter"), Case<TfrmOutputFormat>("OutputFormat"),
                    Case<TfrmPeakEQFilter>("PeakEQFilter"), Case<TfrmPhaser>("Phaser"),
                    Case<TfrmPitchShift>("PitchShift"), Case<TfrmProperties>("Properties"),
                    Case<TfrmReverb>("Reverb"), Case<TfrmSetSelection>("SetSelection"),
                    Case<TfrmStretchTime>("StretchTime"), Case<TfrmTrim>("Trim"),
                    Case<TfrmVibrato>("Vibrato")),
    testsupport::DialogCaseName());

TEST(EditorHelpTest, MissingHelpFileIsReported) {
  const std::wstring folder = ExtractFilePath(Application->ExeName());
  ASSERT_FALSE(FileExists(AddBackslash(folder) + L"help.chm"));
  testsupport::ModalActor box(L"", IDOK);
  ShowHelpTopic(nullptr, L"What is.htm");
  ASSERT_TRUE(box.Acted());
  EXPECT_NE(box.SeenText().find(L"\"help.chm\" was not found"), std::wstring::npos)
      << WideToUtf8(box.SeenText());
  EXPECT_NE(box.SeenText().find(folder), std::wstring::npos) << WideToUtf8(box.SeenText());
}

} // namespace
