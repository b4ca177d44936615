#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/database.h"
#include "platform/sqlite/sqlite_file.h"

namespace vsu::sqlite {

// A keyset cursor over one SQLite table: Open takes the table's row ids, in
// rowid order, and nothing else, so its memory grows by 8 bytes a row. A field
// is read from the file when it is read, so it shows the row as it is then;
// rows added later are not in the set, and a row deleted meanwhile cannot be
// read or updated. Update writes the current row back by its rowid. No
// statement stays active between calls, so the file is never held.
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
    Statement reader;  // the column of one row, prepared at its first read
  };
  void RequireOpen() const;
  void RequireCurrentRow() const;
  std::string NoLongerThere() const;
  std::size_t ColumnIndex(const std::string& column) const;
  void LoadKeyset(const std::string& table);
  sqlite3_stmt* Reader(Column& column);
  sqlite3_stmt* UpdateStatement(const std::vector<std::size_t>& columns);
  void Release();

  std::shared_ptr<SqliteFile> file_;
  std::string table_;
  std::vector<Column> columns_;
  std::deque<sqlite3_int64> rowids_;  // grows without copying what it holds
  std::size_t row_ = 0;
  std::vector<std::pair<std::size_t, FieldValue>> pending_;  // column index, value
  std::map<std::vector<std::size_t>, Statement> updates_;    // by the columns they set
  bool batching_ = false;
};

}  // namespace vsu::sqlite
