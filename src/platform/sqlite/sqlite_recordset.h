#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/database.h"
#include "platform/sqlite/sqlite_file.h"

namespace vsu::sqlite {

// A static cursor over one SQLite table: Open reads the whole table, in rowid
// order, into a snapshot that later changes by others do not touch; Update
// writes the current row back by its rowid.
class SqliteRecordset : public Recordset {
 public:
  ~SqliteRecordset() override;
  void Open(const std::string& table, Connection& connection) override;
  bool Eof() override;
  FieldValue Field(const std::string& column) override;
  void SetField(const std::string& column, const FieldValue& value) override;
  void Update() override;
  void MoveNext() override;
  void Close() override;
  std::vector<std::string> FieldNames() override;

  // How a column's values cross: from its declared type.
  enum class Kind { kText, kBit, kInt16, kInt32 };

 private:
  struct Column {
    std::string name;
    Kind kind;
  };
  void RequireOpen() const;
  void RequireCurrentRow() const;
  std::size_t ColumnIndex(const std::string& column) const;
  void LoadSnapshot(const std::string& table);
  sqlite3_stmt* UpdateStatement(const std::vector<std::size_t>& columns);
  void Release();

  std::shared_ptr<SqliteFile> file_;
  std::string table_;
  std::vector<Column> columns_;
  std::vector<sqlite3_int64> rowids_;
  std::vector<FieldValue> cells_;  // row after row, one value per column
  std::size_t row_ = 0;
  std::vector<std::pair<std::size_t, FieldValue>> pending_;  // column index, value
  std::map<std::vector<std::size_t>, Statement> updates_;    // by the columns they set
  bool batching_ = false;
};

}  // namespace vsu::sqlite
