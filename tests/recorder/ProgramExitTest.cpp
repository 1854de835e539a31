// The real program, started and closed as a user does, ends cleanly.
#include <gtest/gtest.h>

#include "tests/support/Program.h"

namespace {

class KorvaneExit : public ::testing::TestWithParam<UINT> {};

TEST_P(KorvaneExit, EndsWithoutAFault) {
  testsupport::ExpectCleanExit(L"Korvane.exe", GetParam());
}

INSTANTIATE_TEST_SUITE_P(CloseMessages, KorvaneExit,
                         ::testing::ValuesIn(testsupport::CloseMessages),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                           return testsupport::CloseMessageName(info.param);
                         });

} // namespace
