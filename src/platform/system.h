#pragma once
// Process-level facts the program reads: its argument text, its own directory,
// the current directory and the Windows directory.

#include <string>

namespace vsu {

class System {
 public:
  virtual ~System() = default;
  // The argument text of the command line (what follows the program's own path),
  // as the platform delivers it. Read afresh on every call.
  virtual std::string CommandLine() = 0;
  // The directory of the running program file, without a trailing separator.
  virtual std::string OwnDirectory() = 0;
  // Makes path the current directory; throws Failure with a description when it cannot.
  virtual void ChangeDirectory(const std::string& path) = 0;
  // Writes the Windows directory into buffer when it fits (size counts the
  // terminating NUL) and returns its length; returns the size needed when it
  // does not fit, and 0 when there is none.
  virtual unsigned GetWindowsDirectoryA(char* buffer, unsigned size) = 0;
  // The value of an environment variable of the process; "" when it is unset.
  virtual std::string EnvironmentValue(const std::string& name) = 0;
};

}  // namespace vsu
