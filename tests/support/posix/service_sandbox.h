#pragma once
// A private world for end-to-end runs of the built programs: a service
// database of its own, its own copy of VelaScanSrv (so the services it starts
// can be told from any other process and killed at the end), a PATH folder
// for a fake msiexec.exe, and a transcript file.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/posix/run_program.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

class ServiceSandbox {
 public:
  ServiceSandbox();
  ~ServiceSandbox();
  ServiceSandbox(const ServiceSandbox&) = delete;
  ServiceSandbox& operator=(const ServiceSandbox&) = delete;

  std::string ServiceBinary() const { return dir.str() + "/srv/VelaScanSrv"; }
  std::string TranscriptFile() const { return dir.str() + "/transcript.jsonl"; }
  std::string MsiexecRecord() const { return dir.str() + "/msiexec-record.txt"; }
  // Puts a msiexec.exe on the sandbox's PATH that records how it was called.
  void InstallMsiexec() const;

  // The variables every run gets: the database, the Windows directory, no real
  // pauses, the batch interface, the transcript and the sandbox's PATH.
  std::map<std::string, std::optional<std::string>> Env() const;
  ProgramResult Sc(const std::vector<std::string>& args,
                   const std::map<std::string, std::optional<std::string>>& env = {}) const;
  ProgramResult Srv(const std::vector<std::string>& args,
                    const std::map<std::string, std::optional<std::string>>& env = {}) const;
  ProgramResult Upgrader(const std::vector<std::string>& args) const;
  // The pid of the running service process, 0 when there is none.
  int ServiceProcess() const;
  // Waits until no service process runs any more; a stop request returns
  // before the process has ended.
  bool WaitForServiceEnd() const;

  TempDir dir;
};

}  // namespace vsu::test
