#include <gtest/gtest.h>

#include "startup/frm_main.h"

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

#include "locations/program_directory.h"
#include "support/fakes.h"

namespace vsu {
namespace {

struct ProgramDirCase {
  const char* commandLine;
  const char* ownDirectory;
  const char* programDir;
};

class ProgramDirectoryTest : public ::testing::TestWithParam<ProgramDirCase> {};

TEST_P(ProgramDirectoryTest, TrimsAndDropsOneBackslash) {
  test::TestPlatform t;
  t.system.commandLine = GetParam().commandLine;
  t.system.ownDirectory = GetParam().ownDirectory;
  EXPECT_EQ(ProgramDirectoryFromCommandLine(t.platform), GetParam().programDir);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramDirectoryTest,
    ::testing::Values(ProgramDirCase{"  c:\\Program Files\\Vela Scan\\  ", "c:\\own", "c:\\Program Files\\Vela Scan"},
                      ProgramDirCase{"c:\\vs\\\\", "c:\\own", "c:\\vs\\"},
                      ProgramDirCase{"", " c:\\own\\ ", "c:\\own"}, ProgramDirCase{"    ", "c:\\own", "c:\\own"},
                      ProgramDirCase{"\"c:\\vs\"", "c:\\own", "\"c:\\vs\""},
                      ProgramDirCase{"\tc:\\vs", "c:\\own", "\tc:\\vs"}));

}  // namespace
}  // namespace vsu
