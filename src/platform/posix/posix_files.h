#pragma once

#include "platform/files.h"

namespace vsu::posix {

class PosixFiles : public Files {
 public:
  bool FileExists(const std::string& path) override;
  void RemoveFile(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  // Copies contents and mode bits, overwriting the destination; what the copier does.
  void CopyFile(const std::string& from, const std::string& to);
  std::unique_ptr<FileCopier> CreateFileCopier() override;
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  void ProbeWritable(const std::string& path) override;
  std::uint64_t FreeBytes(const std::string& folder) override;
};

}  // namespace vsu::posix
