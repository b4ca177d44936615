#pragma once

#include <string>

#include "platform/platform.h"

namespace vsu {

// The program directory: the command line's argument text without surrounding
// spaces, or, when that is empty, the directory of the running program; one
// trailing "\" removed.
std::string ProgramDirectoryFromCommandLine(Platform& p);

}  // namespace vsu
