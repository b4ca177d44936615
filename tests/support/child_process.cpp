#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/posix/proc_fs.h"

namespace vsu::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> texts{program};
  texts.insert(texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(ends[1]);
  // The pipe closes at the exec, so /proc shows the new program from here on.
  char ignored;
  while (::read(ends[0], &ignored, 1) < 0 && errno == EINTR) {
  }
  ::close(ends[0]);
}

void ChildProcess::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = 0;
}

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

}  // namespace vsu::test
