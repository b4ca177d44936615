#include "platform/sqlite/sqlite_database.h"

#include "platform/sqlite/sqlite_connection.h"
#include "platform/sqlite/sqlite_recordset.h"

namespace vsu::sqlite {

std::unique_ptr<Connection> SqliteDatabase::CreateConnection() { return std::make_unique<SqliteConnection>(mapFile_); }

std::unique_ptr<Recordset> SqliteDatabase::CreateRecordset() { return std::make_unique<SqliteRecordset>(); }

}  // namespace vsu::sqlite
