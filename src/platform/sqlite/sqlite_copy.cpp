#include "platform/sqlite/sqlite_copy.h"

#include <sqlite3.h>

#include <memory>

#include "common/failure.h"
#include "platform/sqlite/sqlite_file.h"

namespace vsu::sqlite {
namespace {

// A writer that keeps the file locked past the busy wait is waited for this
// many times more before the copy gives up.
constexpr int kBusyRetries = 10;

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

[[noreturn]] void Fail(int rc, sqlite3* db, const std::string& path) {
  throw Failure(std::string(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + ": '" + path + "'");
}

Handle OpenFile(const std::string& name, const std::string& path) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  Handle db(raw, sqlite3_close_v2);
  if (rc != SQLITE_OK) Fail(rc, raw, path);
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  return db;
}

bool IsBusy(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

}  // namespace

bool CopySqliteDatabase(const std::string& fromName, const std::string& toName, const std::string& fromPath,
                        const std::string& toPath) {
  const Handle source = OpenFile(fromName, fromPath);
  // Reading the schema tells a database from any other file, and changes neither.
  const int probe = sqlite3_exec(source.get(), "PRAGMA schema_version", nullptr, nullptr, nullptr);
  if ((probe & 0xFF) == SQLITE_NOTADB) return false;
  if (probe != SQLITE_OK) Fail(probe, source.get(), fromPath);
  const Handle target = OpenFile(toName, toPath);
  const std::unique_ptr<sqlite3_backup, int (*)(sqlite3_backup*)> backup(
      sqlite3_backup_init(target.get(), "main", source.get(), "main"), sqlite3_backup_finish);
  if (!backup) Fail(SQLITE_ERROR, target.get(), toPath);
  // All pages in one step, so the copy holds the source as one read saw it.
  int rc = sqlite3_backup_step(backup.get(), -1);
  for (int retry = 0; IsBusy(rc) && retry < kBusyRetries; ++retry) {
    sqlite3_sleep(200);
    rc = sqlite3_backup_step(backup.get(), -1);
  }
  if (rc != SQLITE_DONE) throw Failure(std::string(sqlite3_errstr(rc)) + ": '" + toPath + "'");
  return true;
}

}  // namespace vsu::sqlite
