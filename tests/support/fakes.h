#pragma once
// Fakes for unit tests with one fault countdown; TestPlatform bundles them with the real files and database.

#include <cstring>
#include <deque>
#include <set>
#include <stdexcept>

#include "common/transcript.h"
#include "native_backends.h"
#include "platform/clock.h"
#include "platform/ip_info.h"
#include "platform/launcher.h"
#include "platform/platform.h"
#include "platform/process_list.h"
#include "platform/service_manager.h"
#include "platform/system.h"
#include "platform/views.h"
#include "support/testing.h"
#include "ui/layout.h"

namespace vsu::test {

// ERROR_INTERNAL_ERROR: the code an injected service-manager failure reports.
inline constexpr std::uint32_t kInjectedCode = 1359;
// What a kill leaves: no routine of the program catches it.
struct Crash {};

struct FaultCountdown {
  long failAt = 0;          // 0: nothing fails
  bool unexpected = false;  // throw an exception of the standard library instead of a Failure
  bool crash = false;       // throw Crash instead
  long calls = 0;
  std::string fired;  // the call that failed, once one has
  std::string Text() const { return "Injected fault: " + fired; }
};

// Count a call on the countdown a fake holds (null until a test sets it): the due call fails, reporting or throwing.
inline bool FaultDue(FaultCountdown* c, const std::string& call) {
  if (!c || ++c->calls != c->failAt) return false;
  c->fired = call;
  return true;
}

inline void FaultThrow(FaultCountdown* c, const std::string& call) {
  if (!FaultDue(c, call)) return;
  if (c->crash) throw Crash{};
  if (c->unexpected) throw std::runtime_error(c->Text());
  throw Failure(c->Text());
}

struct FakeSystem : System {
  std::string commandLine;
  std::string ownDirectory = "/opt/velascan";
  std::optional<std::string> windowsDirectory;
  std::vector<std::string> currentDirectories;
  bool failSetCurrentDirectory = false;

  std::string CommandLine() override { return commandLine; }
  std::string OwnDirectory() override { return ownDirectory; }
  void ChangeDirectory(const std::string& path) override {
    if (failSetCurrentDirectory) throw Failure("Path not found: " + path);
    currentDirectories.push_back(path);
  }
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override {
    if (!windowsDirectory) return 0;
    const auto length = static_cast<unsigned>(windowsDirectory->size());
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, windowsDirectory->c_str(), length + 1);
    return length;
  }
  std::string EnvironmentValue(const std::string&) override { return ""; }
};

struct FakeClock : Clock {
  std::vector<unsigned> sleeps;
  void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
};

// What the user does at one showing of the Enter Path dialog.
struct PathAnswer {
  enum Kind { kOk, kCancel, kCloseWindow } kind = kOk;
  std::string entry;
  static PathAnswer Ok(std::string text) { return {kOk, std::move(text)}; }
  static PathAnswer Cancel() { return {kCancel, {}}; }
  static PathAnswer CloseWindow() { return {kCloseWindow, {}}; }
};

struct ShownMessage {
  std::string text;
  int style;
  std::string title;
  bool operator==(const ShownMessage&) const = default;
};

// Windows that trace every call as "<form>.<call>"; the Enter Path dialog takes its answers from the script.
template <typename Base>
struct ScriptedWindow : Base {
  ScriptedWindow(std::vector<std::string>& trace, std::string name, TwipSize client)
      : trace_(trace), name_(std::move(name)), client_(client) {}
  TwipSize OuterSize() override { return layout::OuterSize(client_); }
  void Move(double left, double top) override {
    Trace("Move " + std::to_string(static_cast<long>(left)) + "," + std::to_string(static_cast<long>(top)));
  }
  void SetCaption(const std::string& text) override { Trace("Caption " + (caption_ = text)); }
  void Trace(const std::string& what) { trace_.push_back(name_ + "." + what); }
  std::vector<std::string>& trace_;
  std::string name_;
  TwipSize client_;
  std::string caption_;
};

struct ScriptedMain : ScriptedWindow<MainView> {
  explicit ScriptedMain(std::vector<std::string>& trace) : ScriptedWindow(trace, "frmMain", layout::kMainClient) {}
  void Hide() override { Trace("Hide"); }
  void ShowUntilClosed(MainHandlers& handlers) override { Trace("Show"), handlers.cmdExit_Click(); }
};

struct ScriptedEnterPath : ScriptedWindow<EnterPathView> {
  ScriptedEnterPath(std::vector<std::string>& trace, std::deque<PathAnswer>& answers)
      : ScriptedWindow(trace, "frmEnterPath", layout::kEnterPathClient), answers_(answers) {}
  std::string Caption() override { return caption_; }
  std::string TxtName() override { return txtName_; }
  void SetTxtName(const std::string& text) override { Trace("txtName " + (txtName_ = text)); }
  void Close() override { closed_ = true, Trace("Close"); }
  void ShowModal(EnterPathHandlers& handlers) override {
    Trace("ShowModal");
    while (!closed_) {
      const PathAnswer answer = answers_.empty() ? PathAnswer::Cancel() : answers_.front();
      if (!answers_.empty()) answers_.pop_front();
      if (answer.kind == PathAnswer::kCloseWindow) return Trace("Closed by the user");
      if (answer.kind == PathAnswer::kCancel) handlers.cmdCancel_Click();
      if (answer.kind == PathAnswer::kOk) txtName_ = answer.entry, handlers.cmdOK_Click();
    }
  }
  std::deque<PathAnswer>& answers_;
  std::string txtName_;
  bool closed_ = false;
};

struct ScriptedUpgrade : ScriptedWindow<UpgradeView> {
  explicit ScriptedUpgrade(std::vector<std::string>& trace)
      : ScriptedWindow(trace, "frmVelaScanUpg", layout::kUpgradeClient) {}
  void Refresh() override { Trace("Refresh"); }
  void SetTxtInfo(const std::string& text) override { Trace("txtInfo " + text); }
  void SetProgress(int value) override { Trace("progress " + std::to_string(value)); }
  void SetExitEnabled(bool on) override { exitEnabled_ = on, Trace(on ? "cmdExit enabled" : "cmdExit disabled"); }
  bool ExitEnabled() override { return exitEnabled_; }
  void SetExitCaption(const std::string& text) override { Trace("cmdExit caption " + text); }
  std::uintptr_t NativeHandle() override { return 0x1234; }
  void ShowModal(UpgradeHandlers& handlers) override {
    Trace("ShowModal"), handlers.Form_Activate();
    if (exitEnabled_) handlers.cmdExit_Click();
  }
  bool exitEnabled_ = true;
};

// A toolkit whose user follows a script; every call is traced, and Exit is pressed once the run enables it.
struct ScriptedToolkit : WindowToolkit {
  std::deque<PathAnswer> answers;  // one per OK/Cancel press; running out presses Cancel
  std::vector<ShownMessage> messages;
  std::vector<std::string> trace;
  int doEvents = 0;
  std::function<void()> onMsgBox;  // runs while a message box is shown

  TwipSize ScreenSize() override { return {15360, 11520}; }
  void MsgBox(const std::string& text, int style, const std::string& title) override {
    messages.push_back({text, style, title}), trace.push_back("MsgBox " + text);
    if (onMsgBox) onMsgBox();
  }
  std::unique_ptr<MainView> CreateMain() override { return std::make_unique<ScriptedMain>(trace); }
  std::unique_ptr<EnterPathView> CreateEnterPath() override {
    return std::make_unique<ScriptedEnterPath>(trace, answers);
  }
  std::unique_ptr<UpgradeView> CreateUpgrade() override { return std::make_unique<ScriptedUpgrade>(trace); }
  void DoEvents() override { ++doEvents; }
  void ShowReport(const std::string&, const std::vector<std::string>&) override {}
  // The entries of trace that begin with prefix, without it.
  std::vector<std::string> Traced(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : trace) {
      if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
  }
};

struct FakeIpInfo : IpInfo {
  std::string address = "192.0.2.7";
  FaultCountdown* countdown = nullptr;
  std::string LocalAddress() override { return FaultThrow(countdown, "ipInfo"), address; }
};

// An in-memory service manager held to the contract suite, with scripted failures; misuse is recorded in faults.
class FakeServiceManager : public ServiceManager {
 public:
  bool installed = true;
  std::uint32_t state = 1;
  bool marked = false;  // for deletion
  ServiceRegistration registration;

  // The script; a code other than 0 makes that call fail with it.
  std::uint32_t openManagerError = 0, openServiceError = 0;
  bool queryStatusFails = false;            // fails with 5
  std::uint32_t configNeeded = 0;           // bytes the configuration takes; 0: the record and its texts
  std::vector<std::uint32_t> configErrors;  // the k-th entry fails the k-th configuration query
  std::uint32_t controlError = 0, deleteError = 0, startError = 0;
  std::function<void()> beforeQueryStatus;  // may throw, for unexpected failures
  FaultCountdown* countdown = nullptr;      // its due call fails with kInjectedCode

  std::vector<std::string> calls, faults;
  std::size_t OpenHandles() const { return handles_.size(); }

  ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override {
    if (machine || database) faults.push_back("OpenSCManagerA names a machine or database");
    const auto code = Refusal("OpenSCManagerA " + std::to_string(access), 0, 0, openManagerError);
    return Result(code) ? NewHandle(0, access) : 0;
  }
  ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) override {
    const auto code = Refusal("OpenServiceA " + std::string(name) + " " + std::to_string(access), manager, 0,
                              openServiceError ? openServiceError : installed ? 0 : kErrorNoSuchService);
    return Result(code) ? NewHandle(manager, access) : 0;
  }
  bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) override {
    const auto code = Refusal("QueryServiceStatus", service, kServiceQueryStatusAccess,
                              queryStatusFails ? kErrorAccessDenied : 0);
    if (beforeQueryStatus) beforeQueryStatus();
    if (code) return Result(code);
    *status = ServiceStatusRecord{.dwCurrentState = state};
    return Result(0);
  }
  // Writes all size bytes, so a buffer smaller than its stated size shows under the sanitizer.
  bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size, std::uint32_t* needed) override {
    std::memset(buffer, 0x5A, size);
    const std::size_t call = configCalls_++;
    if (const auto code = Refusal("QueryServiceConfigA " + std::to_string(size), service, kServiceQueryConfigAccess,
                                  call < configErrors.size() ? configErrors[call] : 0)) {
      return Result(code);
    }
    const auto texts = registration.binaryPath.size() + registration.displayName.size() + 16;
    const auto wanted = configNeeded ? configNeeded : kServiceConfigRecordSize + static_cast<std::uint32_t>(texts);
    if (size >= wanted) return Result(0);
    *needed = wanted;
    return Result(kErrorBufferTooSmall);
  }
  bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) override {
    const auto wrongState = state == kStopped ? kErrorServiceNotRunning : state == kStopPending ? kErrorServiceBusy : 0;
    const auto call = "ControlService " + std::to_string(control);
    if (!Result(Refusal(call, service, kServiceStopAccess, controlError ? controlError : wrongState))) return false;
    Stopped();
    if (status) status->dwCurrentState = state;
    return Result(0);
  }
  bool DeleteService(ScHandle service) override {
    if (const auto code = Refusal("DeleteService", service, kServiceDeleteAccess, deleteError)) return Result(code);
    if (marked) return Result(kErrorServiceMarkedForDeletion);
    marked = true;
    if (state == kStopped) Stopped();
    return Result(0);
  }
  bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) override {
    const auto code = Refusal("StartServiceA " + std::to_string(argc) + (argv ? " with arguments" : ""), service,
                              kServiceStartAccess, startError);
    if (code || marked || state != kStopped) {
      return Result(code ? code : marked ? kErrorServiceMarkedForDeletion : kErrorServiceRunning);
    }
    state = kRunning;
    return Result(0);
  }
  bool CloseServiceHandle(ScHandle handle) override {
    const auto found = handles_.find(handle);
    if (found == handles_.end()) return faults.push_back("closed a handle that is not open"), Result(kErrorBadHandle);
    const bool isManager = found->second.manager == 0;
    calls.push_back(isManager ? "Close manager" : "Close service");
    for (const auto& [other, entry] : handles_) {
      if (isManager && entry.manager == handle) faults.push_back("manager closed before a service opened through it");
    }
    handles_.erase(found);
    return Result(0);
  }
  std::uint32_t GetLastError() override { return lastError_; }
  bool ReadServiceRegistration(ScHandle service, ServiceRegistration* out) override {
    if (auto code = Refusal("ReadServiceRegistration", service, kServiceQueryConfigAccess, 0)) return Result(code);
    *out = registration;
    return Result(0);
  }
  bool RegisterService(ScHandle manager, const char* name, const ServiceRegistration& wanted) override {
    if (const auto code = Refusal(std::string("RegisterService ") + name, manager, 0, 0)) return Result(code);
    if (installed) return Result(marked ? kErrorServiceMarkedForDeletion : kErrorServiceExists);
    installed = true, state = kStopped, registration = wanted;
    return Result(0);
  }

 private:
  static constexpr std::uint32_t kStopped = 1, kStopPending = 3, kRunning = 4;
  static constexpr std::uint32_t kErrorBadHandle = 6, kErrorServiceBusy = 1061, kErrorServiceExists = 1073;
  struct Handle {
    ScHandle manager = 0;  // for a service handle, the manager handle it came from
    std::uint32_t access = 0;
  };
  bool Result(std::uint32_t code) { return (lastError_ = code) == 0; }
  // Records the call; the code it fails with before acting (injected, bad handle, access, scripted), or 0.
  std::uint32_t Refusal(const std::string& call, ScHandle handle, std::uint32_t access, std::uint32_t scripted) {
    calls.push_back(call);
    const std::string name = call.substr(0, call.find(' '));
    if (FaultDue(countdown, "scm " + name)) return kInjectedCode;
    if (name == "OpenSCManagerA") return scripted;
    const auto found = handles_.find(handle);
    const bool onManager = name == "OpenServiceA" || name == "RegisterService";
    if (found == handles_.end() || (found->second.manager == 0) != onManager) {
      return faults.push_back(name + " on a bad handle"), kErrorBadHandle;
    }
    return (found->second.access & access) != access ? kErrorAccessDenied : scripted;
  }
  ScHandle NewHandle(ScHandle manager, std::uint32_t access) {
    handles_[next_] = Handle{manager, access};
    return next_++;
  }
  void Stopped() {
    state = kStopped;
    if (marked) installed = marked = false;
  }

  std::map<ScHandle, Handle> handles_;
  ScHandle next_ = 0x100;
  std::size_t configCalls_ = 0;
  std::uint32_t lastError_ = 0;
};

struct FakeProcess {
  std::uint32_t pid = 0;
  std::string path;      // what the module path query and the snapshot report
  bool openable = true;  // false: another account's process
  bool modulesListable = true;
};

// A scripted process list with handle accounting for both roads of the console check.
class FakeProcessList : public ProcessList {
 public:
  std::uint32_t platformId = kPlatformNt;
  bool versionFails = false, snapshotFails = false;
  bool enumFails = false;  // EnumProcesses writes nothing and leaves the count as it was
  std::vector<FakeProcess> processes;
  FaultCountdown* countdown = nullptr;

  std::vector<std::uint32_t> enumSizes;  // the buffer size of each EnumProcesses call
  std::vector<std::uint32_t> opened;     // the ids OpenProcess was asked for
  std::size_t OpenHandles() const { return handles_.size(); }

  bool GetVersionExA(VersionInfoRecord* info) override {
    if (Due("GetVersionExA") || versionFails || info->dwOSVersionInfoSize != sizeof(VersionInfoRecord)) return false;
    info->dwPlatformId = platformId;
    return true;
  }
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) override {
    enumSizes.push_back(cb);
    if (Due("EnumProcesses") || enumFails) return false;
    const std::size_t fit = std::min<std::size_t>(processes.size(), cb / 4);
    for (std::size_t i = 0; i < fit; ++i) ids[i] = processes[i].pid;
    *returned = static_cast<std::uint32_t>(fit * 4);
    return true;
  }
  ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override {
    opened.push_back(pid);
    if (Due("OpenProcess") || access != kProcessQueryAndReadAccess || inherit) return 0;
    for (std::size_t i = 0; i < processes.size(); ++i) {
      if (processes[i].pid == pid && pid != 0 && processes[i].openable) return *handles_.insert(kHandleBase + i).first;
    }
    return 0;
  }
  // Lists two modules, so only the first one may be taken for the executable.
  bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb, std::uint32_t* needed) override {
    const FakeProcess* found = ProcessOf(process);
    if (Due("EnumProcessModules") || !found || !found->modulesListable || cb < 2 * sizeof(ModHandle)) return false;
    modules[0] = kModuleBase + found->pid, modules[1] = kModuleBase;
    *needed = 2 * sizeof(ModHandle);
    return true;
  }
  std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer, std::uint32_t size) override {
    const FakeProcess* found = ProcessOf(process);
    const bool ok = found && module == kModuleBase + found->pid && !Due("GetModuleFileNameExA");
    return ok ? CopyTerminated(found->path, buffer, size) : 0;
  }
  bool CloseHandle(ProcHandle handle) override { return handles_.erase(handle) > 0; }
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) override {
    const bool ok = !snapshotFails && !Due("CreateToolhelp32Snapshot") && flags == kSnapshotProcesses && pid == 0;
    return ok ? *handles_.insert(kSnapshot).first : 0;
  }
  bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) override {
    next_ = 0;
    return !Due("Process32First") && Process32Next(snapshot, entry);
  }
  bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) override {
    const bool ok = handles_.count(snapshot) && snapshot == kSnapshot && entry->dwSize == sizeof(ProcessEntryRecord);
    if (!ok || Due("Process32Next") || next_ >= processes.size()) return false;
    const FakeProcess& process = processes[next_++];
    entry->th32ProcessID = process.pid;
    CopyTerminated(process.path, entry->szExeFile, sizeof entry->szExeFile);
    return true;
  }

 private:
  bool Due(const char* call) { return FaultDue(countdown, call); }
  // A process handle is its index plus kHandleBase, so it cannot be taken for an id.
  static constexpr ProcHandle kHandleBase = 0x10000, kSnapshot = 0x9000;
  static constexpr ModHandle kModuleBase = 0x400000;
  const FakeProcess* ProcessOf(ProcHandle handle) {
    return handles_.count(handle) && handle >= kHandleBase ? &processes[handle - kHandleBase] : nullptr;
  }
  // Like the platform, writes the text and its NUL and leaves the rest of the buffer as it was.
  static std::uint32_t CopyTerminated(const std::string& text, char* buffer, std::size_t size) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<std::uint32_t>(length);
  }

  std::set<ProcHandle> handles_;
  std::size_t next_ = 0;
};

// Records launches and starts nothing; with registersWith, the installer's launch registers the service.
struct RecordingLauncher : Launcher {
  struct Program {
    std::string command;
    int windowStyle;
  };
  std::uint32_t pid = 4711;  // what StartProgram yields; 0 for a failed start
  bool shellExecuteResult = true;
  FakeServiceManager* registersWith = nullptr;
  std::uint32_t registeredState = 1;  // the state the installer leaves the new service in
  FaultCountdown* countdown = nullptr;
  std::vector<Program> programs;

  bool ShellExecuteExA(const ShellExecuteInfo&) override {
    if (!shellExecuteResult || FaultDue(countdown, "ShellExecuteExA")) return false;
    if (FakeServiceManager* m = registersWith) {
      // A service that was stopping has gone by the time the installer registers.
      if (m->state == 3) m->state = 1;
      if (m->marked) m->installed = m->marked = false;
      if (!m->installed) m->installed = true, m->state = registeredState;
    }
    return true;
  }
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override {
    programs.push_back({command, windowStyle});
    return FaultDue(countdown, "StartProgram") ? 0 : pid;
  }
};

struct TestPlatform {
  FakeSystem system;
  NativeFiles files;
  FakeClock clock;
  ScriptedToolkit ui;
  std::vector<std::string> logLines;
  Transcript log{[this](const std::string& line) { logLines.push_back(line); }};
  NativeDatabase db;
  FakeServiceManager scm;
  FakeProcessList processes;
  RecordingLauncher launcher;
  FakeIpInfo ip;
  Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};

  // The same platform with other files, or another process list.
  Platform WithFiles(Files& other) { return {system, other, clock, ui, log, db, scm, processes, launcher, ip}; }
  Platform With(ProcessList& other) { return {system, files, clock, ui, log, db, scm, other, launcher, ip}; }
  // The nominal milliseconds of every Pause so far, in order.
  std::vector<long> Pauses() const;
};

}  // namespace vsu::test
