#include "platform/posix/service_store.h"

#include <sqlite3.h>

#include <cerrno>
#include <filesystem>

#include "platform/posix/errors.h"
#include "platform/posix/proc_fs.h"

namespace vsu::posix {
namespace {

constexpr int kBusyTimeoutMs = 2000;
constexpr int kBusyPollMs = 1;
constexpr std::uint32_t kErrorGenFailure = 31;
// RPC_S_SERVER_UNAVAILABLE: what a program gets when the manager cannot be reached.
constexpr std::uint32_t kErrorManagerUnavailable = 1722;

[[noreturn]] void Fail(int sqliteCode) {
  const int primary = sqliteCode & 0xFF;
  throw StoreError{primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? kErrorManagerUnavailable
                                                                      : kErrorGenFailure};
}

// Transactions here last microseconds, so waiting for the lock in short, even
// steps wastes far less time than the engine's growing back-off would.
int WaitForLock(void*, int attempts) {
  if (attempts * kBusyPollMs >= kBusyTimeoutMs) return 0;
  sqlite3_sleep(kBusyPollMs);
  return 1;
}

// One prepared statement, finalized when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) Fail(rc);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Text(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Blob(int index, const std::string& bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Int(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  // True while a row is available.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail(rc);
    return false;
  }
  std::string ColumnText(int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : "";
  }
  std::int64_t ColumnInt(int column) { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Arguments are kept as one blob, each one followed by a NUL.
std::string JoinArgs(const std::vector<std::string>& args) {
  std::string joined;
  for (const auto& arg : args) joined += arg + '\0';
  return joined;
}

std::vector<std::string> SplitArgs(const std::string& joined) {
  std::vector<std::string> args;
  for (std::size_t start = 0; start < joined.size();) {
    const auto end = joined.find('\0', start);
    args.push_back(joined.substr(start, end - start));
    start = end == std::string::npos ? joined.size() : end + 1;
  }
  return args;
}

}  // namespace

ServiceStore::ServiceStore(const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) throw StoreError{Win32Code(error.value())};
  const std::string file = directory + "/services.db";
  const int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw StoreError{rc == SQLITE_CANTOPEN ? Win32Code(EACCES) : kErrorGenFailure};
  }
  sqlite3_busy_handler(db_, WaitForLock, nullptr);
  try {
    // Registrations change on every service call; a write-ahead log keeps them
    // consistent without a flush to disk for each one.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
    Transaction schema(*this);
    Exec("CREATE TABLE IF NOT EXISTS services("
         " name TEXT PRIMARY KEY COLLATE NOCASE, binary TEXT NOT NULL, args BLOB NOT NULL,"
         " pid INTEGER NOT NULL DEFAULT 0, start_time INTEGER NOT NULL DEFAULT 0,"
         " forced_state INTEGER NOT NULL DEFAULT 0, marked INTEGER NOT NULL DEFAULT 0,"
         " stopping INTEGER NOT NULL DEFAULT 0)");
    // A store made before stop requests were recorded gets the column now.
    if (sqlite3_exec(db_, "SELECT stopping FROM services LIMIT 0", nullptr, nullptr, nullptr) != SQLITE_OK) {
      Exec("ALTER TABLE services ADD COLUMN stopping INTEGER NOT NULL DEFAULT 0");
    }
    Exec("CREATE TABLE IF NOT EXISTS denials("
         " name TEXT COLLATE NOCASE, operation TEXT, PRIMARY KEY(name, operation))");
    schema.Commit();
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

ServiceStore::~ServiceStore() { sqlite3_close(db_); }

ServiceStore::Transaction::Transaction(ServiceStore& store) : store_(store) { store_.Exec("BEGIN IMMEDIATE"); }

ServiceStore::Transaction::~Transaction() {
  if (open_) sqlite3_exec(store_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void ServiceStore::Transaction::Commit() {
  store_.Exec("COMMIT");
  open_ = false;
}

std::optional<ServiceRecord> ServiceStore::Find(const std::string& name) {
  Statement select(db_, "SELECT name, binary, args, pid, start_time, forced_state, marked, stopping"
                        " FROM services WHERE name = ?");
  if (!select.Text(1, name).Step()) return std::nullopt;
  ServiceRecord record;
  record.name = select.ColumnText(0);
  record.binary = select.ColumnText(1);
  record.args = SplitArgs(select.ColumnText(2));
  record.pid = static_cast<pid_t>(select.ColumnInt(3));
  record.startTime = static_cast<std::uint64_t>(select.ColumnInt(4));
  record.forcedState = static_cast<int>(select.ColumnInt(5));
  record.markedForDelete = select.ColumnInt(6) != 0;
  record.stopping = select.ColumnInt(7) != 0;
  if (record.pid != 0 && !IsAlive(record.pid, record.startTime)) {
    record.pid = 0;
    record.startTime = 0;
    record.stopping = false;
    if (record.markedForDelete) {
      Remove(record.name);
      return std::nullopt;
    }
    Update(record);
  }
  return record;
}

void ServiceStore::Insert(const ServiceRecord& record) {
  Statement insert(db_, "INSERT INTO services(name, binary, args, pid, start_time, forced_state, marked, stopping)"
                        " VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Text(1, record.name).Text(2, record.binary).Blob(3, JoinArgs(record.args)).Int(4, record.pid);
  insert.Int(5, static_cast<std::int64_t>(record.startTime)).Int(6, record.forcedState);
  insert.Int(7, record.markedForDelete).Int(8, record.stopping).Step();
}

void ServiceStore::Update(const ServiceRecord& record) {
  Statement update(db_, "UPDATE services SET pid = ?, start_time = ?, forced_state = ?, marked = ?, stopping = ?"
                        " WHERE name = ?");
  update.Int(1, record.pid).Int(2, static_cast<std::int64_t>(record.startTime)).Int(3, record.forcedState);
  update.Int(4, record.markedForDelete).Int(5, record.stopping).Text(6, record.name).Step();
}

void ServiceStore::Remove(const std::string& name) {
  Statement remove(db_, "DELETE FROM services WHERE name = ?");
  remove.Text(1, name).Step();
}

bool ServiceStore::IsDenied(const std::string& name, const std::string& operation) {
  Statement select(db_, "SELECT 1 FROM denials WHERE name = ? AND operation = ?");
  return select.Text(1, name).Text(2, operation).Step();
}

void ServiceStore::SetDenied(const std::string& name, const std::string& operation, bool denied) {
  Statement change(db_, denied ? "INSERT OR IGNORE INTO denials(name, operation) VALUES(?, ?)"
                               : "DELETE FROM denials WHERE name = ? AND operation = ?");
  change.Text(1, name).Text(2, operation).Step();
}

void ServiceStore::Exec(const char* sql) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(rc);
}

}  // namespace vsu::posix
