#pragma once

#include "platform/service_manager.h"

namespace vsu::win32 {

// The Service Control Manager through advapi32, call for call; the handles are
// the SC_HANDLE values themselves.
class Win32ServiceManager : public ServiceManager {
 public:
  ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override;
  ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) override;
  bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) override;
  bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size, std::uint32_t* needed) override;
  bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) override;
  bool DeleteService(ScHandle service) override;
  bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) override;
  bool CloseServiceHandle(ScHandle handle) override;
  std::uint32_t GetLastError() override;
  bool ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) override;
  bool RegisterService(ScHandle manager, const char* name, const ServiceRegistration& registration) override;
};

}  // namespace vsu::win32
