#include "platform/posix/posix_process_list.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/posix/path_map.h"
#include "platform/posix/proc_fs.h"

namespace vsu::posix {
namespace {

// The handle of every process's single module, as an executable's load address looks.
constexpr ModHandle kMainModule = 0x400000;

std::string ModulePath(pid_t pid) {
  if (auto path = ExecutablePath(pid)) return *path;
  return CommandName(pid);
}

// Copies text NUL-terminated into size bytes, cutting it when needed; the
// bytes behind the NUL stay as they were. Returns the length copied.
std::uint32_t CopyTerminated(const std::string& text, char* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace

bool PosixProcessList::GetVersionExA(VersionInfoRecord* info) {
  if (info->dwOSVersionInfoSize != sizeof(VersionInfoRecord)) return false;
  utsname names{};
  if (::uname(&names) == 0) {
    unsigned major = 0, minor = 0, build = 0;
    std::sscanf(names.release, "%u.%u.%u", &major, &minor, &build);
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = build;
  }
  info->dwPlatformId = kPlatformNt;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  return true;
}

bool PosixProcessList::EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) {
  const auto all = ListProcessIds();
  const std::size_t fit = std::min<std::size_t>(all.size(), cb / sizeof(std::uint32_t));
  std::copy_n(all.begin(), fit, ids);
  *returned = static_cast<std::uint32_t>(fit * sizeof(std::uint32_t));
  return true;
}

ProcHandle PosixProcessList::OpenProcess(std::uint32_t, bool, std::uint32_t pid) {
  const auto id = static_cast<pid_t>(pid);
  if (id <= 0 || !IsAlive(id)) return 0;
  // Reading the executable link needs the same rights as reading the process's
  // memory; a deleted executable still leaves the command line to go by.
  if (!ExecutablePath(id)) {
    const int err = errno;
    if (err != ENOENT || CommandName(id).empty()) return 0;
  }
  const ProcHandle handle = NewHandle();
  processes_[handle] = id;
  return handle;
}

bool PosixProcessList::EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                          std::uint32_t* needed) {
  if (!processes_.count(process)) return false;
  *needed = sizeof(ModHandle);
  if (cb >= sizeof(ModHandle)) modules[0] = kMainModule;
  return true;
}

std::uint32_t PosixProcessList::GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                                     std::uint32_t size) {
  const auto found = processes_.find(process);
  if (found == processes_.end() || module != kMainModule) return 0;
  return CopyTerminated(ModulePath(found->second), buffer, size);
}

bool PosixProcessList::CloseHandle(ProcHandle handle) {
  return processes_.erase(handle) + snapshots_.erase(handle) > 0;
}

ProcHandle PosixProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t) {
  if (!(flags & kSnapshotProcesses)) return 0;
  const ProcHandle handle = NewHandle();
  snapshots_[handle] = Snapshot{ListProcessIds(), 0};
  return handle;
}

bool PosixProcessList::Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) {
  const auto found = snapshots_.find(snapshot);
  if (found == snapshots_.end()) return false;
  found->second.next = 0;
  return FillEntry(found->second, entry);
}

bool PosixProcessList::Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) {
  const auto found = snapshots_.find(snapshot);
  return found != snapshots_.end() && FillEntry(found->second, entry);
}

ProcHandle PosixProcessList::NewHandle() {
  lastHandle_ += 4;
  return lastHandle_;
}

bool PosixProcessList::FillEntry(Snapshot& snapshot, ProcessEntryRecord* entry) {
  if (entry->dwSize != sizeof(ProcessEntryRecord)) return false;
  // Processes that ended since the snapshot was taken are passed over.
  while (snapshot.next < snapshot.ids.size()) {
    const pid_t id = snapshot.ids[snapshot.next++];
    const auto stat = ReadProcessStat(id);
    if (!stat) continue;
    entry->cntUsage = 0;
    entry->th32ProcessID = static_cast<std::uint32_t>(id);
    entry->th32ParentProcessID = static_cast<std::uint32_t>(stat->parent);
    entry->cntThreads = static_cast<std::uint32_t>(stat->threads);
    entry->pcPriClassBase = static_cast<std::int32_t>(stat->priority);
    CopyTerminated(std::string(BaseName(ModulePath(id))), entry->szExeFile, sizeof entry->szExeFile);
    return true;
  }
  return false;
}

}  // namespace vsu::posix
