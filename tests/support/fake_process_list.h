#pragma once
// A scripted process list with handle accounting for both roads of the console check.

#include <set>
#include <string>
#include <vector>

#include "platform/process_list.h"
#include "support/fault_countdown.h"

namespace vsu::test {

struct FakeProcess {
  std::uint32_t pid = 0;
  std::string path;  // what the module path query and the snapshot report
  bool openable = true;  // false: another account's process
  bool modulesListable = true;
};

class FakeProcessList : public ProcessList {
 public:
  std::uint32_t platformId = kPlatformNt;
  bool versionFails = false;
  bool enumFails = false;  // EnumProcesses writes nothing and leaves the count as it was
  bool snapshotFails = false;
  std::vector<FakeProcess> processes;
  FaultCountdown* countdown = nullptr;  // when set, its due call fails

  std::vector<std::uint32_t> enumSizes;  // the buffer size of each EnumProcesses call
  std::vector<std::uint32_t> opened;     // the ids OpenProcess was asked for
  std::size_t OpenHandles() const { return handles_.size(); }

  bool GetVersionExA(VersionInfoRecord* info) override;
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) override;
  ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  // Lists two modules, the executable's first.
  bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                          std::uint32_t* needed) override;
  std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                     std::uint32_t size) override;
  bool CloseHandle(ProcHandle handle) override { return handles_.erase(handle) > 0; }
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) override;
  bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) override;
  bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) override;

 private:
  bool Due(const char* call) { return countdown && countdown->Due(call); }
  const FakeProcess* ProcessOf(ProcHandle handle);

  std::set<ProcHandle> handles_;
  std::size_t next_ = 0;
};

}  // namespace vsu::test
