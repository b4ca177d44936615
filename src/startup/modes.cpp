#include "startup/modes.h"

#include <iostream>

#include "common/failure.h"

namespace vsu {

void RunUninstallMode(Platform&, InstallationState&) {
  std::cerr << "velascanupg: uninstall mode is not available yet\n";
  throw EndProgram{kExitNotAvailable};
}

void RunUpgradeMode(Platform&, InstallationState&) {
  std::cerr << "velascanupg: upgrade mode is not available yet\n";
  throw EndProgram{kExitNotAvailable};
}

}  // namespace vsu
