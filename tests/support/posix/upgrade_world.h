#pragma once
// A fixture installation whose services are copies of the service double, in a sandbox of its own.

#include <map>
#include <string>
#include <vector>

#include "support/json_lines.h"
#include "support/posix/installation.h"
#include "support/posix/service_sandbox.h"

namespace vsu::test {

class UpgradeWorld : public ServiceSandbox {
 public:
  explicit UpgradeWorld(fixture::InstallationOptions options = {});
  ~UpgradeWorld() { KillProcessesUnder(install_.dir().str()); }

  std::string File(const std::string& programPath) const { return install_.Path(programPath).string(); }
  std::string ServiceExe() const { return File("c:\\VelaScan\\VelaScanSrv.exe"); }
  std::string Db() const { return install_.VelaScanDb(); }
  const TestInstallation& install() const { return install_; }
  // Registers the old service of the program directory, started when state is 4; env reaches its process.
  void InstallService(int state, const Env& env = {}) const;
  // Runs the tool on c:\VelaScan without real waits, with a transcript of this run only.
  ProgramResult Upgrade(const Env& extra = {}, std::vector<std::string> args = {"c:\\VelaScan"},
                        std::string input = {}, int killAfterMs = 120000) const;
  std::vector<Event> Events() const { return ReadTranscript(TranscriptFile()); }
  // Starts the installation's console, a process whose program is VelaScan.exe.
  void StartConsole() const;
  // Each file's hash (a database's by schema and rows, and bytes if asked) and the service; no -wal, -shm, backup.
  std::map<std::string, std::string> Snapshot(bool databaseBytes = false) const;

 private:
  TestInstallation install_;
};

}  // namespace vsu::test
