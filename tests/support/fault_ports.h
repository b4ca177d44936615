#pragma once
// One countdown over every port: its due call fails the way that operation fails on its platform.

#include <memory>

#include "support/fakes.h"
#include "support/fault_countdown.h"

namespace vsu::test {

class FaultPorts {
 public:
  FaultPorts(TestPlatform& inner, FaultCountdown& countdown);
  ~FaultPorts();
  // Connections and recordsets made and not yet destroyed.
  long LiveDatabaseObjects() const;

 private:
  struct Ports;
  std::unique_ptr<Ports> ports_;

 public:
  Platform platform;
};

}  // namespace vsu::test
