// VelaScanSrv: stands in for the product's service executable. With
// "-install_noMsg" it registers the "Vela Scan" service pointing at itself,
// stopped; run any other way, as the service manager does, it runs until it
// is told to stop.
//
// env VELASCANSRV_DELAY_MS: wait this long before registering (default 0).
// env VELASCANSRV_NO_REGISTER=1: never register.

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "platform/posix/posix_service_manager.h"
#include "platform/posix/proc_fs.h"

namespace {

int Install() {
  const char* never = std::getenv("VELASCANSRV_NO_REGISTER");
  if (never && std::string(never) == "1") return 0;
  if (const char* delay = std::getenv("VELASCANSRV_DELAY_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(delay, nullptr, 10)));
  }
  const auto self = vsu::posix::ExecutablePath(::getpid());
  if (!self) {
    std::cerr << "VelaScanSrv: cannot tell its own path\n";
    return 1;
  }
  const std::uint32_t code = vsu::posix::PosixServiceManager().CreateService("Vela Scan", *self, {});
  if (code == 0) return 0;
  std::cerr << "VelaScanSrv: ERROR: " << code << "\n";
  return 1;
}

// Waits for the manager's stop signal; an interrupt or hang-up ends it too.
int RunAsService() {
  sigset_t stops;
  sigemptyset(&stops);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, signal);
  ::sigprocmask(SIG_BLOCK, &stops, nullptr);
  int received = 0;
  while (::sigwait(&stops, &received) != 0) {
  }
  return 0;
}

}  // namespace

// Any other command line is the service's: however a test registers it, the
// started service stays up until it is stopped.
int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "-install_noMsg") return Install();
  return RunAsService();
}
