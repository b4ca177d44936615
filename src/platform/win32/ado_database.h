#pragma once
// Connection and Recordset through ADO's typed interfaces, for real Jet
// databases. Late binding would not do: Wine's objects answer no member names.

#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/win32/com_ref.h"

struct _ADOConnection;
struct _ADORecordset;
struct ADOField;

namespace vsu::win32 {

class AdoConnection : public Connection {
 public:
  AdoConnection();
  ~AdoConnection() override;
  void Open(const std::string& connectionString) override;
  void Execute(const std::string& statement) override;
  // Jet keeps its plain behaviour: every change is stored at once.
  void BeginTrans() override {}
  void CommitTrans() override {}
  void Close() override;
  // The ADO object, for a recordset's ActiveConnection.
  _ADOConnection& Object();

 private:
  ComRef<_ADOConnection> connection_;
};

class AdoRecordset : public Recordset {
 public:
  AdoRecordset();
  ~AdoRecordset() override;
  void Open(const std::string& table, Connection& connection) override;
  bool Eof() override;
  FieldValue Field(const std::string& column) override;
  void SetField(const std::string& column, const FieldValue& value) override;
  void Update() override;
  void MoveNext() override;
  void Close() override;
  std::vector<std::string> FieldNames() override;

 private:
  _ADORecordset& Object();
  ComRef<ADOField> FieldObject(const std::string& column);
  ComRef<_ADORecordset> recordset_;
};

// The description of a failed ADO call: the object's own, else ADO's words for
// the code, else the system's.
std::string AdoErrorText(long code);

}  // namespace vsu::win32
