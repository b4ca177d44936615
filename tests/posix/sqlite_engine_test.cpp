// The SQLite engine finds its files where program paths map: any letter case,
// never a folder, nothing on an unmapped drive, and never creates one.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "support/fakes.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

struct OpenCase {
  const char* name;
  const char* dataSource;
  const char* expected;  // ProgVersion read, or part of the failure
};

class SqliteOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(SqliteOpen, FindsOrdinaryFilesOnTheDrivesOnly) {
  const test::TestInstallation install;
  install.dir().MakeDir("VelaScan/folder.mdb");
  test::NativeDatabase db;
  std::string read;
  try {
    const auto connection = OpenConnection(db, std::string("Provider=x;Data Source=") + GetParam().dataSource);
    read = FieldText(*OpenTable(db, *connection, "settings_general"), "progversion");
  } catch (const Failure& failure) {
    read = failure.Description();
  }
  EXPECT_EQ(read, GetParam().expected);
  EXPECT_FALSE(std::filesystem::exists(install.Path("c:\\VelaScan\\Missing.mdb")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteOpen,
    ::testing::Values(OpenCase{"AnyLetterCase", "C:\\VELASCAN\\velascan.MDB", "3.14"},
                      OpenCase{"MissingFile", "c:\\VelaScan\\Missing.mdb", "Could not find file 'c:\\VelaScan\\Missing.mdb'."},
                      OpenCase{"UnmappedDrive", "q:\\VelaScan.mdb", "Could not find file 'q:\\VelaScan.mdb'."},
                      OpenCase{"Folder", "c:\\VelaScan\\folder.mdb", "Could not find file 'c:\\VelaScan\\folder.mdb'."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
