#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Carries VelaScan.mdb (DbConnectString) from DbVersion up the schema ladder
// to 3.14, recording each completed step in ProgVersion and DbVersion. A
// version outside the ladder changes nothing. A failure stops at once, keeps
// what was done, and is shown to the user; the routine always returns.
void UpgradeDatabase(Platform& p, InstallationState& s);

}  // namespace vsu
