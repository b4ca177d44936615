// Which mode the command line asks for, and the program directory it names.

#include <gtest/gtest.h>

#include "locations/program_directory.h"
#include "startup/frm_main.h"
#include "support/fakes.h"

namespace vsu {
namespace {

TEST(IsUninstallCommandLine, ComparesTheFirstTenCharactersExactly) {
  for (const auto& [line, uninstall] : {std::pair{"-uninstall {ID}", true}, {"-uninstall", true},
                                       {"-uninstallX{ID}", true}, {"-Uninstall {ID}", false},
                                       {" -uninstall {ID}", false}, {"-uninstal", false}, {"", false}}) {
    EXPECT_EQ(IsUninstallCommandLine(line), uninstall) << line;
  }
}

TEST(ProgramDirectoryFromCommandLine, TrimsSpacesOnlyAndDropsOneBackslash) {
  struct Row {
    const char *commandLine, *ownDirectory, *programDir;
  };
  for (const Row& r : {Row{"  c:\\Program Files\\Vela Scan\\  ", "c:\\own", "c:\\Program Files\\Vela Scan"},
                       Row{"c:\\vs\\\\", "c:\\own", "c:\\vs\\"}, Row{"", " c:\\own\\ ", "c:\\own"},
                       Row{"    ", "c:\\own", "c:\\own"}, Row{"\"c:\\vs\"", "c:\\own", "\"c:\\vs\""},
                       Row{"\tc:\\vs\t", "c:\\own", "\tc:\\vs\t"}}) {
    test::TestPlatform t;
    t.system.commandLine = r.commandLine;
    t.system.ownDirectory = r.ownDirectory;
    EXPECT_EQ(ProgramDirectoryFromCommandLine(t.platform), r.programDir) << r.commandLine;
  }
}

}  // namespace
}  // namespace vsu
