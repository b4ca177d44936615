#pragma once
// The Service Control Manager calls the program makes, with their Win32
// meanings: handles are 0 on failure, calls return false on failure, and
// GetLastError gives the code of the last failing call.

#include <cstdint>
#include <string>

namespace vsu {

using ScHandle = std::uintptr_t;

struct ServiceStatusRecord {
  std::uint32_t dwServiceType = 0;
  std::uint32_t dwCurrentState = 0;
  std::uint32_t dwControlsAccepted = 0;
  std::uint32_t dwWin32ExitCode = 0;
  std::uint32_t dwServiceSpecificExitCode = 0;
  std::uint32_t dwCheckPoint = 0;
  std::uint32_t dwWaitHint = 0;
};

// Size of the configuration record (QUERY_SERVICE_CONFIGA on 32-bit Windows);
// the configuration buffer is a whole number of these.
inline constexpr std::uint32_t kServiceConfigRecordSize = 36;

// The values of <windows.h>'s SC_MANAGER_CONNECT, SERVICE_QUERY_CONFIG,
// SERVICE_QUERY_STATUS, SERVICE_START, SERVICE_STOP, SERVICE_ALL_ACCESS and
// SERVICE_CONTROL_STOP, in names that header does not take for its macros.
inline constexpr std::uint32_t kManagerConnectAccess = 1;
inline constexpr std::uint32_t kServiceQueryConfigAccess = 1;
inline constexpr std::uint32_t kServiceQueryStatusAccess = 4;
inline constexpr std::uint32_t kServiceStartAccess = 16;
inline constexpr std::uint32_t kServiceStopAccess = 32;
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
inline constexpr std::uint32_t kStopControl = 1;

// What a service is registered with, in the manager's own terms.
struct ServiceRegistration {
  std::uint32_t serviceType = 0;
  std::uint32_t startType = 0;
  std::uint32_t errorControl = 0;
  std::string binaryPath;
  std::string displayName;
  std::string account;  // the account it runs as; empty for the local system
};

// The manager access that registering a service needs, and the service
// access that deleting one needs.
inline constexpr std::uint32_t kManagerCreateAccess = 2;
inline constexpr std::uint32_t kServiceDeleteAccess = 0x10000;

// Win32 error codes: ERROR_ACCESS_DENIED, ERROR_INSUFFICIENT_BUFFER,
// ERROR_SERVICE_ALREADY_RUNNING, ERROR_SERVICE_DOES_NOT_EXIST,
// ERROR_SERVICE_NOT_ACTIVE and ERROR_SERVICE_MARKED_FOR_DELETE.
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorBufferTooSmall = 122;
inline constexpr std::uint32_t kErrorServiceRunning = 1056;
inline constexpr std::uint32_t kErrorNoSuchService = 1060;
inline constexpr std::uint32_t kErrorServiceNotRunning = 1062;
inline constexpr std::uint32_t kErrorServiceMarkedForDeletion = 1072;

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  virtual ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) = 0;
  virtual ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) = 0;
  virtual bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) = 0;
  // buffer holds size bytes; when it is too small the call fails with 122 and
  // sets *needed.
  virtual bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                   std::uint32_t* needed) = 0;
  virtual bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) = 0;
  virtual bool DeleteService(ScHandle service) = 0;
  virtual bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) = 0;
  virtual bool CloseServiceHandle(ScHandle handle) = 0;
  virtual std::uint32_t GetLastError() = 0;
  // QueryServiceConfigA read into the program's terms, whatever the buffer's
  // layout on this platform; the service needs query-configuration access.
  virtual bool ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) = 0;
  // Registers a stopped service (CreateServiceA) through a manager handle
  // opened with kManagerCreateAccess.
  virtual bool RegisterService(ScHandle manager, const char* name, const ServiceRegistration& registration) = 0;
};

}  // namespace vsu
