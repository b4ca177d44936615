#include "safety/read_only_database.h"

#include "common/failure.h"

namespace vsu {
namespace {

[[noreturn]] void Refuse(const std::string& what) { throw Failure("The check changes nothing: " + what); }

class ReadOnlyConnection : public Connection {
 public:
  explicit ReadOnlyConnection(std::unique_ptr<Connection> inner) : inner_(std::move(inner)) {}
  void Open(const std::string& connectionString) override {
    inner_->Mode = adModeRead;
    inner_->Open(connectionString);
  }
  void Execute(const std::string& statement) override { Refuse(statement); }
  void BeginTrans() override { Refuse("a transaction"); }
  void CommitTrans() override { Refuse("a transaction"); }
  void Close() override { inner_->Close(); }
  Connection& Inner() { return *inner_; }

 private:
  std::unique_ptr<Connection> inner_;
};

class ReadOnlyRecordset : public Recordset {
 public:
  explicit ReadOnlyRecordset(std::unique_ptr<Recordset> inner) : inner_(std::move(inner)) {}
  void Open(const std::string& table, Connection& connection) override {
    auto* readOnly = dynamic_cast<ReadOnlyConnection*>(&connection);
    if (!readOnly) throw Failure("The connection cannot be used to perform this operation.");
    inner_->CursorType = CursorType;
    inner_->LockType = LockType;
    inner_->Open(table, readOnly->Inner());
  }
  bool Eof() override { return inner_->Eof(); }
  FieldValue Field(const std::string& column) override { return inner_->Field(column); }
  void SetField(const std::string& column, const FieldValue&) override { Refuse("a change of " + column); }
  void Update() override { Refuse("a row update"); }
  void MoveNext() override { inner_->MoveNext(); }
  void Close() override { inner_->Close(); }
  std::vector<std::string> FieldNames() override { return inner_->FieldNames(); }

 private:
  std::unique_ptr<Recordset> inner_;
};

}  // namespace

std::unique_ptr<Connection> ReadOnlyDatabase::CreateConnection() {
  return std::make_unique<ReadOnlyConnection>(inner_.CreateConnection());
}

std::unique_ptr<Recordset> ReadOnlyDatabase::CreateRecordset() {
  return std::make_unique<ReadOnlyRecordset>(inner_.CreateRecordset());
}

void ReadOnlyDatabase::CopyDatabase(const std::string& from, const std::string&) { Refuse("a copy of " + from); }

}  // namespace vsu
