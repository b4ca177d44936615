#pragma once
// A fresh directory under /tmp removed at the end, and an environment variable set for one scope.

#include <cstdlib>
#include <sstream>

#include "support/testing.h"

namespace vsu::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vsu-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes content to a file below the directory, creating folders on the way.
  fs::path Write(const std::string& relative, const std::string& content) const {
    fs::create_directories((path_ / relative).parent_path());
    std::ofstream(path_ / relative, std::ios::binary) << content;
    return path_ / relative;
  }
  fs::path MakeDir(const std::string& name) const { return fs::create_directories(path_ / name), path_ / name; }
  // In one piece rather than by character, which a build without optimisation makes slow for large files.
  std::string Read(const std::string& relative) const {
    return (std::ostringstream() << std::ifstream(path_ / relative, std::ios::binary).rdbuf()).str();
  }

 private:
  fs::path path_;
};

// Sets (or, with nullptr, unsets) an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_.c_str(), old_->c_str(), 1) : ::unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace vsu::test
