#include "support/fault_ports.h"

#include <stdexcept>

#include "common/failure.h"
#include "support/files_wrapper.h"

namespace vsu::test {

bool FaultCountdown::Due(const std::string& call) {
  if (++calls != failAt) return false;
  fired = call;
  return true;
}

void FaultCountdown::Throw(const std::string& call) {
  if (!Due(call)) return;
  if (crash) throw Crash{};
  if (unexpected) throw std::runtime_error(Text());
  throw Failure(Text());
}

namespace {

// Counts the objects alive, so a test sees that every one was released.
struct Live {
  explicit Live(long& count) : count_(count) { ++count_; }
  ~Live() { --count_; }
  long& count_;
};

class FaultConnection : public Connection {
 public:
  FaultConnection(std::unique_ptr<Connection> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(c), live_(live) {}
  void Open(const std::string& cs) override { c_.Throw("Connection.Open"), inner_->Mode = Mode, inner_->Open(cs); }
  void Execute(const std::string& statement) override { c_.Throw("Execute " + statement), inner_->Execute(statement); }
  void BeginTrans() override { c_.Throw("BeginTrans"), inner_->BeginTrans(); }
  void CommitTrans() override { c_.Throw("CommitTrans"), inner_->CommitTrans(); }
  void Close() override { c_.Throw("Connection.Close"), inner_->Close(); }
  Connection& inner() { return *inner_; }

 private:
  std::unique_ptr<Connection> inner_;
  FaultCountdown& c_;
  Live live_;
};

class FaultRecordset : public Recordset {
 public:
  FaultRecordset(std::unique_ptr<Recordset> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(c), live_(live) {}
  void Open(const std::string& table, Connection& connection) override {
    c_.Throw("Recordset.Open " + table);
    inner_->CursorType = CursorType;
    inner_->LockType = LockType;
    inner_->Open(table, static_cast<FaultConnection&>(connection).inner());
  }
  bool Eof() override { return c_.Throw("Eof"), inner_->Eof(); }
  FieldValue Field(const std::string& column) override { return c_.Throw("Field " + column), inner_->Field(column); }
  void SetField(const std::string& column, const FieldValue& value) override {
    c_.Throw("SetField " + column), inner_->SetField(column, value);
  }
  void Update() override { c_.Throw("Update"), inner_->Update(); }
  void MoveNext() override { c_.Throw("MoveNext"), inner_->MoveNext(); }
  void Close() override { c_.Throw("Recordset.Close"), inner_->Close(); }
  std::vector<std::string> FieldNames() override { return c_.Throw("FieldNames"), inner_->FieldNames(); }

 private:
  std::unique_ptr<Recordset> inner_;
  FaultCountdown& c_;
  Live live_;
};

class FaultDatabase : public Database {
 public:
  FaultDatabase(Database& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  std::unique_ptr<Connection> CreateConnection() override {
    c_.Throw("CreateConnection");
    return std::make_unique<FaultConnection>(inner_.CreateConnection(), c_, live);
  }
  std::unique_ptr<Recordset> CreateRecordset() override {
    c_.Throw("CreateRecordset");
    return std::make_unique<FaultRecordset>(inner_.CreateRecordset(), c_, live);
  }
  void CopyDatabase(const std::string& from, const std::string& to) override {
    c_.Throw("CopyDatabase " + from), inner_.CopyDatabase(from, to);
  }
  long live = 0;

 private:
  Database& inner_;
  FaultCountdown& c_;
};

}  // namespace

struct FaultPorts::Ports {
  Ports(TestPlatform& t, FaultCountdown& c) : files(t.files), db(t.db, c) { files.countdown = &c; }
  FilesWrapper files;
  FaultDatabase db;
};

FaultPorts::FaultPorts(TestPlatform& t, FaultCountdown& c)
    : ports_(std::make_unique<Ports>(t, c)),
      platform{t.system, ports_->files, t.clock, t.ui, t.log, ports_->db, t.scm, t.processes, t.launcher, t.ip} {
  t.scm.countdown = t.processes.countdown = &c;
  t.launcher.countdown = t.ip.countdown = &c;
}

FaultPorts::~FaultPorts() = default;

long FaultPorts::LiveDatabaseObjects() const { return ports_->db.live; }

}  // namespace vsu::test
