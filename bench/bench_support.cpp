#include "bench_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace vsu::bench {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vsu-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch directory");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

double BestOfMs(int runs, const std::function<void()>& prepare, const std::function<void()>& run) {
  double best = std::numeric_limits<double>::max();
  for (int i = 0; i < runs; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

namespace {

double Megabytes(long kilobytes) { return static_cast<double>(kilobytes) / 1024.0; }

}  // namespace

double OwnPeakMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return Megabytes(usage.ru_maxrss);
}

double RunProgram(const std::vector<std::string>& argv, const std::string& stdinFile, const std::string& stdoutFile) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (!stdinFile.empty()) {
      const int fd = ::open(stdinFile.c_str(), O_RDONLY);
      if (fd < 0 || ::dup2(fd, 0) < 0) ::_exit(126);
    }
    if (!stdoutFile.empty()) {
      const int fd = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::dup2(fd, 1) < 0) ::_exit(126);
    }
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(argv[0] + " failed");
  return Megabytes(usage.ru_maxrss);
}

void CopyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool PrintTable(const std::vector<Result>& results) {
  bool allMet = true;
  std::printf("%-44s %10s %8s  %-12s %10s %8s %7s  %s\n", "benchmark", "ours ms", "ours MB", "reference", "ref ms",
              "ref MB", "ratio", "target");
  const auto megabytes = [](double mb) {
    char text[16] = "-";
    if (mb > 0) std::snprintf(text, sizeof text, "%.1f", mb);
    return std::string(text);
  };
  for (const auto& r : results) {
    const double ratio = r.oursMs / r.referenceMs;
    const bool met = ratio <= r.maxRatio && (r.maxOursMs <= 0 || r.oursMs < r.maxOursMs) &&
                     (r.maxOursPeakMb <= 0 || r.oursPeakMb < r.maxOursPeakMb);
    allMet = allMet && met;
    std::string target = "<= " + std::to_string(r.maxRatio).substr(0, 3) + "x";
    if (r.maxOursMs > 0) target += ", < " + std::to_string(static_cast<long>(r.maxOursMs)) + " ms";
    if (r.maxOursPeakMb > 0) target += ", < " + std::to_string(static_cast<long>(r.maxOursPeakMb)) + " MB";
    std::printf("%-44s %10.1f %8s  %-12s %10.1f %8s %6.2fx  %s %s\n", r.benchmark.c_str(), r.oursMs,
                megabytes(r.oursPeakMb).c_str(), r.reference.c_str(), r.referenceMs,
                megabytes(r.referencePeakMb).c_str(), ratio, target.c_str(), met ? "met" : "MISSED");
  }
  return allMet;
}

}  // namespace vsu::bench
