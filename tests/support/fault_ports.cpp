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
  if (unexpected) throw std::runtime_error(Text());
  throw Failure(Text());
}

namespace {

class FaultConnection : public Connection {
 public:
  FaultConnection(std::unique_ptr<Connection> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(c), live_(live) {
    ++live_;
  }
  ~FaultConnection() override { --live_; }
  void Open(const std::string& cs) override {
    c_.Throw("Connection.Open");
    inner_->Mode = Mode;
    inner_->Open(cs);
  }
  void Execute(const std::string& statement) override { c_.Throw("Execute " + statement), inner_->Execute(statement); }
  void BeginTrans() override { c_.Throw("BeginTrans"), inner_->BeginTrans(); }
  void CommitTrans() override { c_.Throw("CommitTrans"), inner_->CommitTrans(); }
  void Close() override { c_.Throw("Connection.Close"), inner_->Close(); }
  Connection& inner() { return *inner_; }

 private:
  std::unique_ptr<Connection> inner_;
  FaultCountdown& c_;
  long& live_;
};

class FaultRecordset : public Recordset {
 public:
  FaultRecordset(std::unique_ptr<Recordset> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(c), live_(live) {
    ++live_;
  }
  ~FaultRecordset() override { --live_; }
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
  long& live_;
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

class FaultServiceManager : public ServiceManager {
 public:
  FaultServiceManager(ServiceManager& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  ScHandle OpenSCManagerA(const char* m, const char* d, std::uint32_t a) override {
    return Due("OpenSCManagerA") ? 0 : Real(inner_.OpenSCManagerA(m, d, a));
  }
  ScHandle OpenServiceA(ScHandle m, const char* n, std::uint32_t a) override {
    return Due("OpenServiceA") ? 0 : Real(inner_.OpenServiceA(m, n, a));
  }
  bool QueryServiceStatus(ScHandle s, ServiceStatusRecord* r) override {
    return !Due("QueryServiceStatus") && Real(inner_.QueryServiceStatus(s, r));
  }
  bool QueryServiceConfigA(ScHandle s, void* b, std::uint32_t n, std::uint32_t* needed) override {
    return !Due("QueryServiceConfigA") && Real(inner_.QueryServiceConfigA(s, b, n, needed));
  }
  bool ControlService(ScHandle s, std::uint32_t c, ServiceStatusRecord* r) override {
    return !Due("ControlService") && Real(inner_.ControlService(s, c, r));
  }
  bool DeleteService(ScHandle s) override { return !Due("DeleteService") && Real(inner_.DeleteService(s)); }
  bool StartServiceA(ScHandle s, std::uint32_t n, const char** v) override {
    return !Due("StartServiceA") && Real(inner_.StartServiceA(s, n, v));
  }
  bool CloseServiceHandle(ScHandle h) override { return inner_.CloseServiceHandle(h); }
  std::uint32_t GetLastError() override { return injected_ ? kInjectedCode : inner_.GetLastError(); }
  bool ReadServiceRegistration(ScHandle s, ServiceRegistration* r) override {
    return !Due("ReadServiceRegistration") && Real(inner_.ReadServiceRegistration(s, r));
  }
  bool RegisterService(ScHandle m, const char* n, const ServiceRegistration& r) override {
    return !Due("RegisterService") && Real(inner_.RegisterService(m, n, r));
  }

 private:
  bool Due(const char* call) { return injected_ = c_.Due(std::string("scm ") + call); }
  template <typename T>
  T Real(T result) {
    injected_ = false;
    return result;
  }
  ServiceManager& inner_;
  FaultCountdown& c_;
  bool injected_ = false;
};

class FaultProcessList : public ProcessList {
 public:
  FaultProcessList(ProcessList& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  bool GetVersionExA(VersionInfoRecord* i) override { return !c_.Due("GetVersionExA") && inner_.GetVersionExA(i); }
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* r) override {
    return !c_.Due("EnumProcesses") && inner_.EnumProcesses(ids, cb, r);
  }
  ProcHandle OpenProcess(std::uint32_t a, bool i, std::uint32_t pid) override {
    return c_.Due("OpenProcess") ? 0 : inner_.OpenProcess(a, i, pid);
  }
  bool EnumProcessModules(ProcHandle p, ModHandle* m, std::uint32_t cb, std::uint32_t* n) override {
    return !c_.Due("EnumProcessModules") && inner_.EnumProcessModules(p, m, cb, n);
  }
  std::uint32_t GetModuleFileNameExA(ProcHandle p, ModHandle m, char* b, std::uint32_t n) override {
    return c_.Due("GetModuleFileNameExA") ? 0 : inner_.GetModuleFileNameExA(p, m, b, n);
  }
  bool CloseHandle(ProcHandle h) override { return inner_.CloseHandle(h); }
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t f, std::uint32_t pid) override {
    return c_.Due("CreateToolhelp32Snapshot") ? 0 : inner_.CreateToolhelp32Snapshot(f, pid);
  }
  bool Process32First(ProcHandle s, ProcessEntryRecord* e) override {
    return !c_.Due("Process32First") && inner_.Process32First(s, e);
  }
  bool Process32Next(ProcHandle s, ProcessEntryRecord* e) override {
    return !c_.Due("Process32Next") && inner_.Process32Next(s, e);
  }

 private:
  ProcessList& inner_;
  FaultCountdown& c_;
};

class FaultLauncher : public Launcher {
 public:
  FaultLauncher(Launcher& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  bool ShellExecuteExA(const ShellExecuteInfo& info) override {
    return !c_.Due("ShellExecuteExA") && inner_.ShellExecuteExA(info);
  }
  std::uint32_t StartProgram(const std::string& command, int style) override {
    return c_.Due("StartProgram") ? 0 : inner_.StartProgram(command, style);
  }

 private:
  Launcher& inner_;
  FaultCountdown& c_;
};

class FaultIpInfo : public IpInfo {
 public:
  FaultIpInfo(IpInfo& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  std::string LocalAddress() override { return c_.Throw("ipInfo"), inner_.LocalAddress(); }

 private:
  IpInfo& inner_;
  FaultCountdown& c_;
};

}  // namespace

struct FaultPorts::Ports {
  Ports(const Platform& p, FaultCountdown& c)
      : files(p.files), db(p.db, c), scm(p.scm, c), processes(p.processes, c), launcher(p.launcher, c), ip(p.ip, c) {
    files.countdown = &c;
  }
  FilesWrapper files;
  FaultDatabase db;
  FaultServiceManager scm;
  FaultProcessList processes;
  FaultLauncher launcher;
  FaultIpInfo ip;
};

FaultPorts::FaultPorts(const Platform& inner, FaultCountdown& countdown)
    : ports_(std::make_unique<Ports>(inner, countdown)),
      platform{inner.system, ports_->files, inner.clock, inner.ui,        inner.log,
               ports_->db,   ports_->scm,   ports_->processes, ports_->launcher, ports_->ip} {}

FaultPorts::~FaultPorts() = default;

long FaultPorts::LiveDatabaseObjects() const { return ports_->db.live; }

}  // namespace vsu::test
