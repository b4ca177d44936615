#pragma once
// Waiting for and cleaning up after the stand-ins' processes, and a script that records how it was run.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vsu::test {

// Polls condition every few milliseconds until it holds or timeout has passed.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Kills every process whose executable is path: what a test started detached and has to take down at its end.
void KillProcessesOf(const std::string& path);
// Kills every process whose executable lies below dir, also one whose file has been replaced since it started.
void KillProcessesUnder(const std::string& dir);
// The pid of a live process whose executable is path, 0 when there is none.
int ProcessOf(const std::string& path);

struct Recorded {
  std::vector<std::string> args;
  std::string directory;
};
// Writes a script of shell built-ins at path that records its arguments and directory into recordFile.
void WriteRecorderScript(const std::string& path, const std::string& recordFile);
// What the script recorded, once it has finished writing; nullopt when it did not run within a few seconds.
std::optional<Recorded> ReadRecording(const std::string& recordFile);

}  // namespace vsu::test
