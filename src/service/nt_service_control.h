#pragma once
// The five operations on the "Vela Scan" service. Each connects to the
// service manager, opens the service with only the access it needs, makes its
// request and closes both handles before it returns. None waits for the
// service to change state; the callers wait.

#include <cstdint>

#include "platform/platform.h"

namespace vsu {

inline constexpr const char* kServiceName = "Vela Scan";

// Service states as the manager reports them; 0 means none could be read.
inline constexpr int kServiceNone = 0;
inline constexpr int kServiceStopped = 1;
inline constexpr int kServiceRunning = 4;

// The service's current state, or 0 when the manager, the service or its
// status could not be reached.
int ServiceQueryState(Platform& p);

// 0 when the service's configuration could be read, else the system error code.
std::uint32_t ServiceQueryConfig(Platform& p);

// Asks the service to stop: 0 when the request was accepted, else the code.
std::uint32_t ServiceStop(Platform& p);

// Asks the service to stop (a refusal is ignored) and deletes it: 0 when it is
// deleted or marked for deletion, else the code of the failing open or delete.
std::uint32_t ServiceRemove(Platform& p);

// Asks the service to start: 0 when the start was accepted, else the code.
std::uint32_t ServiceStart(Platform& p);

}  // namespace vsu
