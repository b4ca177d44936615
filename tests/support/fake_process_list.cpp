#include "support/fake_process_list.h"

#include <algorithm>
#include <cstring>

namespace vsu::test {
namespace {

// A process handle is its index plus this, so it cannot be mistaken for an id.
constexpr ProcHandle kHandleBase = 0x10000;
constexpr ProcHandle kSnapshotHandle = 0x9000;
constexpr ModHandle kModuleBase = 0x400000;

}  // namespace

bool FakeProcessList::GetVersionExA(VersionInfoRecord* info) {
  if (info->dwOSVersionInfoSize != sizeof(VersionInfoRecord)) faults.push_back("version record size not set");
  if (versionFails) return false;
  info->dwPlatformId = platformId;
  return true;
}

bool FakeProcessList::EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) {
  enumSizes.push_back(cb);
  if (std::any_of(ids, ids + cb / 4, [](std::uint32_t id) { return id != 0; })) {
    faults.push_back("id buffer not zero-filled");
  }
  if (enumFails) return false;
  const std::size_t fit = std::min<std::size_t>(processes.size(), cb / 4);
  for (std::size_t i = 0; i < fit; ++i) ids[i] = processes[i].pid;
  *returned = static_cast<std::uint32_t>(fit * 4);
  return true;
}

ProcHandle FakeProcessList::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  opened.push_back(pid);
  if (access != PROCESS_QUERY_INFORMATION_VM_READ || inherit) faults.push_back("OpenProcess rights");
  for (std::size_t i = 0; i < processes.size(); ++i) {
    if (processes[i].pid == pid && pid != 0 && processes[i].openable) {
      handles_.insert(kHandleBase + i);
      return kHandleBase + i;
    }
  }
  return 0;
}

const FakeProcess* FakeProcessList::ProcessOf(ProcHandle handle) const {
  if (!handles_.count(handle)) return nullptr;
  return &processes[handle - kHandleBase];
}

bool FakeProcessList::EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                         std::uint32_t* needed) {
  const FakeProcess* found = ProcessOf(process);
  if (!found) faults.push_back("EnumProcessModules on a bad handle");
  if (cb != 200) faults.push_back("module buffer size " + std::to_string(cb));
  if (!found || !found->modulesListable) return false;
  // Two modules, so only the first one must be taken for the executable.
  modules[0] = kModuleBase + found->pid;
  modules[1] = kModuleBase + 1;
  *needed = 2 * sizeof(ModHandle);
  return true;
}

std::uint32_t FakeProcessList::GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                                    std::uint32_t size) {
  const FakeProcess* found = ProcessOf(process);
  if (!found || module != kModuleBase + found->pid) {
    faults.push_back("GetModuleFileNameExA on a bad handle or module");
    return 0;
  }
  if (size != 260) faults.push_back("module path size " + std::to_string(size));
  const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(found->path.size(), size - 1));
  std::memcpy(buffer, found->path.data(), length);
  buffer[length] = '\0';
  return length;
}

bool FakeProcessList::CloseHandle(ProcHandle handle) {
  if (handles_.erase(handle) == 0) {
    faults.push_back("closed a handle that is not open");
    return false;
  }
  return true;
}

ProcHandle FakeProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) {
  if (flags != TH32CS_SNAPPROCESS || pid != 0) faults.push_back("snapshot flags");
  if (snapshotFails) return 0;
  handles_.insert(kSnapshotHandle);
  snapshot_ = kSnapshotHandle;
  return snapshot_;
}

bool FakeProcessList::Deliver(ProcessEntryRecord* entry) {
  if (entry->dwSize != sizeof(ProcessEntryRecord)) faults.push_back("entry record size not set");
  if (next_ >= processes.size()) return false;
  const FakeProcess& process = processes[next_++];
  entry->th32ProcessID = process.pid;
  // Like the platform, only the name and its NUL are written; the rest of the field keeps what it held.
  const std::size_t length = std::min<std::size_t>(process.path.size(), sizeof entry->szExeFile - 1);
  std::memcpy(entry->szExeFile, process.path.data(), length);
  entry->szExeFile[length] = '\0';
  return true;
}

bool FakeProcessList::Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) {
  if (snapshot != snapshot_ || !handles_.count(snapshot)) faults.push_back("Process32First on a bad handle");
  next_ = 0;
  return Deliver(entry);
}

bool FakeProcessList::Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) {
  if (snapshot != snapshot_ || !handles_.count(snapshot)) faults.push_back("Process32Next on a bad handle");
  return Deliver(entry);
}

}  // namespace vsu::test
