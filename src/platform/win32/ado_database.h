#pragma once
// Connection and Recordset through ADO (ADODB.Connection, ADODB.Recordset),
// late-bound, for real Jet databases.

#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/win32/com_dispatch.h"

namespace vsu::win32 {

class AdoConnection : public Connection {
 public:
  void Open(const std::string& connectionString) override;
  void Execute(const std::string& statement) override;
  // Jet keeps its plain behaviour: every change is stored at once.
  void BeginTrans() override {}
  void CommitTrans() override {}
  void Close() override;
  // The ADO object, for a recordset's ActiveConnection.
  Dispatch& Object();

 private:
  Dispatch connection_;
};

class AdoRecordset : public Recordset {
 public:
  void Open(const std::string& table, Connection& connection) override;
  bool Eof() override;
  FieldValue Field(const std::string& column) override;
  void SetField(const std::string& column, const FieldValue& value) override;
  void Update() override;
  void MoveNext() override;
  void Close() override;
  std::vector<std::string> FieldNames() override;

 private:
  Dispatch& Object();
  Dispatch FieldObject(const std::string& column);
  Dispatch recordset_;
};

// A field's VARIANT in the program's terms, and back.
FieldValue FromVariant(Variant& value);
Variant ToVariant(const FieldValue& value);

}  // namespace vsu::win32
