// The program on Linux: the stand-ins for the platform, the batch or terminal
// interface, and the transcript when VELASCANUPG_LOG names a file.

#include <cstdlib>
#include <string>
#include <vector>

#include "common/installation_state.h"
#include "common/transcript.h"
#include "main/toolkit.h"
#include "platform/posix/posix_platform.h"
#include "startup/frm_main.h"
#include "ui/logged_toolkit.h"

int main(int argc, char** argv) {
  using namespace vsu;
  const char* logPath = std::getenv("VELASCANUPG_LOG");
  Transcript log(logPath ? logPath : "");
  const auto toolkit = CreateToolkitFromEnvironment();
  LoggedToolkit ui(*toolkit, log);
  posix::PosixPlatform backend(std::vector<std::string>(argv + 1, argv + argc), ui, log);
  InstallationState state;
  return RunProgram(backend.platform(), state);
}
