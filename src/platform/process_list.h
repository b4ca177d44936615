#pragma once
// The process-list calls of the console check, with their Win32 meanings. The
// records are the program's own fixed layouts; a backend converts.

#include <cstdint>

namespace vsu {

using ProcHandle = std::uintptr_t;
using ModHandle = std::uintptr_t;

struct VersionInfoRecord {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(VersionInfoRecord) == 148);

struct ProcessEntryRecord {
  std::uint32_t dwSize = 0;
  std::uint32_t cntUsage = 0;
  std::uint32_t th32ProcessID = 0;
  std::uint32_t th32DefaultHeapID = 0;
  std::uint32_t th32ModuleID = 0;
  std::uint32_t cntThreads = 0;
  std::uint32_t th32ParentProcessID = 0;
  std::int32_t pcPriClassBase = 0;
  std::uint32_t dwFlags = 0;
  char szExeFile[260] = {};
};
static_assert(sizeof(ProcessEntryRecord) == 296);

// VER_PLATFORM_WIN32_WINDOWS, VER_PLATFORM_WIN32_NT, TH32CS_SNAPPROCESS and
// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ of <windows.h>.
inline constexpr std::uint32_t kPlatformWindows9x = 1;
inline constexpr std::uint32_t kPlatformNt = 2;
inline constexpr std::uint32_t kSnapshotProcesses = 2;
inline constexpr std::uint32_t kProcessQueryAndReadAccess = 0x410;

class ProcessList {
 public:
  virtual ~ProcessList() = default;
  virtual bool GetVersionExA(VersionInfoRecord* info) = 0;
  // Writes as many ids as fit into cb bytes and sets *returned to the bytes written.
  virtual bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) = 0;
  virtual ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) = 0;
  virtual bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                  std::uint32_t* needed) = 0;
  // Writes the module's path, NUL-terminated, and returns its length.
  virtual std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                             std::uint32_t size) = 0;
  virtual bool CloseHandle(ProcHandle handle) = 0;
  virtual ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) = 0;
  virtual bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) = 0;
  virtual bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) = 0;
};

}  // namespace vsu
