#include "platform/sqlite/sqlite_file.h"

#include <utility>

#include "common/failure.h"

namespace vsu::sqlite {
namespace {

sqlite3* OpenHandle(const std::string& file, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw Failure(message);
  }
  return db;
}

// A write-ahead-log file whose log is absent: no connection has it open, so
// all of its content is in the file itself. Looked at through the handle's
// own file, before anything was read, so no lock or extra file is involved.
bool IsIdleWalFile(sqlite3* db) {
  sqlite3_file* file = nullptr;
  sqlite3_vfs* vfs = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods || sqlite3_file_control(db, "main", SQLITE_FCNTL_VFS_POINTER, &vfs) != SQLITE_OK || !vfs) {
    return false;
  }
  unsigned char header[20] = {};
  if (file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK) return false;
  // Bytes 18 and 19 hold 2 in a file that keeps a write-ahead log.
  if (header[18] != 2 || header[19] != 2) return false;
  const std::string log = std::string(sqlite3_db_filename(db, "main")) + "-wal";
  int exists = 1;
  return vfs->xAccess(vfs, log.c_str(), SQLITE_ACCESS_EXISTS, &exists) == SQLITE_OK && !exists;
}

// Opens file for reading as it stands, without locks and without the log and
// index files that a reader of a write-ahead-log file otherwise makes.
std::string ImmutableUri(const std::string& file) {
  std::string uri = file.rfind('/', 0) == 0 ? "file://" : "file:";
  for (const char c : file) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 15];
    } else {
      uri += c;
    }
  }
  return uri + "?mode=ro&immutable=1";
}

}  // namespace

SqliteFile::SqliteFile(const std::string& mappedPath, const std::string& name, bool readOnly) {
  try {
    db_ = OpenHandle(mappedPath, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    if (readOnly && IsIdleWalFile(db_)) {
      // A reader would make the log and its index beside the file and leave
      // them there, or fail in a folder it cannot write; nobody writes the
      // file while its log is absent, so it is read as it stands.
      sqlite3_close_v2(std::exchange(db_, nullptr));
      db_ = OpenHandle(ImmutableUri(mappedPath), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Reading the schema now reports a file that is no database at Open, where
    // the program expects it, instead of at the first table. Journal mode and
    // syncing stay the engine's defaults for the file's own journal mode: the
    // file is used as it is, and commits are as durable as it promises.
    Run("SELECT count(*) FROM sqlite_master");
  } catch (const Failure& failure) {
    sqlite3_close_v2(std::exchange(db_, nullptr));
    throw Failure(failure.Description() + ": '" + name + "'");
  }
}

SqliteFile::~SqliteFile() { sqlite3_close_v2(db_); }

Statement SqliteFile::Prepare(const std::string& sql) const {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) Fail();
  if (!raw) throw Failure("Empty statement: \"" + sql + "\"");
  return Statement(raw);
}

void SqliteFile::Run(const std::string& sql) const {
  const Statement statement = Prepare(sql);
  int rc;
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) Fail();
}

void SqliteFile::Fail() const {
  if (sqlite3_extended_errcode(db_) == SQLITE_READONLY_ROLLBACK) {
    throw Failure("The database holds a change left unfinished by a program that stopped; opened for reading "
                  "only, it cannot be rolled back here");
  }
  throw Failure(sqlite3_errmsg(db_));
}

void SqliteFile::BeginTransaction() {
  if (connectionTransaction_) throw Failure("The connection is in a transaction already.");
  // Taking the write lock at once lets the busy wait work: a read lock
  // raised to a write lock later cannot wait without risking a deadlock.
  if (sqlite3_get_autocommit(db_)) Run("BEGIN IMMEDIATE");
  connectionTransaction_ = true;
}

void SqliteFile::CommitTransaction() {
  if (!std::exchange(connectionTransaction_, false)) throw Failure("The connection is in no transaction.");
  if (sqlite3_get_autocommit(db_)) {
    throw Failure("The engine gave the transaction up after a failure; none of its changes were stored.");
  }
  Commit();
}

void SqliteFile::DropTransaction() {
  if (std::exchange(connectionTransaction_, false) && !sqlite3_get_autocommit(db_)) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void SqliteFile::JoinBatch() {
  if (batchUsers_ == 0 && sqlite3_get_autocommit(db_)) Run("BEGIN IMMEDIATE");
  ++batchUsers_;
}

void SqliteFile::LeaveBatch() {
  if (--batchUsers_ > 0 || connectionTransaction_ || sqlite3_get_autocommit(db_)) return;
  Commit();
}

void SqliteFile::Commit() {
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw Failure(message);
  }
}

}  // namespace vsu::sqlite
