// Every dialog of the recorder, shown as the user sees it: no two sibling
// controls overlap.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

struct DialogCase {
  const char* name;
  std::function<TForm*()> make;
};

void PrintTo(const DialogCase& c, std::ostream* os) {
  *os << c.name;
}

class DialogLayoutTest : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogLayoutTest, NoSiblingControlsOverlap) {
  std::unique_ptr<TForm> form(GetParam().make());
  // Shown, so that show handlers set their texts and fonts and labels size themselves.
  form->Show();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  testsupport::PumpFor(100);
  std::wstring report;
  for (const std::wstring& s : testsupport::OverlappingSiblings(form.get()))
    report += s + L"\n";
  EXPECT_TRUE(report.empty()) << WideToUtf8(report);
  form->Hide();
}

template <class T> DialogCase Case(const char* name) {
  return {name, [] { return static_cast<TForm*>(new T(nullptr)); }};
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
                         [](const testing::TestParamInfo<DialogCase>& i) {
                           return std::string(i.param.name);
                         });

} // namespace
