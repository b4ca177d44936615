#pragma once
// The files and database backends of the Linux stand-ins; the Windows build has its own header of this name.

#include "platform/posix/database_files.h"
#include "platform/posix/posix_files.h"
#include "platform/sqlite/sqlite_database.h"

namespace vsu::test {
using NativeFiles = posix::PosixFiles;
// SQLite files found where their program paths map.
class NativeDatabase : public sqlite::SqliteDatabase {
 public:
  NativeDatabase() : sqlite::SqliteDatabase(posix::MapDatabaseFile) {}
};
}  // namespace vsu::test
