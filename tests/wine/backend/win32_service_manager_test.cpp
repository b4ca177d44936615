#include <gtest/gtest.h>

#include "platform/win32/win32_service_manager.h"

namespace vsu::win32 {
namespace {

TEST(Win32ServiceManager, AMissingServiceIsRefusedWith1060) {
  Win32ServiceManager scm;
  const ScHandle manager = scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess);
  ASSERT_NE(manager, 0u);
  EXPECT_EQ(scm.OpenServiceA(manager, "Vela Scan test: no such service", kServiceQueryStatusAccess), 0u);
  EXPECT_EQ(scm.GetLastError(), kErrorNoSuchService);
  EXPECT_TRUE(scm.CloseServiceHandle(manager));
}

TEST(Win32ServiceManager, ConfigurationNeedsMoreThanOneRecord) {
  Win32ServiceManager scm;
  const ScHandle manager = scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess);
  ASSERT_NE(manager, 0u);
  // A service every Windows (and Wine) has.
  const ScHandle service = scm.OpenServiceA(manager, "RpcSs", kServiceQueryConfigAccess | kServiceQueryStatusAccess);
  ASSERT_NE(service, 0u) << scm.GetLastError();
  alignas(8) unsigned char one[kServiceConfigRecordSize];
  std::uint32_t needed = 0;
  EXPECT_FALSE(scm.QueryServiceConfigA(service, one, sizeof one, &needed));
  EXPECT_EQ(scm.GetLastError(), kErrorBufferTooSmall);
  EXPECT_GT(needed, kServiceConfigRecordSize);
  const std::uint32_t records = needed / kServiceConfigRecordSize + 1;
  std::vector<std::uint64_t> buffer((records * kServiceConfigRecordSize + 7) / 8);
  EXPECT_TRUE(scm.QueryServiceConfigA(service, buffer.data(), records * kServiceConfigRecordSize, &needed));
  ServiceStatusRecord status;
  EXPECT_TRUE(scm.QueryServiceStatus(service, &status));
  EXPECT_GE(status.dwCurrentState, 1u);
  EXPECT_LE(status.dwCurrentState, 7u);
  EXPECT_TRUE(scm.CloseServiceHandle(service));
  EXPECT_TRUE(scm.CloseServiceHandle(manager));
}

}  // namespace
}  // namespace vsu::win32
