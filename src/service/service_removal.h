#pragma once
// The stop and removal of the service that the upgrade run and the uninstall
// mode both make, and the words of a refused request.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/installation_state.h"
#include "platform/platform.h"

namespace vsu {

// "Error [" code "]  when " verb " the service" (two blanks before "when").
std::string ServiceErrorText(std::uint32_t code, const char* verb);

struct RefusedRequest {
  std::uint32_t code;
  const char* verb;  // "stop" or "uninstall"
};

// Where the removal has got to, for a window that shows it; any may be empty.
struct RemovalSteps {
  std::function<void()> stateRead;  // ServiceState was read
  std::function<void()> stopping;   // a stop request follows
  std::function<void()> stopDone;   // the stop part is over, whether a stop was needed or not
  std::function<void()> removing;   // the removal follows
};

// Reads ServiceState; a running service is asked to stop, and one that exists
// (the state read before the stop decides) is removed, each followed by a
// 2000 ms Pause. The first refused request ends it and is returned.
std::optional<RefusedRequest> StopAndRemoveService(Platform& p, InstallationState& s,
                                                   const RemovalSteps& steps = {});

}  // namespace vsu
