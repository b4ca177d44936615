#include "safety/safety_net.h"

#include "platform/system.h"
#include "safety/backup.h"
#include "safety/check_mode.h"
#include "safety/restore.h"

namespace vsu {

std::optional<int> RunSafetyNetMode(Platform& p, InstallationState& s) {
  const std::string check = p.system.EnvironmentValue(kCheckVariable);
  if (!check.empty() && check != "0") return RunCheck(p, s);
  const std::string restore = p.system.EnvironmentValue(kRestoreVariable);
  if (!restore.empty()) return RunRestore(p, restore);
  return std::nullopt;
}

void BackUpWhenAsked(Platform& p, const InstallationState& s) {
  const std::string folder = p.system.EnvironmentValue(kBackupVariable);
  if (!folder.empty()) BackUpInstallation(p, s, folder);
}

}  // namespace vsu
