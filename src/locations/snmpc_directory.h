#pragma once

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// Settles ProgramDir (the command line, else the program's own directory),
// makes it the current directory, builds DbConnectString and finds SnmpcDir:
// from the SNMPc section of win.ini when it has one, else the stored SnmpcPath
// when it holds snmpc.ini or lumidex.ini, else from the user. Any failure ends
// it silently, leaving what was set so far.
void FindSnmpcDir(Platform& p, InstallationState& s);

}  // namespace vsu
