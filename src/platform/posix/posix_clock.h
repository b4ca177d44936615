#pragma once

#include <chrono>

#include "platform/clock.h"
#include "platform/posix/awaited_processes.h"

namespace vsu::posix {

// Real sleep scaled by env VELASCANUPG_PAUSE_SCALE (default 1; 0 never waits).
// The time a sleep overran is taken off the next one, so a train of slices
// keeps its nominal length. With awaited, a sleep the scale shortened goes on,
// up to its nominal length, while one of those processes still runs.
class PosixClock : public Clock {
 public:
  explicit PosixClock(AwaitedProcesses* awaited = nullptr);
  PosixClock(double scale, AwaitedProcesses* awaited = nullptr) : scale_(scale), awaited_(awaited) {}
  void Sleep(unsigned milliseconds) override;

 private:
  void SleepWhileAwaitedProcessesRun(std::chrono::nanoseconds limit);
  double scale_ = 1.0;
  AwaitedProcesses* awaited_ = nullptr;
  std::chrono::nanoseconds overrun_{0};
};

// Reads VELASCANUPG_PAUSE_SCALE: a non-negative number, else 1.
double PauseScaleFromEnvironment();

}  // namespace vsu::posix
