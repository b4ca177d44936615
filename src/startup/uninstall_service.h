#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Stops the "Vela Scan" service when it runs and deletes it when it exists,
// pausing 2 s after each. A refused stop or delete is shown with its code and
// ends the program (status 1); any other failure is shown once and returns, so
// that the installer is still started.
void UnInstallService(Platform& p, InstallationState& s);

}  // namespace vsu
