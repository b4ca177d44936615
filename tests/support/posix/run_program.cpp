#include "support/posix/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <algorithm>

extern char** environ;

namespace vsu::test {

std::string BinPath(const std::string& name) {
  return name.find('/') != std::string::npos ? name : std::string(VSU_BIN_DIR) + "/" + name;
}

ProgramResult Run(const ProgramRun& run) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const auto eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : run.env) {
    if (value) env[name] = *value;
    else env.erase(name);
  }
  std::vector<std::string> envStrings;
  for (const auto& [name, value] : env) envStrings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  const std::string path = BinPath(run.program);
  std::vector<std::string> argStrings{path};
  argStrings.insert(argStrings.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (auto& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC)) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    if (!run.workingDirectory.empty() && ::chdir(run.workingDirectory.c_str()) != 0) ::_exit(126);
    ::execve(path.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  // Feed the input and collect the output without letting either pipe fill up.
  std::size_t written = 0;
  int inFd = in[1];
  if (run.input.empty()) {
    ::close(inFd);
    inFd = -1;
  }
  ProgramResult result;
  const auto deadline = std::chrono::steady_clock::now() + (run.killAfterMs > 0
                                                               ? std::chrono::milliseconds(run.killAfterMs)
                                                               : std::chrono::milliseconds(run.timeoutSeconds * 1000));
  int open = 2;
  bool killed = false;
  ::signal(SIGPIPE, SIG_IGN);
  while (open > 0) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {inFd, POLLOUT, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int n = ::poll(fds, inFd >= 0 ? 3 : 2, killed ? 100 : static_cast<int>(std::clamp<long>(left.count(), 0, 100)));
    if (std::chrono::steady_clock::now() > deadline && !killed) {
      ::kill(pid, SIGKILL);
      killed = true;
    }
    if (n <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const auto got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got <= 0) {
        ::close(fds[i].fd);
        (i == 0 ? out[0] : err[0]) = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(got));
      }
    }
    if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const auto put = ::write(inFd, run.input.data() + written, run.input.size() - written);
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 || written == run.input.size()) {
        ::close(inFd);
        inFd = -1;
      }
    }
  }
  if (inFd >= 0) ::close(inFd);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace vsu::test
