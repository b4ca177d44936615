#pragma once
// A Connection on a SQLite file. The file is the connection string's
// "Data Source=", handed through a path mapper first (the platform's own
// path rules); a file that is missing cannot be opened.

#include <functional>
#include <optional>
#include <string>

#include "platform/database.h"

struct sqlite3;

namespace vsu::sqlite {

// Maps a program path to the name the engine opens (UTF-8); nullopt when no
// file exists there.
using PathMapper = std::function<std::optional<std::string>(const std::string&)>;

class SqliteConnection : public Connection {
 public:
  explicit SqliteConnection(PathMapper mapPath);
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  void Open(const std::string& connectionString) override;
  void Execute(const std::string& statement) override;
  void Close() override;

  // The open database; throws Failure when the connection is closed.
  sqlite3* Handle();
  // The description of the engine's last failure on this connection.
  std::string LastError();

 private:
  PathMapper mapPath_;
  sqlite3* db_ = nullptr;
};

// True when the file at path begins with the SQLite header "SQLite format 3".
bool HasSqliteHeader(const std::string& fileSystemPath);

}  // namespace vsu::sqlite
