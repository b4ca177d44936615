#pragma once
// Runs one of the built programs as a child process, for end-to-end tests.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vsu::test {

struct ProgramResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

struct ProgramRun {
  std::string program;  // a name in the build's bin directory, or a path
  std::vector<std::string> args;
  // Variables to set; a nullopt value removes the variable.
  std::map<std::string, std::optional<std::string>> env;
  std::string input;
  std::string workingDirectory;
  int timeoutSeconds = 120;
  int killAfterMs = 0;  // when not 0, the program is killed (SIGKILL) this long after its start
};

ProgramResult Run(const ProgramRun& run);

// Path of a program built into the build's bin directory.
std::string BinPath(const std::string& name);

}  // namespace vsu::test
