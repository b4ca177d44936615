#include "support/fake_process_list.h"

#include <algorithm>
#include <cstring>

namespace vsu::test {
namespace {

// A process handle is its index plus this, so it cannot be taken for an id.
constexpr ProcHandle kHandleBase = 0x10000;
constexpr ProcHandle kSnapshot = 0x9000;
constexpr ModHandle kModuleBase = 0x400000;

// Like the platform, writes the text and its NUL and leaves the rest of the buffer as it was.
std::uint32_t CopyTerminated(const std::string& text, char* buffer, std::size_t size) {
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

}  // namespace

bool FakeProcessList::GetVersionExA(VersionInfoRecord* info) {
  if (Due("GetVersionExA") || versionFails || info->dwOSVersionInfoSize != sizeof(VersionInfoRecord)) return false;
  info->dwPlatformId = platformId;
  return true;
}

bool FakeProcessList::EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) {
  enumSizes.push_back(cb);
  if (Due("EnumProcesses") || enumFails) return false;
  const std::size_t fit = std::min<std::size_t>(processes.size(), cb / 4);
  for (std::size_t i = 0; i < fit; ++i) ids[i] = processes[i].pid;
  *returned = static_cast<std::uint32_t>(fit * 4);
  return true;
}

ProcHandle FakeProcessList::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  opened.push_back(pid);
  if (Due("OpenProcess") || access != kProcessQueryAndReadAccess || inherit) return 0;
  for (std::size_t i = 0; i < processes.size(); ++i) {
    if (processes[i].pid == pid && pid != 0 && processes[i].openable) return *handles_.insert(kHandleBase + i).first;
  }
  return 0;
}

const FakeProcess* FakeProcessList::ProcessOf(ProcHandle handle) {
  return handles_.count(handle) && handle >= kHandleBase ? &processes[handle - kHandleBase] : nullptr;
}

bool FakeProcessList::EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                         std::uint32_t* needed) {
  const FakeProcess* found = ProcessOf(process);
  if (Due("EnumProcessModules") || !found || !found->modulesListable || cb < 2 * sizeof(ModHandle)) return false;
  // Two modules, so only the first one may be taken for the executable.
  modules[0] = kModuleBase + found->pid;
  modules[1] = kModuleBase;
  *needed = 2 * sizeof(ModHandle);
  return true;
}

std::uint32_t FakeProcessList::GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                                    std::uint32_t size) {
  const FakeProcess* found = ProcessOf(process);
  const bool ok = found && module == kModuleBase + found->pid && !Due("GetModuleFileNameExA");
  return ok ? CopyTerminated(found->path, buffer, size) : 0;
}

ProcHandle FakeProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) {
  const bool ok = !snapshotFails && !Due("CreateToolhelp32Snapshot") && flags == kSnapshotProcesses && pid == 0;
  return ok ? *handles_.insert(kSnapshot).first : 0;
}

bool FakeProcessList::Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) {
  next_ = 0;
  return !Due("Process32First") && Process32Next(snapshot, entry);
}

bool FakeProcessList::Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) {
  const bool ok = handles_.count(snapshot) && snapshot == kSnapshot && entry->dwSize == sizeof(ProcessEntryRecord);
  if (!ok || Due("Process32Next") || next_ >= processes.size()) return false;
  const FakeProcess& process = processes[next_++];
  entry->th32ProcessID = process.pid;
  CopyTerminated(process.path, entry->szExeFile, sizeof entry->szExeFile);
  return true;
}

}  // namespace vsu::test
