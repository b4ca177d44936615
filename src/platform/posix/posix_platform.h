#pragma once
// The Linux stand-ins for every platform service, made into the program's platform.

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/awaited_processes.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ip_info.h"
#include "platform/posix/posix_launcher.h"
#include "platform/posix/posix_process_list.h"
#include "platform/posix/posix_service_manager.h"
#include "platform/posix/posix_system.h"
#include "platform/sqlite/sqlite_database.h"

namespace vsu::posix {

class PosixPlatform {
 public:
  // args: argv[1..] as the process received them; ui and log are the run's
  // window toolkit and transcript, which the backend does not own.
  PosixPlatform(std::vector<std::string> args, WindowToolkit& ui, Transcript& log);
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;
  Platform& platform() { return platform_; }

 private:
  // The installer the launcher starts and the services the manager stops make
  // the clock's shortened waits last until they are done.
  AwaitedProcesses awaited_;
  PosixSystem system_;
  PosixFiles files_;
  PosixClock clock_{&awaited_};
  sqlite::SqliteDatabase db_;
  PosixServiceManager scm_{ServiceDatabaseDirectory(), &awaited_};
  PosixProcessList processes_;
  PosixLauncher launcher_{&awaited_};
  PosixIpInfo ip_;
  Platform platform_;
};

}  // namespace vsu::posix
