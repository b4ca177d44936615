#include "support/service_contract.h"

namespace vsu::test {
namespace {

constexpr std::uint32_t kStopped = 1, kRunning = 4;

// A service missing, then access as opened, room for the configuration, the wrong state refused, deletion when stopped.
TEST_P(ServiceContract, AnswersThroughAServicesLife) {
  EXPECT_EQ(Open(kServiceQueryStatusAccess), 0u);
  EXPECT_EQ(scm_->GetLastError(), kErrorNoSuchService);
  backend_->Register();
  const ScHandle limited = Open(kServiceQueryStatusAccess | kServiceQueryConfigAccess);
  ASSERT_NE(limited, 0u) << scm_->GetLastError();
  ServiceStatusRecord status{};
  EXPECT_FALSE(scm_->ControlService(limited, kStopControl, &status));
  EXPECT_EQ(scm_->GetLastError(), kErrorAccessDenied);
  EXPECT_FALSE(scm_->StartServiceA(limited, 0, nullptr));
  EXPECT_EQ(scm_->GetLastError(), kErrorAccessDenied);
  std::vector<std::uint64_t> buffer(kServiceConfigRecordSize / 8 + 1);
  std::uint32_t needed = 0;
  EXPECT_FALSE(scm_->QueryServiceConfigA(limited, buffer.data(), kServiceConfigRecordSize, &needed));
  EXPECT_EQ(scm_->GetLastError(), kErrorBufferTooSmall);
  ASSERT_GT(needed, kServiceConfigRecordSize);
  buffer.resize(needed / 8 + 1);
  EXPECT_TRUE(scm_->QueryServiceConfigA(limited, buffer.data(), needed, &needed));
  EXPECT_TRUE(scm_->CloseServiceHandle(limited));

  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u) << scm_->GetLastError();
  EXPECT_EQ(State(), kStopped);
  EXPECT_FALSE(scm_->ControlService(service, kStopControl, &status));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceNotRunning);
  ASSERT_TRUE(scm_->StartServiceA(service, 0, nullptr)) << scm_->GetLastError();
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_FALSE(scm_->StartServiceA(service, 0, nullptr));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceRunning);
  EXPECT_TRUE(scm_->ControlService(service, kStopControl, &status)) << scm_->GetLastError();
  ASSERT_TRUE(Reaches(kStopped));
  ASSERT_TRUE(scm_->StartServiceA(service, 0, nullptr)) << scm_->GetLastError();
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_TRUE(scm_->DeleteService(service));
  EXPECT_FALSE(scm_->DeleteService(service));
  EXPECT_EQ(scm_->GetLastError(), kErrorServiceMarkedForDeletion);
  EXPECT_TRUE(scm_->ControlService(service, kStopControl, &status));
  EXPECT_TRUE(scm_->CloseServiceHandle(service));
  EXPECT_TRUE(Reaches(0));
  EXPECT_EQ(Open(kServiceQueryStatusAccess), 0u);
  EXPECT_EQ(scm_->GetLastError(), kErrorNoSuchService);
}

}  // namespace
}  // namespace vsu::test
