#include "platform/win32/win32_program.h"

#include <cstdlib>

#include "common/failure.h"
#include "common/installation_state.h"
#include "common/transcript.h"
#include "platform/platform.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_database.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"
#include "startup/frm_main.h"
#include "ui/logged_toolkit.h"
#include "ui/win32_toolkit_factory.h"
// Last: the ports above name constants that <windows.h> makes macros of.
#include <windows.h>

namespace vsu::win32 {

int RunOnWindows(Files& files) {
  try {
    // ADO and the file-copy object need COM on this thread before their first use.
    ComApartment com;
    const char* logPath = std::getenv("VELASCANUPG_LOG");
    Transcript log(logPath ? logPath : "");
    Win32System system;
    Win32Clock clock;
    Win32Database db;
    const auto backend = win32ui::CreateToolkitFromEnvironment();
    LoggedToolkit ui(*backend, log);
    Win32ServiceManager scm;
    Win32ProcessList processes;
    Win32Launcher launcher;
    Win32IpInfo ip;
    Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};
    InstallationState state;
    return RunProgram(platform, state);
  } catch (const std::exception& failure) {
    MessageBoxA(nullptr, FailureDescription(failure).c_str(), "Vela Scan", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return kExitFailed;
  }
}

}  // namespace vsu::win32
