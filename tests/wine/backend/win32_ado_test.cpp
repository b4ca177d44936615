// ADO as Wine has it, for real: the program's ADO connection reaches Wine's
// objects through their typed interfaces and, by Provider=MSDASQL, Wine's
// odbc32, unixODBC and the SQLite ODBC driver, changes a real file. The test
// run names the DSN file in env ODBCINI; the test writes the DSN into it.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_database.h"
#include "support/case_name.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

constexpr const char* kDsn = "Provider=MSDASQL;Data Source=VelaScanUpgTest";
constexpr const char* kSchema200 =
    "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150));"
    "CREATE TABLE SuppGrp_Perm (Name varChar(50)); CREATE TABLE Maintenance (Name varChar(50));";

// The Windows form (Wine's drive Z: is /) of a Linux path.
std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

// A database file beside the DSN file, named in the DSN.
class DsnDatabase {
 public:
  explicit DsnDatabase(const std::string& name) {
    const char* ini = std::getenv("ODBCINI");
    if (!ini) throw Failure("ODBCINI names no DSN file: run this test through ctest");
    const std::string dir = std::string(ini).substr(0, std::string(ini).rfind('/') + 1);
    unixPath_ = dir + name;
    std::remove(path().c_str());
    std::ofstream(WindowsPath(ini), std::ios::binary)
        << "[VelaScanUpgTest]\nDriver=SQLite3\nDatabase=" << unixPath_ << "\n";
  }
  ~DsnDatabase() { std::remove(path().c_str()); }
  std::string path() const { return WindowsPath(unixPath_); }

 private:
  std::string unixPath_;
};

// Runs script (if any) on the SQLite file and returns the file's schema.
std::string Schema(const std::string& file, const std::string& script = "") {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  std::string schema;
  sqlite3_exec(
      db, "SELECT sql FROM sqlite_master ORDER BY name",
      [](void* out, int, char** row, char**) { return *static_cast<std::string*>(out) += row[0], 0; }, &schema,
      nullptr);
  sqlite3_close(db);
  return schema;
}

TEST(AdoUnderWine, EveryLadderStatementChangesTheFileThroughExecute) {
  ComApartment com;
  DsnDatabase file("ado-ladder.db");
  const std::string before = Schema(file.path(), kSchema200);
  Win32Database database;
  const auto connection = database.CreateConnection();
  connection->Open(kDsn);
  std::string script = kSchema200;
  for (const auto& step : SchemaLadder()) {
    for (const auto& action : step.actions) {
      if (!action.statement) continue;
      SCOPED_TRACE(action.statement);
      connection->Execute(action.statement);
      script += std::string(action.statement) + ";";
    }
  }
  connection->Close();
  // The file holds what SQLite itself makes of the same statements.
  const std::string reference = file.path() + ".reference";
  std::remove(reference.c_str());
  EXPECT_NE(Schema(file.path()), before);
  EXPECT_EQ(Schema(file.path()), Schema(reference, script));
  std::remove(reference.c_str());
}

struct FailureCase {
  const char* name;
  std::function<void(Connection&)> action;
  const char* description;  // "": any text will do, as long as there is one
};

class AdoFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AdoFailures, CarryADescription) {
  ComApartment com;
  DsnDatabase file("ado-failures.db");
  Schema(file.path(), kSchema200);
  Win32Database database;
  const auto connection = database.CreateConnection();
  try {
    GetParam().action(*connection);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_FALSE(failure.Description().empty());
    if (*GetParam().description) {
      EXPECT_EQ(failure.Description(), GetParam().description);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdoFailures,
    ::testing::Values(
        // The program's own connection string to a Jet file: Wine has no Jet provider.
        FailureCase{"jet_provider_missing",
                    [](Connection& c) {
                      const test::ScratchDir dir;
                      dir.Write("VelaScan.mdb", std::string("\0\1\0\0Standard Jet DB", 19));
                      c.Open(VelaScanConnectString(dir.Path()));
                    },
                    "Provider cannot be found. It may not be properly installed."},
        FailureCase{"unknown_dsn",
                    [](Connection& c) { c.Open("Provider=MSDASQL;Data Source=NoSuchDsn"); }, ""},
        FailureCase{"column_added_twice",
                    [](Connection& c) {
                      c.Open(kDsn);
                      c.Execute("ALTER TABLE Settings_General ADD COLUMN DropTrapDevMaint BIT");
                      c.Execute("ALTER TABLE Settings_General ADD COLUMN DropTrapDevMaint BIT");
                    },
                    ""},
        FailureCase{"closed_connection",
                    [](Connection& c) {
                      c.Open(kDsn);
                      c.Close();
                      c.Execute("CREATE TABLE T (A BIT)");
                    },
                    "Operation is not allowed when the object is closed."}),
    test::CaseName{});

}  // namespace
}  // namespace vsu::win32
