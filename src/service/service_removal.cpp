#include "service/service_removal.h"

#include "forms/pause.h"
#include "service/nt_service_control.h"

namespace vsu {
namespace {

constexpr std::int16_t kServicePauseMs = 2000;

void Announce(const std::function<void()>& step) {
  if (step) step();
}

}  // namespace

std::string ServiceErrorText(std::uint32_t code, const char* verb) {
  return "Error [" + std::to_string(code) + "]  when " + verb + " the service";
}

std::optional<RefusedRequest> StopAndRemoveService(Platform& p, InstallationState& s, const RemovalSteps& steps) {
  s.ServiceState = ServiceQueryState(p);
  Announce(steps.stateRead);
  if (s.ServiceState == kServiceRunning) {
    Announce(steps.stopping);
    if (const auto code = ServiceStop(p)) return RefusedRequest{code, "stop"};
    Pause(p, kServicePauseMs);
  }
  Announce(steps.stopDone);
  if (s.ServiceState != kServiceNone) {
    Announce(steps.removing);
    if (const auto code = ServiceRemove(p)) return RefusedRequest{code, "uninstall"};
    Pause(p, kServicePauseMs);
  }
  return std::nullopt;
}

}  // namespace vsu
