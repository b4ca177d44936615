#include "main/win32/program.h"

#include <windows.h>

#include <cstdlib>

#include "common/failure.h"
#include "common/installation_state.h"
#include "common/transcript.h"
#include "main/toolkit.h"
#include "platform/win32/win32_platform.h"
#include "startup/frm_main.h"
#include "ui/logged_toolkit.h"

namespace vsu {

int RunOnWindows(Files* files) {
  try {
    const char* logPath = std::getenv("VELASCANUPG_LOG");
    Transcript log(logPath ? logPath : "");
    const auto toolkit = CreateToolkitFromEnvironment();
    LoggedToolkit ui(*toolkit, log);
    win32::Win32Platform backend(ui, log);
    Platform platform = files ? WithFiles(backend.platform(), *files) : backend.platform();
    InstallationState state;
    return RunProgram(platform, state);
  } catch (const std::exception& failure) {
    MessageBoxA(nullptr, FailureDescription(failure).c_str(), "Vela Scan", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return kExitFailed;
  }
}

}  // namespace vsu
