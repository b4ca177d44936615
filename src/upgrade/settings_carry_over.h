#pragma once

#include <memory>

#include "common/installation_state.h"
#include "platform/database.h"
#include "platform/platform.h"

namespace vsu {

// The run's VelaScan.mdb connection and its one recordset, released recordset
// first.
struct SettingsConnection {
  std::unique_ptr<Connection> connection;
  std::unique_ptr<Recordset> recordset;
  void Release() {
    recordset.reset();
    connection.reset();
  }
  ~SettingsConnection() { Release(); }
};

// Reads DbVersion and stores SnmpcPath in VelaScan.mdb; in the Lumidex case
// also carries the agent address and the online-database settings of
// Lumidex.mdb over, then closes the connection. In the SNMPc case db stays
// open, without an open table. Throws Failure.
void CarrySettingsOver(Platform& p, InstallationState& s, SettingsConnection& db, bool lumidexCase);

}  // namespace vsu
