#pragma once
// A fixture installation whose service executables are copies of the service
// double, in a service sandbox of its own: the world of an end-to-end upgrade.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/posix/installation.h"
#include "support/json_lines.h"
#include "support/posix/run_program.h"
#include "support/posix/service_sandbox.h"

namespace vsu::test {

using Env = std::map<std::string, std::optional<std::string>>;

class UpgradeWorld {
 public:
  explicit UpgradeWorld(fixture::InstallationOptions options = {});
  ~UpgradeWorld();

  std::string File(const std::string& programPath) const { return install_.Path(programPath).string(); }
  std::string ServiceExe() const { return File("c:\\VelaScan\\VelaScanSrv.exe"); }
  ProgramResult Sc(const std::vector<std::string>& args) const { return sandbox_.Sc(args); }
  // Installs the old service from the program directory, in the state asked
  // for; env reaches the service's process.
  void InstallService(int state, const Env& env = {}) const;
  // Runs the upgrade of c:\VelaScan without real waits; a run is killed after
  // killAfterMs when that is not 0.
  ProgramResult Upgrade(const Env& extra = {}, std::vector<std::string> args = {"c:\\VelaScan"},
                        int killAfterMs = 0) const;
  std::vector<Event> Events() const { return ReadTranscript(sandbox_.TranscriptFile()); }
  // Starts the installation's console, a process whose program is VelaScan.exe.
  void StartConsole() const;
  std::string Db() const { return install_.VelaScanDb(); }
  // The installation as an administrator would compare it: each file's hash
  // (a database's by its dump, and by its bytes too when asked), and the
  // service's state and registration. A live database's -wal and -shm files,
  // and the folder c:\backup, are left out.
  std::map<std::string, std::string> Snapshot(bool databaseBytes = false) const;
  const TestInstallation& install() const { return install_; }

 private:
  ServiceSandbox sandbox_;
  TestInstallation install_;
};

}  // namespace vsu::test
