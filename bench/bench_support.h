#pragma once
// What the benchmarks share: a platform whose pauses never sleep, timing, a
// child process with its input and output redirected, and the result table.

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/transcript.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ip_info.h"
#include "platform/posix/posix_launcher.h"
#include "platform/posix/posix_process_list.h"
#include "platform/posix/posix_service_manager.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/database_files.h"
#include "platform/sqlite/sqlite_database.h"
#include "ui/batch/batch_toolkit.h"

namespace vsu::bench {

class NoSleepClock : public Clock {
 public:
  void Sleep(unsigned) override {}
};

// The real files and database; message boxes are collected in shown.
struct BenchPlatform {
  posix::PosixSystem system{{}};
  posix::PosixFiles files;
  NoSleepClock clock;
  std::istringstream input;
  std::ostringstream shown;
  BatchToolkit ui{input, shown};
  Transcript log;
  sqlite::SqliteDatabase db{posix::MapDatabaseFile};
  posix::PosixServiceManager scm;
  posix::PosixProcessList processes;
  posix::PosixLauncher launcher;
  posix::PosixIpInfo ip;
  Platform platform{system, files, clock, ui, log, db, scm, processes, launcher, ip};
};

// A fresh directory under /tmp, removed at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The least of runs timings of run, in milliseconds; prepare runs untimed before each.
double BestOfMs(int runs, const std::function<void()>& prepare, const std::function<void()>& run);

// Runs argv[0] from PATH with stdin and stdout redirected to files ("" leaves
// them); throws std::runtime_error unless it exits with status 0. Returns the
// program's peak resident memory in MB.
double RunProgram(const std::vector<std::string>& argv, const std::string& stdinFile, const std::string& stdoutFile);

// The peak resident memory of this process so far, in MB.
double OwnPeakMb();

void CopyFile(const std::string& from, const std::string& to);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

struct Result {
  std::string benchmark;
  double oursMs;
  std::string reference;
  double referenceMs;
  double maxRatio;     // target: ours / reference at most this
  double maxOursMs;    // and ours below this (0: no bound)
  double oursPeakMb = 0;       // peak resident memory (0: not measured)
  double referencePeakMb = 0;
  double maxOursPeakMb = 0;    // target: ours below this (0: no bound)
};

// Prints the table, one row per result, and returns whether every target held.
bool PrintTable(const std::vector<Result>& results);

}  // namespace vsu::bench
