#pragma once
// Starting a program that lives on by itself: it runs in a session of its own
// with its standard streams on /dev/null, and the caller neither waits for it
// nor is left with a zombie (the program is the grandchild of the caller).

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace vsu::posix {

struct SpawnRequest {
  std::string program;               // the file to execute
  std::vector<std::string> args;     // argv[1..]; argv[0] is program
  std::string directory;             // its working directory; empty keeps the caller's
  std::vector<std::pair<std::string, std::string>> environment;  // set on top of the caller's
};

struct SpawnResult {
  pid_t pid = 0;  // the running program; 0 when it could not be started
  int error = 0;  // the errno of the failing step when pid is 0
};

SpawnResult Spawn(const SpawnRequest& request);

// A started program held just before it runs its file, so that its caller can
// record it first: Release lets it run; destroyed without Release, it ends
// without having run, also when the caller itself is killed meanwhile.
class HeldProgram {
 public:
  HeldProgram(pid_t pid, int error, UniqueFd go, UniqueFd report)
      : pid_(pid), error_(error), go_(std::move(go)), report_(std::move(report)) {}
  // The held process; 0 when it could not be made (error() tells why).
  pid_t pid() const { return pid_; }
  int error() const { return error_; }
  // Lets the program run; pid 0 and the errno when its file could not be run.
  SpawnResult Release();

 private:
  pid_t pid_;
  int error_;
  UniqueFd go_;
  UniqueFd report_;
};

HeldProgram SpawnHeld(const SpawnRequest& request);

// The file that a bare program name runs: the first executable regular file of
// that name in the directories of PATH. A name with a "/" is taken as it is.
// Empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace vsu::posix
