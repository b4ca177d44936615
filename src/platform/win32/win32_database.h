#pragma once
// The Windows database: a file that begins with the SQLite header is opened
// with the embedded SQLite engine, any other through ADO and Jet.

#include <memory>

#include "platform/database.h"

namespace vsu::win32 {

class Win32Database : public Database {
 public:
  std::unique_ptr<Connection> CreateConnection() override;
  std::unique_ptr<Recordset> CreateRecordset() override;
  // A SQLite file through SQLite's online backup; a Jet file with a plain
  // file copy, which is consistent only while no other program writes it.
  void CopyDatabase(const std::string& from, const std::string& to) override;
};

}  // namespace vsu::win32
