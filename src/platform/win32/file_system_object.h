#pragma once
// The upgrade run's file-copy object: a Scripting.FileSystemObject.

#include <memory>
#include <string>

#include "platform/files.h"

namespace vsu::win32 {

// Creates the object (a failure to do so throws Failure). Its copies call the
// object's CopyFile with the source and the destination only, so an existing
// destination is overwritten; a failure reads as on every platform, the
// object's words and then the path concerned ("Permission denied: c:\x.exe").
std::unique_ptr<FileCopier> CreateScriptingCopier();

// Where a failed copy went wrong, for a failure whose code the object gives no
// words: the source when it cannot be read, else the destination, with the
// Win32 error of opening it as the copy does (0 when that works).
struct CopyProblem {
  unsigned long code;
  std::string path;
};
CopyProblem FindCopyProblem(const std::string& from, const std::string& to);

}  // namespace vsu::win32
