#pragma once
// A launcher that records what it is asked to start and starts nothing; with
// registersWith set, a launch of the service installer registers the service
// in that fake manager, as the installer would.

#include <string>
#include <vector>

#include "platform/launcher.h"
#include "support/fake_service_manager.h"

namespace vsu::test {

class RecordingLauncher : public Launcher {
 public:
  struct Program {
    std::string command;
    int windowStyle;
  };
  std::uint32_t pid = 4711;       // what StartProgram yields; 0 for a failed start
  bool shellExecuteResult = true;
  FakeServiceManager* registersWith = nullptr;
  std::uint32_t registeredState = 1;  // the state the installer leaves the new service in
  std::vector<Program> programs;
  std::vector<ShellExecuteInfo> shellExecutes;

  bool ShellExecuteExA(const ShellExecuteInfo& info) override {
    shellExecutes.push_back(info);
    if (shellExecuteResult && registersWith) {
      // A service that was stopping has gone by the time the installer registers.
      if (registersWith->state == 3) registersWith->state = 1;
      if (registersWith->marked) registersWith->installed = registersWith->marked = false;
      if (!registersWith->installed) {
        registersWith->installed = true;
        registersWith->state = registeredState;
      }
    }
    return shellExecuteResult;
  }
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override {
    programs.push_back({command, windowStyle});
    return pid;
  }
};

}  // namespace vsu::test
