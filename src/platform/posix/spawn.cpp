#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/posix/unique_fd.h"

extern char** environ;

namespace vsu::posix {
namespace {

// Reads exactly size bytes; false at an early end of the pipe.
bool ReadFull(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const auto n = ::read(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::vector<std::string> Environment(const SpawnRequest& request) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    bool replaced = false;
    for (const auto& [name, value] : request.environment) replaced |= text.rfind(name + "=", 0) == 0;
    if (!replaced) env.push_back(text);
  }
  for (const auto& [name, value] : request.environment) env.push_back(name + "=" + value);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs in the grandchild, where only async-signal-safe calls may be made. It
// reports its pid first, waits for the word to go (a closed pipe instead ends
// it) and, only if the program cannot be started, reports the errno.
[[noreturn]] void StartInGrandchild(int report, int go, const SpawnRequest& request, char** argv, char** envp) {
  const pid_t self = ::getpid();
  (void)!::write(report, &self, sizeof self);
  ::setsid();
  // Descriptors the caller holds (its database among them) are not the program's business.
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) ::signal(signal, SIG_DFL);
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    if (null > 2) ::close(null);
  }
  char word = 0;
  ssize_t got;
  while ((got = ::read(go, &word, 1)) < 0 && errno == EINTR) {
  }
  if (got != 1) ::_exit(0);
  if (request.directory.empty() || ::chdir(request.directory.c_str()) == 0) ::execve(argv[0], argv, envp);
  const int err = errno;
  (void)!::write(report, &err, sizeof err);
  ::_exit(127);
}

}  // namespace

HeldProgram SpawnHeld(const SpawnRequest& request) {
  std::vector<std::string> argTexts{request.program};
  argTexts.insert(argTexts.end(), request.args.begin(), request.args.end());
  auto envTexts = Environment(request);
  auto argv = Pointers(argTexts);
  auto envp = Pointers(envTexts);

  int reportEnds[2];
  int goEnds[2];
  if (::pipe2(reportEnds, O_CLOEXEC) != 0) return {0, errno, {}, {}};
  UniqueFd reportRead(reportEnds[0]);
  UniqueFd reportWrite(reportEnds[1]);
  if (::pipe2(goEnds, O_CLOEXEC) != 0) return {0, errno, {}, {}};
  UniqueFd goRead(goEnds[0]);
  UniqueFd goWrite(goEnds[1]);
  const pid_t child = ::fork();
  if (child < 0) return {0, errno, {}, {}};
  if (child == 0) {
    goWrite.Reset();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) StartInGrandchild(reportWrite.get(), goRead.get(), request, argv.data(), envp.data());
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  reportWrite.Reset();
  goRead.Reset();
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  pid_t pid = 0;
  if (!ReadFull(reportRead.get(), &pid, sizeof pid)) return {0, EAGAIN, {}, {}};
  return {pid, 0, std::move(goWrite), std::move(reportRead)};
}

SpawnResult HeldProgram::Release() {
  if (pid_ == 0) return {0, error_};
  const char word = 1;
  (void)!::write(go_.get(), &word, 1);
  go_.Reset();
  // The pipe closes without another word when the exec succeeded.
  int err = 0;
  if (ReadFull(report_.get(), &err, sizeof err)) return {0, err};
  return {pid_, 0};
}

SpawnResult Spawn(const SpawnRequest& request) { return SpawnHeld(request).Release(); }

std::string FindOnPath(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
  // An empty entry, as between two colons, stands for the current directory.
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return {};
}

}  // namespace vsu::posix
