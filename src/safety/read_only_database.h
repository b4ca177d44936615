#pragma once
// The database while the check runs: every connection is opened for reading
// only, and a statement, a row change or a copy is refused before it reaches
// the engine, so the check cannot write whatever the engine allows.

#include <memory>

#include "platform/database.h"

namespace vsu {

class ReadOnlyDatabase : public Database {
 public:
  explicit ReadOnlyDatabase(Database& inner) : inner_(inner) {}
  std::unique_ptr<Connection> CreateConnection() override;
  std::unique_ptr<Recordset> CreateRecordset() override;
  void CopyDatabase(const std::string& from, const std::string& to) override;

 private:
  Database& inner_;
};

}  // namespace vsu
