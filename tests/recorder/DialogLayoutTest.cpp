// Every dialog of the recorder, shown as the user sees it: no two sibling
// controls overlap.
#include <gtest/gtest.h>

#include "recorder/About.h"
#include "recorder/DeleteConfirmation.h"
#include "recorder/Mp3Format.h"
#include "recorder/Mp3FormatSpecify.h"
#include "recorder/Name.h"
#include "recorder/OGGFormatSpecify.h"
#include "recorder/OggFormat.h"
#include "recorder/Options.h"
#include "recorder/WMAFormat.h"
#include "recorder/WaveFormat.h"
#include "recorder/WaveFormatSpecify.h"
#include "recorder/globals.h"
#include "tests/support/Gui.h"
#include "tests/support/Layout.h"

using namespace recorder;

namespace {

using testsupport::Case;
using testsupport::DialogCase;

class DialogLayoutTest : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogLayoutTest, NoSiblingControlsOverlap) {
  testsupport::ExpectNoOverlapWhenShown(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Recorder, DialogLayoutTest,
                         testing::Values(Case<TFormAbout>("About"),
                                         Case<TFormDeleteConfirmation>("DeleteConfirmation"),
                                         Case<TMp3FormatForm>("Mp3Format"),
                                         Case<TMp3SettingsSpecifyForm>("Mp3FormatSpecify"),
                                         Case<TOggFormatForm>("OggFormat"),
                                         Case<TOGGSettingsSpecifyForm>("OggFormatSpecify"),
                                         Case<TWaveFormatForm>("WaveFormat"),
                                         Case<TWaveFormatSpecifyForm>("WaveFormatSpecify"),
                                         Case<TWmaFormatForm>("WmaFormat"),
                                         DialogCase{"Name",
                                                    [] {
                                                      auto* f = new TFormName(nullptr);
                                                      TGlobalVars g;
                                                      SetDefaultSettings(g, L"C:\\");
                                                      f->Load(g);
                                                      return f;
                                                    }},
                                         Case<TFormOptions>("Options")),
                         testsupport::DialogCaseName());

} // namespace
