#pragma once
// A launcher that records what it is asked to start and starts nothing.

#include <string>
#include <vector>

#include "platform/launcher.h"

namespace vsu::test {

class RecordingLauncher : public Launcher {
 public:
  struct Program {
    std::string command;
    int windowStyle;
  };
  std::uint32_t pid = 4711;       // what StartProgram yields; 0 for a failed start
  bool shellExecuteResult = true;
  std::vector<Program> programs;
  std::vector<ShellExecuteInfo> shellExecutes;

  bool ShellExecuteExA(const ShellExecuteInfo& info) override {
    shellExecutes.push_back(info);
    return shellExecuteResult;
  }
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override {
    programs.push_back({command, windowStyle});
    return pid;
  }
};

}  // namespace vsu::test
