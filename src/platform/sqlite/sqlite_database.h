#pragma once

#include "platform/database.h"
#include "platform/sqlite/sqlite_connection.h"

namespace vsu::sqlite {

// Connections and recordsets on SQLite files, found through the platform's
// file mapper.
class SqliteDatabase : public Database {
 public:
  explicit SqliteDatabase(FileMapper mapFile) : mapFile_(std::move(mapFile)) {}
  std::unique_ptr<Connection> CreateConnection() override;
  std::unique_ptr<Recordset> CreateRecordset() override;
  // Both files found through the file mapper, whose names are plain paths here.
  void CopyDatabase(const std::string& from, const std::string& to) override;

 private:
  FileMapper mapFile_;
};

}  // namespace vsu::sqlite
