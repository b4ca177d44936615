#pragma once

#include <string>

#include "platform/platform.h"

namespace vsu {

// Puts the installation back as the backup in folder describes it: files
// restored byte for byte (the database through the engine), files that did
// not exist removed, the service stopped and removed where needed,
// registered again with its old binary and started when it was running.
// Only what differs is touched, and every item is checked against its hash
// afterwards. Each item is reported; returns 0 when all of it is back, else
// 1. A backup copy that no longer matches its hash stops the restore before
// anything is changed.
int RunRestore(Platform& p, const std::string& folder);

}  // namespace vsu
