#include "upgrade/settings_carry_over.h"

#include "common/text.h"
#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "locations/ini_settings.h"
#include "platform/ip_info.h"

namespace vsu {
namespace {

struct LumidexConsoleSettings {
  std::string connectionType;
  std::string password;
  std::int32_t port = 0;
};

// Reads the online-database settings of Lumidex.mdb; the server, source and
// user go straight into the installation state. Lumidex owns that file, so it
// is opened for reading only.
LumidexConsoleSettings ReadLumidexConsole(Platform& p, InstallationState& s) {
  const auto connection = OpenConnection(p.db, LumidexConnectString(s.SnmpcDir), adModeRead);
  auto recordset = OpenTable(p.db, *connection, "Settings_Console");
  s.SnmpcDbServer = FieldText(*recordset, "SqlDbServer");
  s.SnmpcDbSource = FieldText(*recordset, "SqlDatabase");
  s.SnmpcDbUser = FieldText(*recordset, "SqlDbUser");
  LumidexConsoleSettings settings;
  settings.connectionType = FieldText(*recordset, "SqlConnType");
  settings.password = FieldText(*recordset, "SqlDbPass");
  settings.port = FieldInt32(*recordset, "SqlDbPort");
  recordset->Close();
  recordset.reset();
  connection->Close();
  return settings;
}

}  // namespace

void CarrySettingsOver(Platform& p, InstallationState& s, SettingsConnection& db, bool lumidexCase) {
  s.DbConnectString = VelaScanConnectString(s.ProgramDir);
  db.connection = OpenConnection(p.db, s.DbConnectString);
  // One recordset, reopened on each table in turn.
  db.recordset = OpenTable(p.db, *db.connection, "Settings_General");
  Recordset& table = *db.recordset;

  s.DbVersion = FieldText(table, "ProgVersion");
  table.SetField("SnmpcPath", Left(s.SnmpcDir, 150));
  table.Update();
  table.Close();
  if (!lumidexCase) return;

  std::string address;
  ReadLumidexServerIpAddr(p, s.SnmpcDir, address);
  table.Open("Settings_SNMP_Agent", *db.connection);
  table.SetField("IpAddress", address.empty() ? p.ip.LocalAddress() : address);
  table.Update();
  table.Close();

  const auto console = ReadLumidexConsole(p, s);
  table.Open("Event_OnlineDb", *db.connection);
  table.SetField("SqlDbServer", s.SnmpcDbServer);
  table.SetField("SqlDatabase", s.SnmpcDbSource);
  table.SetField("SqlDbUser", s.SnmpcDbUser);
  table.SetField("SqlConnType", console.connectionType);
  table.SetField("SqlDbPass", console.password);
  table.SetField("SqlDbPort", console.port);
  table.Update();
  table.Close();
  db.connection->Close();
}

}  // namespace vsu
