#include "process/mod_proc_enum.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "common/text.h"
#include "platform/process_list.h"
#include "process/proc_handle.h"

namespace vsu {
namespace {

constexpr std::size_t kPathLength = 260;
// The module listing is given 200 bytes, room for 50 handles on 32-bit Windows.
constexpr std::uint32_t kModuleBufferBytes = 200;

bool Matches(const std::string& candidate, const std::string& name) {
  return ContainsIgnoringCase(LowerCase(candidate), name);
}

// The process ids, read into a buffer that doubles for as long as a call fills it.
std::vector<std::uint32_t> ListProcessIds(ProcessList& list) {
  std::uint32_t size = 8;
  std::uint32_t returned = 96;
  std::vector<std::uint32_t> ids;
  while (size <= returned) {
    size *= 2;
    ids.assign(size / sizeof(std::uint32_t), 0);
    list.EnumProcesses(ids.data(), size, &returned);
  }
  ids.resize(std::min<std::size_t>(ids.size(), returned / sizeof(std::uint32_t)));
  return ids;
}

bool ProcessStatusRoad(ProcessList& list, const std::string& name) {
  for (const std::uint32_t id : ListProcessIds(list)) {
    const ScopedProcHandle process(list, list.OpenProcess(kProcessQueryAndReadAccess, false, id));
    if (!process) continue;
    std::array<ModHandle, kModuleBufferBytes / 4> modules{};
    std::uint32_t needed = 0;
    if (!list.EnumProcessModules(process.get(), modules.data(), kModuleBufferBytes, &needed)) continue;
    // The whole blank-filled buffer is the candidate, the text behind the NUL included.
    std::string path(kPathLength, ' ');
    list.GetModuleFileNameExA(process.get(), modules[0], path.data(), kPathLength);
    if (Matches(path, name)) return true;
  }
  return false;
}

bool ToolhelpRoad(ProcessList& list, const std::string& name) {
  const ScopedProcHandle snapshot(list, list.CreateToolhelp32Snapshot(kSnapshotProcesses, 0));
  if (!snapshot) return false;
  ProcessEntryRecord entry;
  entry.dwSize = sizeof(ProcessEntryRecord);
  for (bool delivered = list.Process32First(snapshot.get(), &entry); delivered;
       delivered = list.Process32Next(snapshot.get(), &entry)) {
    if (Matches(TrimLastChar(std::string(entry.szExeFile, sizeof entry.szExeFile)), name)) return true;
  }
  return false;
}

}  // namespace

bool IsProcessRunning(Platform& p, const std::string& name) {
  switch (GetPlatformId(p)) {
    case kPlatformWindows9x: return ToolhelpRoad(p.processes, name);
    case kPlatformNt: return ProcessStatusRoad(p.processes, name);
    default: return false;
  }
}

std::uint32_t GetPlatformId(Platform& p) {
  VersionInfoRecord info;
  info.dwOSVersionInfoSize = sizeof(VersionInfoRecord);
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  p.processes.GetVersionExA(&info);
  return info.dwPlatformId;
}

std::string TrimLastChar(const std::string& text) { return text.substr(0, text.size() - 1); }

}  // namespace vsu
