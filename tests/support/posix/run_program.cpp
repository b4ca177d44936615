#include "support/posix/run_program.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace vsu::test {
namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return text;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

std::string BinPath(const std::string& name) {
  return name.find('/') != std::string::npos ? name : std::string(VSU_BIN_DIR) + "/" + name;
}

ProgramResult Run(const ProgramRun& run) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    env[entry.substr(0, entry.find('='))] = entry.substr(entry.find('=') + 1);
  }
  for (const auto& [name, value] : run.env) value ? void(env[name] = *value) : void(env.erase(name));
  std::vector<std::string> envStrings, argStrings{BinPath(run.program)};
  for (const auto& [name, value] : env) envStrings.push_back(name + "=" + value);
  argStrings.insert(argStrings.end(), run.args.begin(), run.args.end());
  const auto envp = Pointers(envStrings), argv = Pointers(argStrings);
  // Files in memory rather than pipes: nothing fills up, and nothing waits for
  // a process the program leaves running with its output inherited.
  const int in = ::memfd_create("in", MFD_CLOEXEC), out = ::memfd_create("out", MFD_CLOEXEC),
            err = ::memfd_create("err", MFD_CLOEXEC);
  if (::write(in, run.input.data(), run.input.size()) != static_cast<ssize_t>(run.input.size())) return {};
  ::lseek(in, 0, SEEK_SET);
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    ::dup2(in, 0), ::dup2(out, 1), ::dup2(err, 2);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(in);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(run.killAfterMs);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) ::kill(pid, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

}  // namespace vsu::test
