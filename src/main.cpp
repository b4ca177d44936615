// Builds the platform for this operating system and runs the start-up window.

#include <cstdlib>
#include <string>
#include <vector>

#include "common/installation_state.h"
#include "common/transcript.h"
#include "platform/platform.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ip_info.h"
#include "platform/posix/posix_launcher.h"
#include "platform/posix/posix_process_list.h"
#include "platform/posix/posix_service_manager.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/sqlite_database.h"
#include "startup/frm_main.h"
#include "ui/logged_toolkit.h"
#include "ui/toolkit_factory.h"

int main(int argc, char** argv) {
  using namespace vsu;
  const char* logPath = std::getenv("VELASCANUPG_LOG");
  Transcript log(logPath ? logPath : "");
  posix::PosixSystem system(std::vector<std::string>(argv + 1, argv + argc));
  posix::PosixFiles files;
  posix::AwaitedProcesses awaited;
  posix::PosixClock clock(&awaited);
  posix::SqliteDatabase db;
  const auto backend = CreateToolkitFromEnvironment();
  LoggedToolkit ui(*backend, log);
  posix::PosixServiceManager scm(posix::ServiceDatabaseDirectory(), &awaited);
  posix::PosixProcessList processes;
  posix::PosixLauncher launcher(&awaited);
  posix::PosixIpInfo ip;
  Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};
  InstallationState state;
  return RunProgram(platform, state);
}
