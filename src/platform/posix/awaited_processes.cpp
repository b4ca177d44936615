#include "platform/posix/awaited_processes.h"

#include "platform/posix/proc_fs.h"

namespace vsu::posix {

void AwaitedProcesses::Add(pid_t pid) {
  if (const auto stat = ReadProcessStat(pid)) processes_.push_back({pid, stat->startTime});
}

bool AwaitedProcesses::AnyRunning() {
  std::erase_if(processes_, [](const Process& p) { return !IsAlive(p.pid, p.startTime); });
  return !processes_.empty();
}

}  // namespace vsu::posix
