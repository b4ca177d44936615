#pragma once

#include <string>

#include "platform/ip_info.h"

namespace vsu::win32 {

// This machine's address: env VELASCANUPG_IPADDRESS when set, else the first
// non-loopback IPv4 address of GetAdaptersAddresses, else "127.0.0.1".
class Win32IpInfo : public IpInfo {
 public:
  std::string LocalAddress() override;
};

}  // namespace vsu::win32
