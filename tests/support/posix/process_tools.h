#pragma once
// Finding and cleaning up after the stand-ins' processes, and a script that records how it was run.

#include <signal.h>

#include "platform/posix/proc_fs.h"
#include "support/testing.h"

namespace vsu::test {

// The first live process whose executable path satisfies match, 0 when there is none; kills each one with kill.
inline int EachProcess(const std::function<bool(const std::string&)>& match, bool kill) {
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto path = posix::ExecutablePath(pid);
    if (!path || !match(*path)) continue;
    if (kill) ::kill(pid, SIGKILL);
    if (!kill && posix::IsAlive(pid)) return pid;
  }
  return 0;
}
// Kills every process whose executable is path: what a test started detached and has to take down at its end.
inline void KillProcessesOf(const std::string& path) { EachProcess([&](auto& exe) { return exe == path; }, true); }
// The pid of a live process whose executable is path, 0 when there is none.
inline int ProcessOf(const std::string& path) { return EachProcess([&](auto& exe) { return exe == path; }, false); }

struct Recorded {
  std::vector<std::string> args;
  std::string directory;
};
// Writes a script of shell built-ins at path that records its arguments and directory into recordFile.
inline void WriteRecorderScript(const std::string& path, const std::string& recordFile) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" \"$PWD\" end > '" << recordFile << "'\n";
  fs::permissions(path, fs::perms::owner_all);
}
// What the script recorded (one line per argument, the directory, "end"); nullopt when it did not finish in time.
inline std::optional<Recorded> ReadRecording(const std::string& recordFile) {
  std::vector<std::string> lines;
  const bool done = WaitFor([&] {
    std::ifstream in(recordFile);
    lines.clear();
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines.size() >= 2 && lines.back() == "end";
  });
  if (!done) return std::nullopt;
  return Recorded{{lines.begin(), lines.end() - 2}, lines[lines.size() - 2]};
}

}  // namespace vsu::test
