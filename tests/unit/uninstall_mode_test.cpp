#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/json_lines.h"

namespace vsu {
namespace test {
void PrintTo(const ShownMessage& m, std::ostream* out) { *out << m.title << " (" << m.style << "): " << m.text; }
}  // namespace test
namespace {

using test::Event;
using test::FakeServiceManager;
using test::ShownMessage;
using test::TestPlatform;
using Calls = std::vector<std::string>;

const ShownMessage kStopFailed{"Error [5]  when stop the service", 16, "Vela Scan"};
const ShownMessage kDeleteFailed{"Error [5]  when uninstall the service", 16, "Vela Scan"};
const ShownMessage kMarkedForDelete{"Error [1072]  when uninstall the service", 16, "Vela Scan"};
const ShownMessage kUnexpected{"Error when trying to UnInstall the Service", 16, "Vela Scan_UnInstallService"};
const ShownMessage kNoInstaller{"Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program.", 48,
                                "Vela Scan"};


struct UninstallCase {
  const char* name;
  std::function<void(FakeServiceManager&)> script;
  std::uint32_t installerPid;
  Calls requests;  // the requests made of the manager, opens and closes left out
  int pauses;      // of 2000 ms each
  std::vector<ShownMessage> messages;
  bool installerTried;  // the installer start was attempted
  int status;
};
void PrintTo(const UninstallCase& c, std::ostream* out) { *out << c.name; }

Calls Requests(const Calls& calls) {
  Calls requests;
  for (const auto& call : calls) {
    if (call.rfind("Open", 0) != 0 && call.rfind("Close", 0) != 0) requests.push_back(call);
  }
  return requests;
}

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

  EXPECT_EQ(Requests(t.scm.calls), c.requests);
  EXPECT_EQ(t.scm.faults, Calls{});
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
  EXPECT_EQ(t.clock.Total(), 2000ul * c.pauses);
  EXPECT_EQ(t.ui.messages, c.messages);
  const auto events = test::ParseTranscript(t.logLines);
  const auto pauses = test::EventsNamed(events, "pause");
  EXPECT_EQ(pauses.size(), static_cast<std::size_t>(c.pauses));
  for (const auto& pause : pauses) EXPECT_EQ(pause.Num("ms"), 2000);
  const auto runs = test::EventsNamed(events, "run");
  if (c.installerTried) {
    ASSERT_EQ(t.launcher.programs.size(), 1u);
    EXPECT_EQ(t.launcher.programs[0].command, "msiexec.exe /uninstall {5A1E-77}");
    EXPECT_EQ(t.launcher.programs[0].windowStyle, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Str("command"), "msiexec.exe /uninstall {5A1E-77}");
    EXPECT_EQ(runs[0].Num("style"), 1);
    EXPECT_EQ(runs[0].Num("pid"), static_cast<long>(c.installerPid));
  } else {
    EXPECT_TRUE(t.launcher.programs.empty());
    EXPECT_TRUE(runs.empty());
  }
  EXPECT_EQ(events.back().name(), "end");
  EXPECT_EQ(events.back().Num("status"), c.status);
}

const Calls kRemove{"ControlService 1", "DeleteService"};
const Calls kQueryThenRemove{"QueryServiceStatus", "ControlService 1", "DeleteService"};

UninstallCase Pending(const char* name, std::uint32_t state) {
  return {name, [state](auto& m) { m.state = state; }, 4711, kQueryThenRemove, 1, {}, true, 0};
}

INSTANTIATE_TEST_SUITE_P(
    UnInstallService, UninstallTest,
    testing::Values(
        UninstallCase{"NotInstalled", [](auto& m) { m.openServiceError = 1060; }, 4711, {}, 0, {}, true, 0},
        UninstallCase{"ManagerUnreachable", [](auto& m) { m.openManagerError = 5; }, 4711, {}, 0, {}, true, 0},
        UninstallCase{"StatusUnreadable", [](auto& m) { m.queryStatusFails = true; }, 4711, {"QueryServiceStatus"},
                      0, {}, true, 0},
        UninstallCase{"Stopped",
                      [](auto& m) {
                        m.state = 1;
                        m.controlError = 1062;
                      },
                      4711, kQueryThenRemove, 1, {}, true, 0},
        UninstallCase{"Running", [](auto& m) { m.state = 4; }, 4711,
                      {"QueryServiceStatus", "ControlService 1", "ControlService 1", "DeleteService"}, 2, {}, true, 0},
        Pending("StartPending", 2), Pending("StopPending", 3), Pending("ContinuePending", 5),
        Pending("PausePending", 6), Pending("Paused", 7),
        UninstallCase{"StopRefused",
                      [](auto& m) {
                        m.state = 4;
                        m.controlError = 5;
                      },
                      4711, {"QueryServiceStatus", "ControlService 1"}, 0, {kStopFailed}, false, 1},
        UninstallCase{"DeleteRefused",
                      [](auto& m) {
                        m.state = 1;
                        m.deleteError = 5;
                      },
                      4711, kQueryThenRemove, 0, {kDeleteFailed}, false, 1},
        UninstallCase{"DeleteRefusedAfterStop",
                      [](auto& m) {
                        m.state = 4;
                        m.deleteError = 1072;
                      },
                      4711, {"QueryServiceStatus", "ControlService 1", "ControlService 1", "DeleteService"}, 1,
                      {kMarkedForDelete}, false, 1},
        UninstallCase{"UnexpectedFailureStillStartsTheInstaller",
                      [](auto& m) { m.beforeQueryStatus = [] { throw std::runtime_error("lost"); }; }, 4711,
                      {"QueryServiceStatus"}, 0, {kUnexpected}, true, 0},
        UninstallCase{"InstallerNotStarted", [](auto& m) { m.state = 1; }, 0, kQueryThenRemove, 1, {kNoInstaller},
                      true, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct IdentifierCase {
  const char* commandLine;
  const char* command;
};
void PrintTo(const IdentifierCase& c, std::ostream* out) { *out << c.commandLine; }

class ProductIdentifierTest : public testing::TestWithParam<IdentifierCase> {};

TEST_P(ProductIdentifierTest, IsTheCommandLineFromItsTwelfthCharacterUnchanged) {
  TestPlatform t;
  t.system.windowsDirectory = "c:\\windows";
  t.system.commandLine = GetParam().commandLine;
  t.scm.openServiceError = 1060;
  InstallationState s;
  EXPECT_EQ(RunProgram(t.platform, s), 0);
  ASSERT_EQ(t.launcher.programs.size(), 1u);
  EXPECT_EQ(t.launcher.programs[0].command, GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    UninstallMode, ProductIdentifierTest,
    testing::Values(IdentifierCase{"-uninstall {AB-12}", "msiexec.exe /uninstall {AB-12}"},
                    IdentifierCase{"-uninstallX{AB-12}", "msiexec.exe /uninstall {AB-12}"},
                    IdentifierCase{"-uninstall", "msiexec.exe /uninstall "},
                    IdentifierCase{"-uninstall ", "msiexec.exe /uninstall "},
                    IdentifierCase{"-uninstall x", "msiexec.exe /uninstall x"},
                    IdentifierCase{"-uninstall  {A B} ", "msiexec.exe /uninstall  {A B} "},
                    IdentifierCase{"-uninstall {AB-12} /quiet", "msiexec.exe /uninstall {AB-12} /quiet"}));

}  // namespace
}  // namespace vsu
