#pragma once
// The Windows program: what main runs, and what a test double runs with files
// of its own.

#include "platform/files.h"

namespace vsu {

// Builds the Windows platform (with files in place of its own when given) and
// runs the start-up window; returns the exit status. A failure before the
// windows exist is shown in a message box and ends with status 1.
int RunOnWindows(Files* files = nullptr);

}  // namespace vsu
