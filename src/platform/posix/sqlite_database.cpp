#include "platform/posix/sqlite_database.h"

#include "platform/posix/sqlite_connection.h"
#include "platform/posix/sqlite_recordset.h"

namespace vsu::posix {

std::unique_ptr<Connection> SqliteDatabase::CreateConnection() { return std::make_unique<SqliteConnection>(); }

std::unique_ptr<Recordset> SqliteDatabase::CreateRecordset() { return std::make_unique<SqliteRecordset>(); }

}  // namespace vsu::posix
