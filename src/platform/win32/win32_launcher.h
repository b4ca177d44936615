#pragma once

#include <string>

#include "platform/launcher.h"

namespace vsu::win32 {

class Win32Launcher : public Launcher {
 public:
  // shell32's ShellExecuteExA with the platform's own record (its cbSize is
  // sizeof the record); the process handle it returns is closed at once.
  bool ShellExecuteExA(const ShellExecuteInfo& info) override;
  // CreateProcessA with the program found in the system directory, else on
  // PATH, never in the current directory.
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override;
};

// The first word of a command text: up to the first blank, or the text inside
// leading quotes.
std::string ProgramName(const std::string& command);

// The full path of program: in the system directory, else in the first PATH
// directory that holds it; "" when none does. A program named with a directory
// is taken as it is.
std::string FindProgram(const std::string& program);

}  // namespace vsu::win32
