#pragma once
// What every service manager (the fake, the Linux stand-in, Windows' own) must answer alike.

#include "platform/service_manager.h"
#include "support/testing.h"

namespace vsu::test {

struct ServiceBackend {
  virtual ~ServiceBackend() = default;
  virtual ServiceManager& Manager() = 0;
  // Registers the service Name(), stopped; started, it runs until it is stopped.
  virtual void Register() = 0;
  // A name of this test's own, so that runs side by side never meet.
  virtual std::string Name() = 0;
};

struct ServiceBackendMaker {
  const char* name;
  std::function<std::unique_ptr<ServiceBackend>()> make;
};

struct ServiceContract : ::testing::TestWithParam<ServiceBackendMaker> {
  void SetUp() override {
    backend_ = GetParam().make(), scm_ = &backend_->Manager();
    manager_ = scm_->OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess);
    ASSERT_NE(manager_, 0u) << scm_->GetLastError();
  }
  void TearDown() override {
    if (const ScHandle service = Open(kServiceAllAccess)) {
      ServiceStatusRecord status{};
      scm_->ControlService(service, kStopControl, &status), scm_->DeleteService(service);
      scm_->CloseServiceHandle(service);
    }
    if (manager_) scm_->CloseServiceHandle(manager_);
  }
  // Opens the service with access; 0 and the code when the manager refuses.
  ScHandle Open(std::uint32_t access) { return scm_->OpenServiceA(manager_, backend_->Name().c_str(), access); }
  // The code a call that answered ok failed with, 0 when it succeeded.
  std::uint32_t Refusal(bool ok) { return ok ? 0 : scm_->GetLastError(); }
  // The service's state, 0 when it cannot be read.
  std::uint32_t State() {
    const ScHandle service = Open(kServiceQueryStatusAccess);
    ServiceStatusRecord status{};
    const bool read = service && scm_->QueryServiceStatus(service, &status);
    if (service) scm_->CloseServiceHandle(service);
    return read ? status.dwCurrentState : 0;
  }
  // Waits, ten seconds at most, until the service's state is state.
  bool Reaches(std::uint32_t state) { return WaitFor([&] { return State() == state; }); }

  std::unique_ptr<ServiceBackend> backend_;
  ServiceManager* scm_ = nullptr;
  ScHandle manager_ = 0;
};

}  // namespace vsu::test
