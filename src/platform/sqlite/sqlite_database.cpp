#include "platform/sqlite/sqlite_database.h"

#include <fstream>

#include "common/failure.h"
#include "platform/sqlite/sqlite_connection.h"
#include "platform/sqlite/sqlite_copy.h"
#include "platform/sqlite/sqlite_recordset.h"

namespace vsu::sqlite {

std::unique_ptr<Connection> SqliteDatabase::CreateConnection() { return std::make_unique<SqliteConnection>(mapFile_); }

std::unique_ptr<Recordset> SqliteDatabase::CreateRecordset() { return std::make_unique<SqliteRecordset>(); }

void SqliteDatabase::CopyDatabase(const std::string& from, const std::string& to) {
  const auto source = mapFile_(from);
  if (!source) throw Failure("Could not find file '" + from + "'.");
  const auto target = mapFile_(to);
  if (!target) throw Failure("Could not find file '" + to + "'.");
  if (CopySqliteDatabase(*source, *target, from, to)) return;
  // No connection can have a file open that is no database, so its bytes are
  // as consistent as they get.
  std::ifstream in(*source, std::ios::binary);
  std::ofstream out(*target, std::ios::binary | std::ios::trunc);
  char buffer[1 << 14];
  while (in && out) {
    in.read(buffer, sizeof buffer);
    out.write(buffer, in.gcount());
  }
  if (!in.eof() || !out.flush()) throw Failure("Could not copy '" + from + "' to '" + to + "'.");
}

}  // namespace vsu::sqlite
