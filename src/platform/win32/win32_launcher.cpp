#include "platform/win32/win32_launcher.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <vector>

#include "platform/win32/unique_handle.h"

namespace vsu::win32 {
namespace {

// The record the program describes is the 32-bit one; a 64-bit build passes its own larger size.
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == kShellExecuteInfoSize);

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The candidates for a name without extension: as given, then with ".exe".
std::string FindIn(const std::string& directory, const std::string& program) {
  if (directory.empty()) return "";
  std::string base = directory;
  if (base.back() != '\\' && base.back() != '/') base += '\\';
  for (const std::string& name : {program, program + ".exe"}) {
    if (IsFile(base + name)) return base + name;
  }
  return "";
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::string ProgramName(const std::string& command) {
  if (!command.empty() && command[0] == '"') {
    const auto close = command.find('"', 1);
    return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return command.substr(0, command.find_first_of(" \t"));
}

std::string FindProgram(const std::string& program) {
  if (program.empty()) return "";
  if (program.find_first_of("\\/:") != std::string::npos) return IsFile(program) ? program : "";
  char systemDir[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(systemDir, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    if (auto found = FindIn(systemDir, program); !found.empty()) return found;
  }
  const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (size == 0) return "";
  std::string path(size, '\0');
  path.resize(GetEnvironmentVariableA("PATH", path.data(), size));
  std::size_t start = 0;
  while (start <= path.size()) {
    const auto end = path.find(';', start);
    std::string directory = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (directory.size() >= 2 && directory.front() == '"' && directory.back() == '"') {
      directory = directory.substr(1, directory.size() - 2);
    }
    if (auto found = FindIn(directory, program); !found.empty()) return found;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return "";
}

bool Win32Launcher::ShellExecuteExA(const ShellExecuteInfo& info) {
  SHELLEXECUTEINFOA native{};
  native.cbSize = sizeof native;
  native.fMask = info.fMask;
  native.hwnd = reinterpret_cast<HWND>(info.hwnd);
  native.lpVerb = OrNull(info.lpVerb);
  native.lpFile = OrNull(info.lpFile);
  native.lpParameters = OrNull(info.lpParameters);
  native.lpDirectory = OrNull(info.lpDirectory);
  native.nShow = info.nShow;
  const bool ok = ::ShellExecuteExA(&native);
  // The program never waits for the launched process, so its handle is not kept.
  UniqueHandle process(native.hProcess);
  return ok;
}

std::uint32_t Win32Launcher::StartProgram(const std::string& command, int windowStyle) {
  const std::string program = FindProgram(ProgramName(command));
  if (program.empty()) return 0;
  std::vector<char> commandLine(command.begin(), command.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION created{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &created)) {
    return 0;
  }
  UniqueHandle process(created.hProcess);
  UniqueHandle thread(created.hThread);
  return created.dwProcessId;
}

}  // namespace vsu::win32
