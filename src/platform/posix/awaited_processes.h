#pragma once
// Processes whose end the program's fixed waits stand for: the service
// installer it launched (its effect, the registration, comes before it ends)
// and a service it asked to stop. A wait that the pause scale shortened still
// lasts, up to its nominal length, while one of them runs, so that what the
// program waits for has happened when the wait ends, at any scale, as it would
// have at full length.

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace vsu::posix {

class AwaitedProcesses {
 public:
  void Add(pid_t pid);
  // True while one of them runs; forgets those that have ended.
  bool AnyRunning();

 private:
  struct Process {
    pid_t pid;
    std::uint64_t startTime;  // tells the process from a later one with its id
  };
  std::vector<Process> processes_;
};

}  // namespace vsu::posix
