#pragma once
// Running the built programs in a sandbox: its own service store, service double copy, PATH and transcript.

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

// Variables to set on top of this process's own; a nullopt value removes one.
using Env = std::map<std::string, std::optional<std::string>>;

struct ProgramResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Path of a program built into the build's bin directory; a path stays as it is.
inline std::string BinPath(const std::string& name) {
  return name.find('/') != std::string::npos ? name : std::string(VSU_BIN_DIR) + "/" + name;
}

class ServiceSandbox {
 public:
  ServiceSandbox() {
    dir.MakeDir("path");
    fs::copy_file(BinPath("VelaScanSrv"), dir.MakeDir("srv") / "VelaScanSrv");
  }
  ~ServiceSandbox() { KillProcessesOf(ServiceBinary()); }

  std::string ServiceBinary() const { return dir.str() + "/srv/VelaScanSrv"; }
  std::string TranscriptFile() const { return dir.str() + "/transcript.jsonl"; }

  // In a forked child: becomes program (see BinPath) with the sandbox's variables, no behaviour switches, and extra.
  [[noreturn]] void Exec(const std::string& program, std::vector<std::string> args, const Env& extra) const {
    const Env sandbox{
        {"VELASCANUPG_SCM", dir.str() + "/scm"}, {"WINDIR", "c:\\windows"}, {"PATH", dir.str() + "/path"},
        {"VELASCANUPG_PAUSE_SCALE", "0"}, {"VELASCANUPG_UI", "batch"}, {"VELASCANUPG_LOG", TranscriptFile()},
        {"VELASCANUPG_IPADDRESS", "198.51.100.4"}, {"VELASCANSRV_DELAY_MS", std::nullopt},
        {"VELASCANSRV_NO_REGISTER", std::nullopt}, {"VELASCANSRV_STOP_MS", std::nullopt},
        {"VELASCANUPG_CHECK", std::nullopt}, {"VELASCANUPG_BACKUP", std::nullopt},
        {"VELASCANUPG_RESTORE", std::nullopt}};
    for (const Env& env : {sandbox, extra}) {
      for (const auto& [n, v] : env) v ? ::setenv(n.c_str(), v->c_str(), 1) : ::unsetenv(n.c_str());
    }
    args.insert(args.begin(), BinPath(program));
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  // Runs program as Exec does, killed (SIGKILL) after killAfterMs.
  ProgramResult Run(const std::string& program, std::vector<std::string> args, const Env& extra = {},
                    int killAfterMs = 120000) const {
    // Files in memory, not pipes: nothing fills up or waits for a process left running with the output; no input.
    const int in = ::memfd_create("in", MFD_CLOEXEC), out = ::memfd_create("out", MFD_CLOEXEC),
              err = ::memfd_create("err", MFD_CLOEXEC);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(in, 0), ::dup2(out, 1), ::dup2(err, 2);
      Exec(program, std::move(args), extra);
    }
    ::close(in);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(killAfterMs);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) ::kill(pid, SIGKILL);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto readAll = [](int fd) {
      std::string text(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
      const bool read = ::pread(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
      ::close(fd);
      return read ? text : std::string();
    };
    return {pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(out), readAll(err)};
  }
  ProgramResult Sc(std::vector<std::string> args, const Env& env = {}) const { return Run("velascan-sc", args, env); }
  ProgramResult Srv(std::vector<std::string> args, const Env& env = {}) const {
    return Run(ServiceBinary(), args, env);
  }
  // The pid of the running service process, 0 when there is none.
  int ServiceProcess() const { return ProcessOf(ServiceBinary()); }

  TempDir dir;
};

}  // namespace vsu::test
