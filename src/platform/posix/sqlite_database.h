#pragma once

#include <optional>
#include <string>

#include "platform/sqlite/sqlite_database.h"

namespace vsu::posix {

// The database engine outside Windows: SQLite files stand in for the .mdb files,
// their program paths mapped like every other.
class SqliteDatabase : public sqlite::SqliteDatabase {
 public:
  SqliteDatabase();
};

// The mapped path of an ordinary file; nullopt for a path that maps nowhere, a
// missing file or a directory, which must read as "not found" and never as an
// empty database.
std::optional<std::string> MapDatabaseFile(const std::string& path);

}  // namespace vsu::posix
