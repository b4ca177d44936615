#include "platform/win32/win32_database.h"

#include <windows.h>

#include <cstring>

#include "common/failure.h"
#include "platform/connection_string.h"
#include "platform/sqlite/sqlite_connection.h"
#include "platform/sqlite/sqlite_copy.h"
#include "platform/sqlite/sqlite_recordset.h"
#include "platform/win32/ado_database.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_errors.h"

namespace vsu::win32 {
namespace {

// True when the file begins with the SQLite header, "SQLite format 3" and its NUL.
bool HasSqliteHeader(const std::string& path) {
  static constexpr char kHeader[] = "SQLite format 3";
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  char head[sizeof kHeader] = {};
  DWORD got = 0;
  const bool read = ReadFile(file.get(), head, sizeof head, &got, nullptr);
  return read && got == sizeof head && std::memcmp(head, kHeader, sizeof head) == 0;
}

// SQLite names its files in UTF-8; the program's paths are in the ANSI code page.
std::optional<std::string> EngineFileName(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  BSTR wide = ToBstr(path);
  const int length = static_cast<int>(SysStringLen(wide));
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
  SysFreeString(wide);
  return utf8;
}

// Chooses its engine at Open, from the first bytes of the file.
class EngineConnection : public Connection {
 public:
  void Open(const std::string& connectionString) override {
    if (inner_) throw Failure("Operation is not allowed when the object is open.");
    const std::string file = DataSourceOf(connectionString);
    std::unique_ptr<Connection> inner;
    if (!file.empty() && HasSqliteHeader(file)) {
      inner = std::make_unique<sqlite::SqliteConnection>(EngineFileName);
    } else {
      inner = std::make_unique<AdoConnection>();
    }
    inner->Mode = Mode;
    inner->Open(connectionString);
    inner_ = std::move(inner);
  }
  void Execute(const std::string& statement) override { Inner().Execute(statement); }
  void BeginTrans() override { Inner().BeginTrans(); }
  void CommitTrans() override { Inner().CommitTrans(); }
  void Close() override {
    Inner().Close();
    inner_.reset();
  }
  Connection& Inner() {
    if (!inner_) throw Failure("Operation is not allowed when the object is closed.");
    return *inner_;
  }
  bool IsSqlite() { return dynamic_cast<sqlite::SqliteConnection*>(&Inner()) != nullptr; }

 private:
  std::unique_ptr<Connection> inner_;
};

// Opens on the engine of the connection it is given, keeping one recordset per
// engine so that an object reopened on the same kind keeps its settings.
class EngineRecordset : public Recordset {
 public:
  void Open(const std::string& table, Connection& connection) override {
    auto* engine = dynamic_cast<EngineConnection*>(&connection);
    if (!engine) throw Failure("The connection cannot be used to perform this operation.");
    const bool sqlite = engine->IsSqlite();
    auto& slot = sqlite ? sqlite_ : ado_;
    if (!slot) {
      if (sqlite) slot = std::make_unique<sqlite::SqliteRecordset>();
      else slot = std::make_unique<AdoRecordset>();
    }
    slot->CursorType = CursorType;
    slot->LockType = LockType;
    slot->Open(table, engine->Inner());
    current_ = slot.get();
  }
  bool Eof() override { return Current().Eof(); }
  FieldValue Field(const std::string& column) override { return Current().Field(column); }
  void SetField(const std::string& column, const FieldValue& value) override {
    Current().SetField(column, value);
  }
  void Update() override { Current().Update(); }
  void MoveNext() override { Current().MoveNext(); }
  void Close() override {
    Current().Close();
    current_ = nullptr;
  }
  std::vector<std::string> FieldNames() override { return Current().FieldNames(); }

 private:
  Recordset& Current() {
    if (!current_) throw Failure("Operation is not allowed when the object is closed.");
    return *current_;
  }
  std::unique_ptr<Recordset> sqlite_;
  std::unique_ptr<Recordset> ado_;
  Recordset* current_ = nullptr;
};

}  // namespace

std::unique_ptr<Connection> Win32Database::CreateConnection() { return std::make_unique<EngineConnection>(); }

std::unique_ptr<Recordset> Win32Database::CreateRecordset() { return std::make_unique<EngineRecordset>(); }

void Win32Database::CopyDatabase(const std::string& from, const std::string& to) {
  if (HasSqliteHeader(from)) {
    const auto source = EngineFileName(from);
    const auto target = EngineFileName(to);
    if (!target) ThrowError(ERROR_FILE_NOT_FOUND, to);
    if (source && sqlite::CopySqliteDatabase(*source, *target, from, to)) return;
  }
  if (!::CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    const DWORD code = GetLastError();
    ThrowError(code, code == ERROR_FILE_NOT_FOUND ? from : to);
  }
}

}  // namespace vsu::win32
