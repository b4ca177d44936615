#pragma once
// The "Vela Scan" service as the safety net sees it, and the few calls it
// makes on it beyond the program's own five operations.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "platform/service_manager.h"

namespace vsu {

struct ServiceFacts {
  std::uint32_t code = 0;  // 0 when all was read; else the code of the call that failed (1060: none)
  int state = 0;
  ServiceRegistration registration;
};

// Its state and registration, read with query access only.
ServiceFacts ReadServiceFacts(Platform& p);

bool SameRegistration(const ServiceRegistration& a, const ServiceRegistration& b);

// Opens the service with access and, when given, makes call through that
// handle: 0, or the code of the open or of the call.
std::uint32_t OnVelaScanService(Platform& p, std::uint32_t access,
                                const std::function<bool(ScHandle)>& call = nullptr);

// Registers the service anew with registration: 0 or the code.
std::uint32_t RegisterVelaScanService(Platform& p, const ServiceRegistration& registration);

// Polls the service every quarter of a second until done holds for what it
// reads, at most about timeoutMs: whether it came to hold. Waits are the
// platform clock's, so they last while a service asked to stop still runs.
bool WaitForService(Platform& p, const std::function<bool(const ServiceFacts&)>& done, unsigned timeoutMs);

// "running (4)" and the like.
std::string StateText(int state);

}  // namespace vsu
