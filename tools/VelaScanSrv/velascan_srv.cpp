// VelaScanSrv: stands in for the product's service executable. With
// "-install_noMsg" it registers the "Vela Scan" service pointing at itself,
// stopped; run any other way, as the service manager does, it runs until it
// is told to stop, and meanwhile uses VelaScan.mdb of its own folder as the
// real service does. A copy named VelaScan.exe stands in for the console.
//
// env VELASCANSRV_DELAY_MS: wait this long before registering (default 0).
// env VELASCANSRV_NO_REGISTER=1: never register.
// env VELASCANSRV_STOP_MS: after the stop signal, take this long to end (default 0).

#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "platform/posix/posix_service_manager.h"
#include "platform/posix/proc_fs.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kReadInterval(100);
// A read that finds the database locked gives way quickly; the next one comes soon.
constexpr int kReadBusyTimeoutMs = 50;

std::chrono::milliseconds MillisecondsFrom(const char* variable) {
  const char* text = std::getenv(variable);
  return std::chrono::milliseconds(text ? std::strtol(text, nullptr, 10) : 0);
}

int Install() {
  const char* never = std::getenv("VELASCANSRV_NO_REGISTER");
  if (never && std::string(never) == "1") return 0;
  std::this_thread::sleep_for(MillisecondsFrom("VELASCANSRV_DELAY_MS"));
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

// The settings database of the program's own folder, kept open while the
// program runs and read in one short transaction at a time. A missing or
// unreadable database is looked for again at the next read; it is never created.
class SettingsReader {
 public:
  SettingsReader() {
    if (const auto self = vsu::posix::ExecutablePath(::getpid())) {
      path_ = self->substr(0, self->rfind('/') + 1) + "VelaScan.mdb";
    }
  }
  ~SettingsReader() { sqlite3_close_v2(db_); }
  SettingsReader(const SettingsReader&) = delete;
  SettingsReader& operator=(const SettingsReader&) = delete;

  void Read() {
    if (!db_ && !path_.empty()) {
      if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return;
      }
      sqlite3_busy_timeout(db_, kReadBusyTimeoutMs);
    }
    if (db_) sqlite3_exec(db_, "SELECT * FROM Settings_General", nullptr, nullptr, nullptr);
  }

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
};

// Runs until the manager's stop signal (an interrupt or hang-up ends it too),
// then goes on for VELASCANSRV_STOP_MS before it ends.
int RunAsService() {
  sigset_t stops;
  sigemptyset(&stops);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, signal);
  ::sigprocmask(SIG_BLOCK, &stops, nullptr);
  SettingsReader settings;
  std::optional<Clock::time_point> end;
  while (!end || Clock::now() < *end) {
    settings.Read();
    const timespec interval{0, std::chrono::nanoseconds(kReadInterval).count()};
    if (!end && ::sigtimedwait(&stops, nullptr, &interval) > 0) {
      end = Clock::now() + MillisecondsFrom("VELASCANSRV_STOP_MS");
    } else if (end) {
      std::this_thread::sleep_for(std::min<Clock::duration>(kReadInterval, *end - Clock::now()));
    }
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
