#pragma once
// Opening a settings database and its tables the way every routine of the
// program does it.

#include <memory>
#include <string>

#include "platform/database.h"

namespace vsu {

// A new connection, opened with connectString (no user, no password) in mode.
std::unique_ptr<Connection> OpenConnection(Database& db, const std::string& connectString,
                                           int mode = adModeUnknown);

// A new recordset on the whole table: static cursor, optimistic locking. It
// must be released before connection.
std::unique_ptr<Recordset> OpenTable(Database& db, Connection& connection, const std::string& table);

}  // namespace vsu
