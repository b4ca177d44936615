#pragma once

#include <string>

#include "common/installation_state.h"
#include "common/text_lines.h"
#include "platform/platform.h"

namespace vsu {

// Settles ProgramDir (the command line, else the program's own directory),
// makes it the current directory, builds DbConnectString and finds SnmpcDir:
// from the SNMPc section of win.ini when it has one, else the stored SnmpcPath
// when it holds snmpc.ini or lumidex.ini, else from the user. Any failure ends
// it silently, leaving what was set so far.
void FindSnmpcDir(Platform& p, InstallationState& s);

// The Lumidex case: the SNMPc directory holds Lumidex.mdb (the file-exists
// test). Throws Failure when the folder cannot be listed.
bool IsLumidexCase(Platform& p, const std::string& snmpcDir);

// Reads win.ini's lines up to its "[SNMPc Network Manager]" section and through
// it; false when there is no such section or nothing follows its header. A
// stored snmpcDir only gives way to a "DIR=" line that opens the section.
bool ReadSnmpcSection(LineReader& winIni, std::string& snmpcDir);

}  // namespace vsu
