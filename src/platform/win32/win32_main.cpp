// Builds the Windows platform and runs the start-up window.

#include <cstdlib>

#include "common/installation_state.h"
#include "common/transcript.h"
#include "platform/platform.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_files.h"
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
  const auto backend = win32ui::CreateToolkitFromEnvironment();
  LoggedToolkit ui(*backend, log);
  Platform platform{system, files, clock, ui, log};
  InstallationState state;
  return RunProgram(platform, state);
}
