#pragma once

#include "platform/launcher.h"
#include "platform/posix/awaited_processes.h"

namespace vsu::posix {

// Starts programs detached from this one (see Spawn); window styles have no
// meaning here and are ignored.
class PosixLauncher : public Launcher {
 public:
  // The programs ShellExecuteExA starts are added to awaited when given.
  explicit PosixLauncher(AwaitedProcesses* awaited = nullptr) : awaited_(awaited) {}
  // Runs the mapped info.lpFile with info.lpParameters as its one argument (none
  // when empty) in the mapped info.lpDirectory.
  bool ShellExecuteExA(const ShellExecuteInfo& info) override;
  // The first word of command is looked up on PATH; the text after the blank
  // that ends it is passed unchanged as one argument.
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override;

 private:
  AwaitedProcesses* awaited_;
};

}  // namespace vsu::posix
