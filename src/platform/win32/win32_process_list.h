#pragma once

#include "platform/process_list.h"

namespace vsu::win32 {

// The process walks through kernel32 and psapi, call for call; the program's
// fixed records are converted to and from the platform's own.
class Win32ProcessList : public ProcessList {
 public:
  bool GetVersionExA(VersionInfoRecord* info) override;
  bool EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) override;
  ProcHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  bool EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb, std::uint32_t* needed) override;
  std::uint32_t GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                     std::uint32_t size) override;
  bool CloseHandle(ProcHandle handle) override;
  ProcHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) override;
  bool Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) override;
  bool Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) override;
};

}  // namespace vsu::win32
