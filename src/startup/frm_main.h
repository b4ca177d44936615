#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// The start-up window's load handler, the program's dispatcher: centres and
// hides frmMain, finds the Windows directory, then runs the mode the command
// line selects. Ends by throwing EndProgram, or returns when the upgrade window
// was closed another way and frmMain, shown then, was closed too.
void frmMain_Form_Load(Platform& p, InstallationState& s);

// True when the first 10 characters of the command line are "-uninstall".
bool IsUninstallCommandLine(const std::string& commandLine);

// Runs the program from start-up to its end and returns the exit status.
int RunProgram(Platform& p, InstallationState& s);

}  // namespace vsu
