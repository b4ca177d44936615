#pragma once
// The administrator's safety net around an upgrade, asked for through the
// environment, since the command line belongs to the installer: a check that
// changes nothing, a backup taken by the run before its first change, and
// the restore of such a backup. Without these variables nothing of it runs.

#include <optional>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

inline constexpr const char* kCheckVariable = "VELASCANUPG_CHECK";    // any value but "" and "0"
inline constexpr const char* kBackupVariable = "VELASCANUPG_BACKUP";  // the backup folder
inline constexpr const char* kRestoreVariable = "VELASCANUPG_RESTORE";

// Runs the check, or else the restore, when the environment asks for one and
// returns its exit status; nullopt when it asks for neither. The check comes
// first since it changes nothing.
std::optional<int> RunSafetyNetMode(Platform& p, InstallationState& s);

// The upgrade run's backup, when the environment asks for one. Throws
// Failure, with the message the run shows, when it cannot be completed.
void BackUpWhenAsked(Platform& p, const InstallationState& s);

}  // namespace vsu
