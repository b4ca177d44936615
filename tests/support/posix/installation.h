#pragma once
// A fixture installation in a fresh folder mapped as drive C, and a direct look into its SQLite files.

#include <string>
#include <vector>

#include "make_fixture/fixture.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

class TestInstallation {
 public:
  explicit TestInstallation(fixture::InstallationOptions options = {});
  const TempDir& dir() const { return dir_; }
  // The Linux path of a c:\ program path.
  std::filesystem::path Path(const std::string& programPath) const;
  std::string VelaScanDb() const { return Path("c:\\VelaScan\\VelaScan.mdb").string(); }

 private:
  TempDir dir_;
  ScopedEnv drive_;
};

// Runs sql on file directly and returns every row, each value as text ("NULL" for Null).
std::vector<std::vector<std::string>> Query(const std::string& file, const std::string& sql);
// Runs statements on file directly; fails the test when one fails.
void Exec(const std::string& file, const std::string& sql);
// "name type" for each column of table, in order.
std::vector<std::string> Columns(const std::string& file, const std::string& table);
// The names of the tables in file, sorted.
std::vector<std::string> Tables(const std::string& file);

}  // namespace vsu::test
