#pragma once
// One countdown over every port of a test platform: its due call of any
// operation fails the way that operation fails on its platform. Files,
// databases and the IP-information control throw; the service manager and the
// process list answer 0 or false with an error code; the launcher reports
// that nothing started. Releasing a handle or an object never fails.

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
