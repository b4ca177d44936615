#pragma once
// A fresh directory under /tmp removed at the end, and an environment variable set for one scope.

#include <filesystem>
#include <optional>
#include <string>

namespace vsu::test {

class TempDir {
 public:
  TempDir();
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes content to a file below the directory, creating folders on the way.
  std::filesystem::path Write(const std::string& relative, const std::string& content) const;
  std::filesystem::path MakeDir(const std::string& relative) const;
  std::string Read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

// Sets (or, with nullptr, unsets) an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace vsu::test
