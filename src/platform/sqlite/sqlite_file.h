#pragma once
// One open SQLite database file, shared by the connection that opened it and
// the recordsets opened on it, so the handle lives as long as its last user.

#include <sqlite3.h>

#include <memory>
#include <string>

namespace vsu::sqlite {

// How long every connection waits on another program's lock: long enough to
// outwait its short reads and writes (a service reading its settings, a
// console saving them), short enough that a file held for good is reported.
inline constexpr int kBusyTimeoutMs = 5000;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

class SqliteFile {
 public:
  // Opens an existing database as it is; never creates one. mappedPath must
  // name an ordinary file (the file mapper makes sure); name is the program's
  // path, used in failure descriptions. A readOnly file is left byte for byte
  // as it was, with nothing made beside it, also in a folder nobody may write.
  SqliteFile(const std::string& mappedPath, const std::string& name, bool readOnly);
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  sqlite3* get() const { return db_; }
  Statement Prepare(const std::string& sql) const;
  // Runs sql to its end, discarding any rows.
  void Run(const std::string& sql) const;
  // Throws Failure with the engine's description of the last failed call.
  [[noreturn]] void Fail() const;

  // The connection's transaction. Recordsets that write meanwhile add to it
  // and leave the commit to it. A failed commit rolls back, so the file is
  // never left locked.
  void BeginTransaction();
  void CommitTransaction();
  // Rolls the connection's transaction back, if it has one.
  void DropTransaction();

  // Row updates of open recordsets share one transaction: the first user
  // begins it, unless one is open already, and the last one to leave commits
  // what it began (or, when it cannot, rolls it back).
  void JoinBatch();
  void LeaveBatch();

 private:
  void Commit();

  sqlite3* db_ = nullptr;
  int batchUsers_ = 0;
  bool connectionTransaction_ = false;
};

}  // namespace vsu::sqlite
