#include "support/posix/installation.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

namespace vsu::test {

TestInstallation::TestInstallation(fixture::InstallationOptions options)
    : drive_("VELASCANUPG_DRIVE_C", dir_.str().c_str()) {
  options.drive = dir_.path();
  fixture::MakeInstallation(options);
}

std::filesystem::path TestInstallation::Path(const std::string& programPath) const {
  return fixture::OnDrive(dir_.path(), programPath);
}

std::vector<std::vector<std::string>> Query(const std::string& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close_v2);
  std::vector<std::vector<std::string>> rows;
  sqlite3_busy_timeout(raw, 5000);
  char* error = nullptr;
  const auto collect = [](void* out, int n, char** values, char**) {
    auto& table = *static_cast<std::vector<std::vector<std::string>>*>(out);
    table.emplace_back();
    for (int i = 0; i < n; ++i) table.back().push_back(values[i] ? values[i] : "NULL");
    return 0;
  };
  if (rc != SQLITE_OK || sqlite3_exec(raw, sql.c_str(), collect, &rows, &error) != SQLITE_OK) {
    ADD_FAILURE() << file << ": " << sql << ": " << (error ? error : sqlite3_errmsg(raw));
  }
  sqlite3_free(error);
  return rows;
}

void Exec(const std::string& file, const std::string& sql) { Query(file, sql); }

std::vector<std::string> Columns(const std::string& file, const std::string& table) {
  std::vector<std::string> columns;
  for (const auto& row : Query(file, "SELECT name, type FROM pragma_table_info('" + table + "')")) {
    columns.push_back(row[0] + " " + row[1]);
  }
  return columns;
}

std::vector<std::string> Tables(const std::string& file) {
  std::vector<std::string> tables;
  for (const auto& row : Query(file, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
    tables.push_back(row[0]);
  }
  return tables;
}

}  // namespace vsu::test
