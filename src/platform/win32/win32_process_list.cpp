#include "platform/win32/win32_process_list.h"

#include <windows.h>
// After windows.h, which they build on. Version 1 calls psapi.dll itself rather
// than kernel32's K32 aliases, which older systems lack.
#define PSAPI_VERSION 1
#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

namespace vsu::win32 {
namespace {

HANDLE Native(ProcHandle handle) { return reinterpret_cast<HANDLE>(handle); }
ProcHandle Port(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<ProcHandle>(handle);
}

static_assert(sizeof(ModHandle) == sizeof(HMODULE), "module handles are handed through as they are");
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

// The toolhelp entry into the program's record: the executable field keeps its
// bytes behind the NUL, as the record's reuse across entries expects.
void ToPort(const PROCESSENTRY32& from, ProcessEntryRecord* to) {
  to->cntUsage = from.cntUsage;
  to->th32ProcessID = from.th32ProcessID;
  to->th32DefaultHeapID = static_cast<std::uint32_t>(from.th32DefaultHeapID);
  to->th32ModuleID = from.th32ModuleID;
  to->cntThreads = from.cntThreads;
  to->th32ParentProcessID = from.th32ParentProcessID;
  to->pcPriClassBase = from.pcPriClassBase;
  to->dwFlags = from.dwFlags;
  const std::size_t length = strnlen(from.szExeFile, sizeof from.szExeFile);
  std::memcpy(to->szExeFile, from.szExeFile, length);
  if (length < sizeof to->szExeFile) to->szExeFile[length] = '\0';
}

bool Walk(ProcHandle snapshot, ProcessEntryRecord* entry, BOOL(WINAPI* step)(HANDLE, PROCESSENTRY32*)) {
  PROCESSENTRY32 native{};
  native.dwSize = sizeof native;
  if (!step(Native(snapshot), &native)) return false;
  ToPort(native, entry);
  return true;
}

}  // namespace

bool Win32ProcessList::GetVersionExA(VersionInfoRecord* info) {
  OSVERSIONINFOA native{};
  native.dwOSVersionInfoSize = sizeof native;
  std::memcpy(native.szCSDVersion, info->szCSDVersion, sizeof native.szCSDVersion);
  if (!::GetVersionExA(&native)) return false;
  info->dwMajorVersion = native.dwMajorVersion;
  info->dwMinorVersion = native.dwMinorVersion;
  info->dwBuildNumber = native.dwBuildNumber;
  info->dwPlatformId = native.dwPlatformId;
  std::memcpy(info->szCSDVersion, native.szCSDVersion, sizeof info->szCSDVersion);
  return true;
}

bool Win32ProcessList::EnumProcesses(std::uint32_t* ids, std::uint32_t cb, std::uint32_t* returned) {
  DWORD bytes = 0;
  const bool ok = ::EnumProcesses(reinterpret_cast<DWORD*>(ids), cb, &bytes);
  if (ok && returned) *returned = bytes;
  return ok;
}

ProcHandle Win32ProcessList::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  return Port(::OpenProcess(access, inherit, pid));
}

bool Win32ProcessList::EnumProcessModules(ProcHandle process, ModHandle* modules, std::uint32_t cb,
                                          std::uint32_t* needed) {
  DWORD bytes = 0;
  const bool ok = ::EnumProcessModules(Native(process), reinterpret_cast<HMODULE*>(modules), cb, &bytes);
  if (needed) *needed = bytes;
  return ok;
}

std::uint32_t Win32ProcessList::GetModuleFileNameExA(ProcHandle process, ModHandle module, char* buffer,
                                                     std::uint32_t size) {
  return ::GetModuleFileNameExA(Native(process), reinterpret_cast<HMODULE>(module), buffer, size);
}

bool Win32ProcessList::CloseHandle(ProcHandle handle) { return ::CloseHandle(Native(handle)); }

ProcHandle Win32ProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t pid) {
  return Port(::CreateToolhelp32Snapshot(flags, pid));
}

bool Win32ProcessList::Process32First(ProcHandle snapshot, ProcessEntryRecord* entry) {
  return Walk(snapshot, entry, ::Process32First);
}

bool Win32ProcessList::Process32Next(ProcHandle snapshot, ProcessEntryRecord* entry) {
  return Walk(snapshot, entry, ::Process32Next);
}

}  // namespace vsu::win32
