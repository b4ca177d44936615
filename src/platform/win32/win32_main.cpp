// Builds the Windows platform and runs the start-up window.

#include <cstdlib>

#include "common/installation_state.h"
#include "common/transcript.h"
#include "platform/platform.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_database.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"
#include "startup/frm_main.h"
#include "ui/logged_toolkit.h"
#include "ui/win32_toolkit_factory.h"

int main() {
  using namespace vsu;
  // ADO needs COM on this thread before the first database is opened.
  win32::ComApartment com;
  const char* logPath = std::getenv("VELASCANUPG_LOG");
  Transcript log(logPath ? logPath : "");
  win32::Win32System system;
  win32::Win32Files files;
  win32::Win32Clock clock;
  win32::Win32Database db;
  const auto backend = win32ui::CreateToolkitFromEnvironment();
  LoggedToolkit ui(*backend, log);
  win32::Win32ServiceManager scm;
  win32::Win32ProcessList processes;
  win32::Win32Launcher launcher;
  win32::Win32IpInfo ip;
  Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};
  InstallationState state;
  return RunProgram(platform, state);
}
