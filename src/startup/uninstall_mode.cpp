// The uninstall mode: the service goes first, then the platform installer
// removes the product.

#include <exception>
#include <string>

#include "common/failure.h"
#include "common/transcript.h"
#include "platform/launcher.h"
#include "platform/system.h"
#include "platform/views.h"
#include "startup/uninstall_mode.h"
#include "startup/uninstall_service.h"

namespace vsu {
namespace {

// Characters 1 to 10 are the keyword and the 11th its separator, whatever it is.
constexpr std::size_t kIdentifierStart = 11;

std::string ProductIdentifier(const std::string& commandLine) {
  return commandLine.size() > kIdentifierStart ? commandLine.substr(kIdentifierStart) : std::string();
}

// Starts the installer without waiting; 0 when it could not be started.
std::uint32_t StartInstaller(Platform& p, const std::string& command) {
  std::uint32_t pid = 0;
  try {
    pid = p.launcher.StartProgram(command, kShowNormal);
  } catch (const std::exception&) {
    pid = 0;  // from here on a failure only means that the installer did not start
  }
  p.log.Log("run", {{"command", command}, {"style", kShowNormal}, {"pid", std::int64_t{pid}}});
  return pid;
}

}  // namespace

void RunUninstallMode(Platform& p, InstallationState& s) {
  UnInstallService(p, s);
  const std::string command = "msiexec.exe /uninstall " + ProductIdentifier(p.system.CommandLine());
  if (StartInstaller(p, command) != 0) throw EndProgram{kExitDone};
  try {
    p.ui.MsgBox("Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program.", kMsgBoxExclamation,
                "Vela Scan");
  } catch (const std::exception&) {
    // The program ends all the same.
  }
  throw EndProgram{kExitFailed};
}

}  // namespace vsu
