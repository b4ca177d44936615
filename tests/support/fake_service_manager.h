#pragma once
// An in-memory service manager held to the contract suite, with scripted failures; misuse is recorded in faults.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/service_manager.h"
#include "support/fault_countdown.h"

namespace vsu::test {

class FakeServiceManager : public ServiceManager {
 public:
  bool installed = true;
  std::uint32_t state = 1;
  bool marked = false;  // for deletion
  ServiceRegistration registration;

  // The script; a code other than 0 makes that call fail with it.
  std::uint32_t openManagerError = 0;
  std::uint32_t openServiceError = 0;
  bool queryStatusFails = false;       // fails with 5
  std::uint32_t configNeeded = 0;      // bytes the configuration takes; 0: the record and its texts
  std::vector<std::uint32_t> configErrors;  // the k-th entry fails the k-th configuration query
  std::uint32_t controlError = 0;
  std::uint32_t deleteError = 0;
  std::uint32_t startError = 0;
  std::function<void()> beforeQueryStatus;  // may throw, for unexpected failures
  FaultCountdown* countdown = nullptr;      // when set, its due call fails with kInjectedCode

  std::vector<std::string> calls;
  std::vector<std::string> faults;
  std::size_t OpenHandles() const { return handles_.size(); }

  ScHandle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override;
  ScHandle OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) override;
  bool QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) override;
  // Writes all size bytes, so a buffer smaller than its stated size shows under the sanitizer.
  bool QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size, std::uint32_t* needed) override;
  bool ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) override;
  bool DeleteService(ScHandle service) override;
  bool StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) override;
  bool CloseServiceHandle(ScHandle handle) override;
  std::uint32_t GetLastError() override { return lastError_; }
  bool ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) override;
  bool RegisterService(ScHandle manager, const char* name, const ServiceRegistration& registration) override;

 private:
  struct Handle {
    ScHandle manager = 0;  // for a service handle, the manager handle it came from
    std::uint32_t access = 0;
  };
  bool Result(std::uint32_t code) { return (lastError_ = code) == 0; }
  // Records the call; the code it fails with before acting (injected, bad handle, access, scripted), or 0.
  std::uint32_t Refusal(const std::string& call, ScHandle service, std::uint32_t access, std::uint32_t scripted);
  ScHandle NewHandle(ScHandle manager, std::uint32_t access);
  void Stopped();

  std::map<ScHandle, Handle> handles_;
  ScHandle next_ = 0x100;
  std::size_t configCalls_ = 0;
  std::uint32_t lastError_ = 0;
};

}  // namespace vsu::test
