#include "upgrade/upgrade_sequence.h"

#include <string>

#include "common/failure.h"
#include "common/transcript.h"
#include "forms/pause.h"
#include "database/upgrade_database.h"
#include "locations/program_directory.h"
#include "locations/snmpc_directory.h"
#include "mib/register_mib.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/system.h"
#include "process/mod_proc_enum.h"
#include "safety/safety_net.h"
#include "service/nt_service_control.h"
#include "service/service_removal.h"
#include "upgrade/program_files.h"
#include "upgrade/settings_carry_over.h"

namespace vsu {
namespace {

constexpr const char* kConsoleWarning =
    "Vela Scan Console is running.\n\nExit the Console now and\npress OK to continue...";
constexpr const char* kRegistrationFailure =
    "Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe from windows explorer.";

// A failure that has its own message; the run ends after showing it.
struct RunStopped {
  std::string message;
};

[[noreturn]] void ServiceFailure(std::uint32_t code, const char* verb) { throw RunStopped{ServiceErrorText(code, verb)}; }

// A row that is deleted first loses its old file before the copy, so a file
// still held open is reported before anything is copied over it.
void CopyAndPause(Platform& p, FileCopier& copier, const ProgramFileRow& row) {
  if (row.deletedFirst && p.files.FileExists(row.destination)) {
    p.files.RemoveFile(row.destination);
    Pause(p, 200);
  }
  copier.Copy(row.source, row.destination);
  Pause(p, 100);
}

void RemoveOldService(Platform& p, InstallationState& s, UpgradeView& w) {
  const auto refused = StopAndRemoveService(
      p, s,
      {.stateRead = [&] { w.SetProgress(1); },
       .stopping = [&] { w.SetTxtInfo("Attempting to stop the service..."); },
       .stopDone = [&] { w.SetProgress(2); },
       .removing = [&] { w.SetTxtInfo("Attempting to uninstall the service..."); }});
  if (refused) ServiceFailure(refused->code, refused->verb);
}

void PutFilesInPlace(Platform& p, InstallationState& s, UpgradeView& w, FileCopier& copier) {
  const auto [console, service, tallyback, icon, mib] = ProgramFileRows(s);
  w.SetProgress(3);
  w.SetTxtInfo("Copying program files...");
  CopyAndPause(p, copier, console);
  CopyAndPause(p, copier, service);
  w.SetProgress(4);
  if (IsLumidexCase(p, s.SnmpcDir)) return;
  CopyAndPause(p, copier, tallyback);
  CopyAndPause(p, copier, icon);
  w.SetProgress(5);
  CopyAndPause(p, copier, mib);
  w.SetProgress(6);
  w.SetTxtInfo("Adding MIB file...");
  RegisterMib(p, s);
  Pause(p, 100);
}

void UpgradeSchema(Platform& p, InstallationState& s, UpgradeView& w) {
  w.SetProgress(7);
  if (s.DbVersion == kTargetVersion) return;
  w.SetTxtInfo("Upgrading database...");
  UpgradeDatabase(p, s);
  Pause(p, 500);
}

// Runs the new service executable, which registers the service itself, and
// waits for the registration to show.
void ReinstallService(Platform& p, InstallationState& s, UpgradeView& w) {
  w.SetProgress(8);
  w.SetTxtInfo("Attempting to install the service...");
  ShellExecuteInfo info;
  info.cbSize = kShellExecuteInfoSize;
  info.fMask = kMaskNoCloseProcess;
  info.hwnd = w.NativeHandle();
  info.lpVerb = "open";
  info.lpFile = s.ProgramDir + "\\VelaScanSrv.exe";
  info.lpParameters = "-install_noMsg";
  info.lpDirectory = s.ProgramDir;
  info.nShow = kShowHidden;
  const bool launched = p.launcher.ShellExecuteExA(info);
  p.log.Log("launch", {{"file", info.lpFile}, {"params", info.lpParameters}, {"dir", info.lpDirectory},
                       {"ok", launched}});
  if (!launched) ServiceFailure(0, "install");

  Pause(p, 3000);
  for (int poll = 1;; ++poll) {
    Pause(p, 1000);
    if (ServiceQueryConfig(p) == 0) break;
    if (poll == 10) throw RunStopped{kRegistrationFailure};
  }
}

void StartService(Platform& p, InstallationState& s, UpgradeView& w) {
  s.ServiceState = ServiceQueryState(p);
  w.SetProgress(9);
  if (s.ServiceState != kServiceStopped) return;
  w.SetTxtInfo("Attempting to start the service...");
  if (const auto code = ServiceStart(p)) ServiceFailure(code, "start");
  Pause(p, 500);
}

}  // namespace

bool RunUpgradeSequence(Platform& p, InstallationState& s, UpgradeView& w) {
  w.Refresh();
  Pause(p, 100);
  // In the SNMPc case the carry-over leaves its VelaScan.mdb connection open,
  // idle, until the run ends.
  SettingsConnection velaScanDb;
  std::string message;
  try {
    const auto copier = p.files.CreateFileCopier();
    w.SetCaption(std::string("Vela Scan Installation  ") + kTargetVersion);
    w.SetExitEnabled(false);
    s.ProgramDir = ProgramDirectoryFromCommandLine(p);
    if (IsProcessRunning(p, "velascan.exe")) p.ui.MsgBox(kConsoleWarning, kMsgBoxCritical, "Vela Scan");
    p.system.ChangeDirectory(s.ProgramDir);
    BackUpWhenAsked(p, s);
    CarrySettingsOver(p, s, velaScanDb, IsLumidexCase(p, s.SnmpcDir));
    RemoveOldService(p, s, w);
    PutFilesInPlace(p, s, w, *copier);
    UpgradeSchema(p, s, w);
    ReinstallService(p, s, w);
    StartService(p, s, w);
    w.SetProgress(10);
    w.SetTxtInfo("The Vela Scan Service started successfully.");
    w.SetExitEnabled(true);
    w.SetExitCaption("Done");
    return true;
  } catch (const RunStopped& stopped) {
    message = stopped.message;
  } catch (const std::exception& failure) {
    message = FailureDescription(failure);
  }
  velaScanDb.Release();
  p.ui.MsgBox(message, kMsgBoxCritical, "Vela Scan");
  w.SetExitEnabled(true);
  return false;
}

}  // namespace vsu
