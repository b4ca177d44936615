#include "startup/upgrade_mode.h"

#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"
#include "upgrade/frm_vela_scan_upg.h"

namespace vsu {

void RunUpgradeMode(Platform& p, InstallationState& s) {
  FindSnmpcDir(p, s);
  ReadPhpIniDbSettings(p, s.WindowsDir, s.SnmpcDbServer, s.SnmpcDbSource, s.SnmpcDbUser);
  ShowUpgradeWindow(p, s);
}

}  // namespace vsu
