#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// The prompts of the Enter Path dialog.
inline constexpr const char* kPromptWindows = "  Enter the Path to Windows";
inline constexpr const char* kPromptSnmpc = "  Enter the Path to SNMPc";
inline constexpr const char* kPromptSnmpcOrLumidex = "  Enter the Path to SNMPc or Lumidex";

// Asks the user for a directory through frmEnterPath: the prompt becomes the
// caption, the dialog is shown modally, and the answer is left in EnteredPath
// (the accepted path after OK, "" after Cancel, untouched when the dialog was
// left another way). The caller reads EnteredPath afterwards.
void AskForPath(Platform& p, InstallationState& s, const std::string& prompt);

}  // namespace vsu
