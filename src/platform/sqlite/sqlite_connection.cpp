#include "platform/sqlite/sqlite_connection.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>

#include "common/failure.h"
#include "platform/sqlite/connection_string.h"
#include "platform/sqlite/sqlite_statement.h"

namespace vsu::sqlite {

namespace {
// A second connection to the same file waits this long for the first one's lock.
constexpr int kBusyTimeoutMs = 5000;
}  // namespace

SqliteConnection::SqliteConnection(PathMapper mapPath) : mapPath_(std::move(mapPath)) {}

SqliteConnection::~SqliteConnection() {
  if (db_) sqlite3_close_v2(db_);
}

void SqliteConnection::Open(const std::string& connectionString) {
  if (db_) throw Failure("Operation is not allowed when the object is open.");
  const std::string source = DataSource(connectionString);
  const auto path = mapPath_(source);
  if (source.empty() || !path) throw Failure("Could not find file '" + source + "'.");
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path->c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw Failure(text + ": '" + source + "'");
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  db_ = db;
  // Reading the schema now turns a file that is no database into a failure at Open.
  try {
    Execute("SELECT count(*) FROM sqlite_master");
  } catch (...) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw;
  }
}

void SqliteConnection::Execute(const std::string& statement) {
  Statement stmt(*this, statement);
  while (stmt.Step()) {
  }
}

void SqliteConnection::Close() {
  if (!db_) throw Failure("Operation is not allowed when the object is closed.");
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

sqlite3* SqliteConnection::Handle() {
  if (!db_) throw Failure("Operation is not allowed when the object is closed.");
  return db_;
}

std::string SqliteConnection::LastError() { return db_ ? sqlite3_errmsg(db_) : "The connection is closed."; }

bool HasSqliteHeader(const std::string& fileSystemPath) {
  static constexpr char kHeader[] = "SQLite format 3";  // with its NUL, 16 bytes
  char head[sizeof kHeader] = {};
  std::ifstream in(fileSystemPath, std::ios::binary);
  if (!in.read(head, sizeof head)) return false;
  return std::memcmp(head, kHeader, sizeof kHeader) == 0;
}

}  // namespace vsu::sqlite
