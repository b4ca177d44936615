#pragma once
// A fixture installation in a fresh folder mapped as drive C, and a direct look into its SQLite files.

#include <sqlite3.h>

#include "make_fixture/fixture.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

class TestInstallation {
 public:
  explicit TestInstallation(fixture::InstallationOptions options = {})
      : drive_("VELASCANUPG_DRIVE_C", dir_.str().c_str()) {
    options.drive = dir_.path();
    fixture::MakeInstallation(options);
  }
  const TempDir& dir() const { return dir_; }
  // The Linux path of a c:\ program path.
  fs::path Path(const std::string& programPath) const { return fixture::OnDrive(dir_.path(), programPath); }
  std::string VelaScanDb() const { return Path("c:\\VelaScan\\VelaScan.mdb").string(); }

 private:
  TempDir dir_;
  ScopedEnv drive_;
};

// Runs sql on file directly and returns every row, each value as text ("NULL" for Null); fails the test on an error.
inline std::vector<std::vector<std::string>> Query(const std::string& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close_v2);
  std::vector<std::vector<std::string>> rows;
  sqlite3_busy_timeout(raw, 5000);
  char* error = nullptr;
  const auto collect = [](void* out, int n, char** values, char**) {
    auto& row = static_cast<std::vector<std::vector<std::string>>*>(out)->emplace_back();
    for (int i = 0; i < n; ++i) row.push_back(values[i] ? values[i] : "NULL");
    return 0;
  };
  if (rc != SQLITE_OK || sqlite3_exec(raw, sql.c_str(), collect, &rows, &error) != SQLITE_OK) {
    ADD_FAILURE() << file << ": " << sql << ": " << (error ? error : sqlite3_errmsg(raw));
  }
  sqlite3_free(error);
  return rows;
}
inline void Exec(const std::string& file, const std::string& sql) { Query(file, sql); }
// The first value of each row of sql.
inline std::vector<std::string> Firsts(const std::string& file, const std::string& sql) {
  std::vector<std::string> values;
  for (const auto& row : Query(file, sql)) values.push_back(row.at(0));
  return values;
}
// "name type" for each column of table, in order.
inline std::vector<std::string> Columns(const std::string& file, const std::string& table) {
  return Firsts(file, "SELECT name || ' ' || type FROM pragma_table_info('" + table + "')");
}
// The names of the tables in file, sorted.
inline std::vector<std::string> Tables(const std::string& file) {
  return Firsts(file, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
}

}  // namespace vsu::test
