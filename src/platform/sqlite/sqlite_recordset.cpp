#include "platform/sqlite/sqlite_recordset.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/failure.h"
#include "common/text.h"
#include "platform/sqlite/sqlite_connection.h"

namespace vsu::sqlite {
namespace {

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

SqliteRecordset::Kind KindOf(const char* declaredType) {
  const std::string type = UpperCase(declaredType ? declaredType : "");
  if (type.find("BIT") != std::string::npos || type.find("BOOL") != std::string::npos) {
    return SqliteRecordset::Kind::kBit;
  }
  if (type.find("SMALLINT") != std::string::npos || type.find("SHORT") != std::string::npos) {
    return SqliteRecordset::Kind::kInt16;
  }
  if (type.find("INT") != std::string::npos || type.find("LONG") != std::string::npos) {
    return SqliteRecordset::Kind::kInt32;
  }
  return SqliteRecordset::Kind::kText;
}

FieldValue NumberValue(sqlite3_int64 number, SqliteRecordset::Kind kind) {
  if (kind == SqliteRecordset::Kind::kBit) return number != 0;
  if (kind == SqliteRecordset::Kind::kInt16 && number >= std::numeric_limits<std::int16_t>::min() &&
      number <= std::numeric_limits<std::int16_t>::max()) {
    return static_cast<std::int16_t>(number);
  }
  if (number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max()) {
    return static_cast<std::int32_t>(number);
  }
  return std::to_string(number);
}

FieldValue ColumnValue(sqlite3_stmt* statement, int index, SqliteRecordset::Kind kind) {
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL: return std::monostate{};
    case SQLITE_INTEGER: return NumberValue(sqlite3_column_int64(statement, index), kind);
    case SQLITE_FLOAT: {
      char text[32];
      std::snprintf(text, sizeof text, "%.15g", sqlite3_column_double(statement, index));
      return std::string(text);
    }
    default: {
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_blob(statement, index));
      return std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
    }
  }
}

int Bind(sqlite3_stmt* statement, int index, const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    return sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
  }
  if (const auto* flag = std::get_if<bool>(&value)) return sqlite3_bind_int(statement, index, *flag ? 1 : 0);
  if (const auto* small = std::get_if<std::int16_t>(&value)) return sqlite3_bind_int(statement, index, *small);
  if (const auto* number = std::get_if<std::int32_t>(&value)) return sqlite3_bind_int(statement, index, *number);
  return sqlite3_bind_null(statement, index);
}

}  // namespace

SqliteRecordset::~SqliteRecordset() {
  try {
    Release();
  } catch (const Failure&) {
    // A destructor cannot report; Release has already unlocked the file.
  }
}

void SqliteRecordset::Open(const std::string& table, Connection& connection) {
  if (file_) throw Failure("Operation is not allowed when the recordset is open.");
  auto* sqlite = dynamic_cast<SqliteConnection*>(&connection);
  if (!sqlite) throw Failure("The connection belongs to another database engine.");
  file_ = sqlite->File();
  try {
    LoadKeyset(table);
  } catch (...) {
    Release();
    throw;
  }
}

void SqliteRecordset::LoadKeyset(const std::string& table) {
  const Statement keys = file_->Prepare("SELECT rowid FROM " + Quoted(table) + " ORDER BY rowid");
  // The columns are taken after the first step, which brings the connection's
  // idea of the table up to date when another connection has altered it.
  int rc = sqlite3_step(keys.get());
  const Statement all = file_->Prepare("SELECT * FROM " + Quoted(table));
  for (int i = 0; i < sqlite3_column_count(all.get()); ++i) {
    columns_.push_back({sqlite3_column_name(all.get(), i), KindOf(sqlite3_column_decltype(all.get(), i)), nullptr});
  }
  for (; rc == SQLITE_ROW; rc = sqlite3_step(keys.get())) rowids_.push_back(sqlite3_column_int64(keys.get(), 0));
  if (rc != SQLITE_DONE) file_->Fail();
  table_ = table;
  row_ = 0;
}

sqlite3_stmt* SqliteRecordset::Reader(Column& column) {
  if (!column.reader) {
    column.reader = file_->Prepare("SELECT " + Quoted(column.name) + " FROM " + Quoted(table_) + " WHERE rowid = ?");
  }
  return column.reader.get();
}

bool SqliteRecordset::Eof() {
  RequireOpen();
  return row_ >= rowids_.size();
}

FieldValue SqliteRecordset::Field(const std::string& column) {
  RequireOpen();
  const std::size_t index = ColumnIndex(column);
  RequireCurrentRow();
  for (const auto& [changed, value] : pending_) {
    if (changed == index) return value;
  }
  sqlite3_stmt* reader = Reader(columns_[index]);
  if (sqlite3_bind_int64(reader, 1, rowids_[row_]) != SQLITE_OK) file_->Fail();
  const int rc = sqlite3_step(reader);
  if (rc == SQLITE_ROW) {
    FieldValue value = ColumnValue(reader, 0, columns_[index].kind);
    sqlite3_reset(reader);
    return value;
  }
  const std::string message = rc == SQLITE_DONE ? NoLongerThere() : std::string(sqlite3_errmsg(file_->get()));
  sqlite3_reset(reader);
  throw Failure(message);
}

void SqliteRecordset::SetField(const std::string& column, const FieldValue& value) {
  RequireOpen();
  const std::size_t index = ColumnIndex(column);
  RequireCurrentRow();
  for (auto& [changed, pendingValue] : pending_) {
    if (changed == index) {
      pendingValue = value;
      return;
    }
  }
  pending_.emplace_back(index, value);
}

// Each Update is written at once, but inside one transaction per recordset,
// begun at its first Update and committed when it closes or is destroyed, so
// no stored row is lost on any way out; inside a transaction of the
// connection, the updates join it and the connection commits. A commit per row would cost a journal
// sync per row, minutes for a large table; this costs one. The program never
// has a table open in two recordsets and keeps its other connections idle
// while a recordset is open, so nobody sees the difference, except that a
// crash part-way loses the recordset's updates as a whole rather than in part.
// Until then the recordset's connection holds the write lock: it is not idle.
void SqliteRecordset::Update() {
  RequireOpen();
  RequireCurrentRow();
  if (pending_.empty()) return;
  std::sort(pending_.begin(), pending_.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::size_t> changed;
  for (const auto& entry : pending_) changed.push_back(entry.first);
  sqlite3_stmt* statement = UpdateStatement(changed);
  int index = 1;
  for (const auto& entry : pending_) {
    if (Bind(statement, index++, entry.second) != SQLITE_OK) file_->Fail();
  }
  if (sqlite3_bind_int64(statement, index, rowids_[row_]) != SQLITE_OK) file_->Fail();
  if (!batching_) {
    file_->JoinBatch();
    batching_ = true;
  }
  if (sqlite3_step(statement) != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(file_->get());
    sqlite3_reset(statement);
    throw Failure(message);
  }
  sqlite3_reset(statement);
  if (sqlite3_changes(file_->get()) != 1) throw Failure(NoLongerThere());
  pending_.clear();
}

sqlite3_stmt* SqliteRecordset::UpdateStatement(const std::vector<std::size_t>& columns) {
  auto& statement = updates_[columns];
  if (!statement) {
    std::string sql = "UPDATE " + Quoted(table_) + " SET ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i) sql += ", ";
      sql += Quoted(columns_[columns[i]].name) + " = ?";
    }
    sql += " WHERE rowid = ?";
    try {
      statement = file_->Prepare(sql);
    } catch (...) {
      updates_.erase(columns);
      throw;
    }
  }
  return statement.get();
}

void SqliteRecordset::MoveNext() {
  // Leaving a row stores what was set on it, as an optimistic cursor does.
  Update();
  ++row_;
}

void SqliteRecordset::Close() {
  RequireOpen();
  Release();
}

std::vector<std::string> SqliteRecordset::FieldNames() {
  RequireOpen();
  std::vector<std::string> names;
  for (const Column& column : columns_) names.push_back(column.name);
  return names;
}

void SqliteRecordset::Release() {
  pending_.clear();
  updates_.clear();
  columns_.clear();
  rowids_.clear();
  table_.clear();
  row_ = 0;
  // Dropped first, so a failing commit still leaves the recordset closed.
  const auto file = std::move(file_);
  if (std::exchange(batching_, false)) file->LeaveBatch();
}

std::string SqliteRecordset::NoLongerThere() const {
  return "The current row is no longer in the table " + table_ + ": it was deleted after the table was opened.";
}

void SqliteRecordset::RequireOpen() const {
  if (!file_) throw Failure("Operation is not allowed when the recordset is closed.");
}

void SqliteRecordset::RequireCurrentRow() const {
  if (row_ >= rowids_.size()) {
    throw Failure("Either BOF or EOF is True: the operation needs a current record of " + table_ + ".");
  }
}

std::size_t SqliteRecordset::ColumnIndex(const std::string& column) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (UpperCase(columns_[i].name) == UpperCase(column)) return i;
  }
  throw Failure("Item cannot be found: the table " + table_ + " has no field " + column + ".");
}

}  // namespace vsu::sqlite
