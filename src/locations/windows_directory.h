#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// The Windows directory: the system's answer when it has 1 to 10 characters,
// else c:\windows or c:\winnt when their win.ini exists, else the user's entry.
// Throws EndProgram (status 2) when the user cancels the prompt. After any other
// failure it shows the "Err_Handler" message and returns "".
std::string GetTheWindowsDirectory(Platform& p, InstallationState& s);

}  // namespace vsu
