#pragma once
// The service manager on Linux: services are kept in a database shared by all
// processes (see ServiceStore) and run as real processes, started detached and
// stopped by signal. Failures carry the Win32 codes the program expects:
// 1060 no such service, 1056 already running, 1062 not running, 1072 marked
// for deletion, 5 access denied, 122 buffer too small, 6 bad handle.
//
// A stop request signals the process (SIGTERM) and returns at once; the
// service is stop pending (3) until the process has ended, and a second stop
// request meanwhile fails with 1061. A service marked for deletion can still
// be opened, queried and stopped, as on Windows; deleting or starting it again
// fails with 1072. It disappears once its process has ended.
//
// The store is shared by every process that uses the manager; a call waits at
// most about 2 s for it and then fails with 1722, as a manager that cannot be
// reached does.
//
// Denials, for tests: a denied operation fails with 5 at the call that performs
// it, so an all-access open still succeeds and the other calls made through
// it still work; an open that asks for exactly that operation's access alone
// fails with 5 already, as Windows checks rights at the open, so a program can
// learn whether an operation would be allowed without making it. "query"
// denies QueryServiceStatus, "config" QueryServiceConfigA (and the
// registration read), "stop" ControlService, "delete" DeleteService, "start"
// StartServiceA.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/awaited_processes.h"
#include "platform/posix/service_store.h"
#include "platform/service_manager.h"

namespace vsu::posix {

// More Win32 codes: ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER,
// ERROR_INVALID_NAME, ERROR_INVALID_SERVICE_CONTROL,
// ERROR_SERVICE_CANNOT_ACCEPT_CTRL and ERROR_SERVICE_EXISTS.
inline constexpr std::uint32_t kErrorBadHandle = 6;
inline constexpr std::uint32_t kErrorBadArgument = 87;
inline constexpr std::uint32_t kErrorBadName = 123;
inline constexpr std::uint32_t kErrorBadControl = 1052;
inline constexpr std::uint32_t kErrorServiceBusy = 1061;
inline constexpr std::uint32_t kErrorServiceExists = 1073;

// A started service finds its own name in this variable, which is how a
// program tells that the manager started it.
inline constexpr const char* kServiceNameVariable = "VELASCANUPG_SERVICE";

// The configuration this manager writes: the 36-byte record, followed by its
// texts. The text fields hold the offset of their text from the start of the
// buffer, since a 32-bit field cannot hold a pointer here.
struct ServiceConfigRecord {
  std::uint32_t dwServiceType;
  std::uint32_t dwStartType;
  std::uint32_t dwErrorControl;
  std::uint32_t lpBinaryPathName;
  std::uint32_t lpLoadOrderGroup;
  std::uint32_t dwTagId;
  std::uint32_t lpDependencies;
  std::uint32_t lpServiceStartName;
  std::uint32_t lpDisplayName;
};
static_assert(sizeof(ServiceConfigRecord) == kServiceConfigRecordSize);

// The operations a denial can name: "query", "config", "stop", "delete", "start".
bool IsDeniableOperation(const std::string& operation);

// env VELASCANUPG_SCM, else $XDG_STATE_HOME/velascanupg/scm, else
// ~/.local/state/velascanupg/scm.
std::string ServiceDatabaseDirectory();

class PosixServiceManager : public ServiceManager {
 public:
  // The process of a service asked to stop is added to awaited when given.
  explicit PosixServiceManager(std::string directory = ServiceDatabaseDirectory(),
                               AwaitedProcesses* awaited = nullptr);
  ~PosixServiceManager() override;

  ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override;
  ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) override;
  bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) override;
  bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size, std::uint32_t* needed) override;
  // Asks the service's process to stop (SIGTERM) and returns at once.
  bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) override;
  bool DeleteService(ScHandle service) override;
  // Starts the registered program with its registered arguments.
  bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) override;
  bool CloseServiceHandle(ScHandle handle) override;
  std::uint32_t GetLastError() override { return lastError_; }
  bool ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) override;
  // Registers the binary path as the program, with no arguments.
  bool RegisterService(ScHandle manager, const char* name, const ServiceRegistration& registration) override;

  // What the program never does itself, for the command-line tool and the
  // service double: each returns 0 or a Win32 code.
  std::uint32_t CreateService(const std::string& name, const std::string& binary,
                              const std::vector<std::string>& args);
  std::uint32_t Deny(const std::string& name, const std::string& operation, bool denied);
  // The state reported until the service is next started or stopped.
  std::uint32_t SetState(const std::string& name, int state);

 private:
  struct Handle {
    bool isService = false;
    std::string name;
    std::uint32_t access = 0;
  };
  // Runs body with the store open; a StoreError becomes the call's code.
  template <typename Body>
  std::uint32_t WithStore(Body body);
  // The service behind handle, checked for access and denial, inside a transaction.
  template <typename Body>
  bool OnService(ScHandle handle, std::uint32_t access, const char* operation, Body body);
  bool Fail(std::uint32_t code);

  std::string directory_;
  AwaitedProcesses* awaited_;
  std::unique_ptr<ServiceStore> store_;
  std::map<ScHandle, Handle> handles_;
  ScHandle lastHandle_ = 0;
  std::uint32_t lastError_ = 0;
};

}  // namespace vsu::posix
