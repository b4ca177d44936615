#include "database/tables.h"

namespace vsu {

std::unique_ptr<Connection> OpenConnection(Database& db, const std::string& connectString, int mode) {
  auto connection = db.CreateConnection();
  connection->Mode = mode;
  connection->Open(connectString);
  return connection;
}

std::unique_ptr<Recordset> OpenTable(Database& db, Connection& connection, const std::string& table) {
  auto recordset = db.CreateRecordset();
  recordset->CursorType = adOpenStatic;
  recordset->LockType = adLockOptimistic;
  recordset->Open(table, connection);
  return recordset;
}

}  // namespace vsu
