#include "database/upgrade_database.h"

#include "common/failure.h"
#include "forms/pause.h"
#include "database/schema_ladder.h"
#include "database/tables.h"
#include "platform/views.h"

namespace vsu {
namespace {

void FillRows(Platform& p, Connection& connection, const LadderStep& step) {
  const auto rows = OpenTable(p.db, connection, step.fillTable);
  while (!rows->Eof()) {
    for (const auto& [column, value] : step.fill) rows->SetField(column, value);
    rows->Update();
    rows->MoveNext();
  }
  rows->Close();
}

// One Update stores the step's extra columns together with its version.
void RecordVersion(Platform& p, InstallationState& s, Connection& connection, const LadderStep& step) {
  const auto settings = OpenTable(p.db, connection, "Settings_General");
  for (const auto& [column, value] : step.versionRow) settings->SetField(column, value);
  settings->SetField("ProgVersion", std::string(step.version));
  s.DbVersion = step.version;
  settings->Update();
  settings->Close();
}

// One transaction, so that a crash leaves the database at the last completed
// step and a rerun starts this one afresh. A failure inside the step still
// keeps the work done before it, as the routine always has, unless the engine
// gave the transaction up itself (a full disk, an I/O error): then the step is
// undone as a whole, as after a crash.
void RunStep(Platform& p, InstallationState& s, Connection& connection, const LadderStep& step) {
  connection.BeginTrans();
  try {
    for (const LadderAction& action : step.actions) {
      if (action.statement) connection.Execute(action.statement);
      else Pause(p, action.pauseMs);
    }
    if (step.fillTable) FillRows(p, connection, step);
    RecordVersion(p, s, connection, step);
  } catch (const std::exception&) {
    try {
      connection.CommitTrans();
    } catch (const std::exception&) {
      // Nothing of the step was stored; the step's own failure is the one shown.
    }
    throw;
  }
  connection.CommitTrans();
}

}  // namespace

void UpgradeDatabase(Platform& p, InstallationState& s) {
  try {
    const auto connection = OpenConnection(p.db, s.DbConnectString);
    SchemaVersion version = ParseVersion(s.DbVersion);
    for (const LadderStep& step : SchemaLadder()) {
      if (version.major != step.major || version.minor >= step.belowMinor) continue;
      RunStep(p, s, *connection, step);
      version = ParseVersion(step.version);
    }
    connection->Close();
  } catch (const std::exception& failure) {
    // Reached after the recordset and the connection were released; what the
    // failing step did before the failure stays stored.
    p.ui.MsgBox(FailureDescription(failure), kMsgBoxCritical, "Vela Scan_UpgradeDatabase");
  }
}

}  // namespace vsu
