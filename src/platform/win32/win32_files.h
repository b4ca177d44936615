#pragma once

#include "platform/files.h"

namespace vsu::win32 {

// Files through kernel32: the listing of FindFirstFileA for the file-exists
// test, and CreateFileA handles for reading and writing.
class Win32Files : public Files {
 public:
  bool FileExists(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  // A Scripting.FileSystemObject (CreateScriptingCopier).
  std::unique_ptr<FileCopier> CreateFileCopier() override;
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override;
};

}  // namespace vsu::win32
