#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace vsu::posix {

class PosixSystem : public System {
 public:
  // args: argv[1..] as the process received them.
  explicit PosixSystem(std::vector<std::string> args);
  std::string CommandLine() override;
  std::string OwnDirectory() override;
  void ChangeDirectory(const std::string& path) override;
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
  std::string EnvironmentValue(const std::string& name) override;

 private:
  std::vector<std::string> args_;
};

}  // namespace vsu::posix
