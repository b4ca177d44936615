#include "platform/win32/win32_system.h"

#include <windows.h>

#include "platform/win32/win32_errors.h"

namespace vsu::win32 {

std::string ArgumentText(const std::string& commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const auto close = commandLine.find('"', 1);
    i = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return commandLine.substr(i);
}

std::string DirectoryOf(const std::string& programPath) {
  const auto slash = programPath.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  if (slash == 2 && programPath[1] == ':') return programPath.substr(0, 3);
  return programPath.substr(0, slash);
}

std::string Win32System::CommandLine() {
  const char* line = GetCommandLineA();
  return ArgumentText(line ? line : "");
}

std::string Win32System::OwnDirectory() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      return DirectoryOf(path);
    }
    path.resize(path.size() * 2);
  }
}

void Win32System::ChangeDirectory(const std::string& path) {
  if (!::SetCurrentDirectoryA(path.c_str())) ThrowLastError(path);
}

unsigned Win32System::GetWindowsDirectoryA(char* buffer, unsigned size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

std::string Win32System::EnvironmentValue(const std::string& name) {
  std::string value(256, '\0');
  for (;;) {
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // the size needed, terminating NUL included
  }
}

}  // namespace vsu::win32
