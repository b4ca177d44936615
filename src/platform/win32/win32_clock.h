#pragma once

#include "platform/clock.h"

namespace vsu::win32 {

// kernel32's Sleep: Pause waits for real on Windows.
class Win32Clock : public Clock {
 public:
  void Sleep(unsigned milliseconds) override;
};

}  // namespace vsu::win32
