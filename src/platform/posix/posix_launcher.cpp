#include "platform/posix/posix_launcher.h"

#include "platform/posix/path_map.h"
#include "platform/posix/spawn.h"

namespace vsu::posix {

bool PosixLauncher::ShellExecuteExA(const ShellExecuteInfo& info) {
  const auto program = MapPath(info.lpFile);
  if (!program) return false;
  // Mapped paths are absolute, so the program is the same one in its new working directory.
  SpawnRequest request{*program, {}, {}, {}};
  if (!info.lpParameters.empty()) request.args.push_back(info.lpParameters);
  if (!info.lpDirectory.empty()) {
    const auto directory = MapPath(info.lpDirectory);
    if (!directory) return false;
    request.directory = *directory;
  }
  const SpawnResult result = Spawn(request);
  if (result.pid != 0 && awaited_) awaited_->Add(result.pid);
  return result.pid != 0;
}

std::uint32_t PosixLauncher::StartProgram(const std::string& command, int) {
  const auto blank = command.find(' ');
  SpawnRequest request{FindOnPath(command.substr(0, blank)), {}, {}, {}};
  if (request.program.empty()) return 0;
  if (blank != std::string::npos) request.args.push_back(command.substr(blank + 1));
  return static_cast<std::uint32_t>(Spawn(request).pid);
}

}  // namespace vsu::posix
