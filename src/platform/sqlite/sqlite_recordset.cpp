#include "platform/sqlite/sqlite_recordset.h"

#include "common/failure.h"
#include "common/text.h"
#include "platform/sqlite/sqlite_connection.h"
#include "platform/sqlite/sqlite_statement.h"

namespace vsu::sqlite {
namespace {

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

void SqliteRecordset::Open(const std::string& table, Connection& connection) {
  if (connection_) throw Failure("Operation is not allowed when the object is open.");
  auto* sqliteConnection = dynamic_cast<SqliteConnection*>(&connection);
  if (!sqliteConnection) throw Failure("The connection cannot be used to perform this operation.");
  Statement select(*sqliteConnection, "SELECT rowid, * FROM " + Quoted(table));
  std::vector<std::string> columns;
  for (int i = 1; i < select.ColumnCount(); ++i) columns.push_back(select.ColumnName(i));
  std::vector<Row> rows;
  while (select.Step()) {
    Row row{select.RowId(0), {}};
    for (int i = 1; i < select.ColumnCount(); ++i) row.values.push_back(select.Value(i));
    rows.push_back(std::move(row));
  }
  connection_ = sqliteConnection;
  table_ = table;
  columns_ = std::move(columns);
  rows_ = std::move(rows);
  current_ = 0;
  pending_.clear();
}

bool SqliteRecordset::Eof() {
  RequireOpen();
  return current_ >= rows_.size();
}

FieldValue SqliteRecordset::Field(const std::string& column) {
  RequireOpen();
  const auto index = ColumnIndex(column);
  RequireCurrentRow();
  if (const auto it = pending_.find(index); it != pending_.end()) return it->second;
  return rows_[current_].values[index];
}

void SqliteRecordset::SetField(const std::string& column, const FieldValue& value) {
  RequireOpen();
  const auto index = ColumnIndex(column);
  RequireCurrentRow();
  pending_[index] = value;
}

void SqliteRecordset::Update() {
  RequireOpen();
  RequireCurrentRow();
  if (pending_.empty()) return;
  std::string sql = "UPDATE " + Quoted(table_) + " SET ";
  bool first = true;
  for (const auto& [index, value] : pending_) {
    if (!first) sql += ", ";
    first = false;
    sql += Quoted(columns_[index]) + " = ?";
  }
  sql += " WHERE rowid = ?";
  Statement update(*connection_, sql);
  int parameter = 1;
  for (const auto& [index, value] : pending_) update.Bind(parameter++, value);
  update.Bind(parameter, static_cast<std::int32_t>(rows_[current_].rowid));
  update.Step();
  for (const auto& [index, value] : pending_) rows_[current_].values[index] = value;
  pending_.clear();
}

void SqliteRecordset::MoveNext() {
  RequireOpen();
  RequireCurrentRow();
  // Leaving a row stores what was set on it, as an optimistic cursor does.
  Update();
  ++current_;
}

void SqliteRecordset::Close() {
  RequireOpen();
  connection_ = nullptr;
  rows_.clear();
  pending_.clear();
}

void SqliteRecordset::RequireOpen() {
  if (!connection_) throw Failure("Operation is not allowed when the object is closed.");
}

void SqliteRecordset::RequireCurrentRow() {
  if (current_ >= rows_.size()) {
    throw Failure(
        "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
        "requires a current record.");
  }
}

std::size_t SqliteRecordset::ColumnIndex(const std::string& column) {
  const std::string wanted = UpperCase(column);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (UpperCase(columns_[i]) == wanted) return i;
  }
  throw Failure("Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

}  // namespace vsu::sqlite
