#pragma once

#include <chrono>

#include "platform/clock.h"

namespace vsu::posix {

// Real sleep scaled by env VELASCANUPG_PAUSE_SCALE (default 1; 0 never waits).
// The time a sleep overran is taken off the next one, so a train of slices
// keeps its nominal length.
class PosixClock : public Clock {
 public:
  PosixClock();
  explicit PosixClock(double scale) : scale_(scale) {}
  void Sleep(unsigned milliseconds) override;

 private:
  double scale_ = 1.0;
  std::chrono::nanoseconds overrun_{0};
};

// Reads VELASCANUPG_PAUSE_SCALE: a non-negative number, else 1.
double PauseScaleFromEnvironment();

}  // namespace vsu::posix
