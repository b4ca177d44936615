// A full SNMPc upgrade at real speed: how close the run's wall time comes to
// the sum of its nominal waits, how much time the work between them takes, and
// the run's peak resident memory. The time targets hold for an installation of
// the usual size (the default row count); the memory target for any size.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "make_fixture/fixture.h"

namespace vsu::bench {
namespace {

std::string BinDir() {
  char path[4096];
  const auto n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) throw std::runtime_error("cannot find the build's bin directory");
  const std::string self(path, static_cast<std::size_t>(n));
  return self.substr(0, self.rfind('/'));
}

// The sum of the waits the transcript records, as Pause takes them: whole 20 ms slices.
long NominalPauseMs(const std::string& transcript) {
  std::istringstream lines(ReadFile(transcript));
  long total = 0;
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find("\"event\":\"pause\",\"ms\":");
    if (at != std::string::npos) total += std::atol(line.c_str() + at + 21) / 20 * 20;
  }
  return total;
}

constexpr long kUsualRows = 100;
constexpr double kMaxPeakMb = 16;

struct Sample {
  double wallMs;
  double nominalMs;
  double peakMb;
  double OutsideMs() const { return wallMs - nominalMs; }
};

// One upgrade of a fresh installation whose service runs.
Sample RunOnce(const std::string& bin, long rows) {
  ScratchDir scratch;
  fixture::InstallationOptions options;
  options.drive = scratch.path() + "/c";
  options.database.version = "2.00";
  options.database.rows = rows;
  options.programFiles = true;
  options.serviceBinary = bin + "/VelaScanSrv";
  fixture::MakeInstallation(options);

  const std::string transcript = scratch.path() + "/transcript.jsonl";
  ::setenv("VELASCANUPG_DRIVE_C", options.drive.c_str(), 1);
  ::setenv("WINDIR", fixture::kWindowsDir, 1);
  ::setenv("VELASCANUPG_SCM", (scratch.path() + "/scm").c_str(), 1);
  ::setenv("VELASCANUPG_LOG", transcript.c_str(), 1);
  ::setenv("VELASCANUPG_UI", "batch", 1);
  ::setenv("VELASCANUPG_PAUSE_SCALE", "1", 1);
  const std::string service = scratch.path() + "/c/VelaScan/VelaScanSrv.exe";
  RunProgram({bin + "/velascan-sc", "create", "Vela Scan", service}, "", "/dev/null");
  RunProgram({bin + "/velascan-sc", "start", "Vela Scan"}, "", "/dev/null");

  const auto start = std::chrono::steady_clock::now();
  const double peakMb = RunProgram({bin + "/velascanupg", "c:\\VelaScan"}, "/dev/null", "/dev/null");
  const double wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  try {
    RunProgram({bin + "/velascan-sc", "stop", "Vela Scan"}, "", "/dev/null");
  } catch (const std::exception&) {
    // Already stopped: nothing left running either way.
  }
  return {wallMs, static_cast<double>(NominalPauseMs(transcript)), peakMb};
}

// The timings are the median of runs upgrades, so that one run that another
// program's work delayed does not decide; the memory is the largest peak.
int Main(long rows, int runs) {
  const std::string bin = BinDir();
  std::vector<Sample> samples;
  for (int i = 0; i < runs; ++i) samples.push_back(RunOnce(bin, rows));
  std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.OutsideMs() < b.OutsideMs(); });
  const Sample& median = samples[samples.size() / 2];
  double peakMb = 0;
  for (const Sample& sample : samples) peakMb = std::max(peakMb, sample.peakMb);

  const double ratio = median.wallMs / median.nominalMs;
  const double outsideMs = median.OutsideMs();
  const bool timed = rows == kUsualRows;
  const auto target = [&](const char* bound, bool met) {
    return timed ? std::string("target ") + bound + (met ? " ok" : " MISSED") : std::string();
  };
  std::printf("%-34s %12s   (%ld rows per table, median of %d runs)\n", "measure", "value", rows, runs);
  std::printf("%-34s %12.1f\n", "wall time of the run (ms)", median.wallMs);
  std::printf("%-34s %12.1f\n", "sum of nominal pauses (ms)", median.nominalMs);
  std::printf("%-34s %12.4f   %s\n", "wall / nominal", ratio, target("<= 1.01", ratio <= 1.01).c_str());
  std::printf("%-34s %12.1f   %s (runs: %.1f to %.1f)\n", "time outside pauses (ms)", outsideMs,
              target("< 50", outsideMs < 50).c_str(), samples.front().OutsideMs(), samples.back().OutsideMs());
  std::printf("%-34s %12.1f   target < %.0f %s\n", "peak resident memory (MB)", peakMb, kMaxPeakMb,
              peakMb < kMaxPeakMb ? "ok" : "MISSED");
  const bool timeMet = !timed || (ratio <= 1.01 && outsideMs < 50);
  return timeMet && peakMb < kMaxPeakMb ? 0 : 1;
}

}  // namespace
}  // namespace vsu::bench

// bench-pause-accuracy [ROWS [RUNS]]: ROWS rows in SuppGrp_Perm and
// Maintenance (default 100), RUNS upgrades (default 3).
int main(int argc, char** argv) {
  try {
    return vsu::bench::Main(argc > 1 ? std::atol(argv[1]) : vsu::bench::kUsualRows,
                            argc > 2 ? std::max(1, std::atoi(argv[2])) : 3);
  } catch (const std::exception& e) {
    std::cerr << "bench-pause-accuracy: " << e.what() << "\n";
    return 1;
  }
}
