#include "platform/sqlite/sqlite_file.h"

#include "common/failure.h"

namespace vsu::sqlite {
namespace {

// Long enough to outwait the other connection's short writes, short enough that
// a file held by another program is reported rather than waited on.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

SqliteFile::SqliteFile(const std::string& mappedPath, const std::string& name) {
  const int rc = sqlite3_open_v2(mappedPath.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close_v2(db_);
    throw Failure(message + ": '" + name + "'");
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  try {
    // Reading the schema now reports a file that is no database at Open, where
    // the program expects it, instead of at the first table.
    Run("SELECT count(*) FROM sqlite_master");
    // A write-ahead log lets a second connection read and write beside an idle
    // one, and commits need no flush to disk of their own: the file stays
    // consistent through a crash, and a power cut can only take back the last
    // commits, which a rerun of the upgrade redoes.
    Run("PRAGMA journal_mode=WAL");
    Run("PRAGMA synchronous=NORMAL");
  } catch (const Failure& failure) {
    sqlite3_close_v2(db_);
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

void SqliteFile::Fail() const { throw Failure(sqlite3_errmsg(db_)); }

void SqliteFile::JoinBatch() {
  if (batchUsers_ == 0 && sqlite3_get_autocommit(db_)) Run("BEGIN IMMEDIATE");
  ++batchUsers_;
}

void SqliteFile::LeaveBatch() {
  if (--batchUsers_ > 0 || sqlite3_get_autocommit(db_)) return;
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw Failure(message);
  }
}

}  // namespace vsu::sqlite
