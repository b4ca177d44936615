#pragma once
// What /proc tells about processes: shared by the process list, the service
// manager and the launcher.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vsu::posix {

// The ids of all processes visible in /proc, in the order the kernel lists them.
std::vector<pid_t> ListProcessIds();

struct ProcessStat {
  char state = '?';              // R, S, D, Z, ...
  pid_t parent = 0;
  long threads = 0;
  long priority = 0;
  std::uint64_t startTime = 0;   // clock ticks after boot; tells a reused id apart
};

// The process's /proc/PID/stat, or nullopt when it is gone.
std::optional<ProcessStat> ReadProcessStat(pid_t pid);

// True while the process exists and has not exited; a zombie counts as exited.
// With a startTime other than 0, a different process that reuses the id does not count.
bool IsAlive(pid_t pid, std::uint64_t startTime = 0);

// The target of /proc/PID/exe; errno tells why when it cannot be read.
std::optional<std::string> ExecutablePath(pid_t pid);

// The first word of /proc/PID/cmdline; empty for kernel threads and zombies.
std::string CommandName(pid_t pid);

// True when a live process that this account may look at runs the file
// described by st as its program.
bool IsRunningProgram(const struct stat& st);

}  // namespace vsu::posix
