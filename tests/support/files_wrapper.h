#pragma once
// The real files with chosen paths hidden, unreadable or unwritable; a countdown fails its due call
// (a crashing one after doing half of a write).

#include <set>
#include <string>

#include "platform/files.h"
#include "support/fault_countdown.h"

namespace vsu::test {

class FilesWrapper : public Files {
 public:
  explicit FilesWrapper(Files& target) : target_(target) {}
  std::set<std::string> hidden;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  FaultCountdown* countdown = nullptr;

  bool FileExists(const std::string& path) override {
    return Count(path), !hidden.count(path) && target_.FileExists(path);
  }
  void RemoveFile(const std::string& path) override { Count(path), target_.RemoveFile(path); }
  void RenameFile(const std::string& from, const std::string& to) override {
    Count(from), target_.RenameFile(from, to);
  }
  // Creating the copier counts as a call, and so does each of its copies.
  std::unique_ptr<FileCopier> CreateFileCopier() override;
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override;
  void CreateFolder(const std::string& path) override { Count(path), target_.CreateFolder(path); }
  void ProbeWritable(const std::string& path) override { Count(path), target_.ProbeWritable(path); }
  std::uint64_t FreeBytes(const std::string& folder) override { return Count(folder), target_.FreeBytes(folder); }
  void Count(const std::string& path) {
    if (countdown) countdown->Throw("file " + path);
  }

 private:
  Files& target_;
};

}  // namespace vsu::test
