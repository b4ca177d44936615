#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vsu {

// Waits in whole 20 ms slices, handling window events after each; less than
// one slice returns at once and the remainder below 20 ms is dropped.
void Pause(Platform& p, std::int16_t milliseconds);

}  // namespace vsu
