#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// True when the first 10 characters of the command line are "-uninstall".
bool IsUninstallCommandLine(const std::string& commandLine);

// Uninstall mode: always ends the program.
void RunUninstallMode(Platform& p, InstallationState& s);

// Upgrade mode: returns when the upgrade window closed without its Exit button.
void RunUpgradeMode(Platform& p, InstallationState& s);

}  // namespace vsu
