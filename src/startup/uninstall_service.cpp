#include "startup/uninstall_service.h"

#include <exception>
#include <string>

#include "common/failure.h"
#include "forms/pause.h"
#include "platform/views.h"
#include "service/nt_service_control.h"

namespace vsu {
namespace {

constexpr std::int16_t kServicePauseMs = 2000;

[[noreturn]] void EndWithServiceError(Platform& p, std::uint32_t code, const char* verb) {
  p.ui.MsgBox("Error [" + std::to_string(code) + "]  when " + verb + " the service", kMsgBoxCritical, "Vela Scan");
  throw EndProgram{kExitFailed};
}

}  // namespace

void UnInstallService(Platform& p, InstallationState& s) {
  try {
    s.ServiceState = ServiceQueryState(p);
    if (s.ServiceState == kServiceRunning) {
      if (const auto code = ServiceStop(p)) EndWithServiceError(p, code, "stop");
      Pause(p, kServicePauseMs);
    }
    // The state read before the stop decides: a service stopped just now is deleted too.
    if (s.ServiceState != kServiceNone) {
      if (const auto code = ServiceRemove(p)) EndWithServiceError(p, code, "uninstall");
      Pause(p, kServicePauseMs);
    }
  } catch (const std::exception&) {
    p.ui.MsgBox("Error when trying to UnInstall the Service", kMsgBoxCritical, "Vela Scan_UnInstallService");
  }
}

}  // namespace vsu
