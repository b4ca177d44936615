#pragma once

#include <memory>

#include "platform/database.h"
#include "platform/posix/sqlite_file.h"

namespace vsu::posix {

// A connection to a SQLite file named by "Data Source=", a program path mapped
// like every other. It holds no transaction and no statement between calls, so
// another connection can change the same file while this one is idle.
class SqliteConnection : public Connection {
 public:
  void Open(const std::string& connectionString) override;
  void Execute(const std::string& statement) override;
  void Close() override;
  // The open file, for the recordsets opened on this connection.
  std::shared_ptr<SqliteFile> File() const;

 private:
  std::shared_ptr<SqliteFile> file_;
};

}  // namespace vsu::posix
