#pragma once

#include <string>

namespace vsu {

// The IP-information control hosted on frmMain; the program reads one text
// from it: the address of this machine.
class IpInfo {
 public:
  virtual ~IpInfo() = default;
  virtual std::string LocalAddress() = 0;
};

}  // namespace vsu
