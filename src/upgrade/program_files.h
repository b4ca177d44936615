#pragma once
// The program files the upgrade puts in place, as data: the run copies them,
// the check and the backup look at them.

#include <array>
#include <string>

#include "common/installation_state.h"

namespace vsu {

struct ProgramFileRow {
  std::string source;
  std::string destination;
  bool deletedFirst;   // the old destination is deleted before the copy
  bool snmpcCaseOnly;  // copied only when the SNMPc directory holds no Lumidex.mdb
};

// The rows in the order the upgrade copies them: the console, the service,
// Tallyback, the icon and the MIB.
std::array<ProgramFileRow, 5> ProgramFileRows(const InstallationState& s);

}  // namespace vsu
