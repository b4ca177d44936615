#include "safety/check_mode.h"

#include "common/failure.h"
#include "common/text.h"
#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"
#include "locations/windows_directory.h"
#include "platform/files.h"
#include "platform/system.h"
#include "safety/check_installation.h"
#include "safety/check_toolkit.h"
#include "safety/read_only_database.h"
#include "safety/report.h"

namespace vsu {
namespace {

std::string Joined(const std::vector<std::string>& phrases) {
  std::string text;
  for (const auto& phrase : phrases) text += (text.empty() ? "" : "; ") + phrase;
  return text;
}

void CheckWindowsDirectory(Platform& p, InstallationState& s, CheckToolkit& ui, SafetyReport& report) {
  bool wouldEnd = false;
  try {
    s.WindowsDir = GetTheWindowsDirectory(p, s);
  } catch (const EndProgram&) {
    wouldEnd = true;  // the prompt, left without an answer, is a Cancel
  }
  const auto unshown = ui.TakeUnshown();
  if (!unshown.empty()) {
    report.Add("Windows directory", false,
               "not found: " + Joined(unshown) + " would be shown" +
                   (wouldEnd ? ", and Cancel there ends the program" : ""));
    return;
  }
  char buffer[250];
  const unsigned length = p.system.GetWindowsDirectoryA(buffer, sizeof buffer);
  const std::string reported = length < sizeof buffer ? std::string(buffer, length) : "";
  report.Add("Windows directory", true,
             s.WindowsDir + (reported == s.WindowsDir ? " (as the system reports it)"
                             : reported.empty()       ? " (its win.ini; the system reports none)"
                                                      : " (its win.ini; the system's \"" + reported +
                                                            "\" is longer than 10 characters)"));
}

std::string StoredSnmpcPath(Platform& p, const InstallationState& s) {
  try {
    const auto connection = OpenConnection(p.db, VelaScanConnectString(s.ProgramDir), adModeRead);
    const auto settings = OpenTable(p.db, *connection, "Settings_General");
    return FieldText(*settings, "SnmpcPath");
  } catch (const Failure&) {
    return "";
  }
}

void CheckProgramAndSnmpcDirectories(Platform& p, InstallationState& s, CheckToolkit& ui, SafetyReport& report) {
  FindSnmpcDir(p, s);
  const auto unshown = ui.TakeUnshown();
  // The discovery builds the connection string only after it made the program directory current.
  if (s.DbConnectString.empty()) {
    std::string why = "cannot be made the current directory";
    try {
      p.system.ChangeDirectory(s.ProgramDir);
    } catch (const Failure& failure) {
      why = failure.Description();
    }
    report.Add("program directory", false, why);
  } else {
    const bool named = !TrimSpaces(p.system.CommandLine()).empty();
    report.Add("program directory", true, s.ProgramDir + (named ? " (command line)" : " (the tool's own directory)"));
  }
  if (!unshown.empty() || s.SnmpcDir.empty()) {
    report.Add("SNMPc directory", false,
               "not found" + (unshown.empty() ? std::string() : ": " + Joined(unshown) + " would be shown"));
    return;
  }
  bool lumidex = false;
  try {
    lumidex = IsLumidexCase(p, s.SnmpcDir);
  } catch (const Failure&) {
  }
  report.Add("SNMPc directory", true,
             s.SnmpcDir +
                 (StoredSnmpcPath(p, s) == s.SnmpcDir ? " (SnmpcPath in VelaScan.mdb)"
                                                      : " (win.ini's [SNMPc Network Manager] section)") +
                 (lumidex ? "; Lumidex.mdb is there: the Lumidex case" : "; the SNMPc case"));
}

}  // namespace

int RunCheck(Platform& p, InstallationState& s) {
  CheckToolkit ui(p.ui);
  ReadOnlyDatabase db(p.db);
  Platform checking{p.system, p.files, p.clock, ui, p.log, db, p.scm, p.processes, p.launcher, p.ip};
  SafetyReport report(p.log, "check");
  CheckWindowsDirectory(checking, s, ui, report);
  CheckProgramAndSnmpcDirectories(checking, s, ui, report);
  ReadPhpIniDbSettings(checking, s.WindowsDir, s.SnmpcDbServer, s.SnmpcDbSource, s.SnmpcDbUser);
  CheckInstallation(checking, s, report);
  return report.Finish(p.ui, "Vela Scan check", "nothing would fail", "would fail");
}

}  // namespace vsu
