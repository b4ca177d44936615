#pragma once

namespace vsu {

// The platform's sleep. Pause is built on it, one 20 ms slice at a time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace vsu
