#pragma once
// Waiting for and cleaning up after the real processes of the Linux stand-ins.

#include <chrono>
#include <functional>
#include <string>

namespace vsu::test {

// Polls condition every few milliseconds until it holds or timeout has passed.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Kills every process whose executable is path: what a test started detached
// and has to take down at its end.
void KillProcessesOf(const std::string& path);

// Kills every process whose executable lies below dir, also one whose file
// has been replaced since it started.
void KillProcessesUnder(const std::string& dir);

// The pid of a live process whose executable is path, 0 when there is none.
int ProcessOf(const std::string& path);

}  // namespace vsu::test
