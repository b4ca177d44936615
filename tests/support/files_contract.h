#pragma once
// What every file backend must answer alike, words of its failures included:
// the Linux stand-in and the Windows backend. A backend's test file
// instantiates the suite with a folder of the test's own.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/files.h"

namespace vsu::test {

class FilesBackend {
 public:
  virtual ~FilesBackend() = default;
  virtual Files& Port() = 0;
  // The program path of name ("a/b.txt") inside the test's folder.
  virtual std::string Path(const std::string& name) = 0;
  virtual void Write(const std::string& name, const std::string& content) = 0;
  virtual std::string Read(const std::string& name) = 0;
  // Keeps the file name in use, as a running program keeps its executable;
  // it can still be read.
  virtual void HoldInUse(const std::string& name) = 0;
};

struct FilesBackendMaker {
  const char* name;
  std::function<std::unique_ptr<FilesBackend>()> make;
};

class FilesContract : public ::testing::TestWithParam<FilesBackendMaker> {
 protected:
  void SetUp() override { backend_ = GetParam().make(); }
  std::unique_ptr<FilesBackend> backend_;
};

}  // namespace vsu::test
