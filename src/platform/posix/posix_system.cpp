#include "platform/posix/posix_system.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/errors.h"
#include "platform/posix/path_map.h"

namespace vsu::posix {

PosixSystem::PosixSystem(std::vector<std::string> args) : args_(std::move(args)) {}

std::string PosixSystem::CommandLine() {
  std::string text;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (i) text += ' ';
    text += args_[i];
  }
  return text;
}

std::string PosixSystem::OwnDirectory() {
  std::string path(4096, '\0');
  const auto n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return {};
  path.resize(static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

void PosixSystem::ChangeDirectory(const std::string& path) {
  const auto mapped = MapPath(path);
  if (!mapped) ThrowFileError(ENOTDIR, path);
  if (::chdir(mapped->c_str()) != 0) ThrowFolderError(errno, path);
}

unsigned PosixSystem::GetWindowsDirectoryA(char* buffer, unsigned size) {
  const char* value = std::getenv("WINDIR");
  if (!value || !*value) return 0;
  const auto length = static_cast<unsigned>(std::strlen(value));
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, value, length + 1);
  return length;
}

std::string PosixSystem::EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

}  // namespace vsu::posix
