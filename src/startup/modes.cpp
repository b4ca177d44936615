#include "startup/modes.h"

#include <iostream>

#include "common/failure.h"
#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"

namespace vsu {

void RunUpgradeMode(Platform& p, InstallationState& s) {
  FindSnmpcDir(p, s);
  ReadPhpIniDbSettings(p, s.WindowsDir, s.SnmpcDbServer, s.SnmpcDbSource, s.SnmpcDbUser);
  std::cerr << "velascanupg: upgrade mode is not available yet\n";
  throw EndProgram{kExitNotAvailable};
}

}  // namespace vsu
