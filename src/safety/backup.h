#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Copies into folder (created when missing; its parent must exist) every
// file the upgrade run may change, as it is now, and records them with the
// service's registration and state in the manifest, written last. Throws
// Failure, with the message the run shows, when the backup cannot be
// completed or the folder holds a backup already: a retried run must not
// overwrite the backup of the installation as it was before the first run.
void BackUpInstallation(Platform& p, const InstallationState& s, const std::string& folder);

}  // namespace vsu
