#include "startup/frm_main.h"

#include <string>

#include "forms/centre.h"
#include "common/failure.h"
#include "common/text.h"
#include "common/transcript.h"
#include "locations/windows_directory.h"
#include "platform/system.h"
#include "platform/views.h"
#include "safety/safety_net.h"
#include "startup/uninstall_mode.h"
#include "startup/upgrade_mode.h"

namespace vsu {
namespace {

class frmMain : public MainHandlers {
 public:
  explicit frmMain(Platform& p) : view_(p.ui.CreateMain()) {}
  MainView& view() { return *view_; }
  void cmdExit_Click() override { throw EndProgram{kExitFailed}; }

 private:
  std::unique_ptr<MainView> view_;
};

}  // namespace

bool IsUninstallCommandLine(const std::string& commandLine) {
  return StartsWith(commandLine, "-uninstall");
}

void frmMain_Form_Load(Platform& p, InstallationState& s) {
  frmMain form(p);
  CentreOnScreen(form.view(), p.ui);
  form.view().Hide();
  s.WindowsDir = GetTheWindowsDirectory(p, s);
  if (IsUninstallCommandLine(p.system.CommandLine())) {
    RunUninstallMode(p, s);
    return;  // not reached: the mode always ends the program
  }
  RunUpgradeMode(p, s);
  // The upgrade window was closed some other way: frmMain shows until closed.
  form.view().ShowUntilClosed(form);
}

int RunProgram(Platform& p, InstallationState& s) {
  int status = kExitFailed;
  try {
    if (const auto safetyNet = RunSafetyNetMode(p, s)) {
      status = *safetyNet;
    } else {
      frmMain_Form_Load(p, s);
    }
  } catch (const EndProgram& end) {
    status = end.status;
  } catch (const std::exception& failure) {
    // Reached only by a failure that escaped every routine's own handling.
    try {
      p.ui.MsgBox(FailureDescription(failure), kMsgBoxCritical, "Vela Scan");
    } catch (...) {
      // The program ends all the same.
    }
  }
  p.log.Log("end", {{"status", std::int64_t{status}}});
  return status;
}

}  // namespace vsu
