#include "platform/sqlite/sqlite_connection.h"

#include "common/failure.h"
#include "platform/connection_string.h"

namespace vsu::sqlite {

void SqliteConnection::Open(const std::string& connectionString) {
  if (file_) throw Failure("The connection is already open.");
  const std::string source = DataSourceOf(connectionString);
  if (source.empty()) throw Failure("The connection string names no Data Source: " + connectionString);
  const auto mapped = mapFile_(source);
  if (!mapped) throw Failure("Could not find file '" + source + "'.");
  file_ = std::make_shared<SqliteFile>(*mapped, source, Mode == adModeRead);
}

void SqliteConnection::Execute(const std::string& statement) { File()->Run(statement); }

void SqliteConnection::BeginTrans() { File()->BeginTransaction(); }

void SqliteConnection::CommitTrans() { File()->CommitTransaction(); }

void SqliteConnection::Close() {
  File()->DropTransaction();
  // Recordsets still open on this connection keep the file until they close.
  file_.reset();
}

std::shared_ptr<SqliteFile> SqliteConnection::File() const {
  if (!file_) throw Failure("Operation is not allowed when the connection is closed.");
  return file_;
}

}  // namespace vsu::sqlite
