// ADO as Wine has it, for real: through Provider=MSDASQL, Wine's odbc32,
// unixODBC and the SQLite ODBC driver, the program's ADO connection changes a
// real file. ctest names the DSN file in env ODBCINI; the test writes the DSN.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_database.h"
#include "support/case_name.h"

namespace vsu::win32 {
namespace {

constexpr const char* kDsn = "Provider=MSDASQL;Data Source=VelaScanUpgTest";
constexpr const char* kAddColumn = "ALTER TABLE Settings_General ADD COLUMN DropTrapDevMaint BIT";

// Runs script on the SQLite file and returns the file's schema.
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

// VelaScan.mdb at schema 2.00, a SQLite file in a folder of its own beside the
// DSN file, which names it. Wine's drive Z: is /.
struct DsnDatabase {
  static constexpr const char* kSchema200 =
      "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150));"
      "CREATE TABLE SuppGrp_Perm (Name varChar(50)); CREATE TABLE Maintenance (Name varChar(50));";
  DsnDatabase() {
    const std::string ini = std::getenv("ODBCINI") ? std::getenv("ODBCINI") : "";
    if (ini.empty()) throw Failure("ODBCINI names no DSN file: run this test through ctest");
    const std::string folder = ini.substr(0, ini.rfind('/')) + "/ado-" + std::to_string(std::random_device{}());
    std::replace((dir = "Z:" + folder).begin(), dir.end(), '/', '\\');
    std::filesystem::create_directory(dir);
    std::ofstream("Z:" + ini) << "[VelaScanUpgTest]\nDriver=SQLite3\nDatabase=" << folder << "/VelaScan.mdb\n";
    Schema(dir + "\\VelaScan.mdb", kSchema200);
  }
  ~DsnDatabase() { std::filesystem::remove_all(dir, ignored); }
  std::string dir;
  std::error_code ignored;
};

// Every ladder statement changes the file as SQLite itself would, through ADO's
// ODBC provider and, for a SQLite file named by its path, the embedded engine.
TEST(Win32Database, EveryLadderStatementChangesTheFileThroughExecute) {
  ComApartment com;
  for (const bool throughAdo : {true, false}) {
    SCOPED_TRACE(throughAdo ? "ADO" : "embedded engine");
    DsnDatabase file;
    Win32Database database;
    const auto connection = database.CreateConnection();
    connection->Open(throughAdo ? kDsn : VelaScanConnectString(file.dir));
    std::string script = DsnDatabase::kSchema200;
    for (const auto& step : SchemaLadder()) {
      for (const auto& action : step.actions) {
        if (!action.statement) continue;
        SCOPED_TRACE(action.statement);
        connection->Execute(action.statement);
        script += std::string(action.statement) + ";";
      }
    }
    connection->Close();
    EXPECT_EQ(Schema(file.dir + "\\VelaScan.mdb"), Schema(":memory:", script));
  }
}

struct FailureCase {
  const char* name;
  std::function<void(Connection&)> action;
  const char* description;  // "": any text will do, as long as there is one
};

class AdoFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AdoFailures, CarryADescription) {
  ComApartment com;
  DsnDatabase file;
  Win32Database database;
  const auto connection = database.CreateConnection();
  try {
    GetParam().action(*connection);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Description(), "");
    EXPECT_EQ(failure.Description(), *GetParam().description ? GetParam().description : failure.Description());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdoFailures,
    ::testing::Values(
        // The program's own connection string to a Jet file: Wine has no Jet provider.
        FailureCase{"jet_provider_missing", [](Connection& c) { c.Open(VelaScanConnectString("C:\\No VelaScan")); },
                    "Provider cannot be found. It may not be properly installed."},
        FailureCase{"unknown_dsn", [](Connection& c) { c.Open("Provider=MSDASQL;Data Source=NoSuchDsn"); }, ""},
        FailureCase{"column_added_twice",
                    [](Connection& c) { c.Open(kDsn); c.Execute(kAddColumn); c.Execute(kAddColumn); }, ""},
        FailureCase{"closed_connection", [](Connection& c) { c.Open(kDsn); c.Close(); c.Execute(kAddColumn); },
                    "Operation is not allowed when the object is closed."}),
    test::CaseName{});

}  // namespace
}  // namespace vsu::win32
