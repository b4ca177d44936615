#pragma once
// The check's look at what the upgrade run would meet after the start-up's
// discovery, in the run's order. Nothing here changes anything: files are
// opened for reading, the databases through the read-only database, and the
// service only queried or opened with the access an operation needs, which
// is where Windows checks rights.

#include "common/installation_state.h"
#include "platform/platform.h"
#include "safety/report.h"

namespace vsu {

void CheckInstallation(Platform& p, const InstallationState& s, SafetyReport& report);

}  // namespace vsu
