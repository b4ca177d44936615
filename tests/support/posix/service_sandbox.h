#pragma once
// A private world for end-to-end runs of the built programs: a service
// database of its own, its own copy of VelaScanSrv (so the services it starts
// can be told from any other process and killed at the end), a PATH folder
// for a fake msiexec.exe, and a transcript file.

#include <string>
#include <vector>

#include "support/posix/process_tools.h"
#include "support/posix/run_program.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

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
  void InstallMsiexec() const;

  // The variables every run gets: the database, the Windows directory, no real
  // pauses, the batch interface, the transcript, an IP address and the
  // sandbox's PATH; none of the variables that change how the programs behave.
  Env Environment() const;
  // Runs program (a name in the build's bin directory, or a path) with those variables and extra on top.
  ProgramResult Run(const std::string& program, std::vector<std::string> args, const Env& extra = {},
                    std::string input = {}, int killAfterMs = 120000) const;
  ProgramResult Sc(std::vector<std::string> args, const Env& env = {}) const { return Run("velascan-sc", args, env); }
  ProgramResult Srv(std::vector<std::string> args, const Env& env = {}) const {
    return Run(ServiceBinary(), args, env);
  }
  // The pid of the running service process, 0 when there is none.
  int ServiceProcess() const { return ProcessOf(ServiceBinary()); }
  // Waits until no service process runs any more; a stop request returns
  // before the process has ended.
  bool WaitForServiceEnd() const {
    return WaitFor([&] { return ServiceProcess() == 0; });
  }

  TempDir dir;
};

}  // namespace vsu::test
