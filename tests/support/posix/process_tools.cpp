#include "support/posix/process_tools.h"

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/proc_fs.h"

namespace vsu::test {
namespace {

// The first live process whose executable path satisfies match, 0 when there is none; kills each one with kill.
int Each(const std::function<bool(const std::string&)>& match, bool kill) {
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto path = posix::ExecutablePath(pid);
    if (!path || !match(*path)) continue;
    if (kill) ::kill(pid, SIGKILL);
    else if (posix::IsAlive(pid)) return pid;
  }
  return 0;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void KillProcessesOf(const std::string& path) { Each([&](const std::string& exe) { return exe == path; }, true); }

void KillProcessesUnder(const std::string& dir) {
  Each([&](const std::string& exe) { return exe.starts_with(dir + "/"); }, true);
}

int ProcessOf(const std::string& path) { return Each([&](const std::string& exe) { return exe == path; }, false); }

void WriteRecorderScript(const std::string& path, const std::string& recordFile) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; printf '%s\\nend\\n' \"$PWD\"; } > '"
                      << recordFile << "'\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::optional<Recorded> ReadRecording(const std::string& recordFile) {
  // One line per argument, then the directory; the last line tells that the script has written everything.
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
