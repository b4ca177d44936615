#pragma once
// The real files backend with a few program paths made to behave otherwise:
// hidden ones are missing for the file-exists test (as a hidden or system file
// is on Windows), unreadable ones fail to open for reading, unwritable ones
// fail to be created.

#include <set>
#include <string>

#include "platform/files.h"

namespace vsu::test {

class FilesWrapper : public Files {
 public:
  explicit FilesWrapper(Files& target) : target_(target) {}
  std::set<std::string> hidden;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;

  bool FileExists(const std::string& path) override;
  void DeleteFile(const std::string& path) override { target_.DeleteFile(path); }
  void RenameFile(const std::string& from, const std::string& to) override { target_.RenameFile(from, to); }
  void CopyFile(const std::string& from, const std::string& to) override { target_.CopyFile(from, to); }
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override;

 private:
  Files& target_;
};

}  // namespace vsu::test
