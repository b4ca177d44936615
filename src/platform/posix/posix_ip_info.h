#pragma once

#include "platform/ip_info.h"

namespace vsu::posix {

// env VELASCANUPG_IPADDRESS when set, else the first non-loopback IPv4 address
// of this machine, else "127.0.0.1".
class PosixIpInfo : public IpInfo {
 public:
  std::string LocalAddress() override;
};

}  // namespace vsu::posix
