#pragma once
// Tells whether a process runs whose executable path contains a given text,
// by walking the platform's process list: the process-status road on the NT
// family, the toolhelp snapshot on the 95/98/Me family, no on anything else.

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace vsu {

// True when some running process's executable path, lower-cased, contains
// name compared without regard to case. A process that cannot be opened or
// whose modules cannot be listed is skipped.
bool IsProcessRunning(Platform& p, const std::string& name);

// The platform id the version query reports: 1 for 95/98/Me, 2 for NT, 0
// when the query fails.
std::uint32_t GetPlatformId(Platform& p);

// text without its last character; text must not be empty.
std::string TrimLastChar(const std::string& text);

}  // namespace vsu
