#include "safety/check_installation.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "locations/snmpc_directory.h"
#include "platform/files.h"
#include "platform/system.h"
#include "process/mod_proc_enum.h"
#include "safety/manifest.h"
#include "safety/safety_net.h"
#include "safety/schema_check.h"
#include "safety/service_facts.h"
#include "service/nt_service_control.h"
#include "service/sc_handle.h"
#include "upgrade/program_files.h"

namespace vsu {
namespace {

std::string Failed(const std::function<void()>& look) {
  try {
    look();
    return "";
  } catch (const Failure& failure) {
    return failure.Description();
  }
}

void RequireColumns(Recordset& table, const std::string& name, const std::vector<const char*>& columns) {
  const auto names = table.FieldNames();
  for (const char* column : columns) {
    bool found = false;
    for (const auto& present : names) found = found || UpperCase(present) == UpperCase(column);
    if (!found) throw Failure("the table " + name + " has no column " + column);
  }
  if (table.Eof()) throw Failure("the table " + name + " has no row");
}

void CheckConsole(Platform& p, SafetyReport& report) {
  const bool running = IsProcessRunning(p, "velascan.exe");
  report.Add("console", !running,
             running ? "velascan.exe is running: the upgrade would ask to close it and cannot replace "
                       "VelaScan.exe while it runs"
                     : "velascan.exe is not running");
}

void CheckBackupFolder(Platform& p, SafetyReport& report) {
  const std::string folder = p.system.EnvironmentValue(kBackupVariable);
  if (folder.empty()) return;
  bool holdsOne = false;
  const std::string why = Failed([&] { holdsOne = p.files.FileExists(folder + "\\" + kManifestName); });
  if (!why.empty() || holdsOne) {
    report.Add("backup folder", false,
               folder + (holdsOne ? " already holds a backup: the run would stop before any change" : ": " + why));
  } else {
    report.Add("backup folder", true, folder + ": the run would first back the installation up there");
  }
}

// The carry-over's reads and writes, tried as reads; the stored version, when readable.
std::optional<std::string> CheckSettingsDatabase(Platform& p, const InstallationState& s, bool lumidex,
                                                 SafetyReport& report) {
  const std::string path = s.ProgramDir + "\\VelaScan.mdb";
  std::optional<std::string> version;
  const std::string why = Failed([&] {
    const auto connection = OpenConnection(p.db, VelaScanConnectString(s.ProgramDir), adModeRead);
    const auto table = OpenTable(p.db, *connection, "Settings_General");
    version = FieldText(*table, "ProgVersion");
    RequireColumns(*table, "Settings_General", {"SnmpcPath"});
    table->Close();
    if (lumidex) {
      table->Open("Settings_SNMP_Agent", *connection);
      RequireColumns(*table, "Settings_SNMP_Agent", {"IpAddress"});
      table->Close();
      table->Open("Event_OnlineDb", *connection);
      RequireColumns(*table, "Event_OnlineDb",
                     {"SqlDbServer", "SqlDatabase", "SqlDbUser", "SqlConnType", "SqlDbPass", "SqlDbPort"});
      table->Close();
    }
    connection->Close();
    p.files.ProbeWritable(path);
  });
  report.Add(path, why.empty(), why.empty() ? "opens at version " + *version + "; the settings can be written" : why);
  if (!lumidex) return version;
  const std::string lumidexPath = s.SnmpcDir + "\\Lumidex.mdb";
  const std::string lumidexWhy = Failed([&] {
    const auto connection = OpenConnection(p.db, LumidexConnectString(s.SnmpcDir), adModeRead);
    const auto table = OpenTable(p.db, *connection, "Settings_Console");
    for (const char* column : {"SqlDbServer", "SqlDatabase", "SqlDbUser", "SqlConnType", "SqlDbPass"}) {
      FieldText(*table, column);
    }
    FieldInt32(*table, "SqlDbPort");
    table->Close();
    connection->Close();
  });
  report.Add(lumidexPath, lumidexWhy.empty(),
             lumidexWhy.empty() ? "readable; Settings_Console holds the online-database settings" : lumidexWhy);
  return version;
}

// The program file of a service that the run asks to stop before it copies:
// that file is in use now, and free once the service has stopped. "" for none.
std::string CheckService(Platform& p, SafetyReport& report) {
  ServiceStatusRecord status{};
  const std::uint32_t code = OnVelaScanService(p, kServiceQueryStatusAccess,
                                               [&](ScHandle s) { return p.scm.QueryServiceStatus(s, &status); });
  const bool present = code == 0;
  const int state = static_cast<int>(status.dwCurrentState);
  ServiceRegistration registration;
  const auto access = [&](const std::string& item, std::initializer_list<std::uint32_t> accesses,
                          const std::string& what) {
    std::uint32_t refused = 0;
    for (const std::uint32_t a : accesses) refused = refused ? refused : OnVelaScanService(p, a);
    report.Add(item, refused == 0, refused == 0 ? what + " is allowed" : what + " is refused: error " +
                                                                                std::to_string(refused));
  };
  if (code == kErrorNoSuchService) {
    report.Add("service", true, "not installed: nothing to stop or delete");
  } else if (!present) {
    report.Add("service", false,
               "its state cannot be read: error " + std::to_string(code) +
                   "; the upgrade would take it for absent, and the new registration would then fail");
  } else {
    const std::uint32_t config = OnVelaScanService(
        p, kServiceQueryConfigAccess, [&](ScHandle s) { return p.scm.ReadServiceRegistration(s, &registration); });
    report.Add("service", config == 0,
               config == 0 ? StateText(state) + ", " + registration.binaryPath
                           : StateText(state) + "; its configuration cannot be read: error " +
                                 std::to_string(config) + ", so the wait for the new registration would fail");
    if (state == kServiceRunning) access("service stop", {kServiceStopAccess}, "stopping it");
    access("service delete", {kServiceDeleteAccess, kServiceAllAccess}, "deleting it");
  }
  const ScopedScHandle manager(p.scm,
                               p.scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess | kManagerCreateAccess));
  report.Add("service registration", static_cast<bool>(manager),
             manager ? "registering the new service is allowed"
                     : "registering the new service is refused: error " + std::to_string(p.scm.GetLastError()));
  if (present) {
    access("service start", {kServiceStartAccess}, "starting it");
  } else {
    report.Add("service start", true, "not known before VelaScanSrv.exe has registered the service");
  }
  return present && state != kServiceStopped ? registration.binaryPath : "";
}

std::uint64_t CheckSource(Platform& p, const std::string& source, SafetyReport& report) {
  std::uint64_t size = 0;
  std::string why = Failed([&] {
    if (!p.files.FileExists(source)) throw Failure("missing");
    const auto in = p.files.OpenForInput(source);
    char buffer[1 << 14];
    while (const std::size_t n = in->Read(buffer, sizeof buffer)) size += n;
  });
  report.Add(source, why.empty(), why.empty() ? "present, " + std::to_string(size) + " bytes" : why);
  return size;
}

void CheckProgramFiles(Platform& p, const InstallationState& s, bool lumidex, const std::string& serviceProgram,
                       SafetyReport& report) {
  std::vector<std::pair<std::string, std::uint64_t>> bytesInto;  // by directory, in the run's order
  for (const ProgramFileRow& row : ProgramFileRows(s)) {
    if (row.snmpcCaseOnly && lumidex) continue;
    const std::uint64_t size = CheckSource(p, row.source, report);
    bool exists = false;
    const std::string why = Failed([&] {
      p.files.ProbeWritable(row.destination);
      exists = p.files.FileExists(row.destination);
    });
    const std::string name = row.destination.substr(row.destination.rfind('\\') + 1);
    if (!why.empty() && !serviceProgram.empty() && ContainsIgnoringCase(serviceProgram, name)) {
      report.Add(row.destination, true, "in use by the service, which the run stops and deletes first");
    } else {
      report.Add(row.destination, why.empty(),
                 !why.empty() ? why
                 : !exists    ? "absent: the copy creates it"
                              : (row.deletedFirst ? "can be deleted and copied anew" : "can be copied over"));
    }
    const std::string& folder = row.snmpcCaseOnly ? s.SnmpcDir : s.ProgramDir;
    auto found = std::find_if(bytesInto.begin(), bytesInto.end(), [&](const auto& f) { return f.first == folder; });
    if (found == bytesInto.end()) found = bytesInto.insert(bytesInto.end(), {folder, 0});
    found->second += size;
  }
  for (const auto& entry : bytesInto) {
    const std::string& folder = entry.first;
    const std::uint64_t bytes = entry.second;
    std::uint64_t free = 0;
    // A folder that cannot be read is reported with its files already.
    if (!Failed([&] { free = p.files.FreeBytes(folder); }).empty()) continue;
    report.Add("free space in " + folder, free >= bytes,
               std::to_string(bytes) + " bytes to copy, " + std::to_string(free) + " free");
  }
}

void CheckMibList(Platform& p, const InstallationState& s, SafetyReport& report) {
  const std::string list = s.SnmpcDir + "\\mibfiles\\names.txt";
  const std::string backup = s.SnmpcDir + "\\mibfiles\\names.bak";
  bool resuming = false;
  std::string detail;
  std::string why = Failed([&] {
    p.files.ProbeWritable(list + ".vsu-new");  // the new list is written beside it
    if (p.files.FileExists(list)) {
      long count = 0;
      {
        // Closed before the probe, which would meet this very reader.
        LineReader lines(p.files.OpenForInput(list));
        for (std::string line; lines.ReadLine(line);) ++count;
      }
      p.files.ProbeWritable(list);
      detail = "readable, " + std::to_string(count) + " lines; it becomes names.bak and is written anew";
    } else if (p.files.FileExists(backup)) {
      resuming = true;
      detail = "missing; names.bak holds the list of a run cut short, which this run finishes from";
    } else {
      throw Failure("missing: adding the MIB would fail");
    }
  });
  report.Add(list, why.empty(), why.empty() ? detail : why);
  if (resuming) return;
  bool exists = false;
  why = Failed([&] {
    exists = p.files.FileExists(backup);
    if (exists) p.files.ProbeWritable(backup);
  });
  report.Add(backup, why.empty(), !why.empty() ? why : exists ? "replaced by the current list" : "absent: made from the current list");
}

}  // namespace

void CheckInstallation(Platform& p, const InstallationState& s, SafetyReport& report) {
  bool lumidex = false;
  Failed([&] { lumidex = IsLumidexCase(p, s.SnmpcDir); });
  CheckConsole(p, report);
  CheckBackupFolder(p, report);
  const auto version = CheckSettingsDatabase(p, s, lumidex, report);
  const std::string serviceProgram = CheckService(p, report);
  CheckProgramFiles(p, s, lumidex, serviceProgram, report);
  if (!lumidex) CheckMibList(p, s, report);
  if (version) CheckSchema(p, s, *version, report);
}

}  // namespace vsu
