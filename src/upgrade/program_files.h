#pragma once
// The program files the upgrade puts in place, as data, for those who look
// at them before and after a run.

#include <string>
#include <vector>

#include "common/installation_state.h"

namespace vsu {

struct ProgramFileRow {
  std::string source;
  std::string destination;
  bool deletedFirst;   // the old destination is deleted before the copy
  bool snmpcCaseOnly;  // copied only when the SNMPc directory holds no Lumidex.mdb
};

// The rows in the order the upgrade copies them.
std::vector<ProgramFileRow> ProgramFileRows(const InstallationState& s);

}  // namespace vsu
