// The SQLite engine finds ordinary files where program paths map, in any letter case.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "support/fakes.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

TEST(SqliteEngine, FindsOrdinaryFilesOnTheDrivesOnly) {
  const test::TestInstallation install;
  install.dir().MakeDir("VelaScan/folder.mdb");
  const std::pair<const char*, const char*> cases[] = {  // the data source, and ProgVersion or the failure
      {"C:\\VELASCAN\\velascan.MDB", "3.14"},
      {"q:\\VelaScan.mdb", "Could not find file 'q:\\VelaScan.mdb'."},
      {"c:\\VelaScan\\folder.mdb", "Could not find file 'c:\\VelaScan\\folder.mdb'."}};
  for (const auto& [source, expected] : cases) {
    test::NativeDatabase db;
    std::string read;
    try {
      const auto connection = OpenConnection(db, std::string("Provider=x;Data Source=") + source);
      read = FieldText(*OpenTable(db, *connection, "settings_general"), "progversion");
    } catch (const Failure& failure) {
      read = failure.Description();
    }
    EXPECT_EQ(read, expected);
  }
}

}  // namespace
}  // namespace vsu
