#include "bench_support.h"

#include <fcntl.h>
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

void RunProgram(const std::vector<std::string>& argv, const std::string& stdinFile, const std::string& stdoutFile) {
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
  while (::waitpid(pid, &status, 0) < 0) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(argv[0] + " failed");
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
  std::printf("%-44s %10s  %-12s %10s %7s  %s\n", "benchmark", "ours ms", "reference", "ref ms", "ratio", "target");
  for (const auto& r : results) {
    const double ratio = r.oursMs / r.referenceMs;
    const bool met = ratio <= r.maxRatio && (r.maxOursMs <= 0 || r.oursMs < r.maxOursMs);
    allMet = allMet && met;
    char target[64];
    if (r.maxOursMs > 0) std::snprintf(target, sizeof target, "<= %.1fx, < %.0f ms", r.maxRatio, r.maxOursMs);
    else std::snprintf(target, sizeof target, "<= %.1fx", r.maxRatio);
    std::printf("%-44s %10.1f  %-12s %10.1f %6.2fx  %s %s\n", r.benchmark.c_str(), r.oursMs, r.reference.c_str(),
                r.referenceMs, ratio, target, met ? "met" : "MISSED");
  }
  return allMet;
}

}  // namespace vsu::bench
