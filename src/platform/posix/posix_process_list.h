#pragma once
// The process list from /proc. Reports the NT family (platform id 2), so the
// program walks it with the process-status calls; the toolhelp snapshot works
// too and names each process by its executable's file name.

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <vector>

#include "platform/process_list.h"

namespace vsu::posix {

class PosixProcessList : public ProcessList {
 public:
  bool GetVersionExA(VersionInfoRecord* info) override;
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) override;
  // Fails for id 0, for processes that are gone and for those whose executable
  // this account may not read (another user's, or a kernel thread).
  ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  // Gives one module: the process's executable.
  bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                          std::uint32_t* needed) override;
  // The target of /proc/PID/exe, else the first word of its command line.
  std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                     std::uint32_t size) override;
  bool CloseHandle(ProcHandle handle) override;
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) override;
  bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) override;
  bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) override;

 private:
  struct Snapshot {
    std::vector<pid_t> ids;
    std::size_t next = 0;
  };
  ProcHandle NewHandle();
  bool FillEntry(Snapshot& snapshot, ProcessEntryRecord* entry);

  ProcHandle lastHandle_ = 0;
  std::map<ProcHandle, pid_t> processes_;
  std::map<ProcHandle, Snapshot> snapshots_;
};

}  // namespace vsu::posix
