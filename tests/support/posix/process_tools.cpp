#include "support/posix/process_tools.h"

#include <signal.h>

#include <thread>

#include "platform/posix/proc_fs.h"

namespace vsu::test {

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void KillProcessesOf(const std::string& path) {
  for (const pid_t pid : posix::ListProcessIds()) {
    if (posix::ExecutablePath(pid) == path) ::kill(pid, SIGKILL);
  }
}

void KillProcessesUnder(const std::string& dir) {
  const std::string prefix = dir + "/";
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto path = posix::ExecutablePath(pid);
    if (path && path->rfind(prefix, 0) == 0) ::kill(pid, SIGKILL);
  }
}

int ProcessOf(const std::string& path) {
  for (const pid_t pid : posix::ListProcessIds()) {
    if (posix::ExecutablePath(pid) == path && posix::IsAlive(pid)) return pid;
  }
  return 0;
}

}  // namespace vsu::test
