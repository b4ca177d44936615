#include "startup/uninstall_service.h"

#include <exception>
#include <string>

#include "common/failure.h"
#include "platform/views.h"
#include "service/service_removal.h"

namespace vsu {

void UnInstallService(Platform& p, InstallationState& s) {
  try {
    if (const auto refused = StopAndRemoveService(p, s)) {
      p.ui.MsgBox(ServiceErrorText(refused->code, refused->verb), kMsgBoxCritical, "Vela Scan");
      throw EndProgram{kExitFailed};
    }
  } catch (const std::exception&) {
    p.ui.MsgBox("Error when trying to UnInstall the Service", kMsgBoxCritical, "Vela Scan_UnInstallService");
  }
}

}  // namespace vsu
