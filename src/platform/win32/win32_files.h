#pragma once

#include "platform/files.h"

namespace vsu::win32 {

// Files through kernel32: the listing of FindFirstFileA for the file-exists
// test, and CreateFileA handles for reading and writing.
class Win32Files : public Files {
 public:
  bool FileExists(const std::string& path) override;
  void RemoveFile(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  // A Scripting.FileSystemObject (CreateScriptingCopier).
  std::unique_ptr<FileCopier> CreateFileCopier() override;
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  // An existing file must open for writing and deletion, which a read-only
  // file, a running program and missing rights refuse; for a missing one its
  // folder must exist (whether the folder lets a file be created is not known
  // without creating one).
  void ProbeWritable(const std::string& path) override;
  std::uint64_t FreeBytes(const std::string& folder) override;
};

}  // namespace vsu::win32
