#pragma once
// Real processes for tests of the Linux stand-ins.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vsu::test {

// A program the test starts as its own child; it is killed and reaped when the
// object goes, so no test leaves it running or a zombie behind.
class ChildProcess {
 public:
  // Returns once the program has been executed (or has failed to be).
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Kills and reaps it now.
  void Stop();

 private:
  pid_t pid_ = 0;
};

// Polls condition every few milliseconds until it holds or timeout has passed.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Kills every process whose executable is path: services a test started
// through the service manager, which are not its children.
void KillProcessesOf(const std::string& path);

}  // namespace vsu::test
