#include "platform/posix/posix_service_manager.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/posix/errors.h"
#include "platform/posix/proc_fs.h"
#include "platform/posix/spawn.h"

namespace vsu::posix {
namespace {

constexpr std::uint32_t SERVICE_WIN32_OWN_PROCESS = 0x10;
constexpr std::uint32_t SERVICE_AUTO_START = 2;
constexpr std::uint32_t SERVICE_ERROR_NORMAL = 1;
constexpr std::uint32_t SERVICE_ACCEPT_STOP = 1;
constexpr std::uint32_t SERVICE_STOPPED = 1;
constexpr std::uint32_t SERVICE_STOP_PENDING = 3;
constexpr std::uint32_t SERVICE_RUNNING = 4;

// The configuration record followed by its texts, as QueryServiceConfigA hands it out.
std::string ConfigBuffer(const ServiceRecord& record) {
  ServiceConfigRecord config{};
  config.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  config.dwStartType = SERVICE_AUTO_START;
  config.dwErrorControl = SERVICE_ERROR_NORMAL;
  std::string texts;
  const auto put = [&](const std::string& text) {
    const auto offset = static_cast<std::uint32_t>(sizeof config + texts.size());
    texts += text;
    texts += '\0';
    return offset;
  };
  config.lpBinaryPathName = put(record.binary);
  config.lpLoadOrderGroup = put("");
  config.lpDependencies = put(std::string(1, '\0'));  // an empty list ends with two NULs
  config.lpServiceStartName = put("LocalSystem");
  config.lpDisplayName = put(record.name);
  return std::string(reinterpret_cast<const char*>(&config), sizeof config) + texts;
}

// The status the manager reports: a process that was asked to stop is stop
// pending until it has ended, and a state set for tests wins over both.
ServiceStatusRecord StatusOf(const ServiceRecord& record) {
  ServiceStatusRecord status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  std::uint32_t actual = SERVICE_STOPPED;
  if (record.pid != 0) actual = record.stopping ? SERVICE_STOP_PENDING : SERVICE_RUNNING;
  status.dwCurrentState = record.forcedState != 0 ? static_cast<std::uint32_t>(record.forcedState) : actual;
  status.dwControlsAccepted = actual == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  return status;
}

// The operation whose denial an open with exactly this access meets at once.
const char* OperationOfAccess(std::uint32_t access) {
  switch (access) {
    case kServiceQueryStatusAccess: return "query";
    case kServiceQueryConfigAccess: return "config";
    case kServiceStopAccess: return "stop";
    case kServiceDeleteAccess: return "delete";
    case kServiceStartAccess: return "start";
    default: return nullptr;
  }
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

}  // namespace

bool IsDeniableOperation(const std::string& operation) {
  static const char* const kOperations[] = {"query", "config", "stop", "delete", "start"};
  return std::any_of(std::begin(kOperations), std::end(kOperations),
                     [&](const char* known) { return operation == known; });
}

std::string ServiceDatabaseDirectory() {
  if (const char* dir = std::getenv("VELASCANUPG_SCM"); dir && *dir) return dir;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
    return std::string(state) + "/velascanupg/scm";
  }
  return HomeDirectory() + "/.local/state/velascanupg/scm";
}

PosixServiceManager::PosixServiceManager(std::string directory, AwaitedProcesses* awaited)
    : directory_(std::move(directory)), awaited_(awaited) {}

PosixServiceManager::~PosixServiceManager() = default;

template <typename Body>
std::uint32_t PosixServiceManager::WithStore(Body body) {
  try {
    if (!store_) store_ = std::make_unique<ServiceStore>(directory_);
    ServiceStore::Transaction transaction(*store_);
    const std::uint32_t code = body(*store_);
    // Committed on failures too: looking a service up may have tidied the database.
    transaction.Commit();
    return code;
  } catch (const StoreError& error) {
    return error.code;
  }
}

template <typename Body>
bool PosixServiceManager::OnService(ScHandle handle, std::uint32_t access, const char* operation, Body body) {
  const auto found = handles_.find(handle);
  if (found == handles_.end() || !found->second.isService) return Fail(kErrorBadHandle);
  if ((found->second.access & access) != access) return Fail(kErrorAccessDenied);
  const std::string name = found->second.name;
  const std::uint32_t code = WithStore([&](ServiceStore& store) -> std::uint32_t {
    auto record = store.Find(name);
    if (!record) return kErrorNoSuchService;
    if (store.IsDenied(name, operation)) return kErrorAccessDenied;
    return body(store, *record);
  });
  return code == 0 || Fail(code);
}

bool PosixServiceManager::Fail(std::uint32_t code) {
  lastError_ = code;
  return false;
}

ScHandle PosixServiceManager::OpenSCManagerA(const char*, const char*, std::uint32_t access) {
  if (const std::uint32_t code = WithStore([](ServiceStore&) { return std::uint32_t{0}; })) {
    Fail(code);
    return 0;
  }
  handles_[++lastHandle_] = Handle{false, {}, access};
  return lastHandle_;
}

ScHandle PosixServiceManager::OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) {
  const auto found = handles_.find(manager);
  std::string canonical;
  std::uint32_t code = 0;
  if (found == handles_.end() || found->second.isService) {
    code = kErrorBadHandle;
  } else if (!name || !*name) {
    code = kErrorBadName;
  } else {
    code = WithStore([&](ServiceStore& store) -> std::uint32_t {
      const auto record = store.Find(name);
      if (!record) return kErrorNoSuchService;
      const char* operation = OperationOfAccess(access);
      if (operation && store.IsDenied(record->name, operation)) return kErrorAccessDenied;
      canonical = record->name;
      return 0;
    });
  }
  if (code != 0) {
    Fail(code);
    return 0;
  }
  handles_[++lastHandle_] = Handle{true, canonical, access};
  return lastHandle_;
}

bool PosixServiceManager::QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) {
  return OnService(service, kServiceQueryStatusAccess, "query", [&](ServiceStore&, ServiceRecord& record) {
    *status = StatusOf(record);
    return std::uint32_t{0};
  });
}

bool PosixServiceManager::QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                              std::uint32_t* needed) {
  return OnService(service, kServiceQueryConfigAccess, "config", [&](ServiceStore&, ServiceRecord& record) {
    const std::string config = ConfigBuffer(record);
    if (size < config.size()) {
      *needed = static_cast<std::uint32_t>(config.size());
      return kErrorBufferTooSmall;
    }
    std::memcpy(buffer, config.data(), config.size());
    return std::uint32_t{0};
  });
}

bool PosixServiceManager::ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) {
  return OnService(service, kServiceStopAccess, "stop", [&](ServiceStore& store, ServiceRecord& record) {
    if (control != kStopControl) return kErrorBadControl;
    // A stop request ends any state set for tests, whether or not the service runs.
    record.forcedState = 0;
    store.Update(record);
    *status = StatusOf(record);
    if (record.pid == 0) return kErrorServiceNotRunning;
    if (record.stopping) {
      // Refused, but the caller wants it stopped too, so its waits last while it ends.
      if (awaited_) awaited_->Add(record.pid);
      return kErrorServiceBusy;
    }
    // As on Windows the request only asks: the process ends in its own time,
    // and the service is stop pending until it has.
    if (::kill(record.pid, SIGTERM) != 0 && errno != ESRCH) return Win32Code(errno);
    if (awaited_) awaited_->Add(record.pid);
    record.stopping = true;
    store.Update(record);
    *status = StatusOf(record);
    return std::uint32_t{0};
  });
}

bool PosixServiceManager::DeleteService(ScHandle service) {
  return OnService(service, kServiceDeleteAccess, "delete", [&](ServiceStore& store, ServiceRecord& record) {
    if (record.markedForDelete) return kErrorServiceMarkedForDeletion;
    if (record.pid == 0) {
      store.Remove(record.name);
    } else {
      record.markedForDelete = true;
      store.Update(record);
    }
    return std::uint32_t{0};
  });
}

// The service's process is recorded before it may run, so a caller killed in
// between leaves neither a service that runs unrecorded nor a record of one
// that never ran: the held process ends when nobody lets it go.
bool PosixServiceManager::StartServiceA(ScHandle service, std::uint32_t, const char**) {
  std::optional<HeldProgram> held;
  std::string name;
  const bool recorded = OnService(service, kServiceStartAccess, "start", [&](ServiceStore& store, ServiceRecord& record) {
    if (record.markedForDelete) return kErrorServiceMarkedForDeletion;
    if (record.pid != 0) return kErrorServiceRunning;
    record.forcedState = 0;
    held.emplace(SpawnHeld({record.binary, record.args, "/", {{kServiceNameVariable, record.name}}}));
    if (held->pid() != 0) {
      const auto stat = ReadProcessStat(held->pid());
      record.pid = held->pid();
      record.startTime = stat ? stat->startTime : 0;
    }
    store.Update(record);
    name = record.name;
    return held->pid() != 0 ? std::uint32_t{0} : Win32Code(held->error());
  });
  if (!recorded) return false;
  const SpawnResult started = held->Release();
  if (started.pid != 0) return true;
  // Its file could not be run: once the process is gone, it is recorded as stopped.
  for (int i = 0; i < 1000 && IsAlive(held->pid()); ++i) ::usleep(1000);
  WithStore([&](ServiceStore& store) {
    store.Find(name);
    return std::uint32_t{0};
  });
  return Fail(Win32Code(started.error));
}

bool PosixServiceManager::CloseServiceHandle(ScHandle handle) {
  return handles_.erase(handle) > 0 || Fail(kErrorBadHandle);
}

bool PosixServiceManager::ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) {
  return OnService(service, kServiceQueryConfigAccess, "config", [&](ServiceStore&, ServiceRecord& record) {
    *registration = ServiceRegistration{SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                        record.binary, record.name, ""};
    return std::uint32_t{0};
  });
}

bool PosixServiceManager::RegisterService(ScHandle manager, const char* name,
                                          const ServiceRegistration& registration) {
  const auto found = handles_.find(manager);
  if (found == handles_.end() || found->second.isService) return Fail(kErrorBadHandle);
  if ((found->second.access & kManagerCreateAccess) == 0) return Fail(kErrorAccessDenied);
  const std::uint32_t code = CreateService(name ? name : "", registration.binaryPath, {});
  return code == 0 || Fail(code);
}

std::uint32_t PosixServiceManager::CreateService(const std::string& name, const std::string& binary,
                                                 const std::vector<std::string>& args) {
  if (name.empty() || name.find_first_of("/\\") != std::string::npos) return kErrorBadName;
  if (binary.empty()) return kErrorBadArgument;
  ServiceRecord created{name, binary, args};
  // Services start in "/", so a relative program is made the creator's.
  if (binary.front() != '/') {
    char here[4096];
    if (!::getcwd(here, sizeof here)) return Win32Code(errno);
    created.binary = std::string(here) + "/" + binary;
  }
  return WithStore([&](ServiceStore& store) -> std::uint32_t {
    if (const auto existing = store.Find(name)) {
      return existing->markedForDelete ? kErrorServiceMarkedForDeletion : kErrorServiceExists;
    }
    store.Insert(created);
    return 0;
  });
}

std::uint32_t PosixServiceManager::Deny(const std::string& name, const std::string& operation, bool denied) {
  if (!IsDeniableOperation(operation)) return kErrorBadArgument;
  return WithStore([&](ServiceStore& store) {
    store.SetDenied(name, operation, denied);
    return std::uint32_t{0};
  });
}

std::uint32_t PosixServiceManager::SetState(const std::string& name, int state) {
  if (state < 1 || state > 7) return kErrorBadArgument;
  return WithStore([&](ServiceStore& store) -> std::uint32_t {
    auto record = store.Find(name);
    if (!record) return kErrorNoSuchService;
    record->forcedState = state;
    store.Update(*record);
    return 0;
  });
}

}  // namespace vsu::posix
