#pragma once
// A scripted service manager that keeps account of its handles: every call is
// recorded, and closing a handle twice, closing one it never gave out, or
// closing the manager while a service opened through it is still open is
// recorded as a fault. Each successful call clears the last error, so a code
// read too late reads 0.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/service_manager.h"

namespace vsu::test {

class FakeServiceManager : public ServiceManager {
 public:
  // The script; 0 codes mean success.
  std::uint32_t openManagerError = 0;
  std::uint32_t openServiceError = 0;  // e.g. 1060 when the service is not installed
  std::uint32_t state = 1;
  bool queryStatusFails = false;
  std::uint32_t configNeeded = 36;     // bytes the configuration takes
  // Failures of the configuration query other than 122: the k-th entry for the k-th call.
  std::vector<std::uint32_t> configErrors;
  std::uint32_t controlError = 0;
  std::uint32_t deleteError = 0;
  std::uint32_t startError = 0;
  std::function<void()> beforeQueryStatus;  // may throw, for unexpected failures

  // What happened.
  std::vector<std::string> calls;
  std::vector<std::string> faults;
  std::size_t OpenHandles() const { return handles_.size(); }

  // Fails with openManagerError; naming a machine or database is a fault.
  ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override;
  // Fails with openServiceError; the handle remembers the manager it came through.
  ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) override;
  // Reports state, or fails with 5 when queryStatusFails.
  bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) override;
  // Writes all size bytes; fails with 122 below configNeeded.
  bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size, std::uint32_t* needed) override;
  // Each fails with its scripted code.
  bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) override;
  bool DeleteService(ScHandle service) override;
  bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) override;
  // Records "Close manager" or "Close service"; see the faults above.
  bool CloseServiceHandle(ScHandle handle) override;
  std::uint32_t GetLastError() override { return lastError_; }
  bool ReadServiceRegistration(ScHandle, ServiceRegistration* registration) override {
    calls.push_back("ReadServiceRegistration");
    *registration = {};
    return Result(0);
  }
  bool RegisterService(ScHandle, const char* name, const ServiceRegistration&) override {
    calls.push_back(std::string("RegisterService ") + name);
    return Result(0);
  }

 private:
  struct Handle {
    ScHandle manager = 0;  // for a service handle, the manager handle it came from
  };
  bool Result(std::uint32_t code);
  void CheckService(ScHandle service, const char* call);

  std::map<ScHandle, Handle> handles_;
  ScHandle next_ = 0x100;
  std::size_t configCalls_ = 0;
  std::uint32_t lastError_ = 0;
};

}  // namespace vsu::test
