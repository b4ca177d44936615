#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Runs the start-up's discovery without showing anything, then looks at
// everything the upgrade would meet, in its order, changing nothing; a prompt
// or message box that would be shown is itself a finding. Reports one line
// per item and returns 0 when nothing would fail, else 1.
int RunCheck(Platform& p, InstallationState& s);

}  // namespace vsu
