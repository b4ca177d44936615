#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Uninstall mode: removes the service, then starts the platform installer with
// the product identifier; always ends the program.
void RunUninstallMode(Platform& p, InstallationState& s);

}  // namespace vsu
