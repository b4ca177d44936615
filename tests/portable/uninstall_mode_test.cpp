#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;

using test::FakeServiceManager;
using test::ShownMessage;
using test::TestPlatform;
using Calls = std::vector<std::string>;

struct UninstallCase {
  const char* name;
  std::function<void(FakeServiceManager&)> script;
  std::uint32_t installerPid;
  Calls requests;  // made of the manager; opens and closes left out
  int pauses;      // of 2000 ms each
  std::vector<ShownMessage> messages;
  bool installerTried;
  int status;
};

class UninstallTest : public testing::TestWithParam<UninstallCase> {};

TEST_P(UninstallTest, StopsDeletesAndHandsOverToTheInstaller) {
  const auto& c = GetParam();
  TestPlatform t;
  t.system.windowsDirectory = "c:\\windows";
  t.system.commandLine = "-uninstall {5A1E-77}";
  c.script(t.scm);
  t.launcher.pid = c.installerPid;
  InstallationState state;

  EXPECT_EQ(RunProgram(t.platform, state), c.status);

  Calls requests;
  std::copy_if(t.scm.calls.begin(), t.scm.calls.end(), std::back_inserter(requests),
               [](const std::string& call) { return call.rfind("Open", 0) != 0 && call.rfind("Close", 0) != 0; });
  EXPECT_EQ(requests, c.requests);
  EXPECT_EQ(t.scm.faults, Calls{});
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
  EXPECT_EQ(t.clock.Total(), 2000ul * c.pauses);
  EXPECT_EQ(t.ui.messages, c.messages);
  ASSERT_EQ(t.launcher.programs.size(), c.installerTried ? 1u : 0u);
  if (c.installerTried) {
    EXPECT_EQ(t.launcher.programs[0].command, "msiexec.exe /uninstall {5A1E-77}");
    EXPECT_EQ(t.launcher.programs[0].windowStyle, 1);
  }
}

const Calls kQueryThenRemove{"QueryServiceStatus", "ControlService 1", "DeleteService"};
const Calls kQueryStopRemove{"QueryServiceStatus", "ControlService 1", "ControlService 1", "DeleteService"};

UninstallCase Pending(const char* name, std::uint32_t state) {
  return {name, [state](auto& m) { m.state = state; }, 4711, kQueryThenRemove, 1, {}, true, 0};
}

std::function<void(FakeServiceManager&)> Refusing(std::uint32_t state, std::uint32_t FakeServiceManager::*call,
                                                 std::uint32_t code) {
  return [=](FakeServiceManager& m) {
    m.state = state;
    m.*call = code;
  };
}

INSTANTIATE_TEST_SUITE_P(
    UnInstallService, UninstallTest,
    testing::Values(
        UninstallCase{"NotInstalled", [](auto& m) { m.openServiceError = 1060; }, 4711, {}, 0, {}, true, 0},
        UninstallCase{"ManagerUnreachable", [](auto& m) { m.openManagerError = 5; }, 4711, {}, 0, {}, true, 0},
        UninstallCase{"Stopped", Refusing(1, &FakeServiceManager::controlError, 1062), 4711, kQueryThenRemove, 1,
                      {}, true, 0},
        UninstallCase{"Running", [](auto& m) { m.state = 4; }, 4711, kQueryStopRemove, 2, {}, true, 0},
        Pending("StartPending", 2), Pending("Paused", 7),
        UninstallCase{"StopRefused", Refusing(4, &FakeServiceManager::controlError, 5), 4711,
                      {"QueryServiceStatus", "ControlService 1"}, 0,
                      {{"Error [5]  when stop the service", 16, "Vela Scan"}}, false, 1},
        UninstallCase{"DeleteRefusedAfterStop", Refusing(4, &FakeServiceManager::deleteError, 1072), 4711,
                      kQueryStopRemove, 1, {{"Error [1072]  when uninstall the service", 16, "Vela Scan"}}, false,
                      1},
        UninstallCase{"UnexpectedFailureStillStartsTheInstaller",
                      [](auto& m) { m.beforeQueryStatus = [] { throw std::runtime_error("lost"); }; }, 4711,
                      {"QueryServiceStatus"}, 0,
                      {{"Error when trying to UnInstall the Service", 16, "Vela Scan_UnInstallService"}}, true, 0},
        UninstallCase{"InstallerNotStarted", [](auto& m) { m.state = 1; }, 0, kQueryThenRemove, 1,
                      {{"Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program.", 48,
                        "Vela Scan"}},
                      true, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
