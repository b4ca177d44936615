#pragma once
// A Recordset on a SQLite table: a static snapshot of the whole table taken at
// Open, standing on its first row; Update writes the current row's pending
// changes back by its rowid.

#include <map>
#include <string>
#include <vector>

#include "platform/database.h"

namespace vsu::sqlite {

class SqliteConnection;

class SqliteRecordset : public Recordset {
 public:
  void Open(const std::string& table, Connection& connection) override;
  bool Eof() override;
  FieldValue Field(const std::string& column) override;
  void SetField(const std::string& column, const FieldValue& value) override;
  void Update() override;
  void MoveNext() override;
  void Close() override;

 private:
  struct Row {
    long long rowid;
    std::vector<FieldValue> values;
  };
  void RequireOpen();
  void RequireCurrentRow();
  // The index of a column, found in any letter case as Jet does.
  std::size_t ColumnIndex(const std::string& column);

  SqliteConnection* connection_ = nullptr;
  std::string table_;
  std::vector<std::string> columns_;
  std::vector<Row> rows_;
  std::size_t current_ = 0;
  std::map<std::size_t, FieldValue> pending_;
};

}  // namespace vsu::sqlite
