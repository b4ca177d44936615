// ADO as Wine has it, for real: Provider=MSDASQL through Wine's odbc32, unixODBC and the SQLite ODBC driver.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <functional>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_database.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

// Runs script on the SQLite file and returns the file's schema.
std::string Schema(const std::string& file, const std::string& script = "") {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  std::string schema;
  const auto append = [](void* out, int, char** row, char**) { return *static_cast<std::string*>(out) += row[0], 0; };
  sqlite3_exec(db, "SELECT sql FROM sqlite_master ORDER BY name", append, &schema, nullptr);
  sqlite3_close(db);
  return schema;
}

std::string FailureOf(const std::function<void()>& action) try {
  return action(), "no failure";
} catch (const Failure& failure) {
  return failure.Description();
}

// Every ladder statement changes the file as SQLite would, through a DSN naming it by its Unix path; failures keep their words.
TEST(Win32Database, EveryLadderStatementChangesTheFileThroughAdo) {
  const char* ini = std::getenv("ODBCINI");
  ASSERT_NE(ini, nullptr) << "ctest names the DSN file in ODBCINI";
  const auto unixName = reinterpret_cast<char* (*)(const wchar_t*)>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  ComApartment com;
  const test::ScratchDir dir;
  const std::string file = dir.Path("VelaScan.mdb");
  std::ofstream(std::string("Z:") + ini) << "[VelaScanUpgTest]\nDriver=SQLite3\nDatabase="
                                         << unixName(std::wstring(file.begin(), file.end()).c_str()) << "\n";
  std::string script = "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150));"
                       "CREATE TABLE SuppGrp_Perm (Name varChar(50)); CREATE TABLE Maintenance (Name varChar(50));";
  Schema(file, script);
  const auto connection = Win32Database().CreateConnection();
  connection->Open("Provider=MSDASQL;Data Source=VelaScanUpgTest");
  for (const auto& step : SchemaLadder()) {
    for (const auto& action : step.actions) {
      if (!action.statement) continue;
      SCOPED_TRACE(action.statement);
      connection->Execute(action.statement);
      script += std::string(action.statement) + ";";
    }
  }
  const std::string twice = FailureOf([&] { connection->Execute(script.substr(script.rfind("ALTER"))); });
  EXPECT_TRUE(twice != "" && twice != "no failure") << twice;
  connection->Close();
  EXPECT_EQ(Schema(file), Schema(":memory:", script));
  EXPECT_EQ(FailureOf([&] { connection->Execute("DROP TABLE Maintenance"); }),
            "Operation is not allowed when the object is closed.");
  // The program's own connection string to a Jet file: Wine has no Jet provider.
  EXPECT_EQ(FailureOf([&] { connection->Open(VelaScanConnectString("C:\\No VelaScan")); }),
            "Provider cannot be found. It may not be properly installed.");
}

}  // namespace
}  // namespace vsu::win32
