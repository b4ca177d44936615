#pragma once
// Runs one of the built programs as a child process, for end-to-end tests.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vsu::test {

// Variables to set on top of this process's own; a nullopt value removes one.
using Env = std::map<std::string, std::optional<std::string>>;

struct ProgramResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

struct ProgramRun {
  std::string program;  // a name in the build's bin directory, or a path
  std::vector<std::string> args;
  Env env;
  std::string input;
  int killAfterMs = 120000;  // then the program is killed (SIGKILL)
};

ProgramResult Run(const ProgramRun& run);

// Path of a program built into the build's bin directory.
std::string BinPath(const std::string& name);

}  // namespace vsu::test
