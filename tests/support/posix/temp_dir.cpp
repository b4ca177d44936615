#include "support/posix/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vsu::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vsu-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) std::abort();
  path_ = pattern;
}

std::filesystem::path TempDir::Write(const std::string& relative, const std::string& content) const {
  std::filesystem::create_directories((path_ / relative).parent_path());
  std::ofstream(path_ / relative, std::ios::binary) << content;
  return path_ / relative;
}

std::filesystem::path TempDir::MakeDir(const std::string& relative) const {
  std::filesystem::create_directories(path_ / relative);
  return path_ / relative;
}

// In one piece rather than by character, which a build without optimisation makes slow for large files.
std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() { old_ ? ::setenv(name_.c_str(), old_->c_str(), 1) : ::unsetenv(name_.c_str()); }

}  // namespace vsu::test
