#include "platform/posix/proc_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "platform/posix/unique_fd.h"

namespace vsu::posix {
namespace {

std::string ProcFile(pid_t pid, const char* name) {
  return "/proc/" + std::to_string(pid) + "/" + name;
}

std::optional<std::string> ReadWhole(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (;;) {
    const auto n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

std::vector<pid_t> ListProcessIds() {
  std::vector<pid_t> ids;
  std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
  if (!proc) return ids;
  while (const dirent* entry = ::readdir(proc.get())) {
    char* end = nullptr;
    const long id = std::strtol(entry->d_name, &end, 10);
    if (*end == '\0' && id > 0) ids.push_back(static_cast<pid_t>(id));
  }
  return ids;
}

std::optional<ProcessStat> ReadProcessStat(pid_t pid) {
  const auto text = ReadWhole(ProcFile(pid, "stat"));
  if (!text) return std::nullopt;
  // The command name in parentheses may hold blanks and parentheses itself.
  const auto close = text->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(text->substr(close + 1));
  ProcessStat stat;
  std::string skip;
  fields >> stat.state >> stat.parent;
  // Fields 5 to 17 are not needed; 18 is the priority, 20 the threads, 22 the start time.
  for (int field = 5; field <= 17; ++field) fields >> skip;
  fields >> stat.priority >> skip >> stat.threads >> skip >> stat.startTime;
  if (!fields) return std::nullopt;
  return stat;
}

bool IsAlive(pid_t pid, std::uint64_t startTime) {
  if (pid <= 0) return false;
  const auto stat = ReadProcessStat(pid);
  if (!stat || stat->state == 'Z' || stat->state == 'X') return false;
  return startTime == 0 || stat->startTime == startTime;
}

std::optional<std::string> ExecutablePath(pid_t pid) {
  std::string path(4096, '\0');
  const auto n = ::readlink(ProcFile(pid, "exe").c_str(), path.data(), path.size());
  if (n < 0) return std::nullopt;
  path.resize(static_cast<std::size_t>(n));
  return path;
}

bool IsRunningProgram(const struct stat& st) {
  // Only a file that may be executed can be a running program; this spares
  // the walk for the data files.
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0111) == 0) return false;
  for (const pid_t pid : ListProcessIds()) {
    struct stat program;
    if (::stat(ProcFile(pid, "exe").c_str(), &program) == 0 && program.st_dev == st.st_dev &&
        program.st_ino == st.st_ino && IsAlive(pid)) {
      return true;
    }
  }
  return false;
}

std::string CommandName(pid_t pid) {
  const auto text = ReadWhole(ProcFile(pid, "cmdline"));
  if (!text) return {};
  return text->substr(0, text->find('\0'));
}

}  // namespace vsu::posix
