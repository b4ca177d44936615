#pragma once

#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"
#include "safety/report.h"

namespace vsu {

// Which steps of the schema ladder an upgrade from version would run, read
// from the ladder itself, and the first of them that would fail because a
// table or column it adds exists already (or one it changes is missing), as
// the database is now. Reads VelaScan.mdb of ProgramDir only.
void CheckSchema(Platform& p, const InstallationState& s, const std::string& version, SafetyReport& report);

}  // namespace vsu
