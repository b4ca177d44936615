#pragma once
// What every file backend (the Linux stand-in, the Windows one) must answer alike, words of its failures included.

#include "platform/files.h"
#include "support/testing.h"

namespace vsu::test {

struct FilesBackend {
  virtual ~FilesBackend() = default;
  virtual Files& Port() = 0;
  // The program path of name ("a/b.txt") inside the test's own folder.
  virtual std::string Path(const std::string& name) = 0;
  virtual void Write(const std::string& name, const std::string& content) = 0;
  virtual std::string Read(const std::string& name) = 0;
  // Keeps the file in use, as a running program keeps its executable; it can still be read.
  virtual void HoldInUse(const std::string& name) = 0;
};

struct FilesBackendMaker {
  const char* name;
  std::function<std::unique_ptr<FilesBackend>()> make;
};

struct FilesContract : ::testing::TestWithParam<FilesBackendMaker> {
  void SetUp() override { backend_ = GetParam().make(); }
  std::string Path(const char* name) { return backend_->Path(name); }
  std::unique_ptr<FilesBackend> backend_;
};

}  // namespace vsu::test
