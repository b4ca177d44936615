#pragma once

#include <string>

#include "platform/system.h"

namespace vsu::win32 {

class Win32System : public System {
 public:
  std::string CommandLine() override;
  std::string OwnDirectory() override;
  void ChangeDirectory(const std::string& path) override;
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
  std::string EnvironmentValue(const std::string& name) override;
};

// The argument text of a full command line: what follows the program path (in
// quotes or up to the first blank) and the blanks after it.
std::string ArgumentText(const std::string& commandLine);

// The directory part of a program path: up to its last "\", which stays only
// for a drive's root ("c:\").
std::string DirectoryOf(const std::string& programPath);

}  // namespace vsu::win32
