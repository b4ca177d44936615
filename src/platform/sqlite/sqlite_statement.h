#pragma once
// One prepared statement on a connection, finalized when destroyed. Every
// failing call throws Failure with the engine's message.

#include <string>

#include "platform/database.h"

struct sqlite3_stmt;

namespace vsu::sqlite {

class SqliteConnection;

class Statement {
 public:
  Statement(SqliteConnection& connection, const std::string& sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Binds a value to parameter index (1-based).
  void Bind(int index, const FieldValue& value);
  // Advances to the next row; false when the statement has finished.
  bool Step();
  int ColumnCount();
  std::string ColumnName(int column);
  // The declared type of a table column, in upper case; "" for an expression.
  std::string DeclaredType(int column);
  // The current row's value, converted by the declared type.
  FieldValue Value(int column);
  long long RowId(int column);

 private:
  SqliteConnection& connection_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace vsu::sqlite
