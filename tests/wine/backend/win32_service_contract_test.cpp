// The service manager port against Wine's real Service Control Manager, with
// the service double beside this test as the service: the codes the program's
// messages show are the platform's own, the same the Linux stand-in gives.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"

namespace vsu::win32 {
namespace {

class ServiceContract : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = "VelaScanUpg contract " + std::to_string(GetCurrentProcessId());
    const std::string binary = "\"" + Win32System().OwnDirectory() + "\\VelaScanSrv.exe\"";
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = ::CreateServiceA(manager, name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                         binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << ::GetLastError();
    ::CloseServiceHandle(service);
    ::CloseServiceHandle(manager);
    manager_ = scm_.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess);
    ASSERT_NE(manager_, 0u);
  }

  void TearDown() override {
    if (const ScHandle service = scm_.OpenServiceA(manager_, name_.c_str(), kServiceAllAccess)) {
      ServiceStatusRecord status;
      scm_.ControlService(service, kStopControl, &status);
      scm_.DeleteService(service);
      scm_.CloseServiceHandle(service);
    }
    scm_.CloseServiceHandle(manager_);
  }

  ScHandle Open(std::uint32_t access) { return scm_.OpenServiceA(manager_, name_.c_str(), access); }

  std::uint32_t State(ScHandle service) {
    ServiceStatusRecord status;
    return scm_.QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
  }

  bool WaitForState(ScHandle service, std::uint32_t state) {
    for (int i = 0; i < 100; ++i) {
      if (State(service) == state) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  Win32ServiceManager scm_;
  ScHandle manager_ = 0;
  std::string name_;
};

TEST_F(ServiceContract, StartStopAndTheCodesOfRefusals) {
  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u);
  EXPECT_EQ(State(service), 1u);

  ServiceStatusRecord status;
  EXPECT_FALSE(scm_.ControlService(service, kStopControl, &status));
  EXPECT_EQ(scm_.GetLastError(), kErrorServiceNotRunning);

  ASSERT_TRUE(scm_.StartServiceA(service, 0, nullptr)) << scm_.GetLastError();
  ASSERT_TRUE(WaitForState(service, 4));
  EXPECT_FALSE(scm_.StartServiceA(service, 0, nullptr));
  EXPECT_EQ(scm_.GetLastError(), kErrorServiceRunning);

  EXPECT_TRUE(scm_.ControlService(service, kStopControl, &status));
  EXPECT_TRUE(WaitForState(service, 1));
  EXPECT_TRUE(scm_.CloseServiceHandle(service));
}

TEST_F(ServiceContract, ARunningServiceIsMarkedForDeletionAndGoesWhenStopped) {
  ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u);
  ASSERT_TRUE(scm_.StartServiceA(service, 0, nullptr));
  ASSERT_TRUE(WaitForState(service, 4));

  ServiceStatusRecord status;
  EXPECT_TRUE(scm_.ControlService(service, kStopControl, &status));
  EXPECT_TRUE(scm_.DeleteService(service));
  EXPECT_FALSE(scm_.DeleteService(service));
  EXPECT_EQ(scm_.GetLastError(), kErrorServiceMarkedForDeletion);
  EXPECT_TRUE(WaitForState(service, 1));
  scm_.CloseServiceHandle(service);

  // Gone once stopped and no handle is left.
  bool gone = false;
  for (int i = 0; i < 50 && !gone; ++i) {
    service = Open(kServiceQueryStatusAccess);
    gone = service == 0 && scm_.GetLastError() == kErrorNoSuchService;
    if (service) scm_.CloseServiceHandle(service);
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(gone);
}

}  // namespace
}  // namespace vsu::win32
