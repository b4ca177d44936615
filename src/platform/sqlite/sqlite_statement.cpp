#include "platform/sqlite/sqlite_statement.h"

#include <sqlite3.h>

#include "common/failure.h"
#include "common/text.h"
#include "platform/sqlite/sqlite_connection.h"

namespace vsu::sqlite {

Statement::Statement(SqliteConnection& connection, const std::string& sql) : connection_(connection) {
  if (sqlite3_prepare_v2(connection_.Handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
    throw Failure(connection_.LastError());
  }
  if (!stmt_) throw Failure("Empty statement.");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::Bind(int index, const FieldValue& value) {
  int rc = SQLITE_OK;
  if (const auto* text = std::get_if<std::string>(&value)) {
    rc = sqlite3_bind_text(stmt_, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    rc = sqlite3_bind_int(stmt_, index, *flag ? 1 : 0);
  } else if (const auto* small = std::get_if<std::int16_t>(&value)) {
    rc = sqlite3_bind_int(stmt_, index, *small);
  } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
    rc = sqlite3_bind_int(stmt_, index, *number);
  } else {
    rc = sqlite3_bind_null(stmt_, index);
  }
  if (rc != SQLITE_OK) throw Failure(connection_.LastError());
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw Failure(connection_.LastError());
}

int Statement::ColumnCount() { return sqlite3_column_count(stmt_); }

std::string Statement::ColumnName(int column) {
  const char* name = sqlite3_column_name(stmt_, column);
  return name ? name : "";
}

std::string Statement::DeclaredType(int column) {
  const char* type = sqlite3_column_decltype(stmt_, column);
  return type ? UpperCase(type) : "";
}

FieldValue Statement::Value(int column) {
  const int kind = sqlite3_column_type(stmt_, column);
  if (kind == SQLITE_NULL) return {};
  const std::string type = DeclaredType(column);
  // Jet's column kinds, by the names the schema uses for them.
  if (type.find("BIT") != std::string::npos || type.find("BOOL") != std::string::npos ||
      type == "YESNO") {
    return sqlite3_column_int(stmt_, column) != 0;
  }
  if (type.find("SMALLINT") != std::string::npos || type == "SHORT") {
    return static_cast<std::int16_t>(sqlite3_column_int(stmt_, column));
  }
  if (type.find("INT") != std::string::npos || type == "LONG" || type == "COUNTER" ||
      (type.empty() && kind == SQLITE_INTEGER)) {
    return static_cast<std::int32_t>(sqlite3_column_int64(stmt_, column));
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

long long Statement::RowId(int column) { return sqlite3_column_int64(stmt_, column); }

}  // namespace vsu::sqlite
