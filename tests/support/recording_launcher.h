#pragma once
// Records launches and starts nothing; with registersWith, the installer's launch registers the service.

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
  std::uint32_t pid = 4711;  // what StartProgram yields; 0 for a failed start
  bool shellExecuteResult = true;
  FakeServiceManager* registersWith = nullptr;
  std::uint32_t registeredState = 1;  // the state the installer leaves the new service in
  FaultCountdown* countdown = nullptr;  // when set, its due call starts nothing
  std::vector<Program> programs;

  bool ShellExecuteExA(const ShellExecuteInfo&) override {
    if (!shellExecuteResult || (countdown && countdown->Due("ShellExecuteExA"))) return false;
    if (FakeServiceManager* m = registersWith) {
      // A service that was stopping has gone by the time the installer registers.
      if (m->state == 3) m->state = 1;
      if (m->marked) m->installed = m->marked = false;
      if (!m->installed) m->installed = true, m->state = registeredState;
    }
    return true;
  }
  std::uint32_t StartProgram(const std::string& command, int windowStyle) override {
    programs.push_back({command, windowStyle});
    return countdown && countdown->Due("StartProgram") ? 0 : pid;
  }
};

}  // namespace vsu::test
