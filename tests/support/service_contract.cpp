#include "support/service_contract.h"

#include <chrono>
#include <thread>
#include <vector>

namespace vsu::test {

void ServiceContract::SetUp() {
  backend_ = GetParam().make();
  scm_ = &backend_->Manager();
  manager_ = scm_->OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess);
  ASSERT_NE(manager_, 0u) << scm_->GetLastError();
}

void ServiceContract::TearDown() {
  ServiceStatusRecord status{};
  if (const ScHandle service = Open(kServiceAllAccess)) {
    scm_->ControlService(service, kStopControl, &status), scm_->DeleteService(service);
    scm_->CloseServiceHandle(service);
  }
  if (manager_) scm_->CloseServiceHandle(manager_);
}

ScHandle ServiceContract::Open(std::uint32_t access) {
  return scm_->OpenServiceA(manager_, backend_->Name().c_str(), access);
}

std::uint32_t ServiceContract::State() {
  const ScHandle service = Open(kServiceQueryStatusAccess);
  ServiceStatusRecord status{};
  const bool read = service && scm_->QueryServiceStatus(service, &status);
  if (service) scm_->CloseServiceHandle(service);
  return read ? status.dwCurrentState : 0;
}

bool ServiceContract::Reaches(std::uint32_t state) {
  for (int i = 0; i < 500 && State() != state; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return State() == state;
}

namespace {

constexpr std::uint32_t kStopped = 1, kRunning = 4;

TEST_P(ServiceContract, AServiceThatDoesNotExistCannotBeOpened) {
  EXPECT_EQ(Open(kServiceQueryStatusAccess), 0u);
  EXPECT_EQ(scm_->GetLastError(), kErrorNoSuchService);
}

TEST_P(ServiceContract, StartsAndStopsWithTheRefusalsOfTheWrongState) {
  backend_->Register();
  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u) << scm_->GetLastError();
  EXPECT_EQ(State(), kStopped);
  ServiceStatusRecord status{};
  EXPECT_FALSE(scm_->ControlService(service, kStopControl, &status));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceNotRunning);
  ASSERT_TRUE(scm_->StartServiceA(service, 0, nullptr)) << scm_->GetLastError();
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_FALSE(scm_->StartServiceA(service, 0, nullptr));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceRunning);
  EXPECT_TRUE(scm_->ControlService(service, kStopControl, &status)) << scm_->GetLastError();
  EXPECT_TRUE(Reaches(kStopped));
  EXPECT_TRUE(scm_->CloseServiceHandle(service));
}

// Deleting a running service only marks it; it goes once it has stopped.
TEST_P(ServiceContract, ARunningServiceIsMarkedForDeletionAndGoesWhenStopped) {
  backend_->Register();
  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u);
  ASSERT_TRUE(scm_->StartServiceA(service, 0, nullptr));
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_TRUE(scm_->DeleteService(service));
  EXPECT_FALSE(scm_->DeleteService(service));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceMarkedForDeletion);
  ServiceStatusRecord status{};
  EXPECT_TRUE(scm_->ControlService(service, kStopControl, &status));
  scm_->CloseServiceHandle(service);
  EXPECT_TRUE(Reaches(0));
  EXPECT_EQ(Open(kServiceQueryStatusAccess), 0u);
  EXPECT_EQ(scm_->GetLastError(), kErrorNoSuchService);
}

// A handle grants what it was opened with, no more; the configuration needs room behind the record.
TEST_P(ServiceContract, AHandleGrantsItsAccessAndTheConfigurationNeedsRoom) {
  backend_->Register();
  const ScHandle service = Open(kServiceQueryStatusAccess | kServiceQueryConfigAccess);
  ASSERT_NE(service, 0u);
  ServiceStatusRecord status{};
  EXPECT_FALSE(scm_->ControlService(service, kStopControl, &status));
  EXPECT_EQ(scm_->GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(scm_->StartServiceA(service, 0, nullptr));
  EXPECT_EQ(scm_->GetLastError(), kErrorAccessDenied);
  std::vector<std::uint64_t> buffer(kServiceConfigRecordSize / 8 + 1);
  std::uint32_t needed = 0;
  EXPECT_FALSE(scm_->QueryServiceConfigA(service, buffer.data(), kServiceConfigRecordSize, &needed));
  EXPECT_EQ(scm_->GetLastError(), kErrorBufferTooSmall);
  ASSERT_GT(needed, kServiceConfigRecordSize);
  buffer.resize(needed / 8 + 1);
  EXPECT_TRUE(scm_->QueryServiceConfigA(service, buffer.data(), needed, &needed));
  EXPECT_TRUE(scm_->CloseServiceHandle(service));
}

}  // namespace
}  // namespace vsu::test
