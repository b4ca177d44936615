#include <gtest/gtest.h>

#include "startup/modes.h"

namespace vsu {
namespace {

struct KeywordCase {
  const char* commandLine;
  bool uninstall;
};

class UninstallKeywordTest : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(UninstallKeywordTest, ComparesTheFirstTenCharactersExactly) {
  EXPECT_EQ(IsUninstallCommandLine(GetParam().commandLine), GetParam().uninstall) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(Cases, UninstallKeywordTest,
                         ::testing::Values(KeywordCase{"-uninstall {ID}", true}, KeywordCase{"-uninstall", true},
                                           KeywordCase{"-uninstallX{ID}", true},
                                           KeywordCase{"-UNINSTALL {ID}", false},
                                           KeywordCase{"-Uninstall {ID}", false},
                                           KeywordCase{" -uninstall {ID}", false},
                                           KeywordCase{"-uninstal", false}, KeywordCase{"", false},
                                           KeywordCase{"c:\\Program Files\\Vela Scan", false}));

}  // namespace
}  // namespace vsu
