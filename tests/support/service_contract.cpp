#include "support/service_contract.h"

namespace vsu::test {
namespace {

constexpr std::uint32_t kStopped = 1, kRunning = 4;

// A service missing, then access as opened, room for the configuration, the wrong state refused, deletion when stopped.
TEST_P(ServiceContract, AnswersThroughAServicesLife) {
  EXPECT_EQ(Refusal(Open(kServiceQueryStatusAccess) != 0), kErrorNoSuchService);
  backend_->Register();
  const ScHandle limited = Open(kServiceQueryStatusAccess | kServiceQueryConfigAccess);
  ASSERT_NE(limited, 0u) << scm_->GetLastError();
  ServiceStatusRecord status{};
  EXPECT_EQ(Refusal(scm_->ControlService(limited, kStopControl, &status)), kErrorAccessDenied);
  EXPECT_EQ(Refusal(scm_->StartServiceA(limited, 0, nullptr)), kErrorAccessDenied);
  std::vector<std::uint64_t> buffer(kServiceConfigRecordSize / 8 + 1);
  std::uint32_t needed = 0;
  EXPECT_EQ(Refusal(scm_->QueryServiceConfigA(limited, buffer.data(), kServiceConfigRecordSize, &needed)),
            kErrorBufferTooSmall);
  ASSERT_GT(needed, kServiceConfigRecordSize);
  buffer.resize(needed / 8 + 1);
  EXPECT_EQ(Refusal(scm_->QueryServiceConfigA(limited, buffer.data(), needed, &needed)), 0u);
  EXPECT_TRUE(scm_->CloseServiceHandle(limited));

  const ScHandle service = Open(kServiceAllAccess);
  ASSERT_NE(service, 0u) << scm_->GetLastError();
  EXPECT_EQ(State(), kStopped);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), kErrorServiceNotRunning);
  ASSERT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), 0u);
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), kErrorServiceRunning);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), 0u);
  ASSERT_TRUE(Reaches(kStopped));
  ASSERT_EQ(Refusal(scm_->StartServiceA(service, 0, nullptr)), 0u);
  ASSERT_TRUE(Reaches(kRunning));
  EXPECT_TRUE(scm_->DeleteService(service));
  EXPECT_EQ(Refusal(scm_->DeleteService(service)), kErrorServiceMarkedForDeletion);
  EXPECT_EQ(Refusal(scm_->ControlService(service, kStopControl, &status)), 0u);
  EXPECT_TRUE(scm_->CloseServiceHandle(service));
  EXPECT_TRUE(Reaches(0));
  EXPECT_EQ(Refusal(Open(kServiceQueryStatusAccess) != 0), kErrorNoSuchService);
}

}  // namespace
}  // namespace vsu::test
