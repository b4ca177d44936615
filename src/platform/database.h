#pragma once
// The database engine, shaped like the connection and recordset operations the
// program runs. Every operation throws Failure with the engine's description.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vsu {

// A field value: Null, text, Boolean (BIT), 16-bit or 32-bit integer.
using FieldValue = std::variant<std::monostate, std::string, bool, std::int16_t, std::int32_t>;

inline constexpr int adModeUnknown = 0;
inline constexpr int adModeRead = 1;

class Connection {
 public:
  virtual ~Connection() = default;
  // Set before Open. adModeRead opens the file for reading only and leaves it
  // exactly as it was; any other mode reads and writes.
  int Mode = adModeUnknown;
  // Opens the database named by "Data Source=" in the connection string, as it
  // is: nothing the file keeps about itself changes. A missing file is a
  // failure; a second connection to the same file is allowed. A file that
  // another program holds locked is waited for, a few seconds at most, at Open
  // and at every later operation, before the operation fails.
  virtual void Open(const std::string& connectionString) = 0;
  // Runs one statement; any rows it yields are discarded at once.
  virtual void Execute(const std::string& statement) = 0;
  // What is changed through this connection and its recordsets between
  // BeginTrans and CommitTrans is stored as a whole at CommitTrans; a crash
  // before it leaves none of it. A transaction that the engine gave up after
  // a failure (a full disk, an I/O error) makes CommitTrans fail, and a
  // connection closed or released inside a transaction drops it. One
  // transaction at a time. An engine without transactions stores every change
  // at once and makes both calls do nothing.
  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void Close() = 0;
};

inline constexpr int adOpenStatic = 3;
inline constexpr int adLockOptimistic = 3;

// A cursor over the rows the table held at Open, in the order the table yields
// them. Whether a value that another connection changes meanwhile shows is the
// engine's affair: the program never changes an open table through another
// connection.
class Recordset {
 public:
  virtual ~Recordset() = default;
  // Kept across Close and reopen.
  int CursorType = 0;
  int LockType = 0;
  // Opens the whole table as an updatable row set standing on its first row.
  virtual void Open(const std::string& table, Connection& connection) = 0;
  // True when there is no current row (ADO's EOF, a name that <cstdio> takes).
  virtual bool Eof() = 0;
  // Reads a column of the current row; a missing column or no current row fails.
  virtual FieldValue Field(const std::string& column) = 0;
  // Sets a column in the current row's pending changes. MoveNext stores them
  // first; Close and destruction drop what no Update stored.
  virtual void SetField(const std::string& column, const FieldValue& value) = 0;
  // Stores the pending changes of the current row. Stored rows stay stored when
  // the recordset is destroyed without Close.
  virtual void Update() = 0;
  virtual void MoveNext() = 0;
  virtual void Close() = 0;
  // The names of the open table's columns, in order (ADO's Fields collection).
  virtual std::vector<std::string> FieldNames() = 0;
};

class Database {
 public:
  virtual ~Database() = default;
  virtual std::unique_ptr<Connection> CreateConnection() = 0;
  virtual std::unique_ptr<Recordset> CreateRecordset() = 0;
  // Copies the database file from over the existing file to (an empty one is
  // an empty database), consistently even while other connections use either:
  // a database of the engine's own kind goes through the engine, page for
  // page, so two copies of the same contents are the same bytes; any other
  // file is copied byte for byte.
  virtual void CopyDatabase(const std::string& from, const std::string& to) = 0;
};

}  // namespace vsu
