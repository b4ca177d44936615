#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win32/win32_ip_info.h"

namespace vsu::win32 {
namespace {

TEST(Win32IpInfo, TheEnvironmentOverrides) {
  _putenv_s("VELASCANUPG_IPADDRESS", "10.1.2.3");
  Win32IpInfo info;
  EXPECT_EQ(info.LocalAddress(), "10.1.2.3");
  _putenv_s("VELASCANUPG_IPADDRESS", "");
}

TEST(Win32IpInfo, GivesAnIpv4AddressThatIsNotLoopbackOrTheFallback) {
  Win32IpInfo info;
  const std::string address = info.LocalAddress();
  int a = -1, b = -1, c = -1, d = -1;
  ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d), 4) << address;
  EXPECT_TRUE(a != 127 || address == "127.0.0.1") << address;
}

}  // namespace
}  // namespace vsu::win32
