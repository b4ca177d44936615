// Wine's real Service Control Manager answers the contract, the service double beside this test as the service.

#include <windows.h>

#include <random>

#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"
#include "support/service_contract.h"

namespace vsu::test {
namespace {

class WindowsBackend : public ServiceBackend {
 public:
  ServiceManager& Manager() override { return scm_; }
  void Register() override {
    const ScHandle manager = scm_.OpenSCManagerA(nullptr, nullptr, kManagerCreateAccess);
    const std::string binary = "\"" + win32::Win32System().OwnDirectory() + "\\VelaScanSrv.exe\"";
    EXPECT_TRUE(scm_.RegisterService(
        manager, name_.c_str(), {SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binary, name_, ""}))
        << scm_.GetLastError();
    scm_.CloseServiceHandle(manager);
  }
  std::string Name() override { return name_; }

 private:
  win32::Win32ServiceManager scm_;
  // Wine reuses process ids, and a service left marked for deletion keeps its name.
  const std::string name_ = "VelaScanUpg contract " + std::to_string(std::random_device{}());
};

INSTANTIATE_TEST_SUITE_P(Wine, ServiceContract,
                         ::testing::Values(ServiceBackendMaker{"wine", [] { return std::make_unique<WindowsBackend>(); }}));

}  // namespace
}  // namespace vsu::test
