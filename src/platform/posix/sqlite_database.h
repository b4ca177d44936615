#pragma once

#include "platform/database.h"

namespace vsu::posix {

// The database engine outside Windows: SQLite files stand in for the .mdb files.
class SqliteDatabase : public Database {
 public:
  std::unique_ptr<Connection> CreateConnection() override;
  std::unique_ptr<Recordset> CreateRecordset() override;
};

}  // namespace vsu::posix
