// The real program, started and closed as a user does, ends cleanly.
#include <gtest/gtest.h>

#include "tests/support/Program.h"

namespace {

class TessaroExit : public ::testing::TestWithParam<UINT> {};

TEST_P(TessaroExit, EndsWithoutAFault) {
  testsupport::ProgramRun run =
      testsupport::RunAndCloseProgram(testsupport::ProgramPath(L"Tessaro.exe"), GetParam());
  ASSERT_TRUE(run.Started);
  EXPECT_TRUE(run.WindowClosed) << "no main window appeared";
  EXPECT_TRUE(run.Ended) << "the program did not end after its window was closed";
  EXPECT_EQ(run.ExitCode, 0u);
  for (const std::wstring& fault : run.Faults)
    ADD_FAILURE() << std::string(fault.begin(), fault.end());
}

// WM_CLOSE as the window's close button sends it; SC_CLOSE as Alt+F4 and the
// window menu send it.
INSTANTIATE_TEST_SUITE_P(CloseMessages, TessaroExit, ::testing::Values(WM_CLOSE, WM_SYSCOMMAND),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                           return info.param == WM_CLOSE ? "WmClose" : "ScClose";
                         });

} // namespace
