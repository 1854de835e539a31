// The real program, started and closed as a user does, ends cleanly.
#include <gtest/gtest.h>

#include "tests/support/Program.h"

namespace {

class TessaroExit : public ::testing::TestWithParam<UINT> {};

TEST_P(TessaroExit, EndsWithoutAFault) {
  testsupport::ExpectCleanExit(L"Tessaro.exe", GetParam());
}

INSTANTIATE_TEST_SUITE_P(CloseMessages, TessaroExit,
                         ::testing::ValuesIn(testsupport::CloseMessages),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                           return testsupport::CloseMessageName(info.param);
                         });

} // namespace
