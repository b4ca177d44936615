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
  Expect(info->dwOSVersionInfoSize == sizeof(VersionInfoRecord), "version record size not set");
  if (Due("GetVersionExA") || versionFails) return false;
  info->dwPlatformId = platformId;
  return true;
}

bool FakeProcessList::EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) {
  enumSizes.push_back(cb);
  Expect(std::all_of(ids, ids + cb / 4, [](std::uint32_t id) { return id == 0; }), "id buffer not zero-filled");
  if (Due("EnumProcesses") || enumFails) return false;
  const std::size_t fit = std::min<std::size_t>(processes.size(), cb / 4);
  for (std::size_t i = 0; i < fit; ++i) ids[i] = processes[i].pid;
  *returned = static_cast<std::uint32_t>(fit * 4);
  return true;
}

ProcHandle FakeProcessList::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  opened.push_back(pid);
  Expect(access == kProcessQueryAndReadAccess && !inherit, "OpenProcess rights");
  if (Due("OpenProcess")) return 0;
  for (std::size_t i = 0; i < processes.size(); ++i) {
    if (processes[i].pid == pid && pid != 0 && processes[i].openable) return *handles_.insert(kHandleBase + i).first;
  }
  return 0;
}

const FakeProcess* FakeProcessList::ProcessOf(ProcHandle handle) {
  const bool open = handles_.count(handle) && handle >= kHandleBase;
  Expect(open, "process call on a bad handle");
  return open ? &processes[handle - kHandleBase] : nullptr;
}

bool FakeProcessList::EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                         std::uint32_t* needed) {
  const FakeProcess* found = ProcessOf(process);
  Expect(cb == 200, "module buffer size " + std::to_string(cb));
  if (Due("EnumProcessModules") || !found || !found->modulesListable) return false;
  // Two modules, so only the first one may be taken for the executable.
  modules[0] = kModuleBase + found->pid;
  modules[1] = kModuleBase;
  *needed = 2 * sizeof(ModHandle);
  return true;
}

std::uint32_t FakeProcessList::GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                                    std::uint32_t size) {
  const FakeProcess* found = ProcessOf(process);
  Expect(size == 260 && found && module == kModuleBase + found->pid, "module path query");
  return found && !Due("GetModuleFileNameExA") ? CopyTerminated(found->path, buffer, size) : 0;
}

bool FakeProcessList::CloseHandle(ProcHandle handle) {
  Expect(handles_.count(handle), "closed a handle that is not open");
  return handles_.erase(handle) > 0;
}

ProcHandle FakeProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) {
  Expect(flags == kSnapshotProcesses && pid == 0, "snapshot flags");
  return snapshotFails || Due("CreateToolhelp32Snapshot") ? 0 : *handles_.insert(kSnapshot).first;
}

bool FakeProcessList::Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) {
  next_ = 0;
  return !Due("Process32First") && Process32Next(snapshot, entry);
}

bool FakeProcessList::Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) {
  Expect(snapshot == kSnapshot && handles_.count(snapshot), "snapshot call on a bad handle");
  Expect(entry->dwSize == sizeof(ProcessEntryRecord), "entry record size not set");
  if (Due("Process32Next") || next_ >= processes.size()) return false;
  const FakeProcess& process = processes[next_++];
  entry->th32ProcessID = process.pid;
  CopyTerminated(process.path, entry->szExeFile, sizeof entry->szExeFile);
  return true;
}

}  // namespace vsu::test
