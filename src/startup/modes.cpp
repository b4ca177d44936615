#include "startup/modes.h"

#include <iostream>

#include "common/failure.h"

namespace vsu {

void RunUpgradeMode(Platform&, InstallationState&) {
  std::cerr << "velascanupg: upgrade mode is not available yet\n";
  throw EndProgram{kExitNotAvailable};
}

}  // namespace vsu
