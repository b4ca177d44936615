#pragma once
// One open SQLite database file, shared by the connection that opened it and
// the recordsets opened on it, so the handle lives as long as its last user.

#include <sqlite3.h>

#include <memory>
#include <string>

namespace vsu::sqlite {

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

  // Row updates of open recordsets share one transaction: the first user
  // begins it, the last one to leave commits it (or, when it cannot, rolls it
  // back so the file is never left locked).
  void JoinBatch();
  void LeaveBatch();

 private:
  sqlite3* db_ = nullptr;
  int batchUsers_ = 0;
};

}  // namespace vsu::sqlite
