#pragma once
// A scripted process list with handle accounting, for both roads of the
// console check.

#include <set>
#include <string>
#include <vector>

#include "platform/process_list.h"

namespace vsu::test {

struct FakeProcess {
  std::uint32_t pid = 0;
  std::string path;             // what the module path query and the snapshot report
  bool openable = true;         // false: another account's process
  bool modulesListable = true;
};

class FakeProcessList : public ProcessList {
 public:
  std::uint32_t platformId = kPlatformNt;
  bool versionFails = false;
  bool enumFails = false;       // EnumProcesses writes nothing and leaves the count as it was
  bool snapshotFails = false;
  std::vector<FakeProcess> processes;

  std::vector<std::uint32_t> enumSizes;  // the buffer size of each EnumProcesses call
  std::vector<std::uint32_t> opened;     // the ids OpenProcess was asked for
  std::vector<std::string> faults;       // misuse: wrong sizes, rights, records or handles
  std::size_t OpenHandles() const { return handles_.size(); }

  // Reports platformId, or fails without writing when versionFails.
  bool GetVersionExA(VersionInfoRecord* info) override;
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) override;
  // Fails for id 0, unknown ids and processes that are not openable.
  ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  // Lists two modules, the executable's first; fails when modulesListable is false.
  bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                          std::uint32_t* needed) override;
  std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                     std::uint32_t size) override;
  bool CloseHandle(ProcHandle handle) override;
  // The snapshot lists the processes in order; it fails when snapshotFails.
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) override;
  bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) override;
  bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) override;

 private:
  void Expect(bool condition, const std::string& fault);
  const FakeProcess* ProcessOf(ProcHandle handle);

  std::set<ProcHandle> handles_;
  std::size_t next_ = 0;
};

}  // namespace vsu::test
