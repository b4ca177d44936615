#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/database.h"
#include "platform/sqlite/sqlite_file.h"

namespace vsu::sqlite {

// Maps a program path ("c:\dir\VelaScan.mdb") to the name SQLite opens (UTF-8);
// nullopt when no ordinary file is there.
using FileMapper = std::function<std::optional<std::string>(const std::string& path)>;

// A connection to a SQLite file named by "Data Source=", a program path mapped
// by the platform's file mapper. Outside BeginTrans and CommitTrans it holds no
// transaction and no statement between calls, so another connection can change
// the same file while this one is idle.
class SqliteConnection : public Connection {
 public:
  explicit SqliteConnection(FileMapper mapFile) : mapFile_(std::move(mapFile)) {}
  void Open(const std::string& connectionString) override;
  void Execute(const std::string& statement) override;
  void BeginTrans() override;
  void CommitTrans() override;
  void Close() override;
  // The open file, for the recordsets opened on this connection.
  std::shared_ptr<SqliteFile> File() const;

 private:
  FileMapper mapFile_;
  std::shared_ptr<SqliteFile> file_;
};

}  // namespace vsu::sqlite
