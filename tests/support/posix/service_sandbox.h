#pragma once
// Running the built programs in a sandbox: its own service store, service double copy, PATH and transcript.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

// Variables to set on top of this process's own; a nullopt value removes one.
using Env = std::map<std::string, std::optional<std::string>>;

struct ProgramResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Path of a program built into the build's bin directory; a path stays as it is.
std::string BinPath(const std::string& name);

class ServiceSandbox {
 public:
  ServiceSandbox();
  ~ServiceSandbox() { KillProcessesOf(ServiceBinary()); }
  ServiceSandbox(const ServiceSandbox&) = delete;
  ServiceSandbox& operator=(const ServiceSandbox&) = delete;

  std::string ServiceBinary() const { return dir.str() + "/srv/VelaScanSrv"; }
  std::string TranscriptFile() const { return dir.str() + "/transcript.jsonl"; }
  std::string MsiexecRecord() const { return dir.str() + "/msiexec-record.txt"; }
  // Puts a msiexec.exe on the sandbox's PATH that records how it was called.
  void InstallMsiexec() const { WriteRecorderScript(dir.str() + "/path/msiexec.exe", MsiexecRecord()); }

  // What every run gets (store, WINDIR, no pauses, batch UI, transcript, address, PATH), no behaviour switches.
  Env Environment() const;
  // Runs program (see BinPath) with those variables and extra on top, killed (SIGKILL) after killAfterMs.
  ProgramResult Run(const std::string& program, std::vector<std::string> args, const Env& extra = {},
                    const std::string& input = {}, int killAfterMs = 120000) const;
  ProgramResult Sc(std::vector<std::string> args, const Env& env = {}) const { return Run("velascan-sc", args, env); }
  ProgramResult Srv(std::vector<std::string> args, const Env& env = {}) const {
    return Run(ServiceBinary(), args, env);
  }
  // The pid of the running service process, 0 when there is none.
  int ServiceProcess() const { return ProcessOf(ServiceBinary()); }

  TempDir dir;
};

}  // namespace vsu::test
