#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Upgrade mode: finds the SNMPc directory and the php.ini settings, then shows
// the upgrade window; returns when that window closed without its Exit button.
void RunUpgradeMode(Platform& p, InstallationState& s);

}  // namespace vsu
