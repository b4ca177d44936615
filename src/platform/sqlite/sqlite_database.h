#pragma once

#include <memory>

#include "platform/database.h"
#include "platform/sqlite/sqlite_connection.h"
#include "platform/sqlite/sqlite_recordset.h"

namespace vsu::sqlite {

// Connections and recordsets on SQLite files, paths mapped by mapPath.
class SqliteDatabase : public Database {
 public:
  explicit SqliteDatabase(PathMapper mapPath) : mapPath_(std::move(mapPath)) {}
  std::unique_ptr<Connection> CreateConnection() override {
    return std::make_unique<SqliteConnection>(mapPath_);
  }
  std::unique_ptr<Recordset> CreateRecordset() override { return std::make_unique<SqliteRecordset>(); }

 private:
  PathMapper mapPath_;
};

}  // namespace vsu::sqlite
