#include <gtest/gtest.h>

#include <functional>

#include "support/json_lines.h"
#include "support/posix/process_tools.h"
#include "support/posix/recorder_script.h"
#include "support/posix/service_sandbox.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;

using test::ServiceSandbox;

void Register(const ServiceSandbox& box) { ASSERT_EQ(box.Srv({"-install_noMsg"}).status, 0); }

void RegisterAndStart(const ServiceSandbox& box) {
  Register(box);
  ASSERT_EQ(box.Sc({"start", "Vela Scan"}).status, 0);
  ASSERT_NE(box.ServiceProcess(), 0);
}

std::function<void(const ServiceSandbox&)> RunningInState(const char* state) {
  return [state](const ServiceSandbox& box) {
    RegisterAndStart(box);
    ASSERT_EQ(box.Sc({"set-state", "Vela Scan", state}).status, 0);
  };
}

std::function<void(const ServiceSandbox&)> Denying(std::function<void(const ServiceSandbox&)> setup,
                                                  const char* operation) {
  return [=](const ServiceSandbox& box) {
    setup(box);
    ASSERT_EQ(box.Sc({"deny", "Vela Scan", operation}).status, 0);
  };
}

struct UninstallCase {
  const char* name;
  std::function<void(const ServiceSandbox&)> setup;
  bool msiexecOnPath;
  int status;
  int pauses;
  const char* message;  // the one message box shown, or nullptr
  bool installerStarted;
  const char* serviceAfter;  // what "velascan-sc query" prints on stdout or stderr afterwards
  bool processAfter;         // whether a service process still runs afterwards
};

class UninstallE2eTest : public testing::TestWithParam<UninstallCase> {};

TEST_P(UninstallE2eTest, RemovesTheServiceAndStartsTheInstaller) {
  const auto& c = GetParam();
  ServiceSandbox box;
  c.setup(box);
  if (c.msiexecOnPath) box.InstallMsiexec();

  const auto run = box.Upgrader({"-uninstall", "{6F3C-0042}"});
  EXPECT_EQ(run.status, c.status) << run.out << run.err;

  const auto events = test::ReadTranscript(box.TranscriptFile());
  const auto pauses = test::EventsNamed(events, "pause");
  EXPECT_EQ(pauses.size(), static_cast<std::size_t>(c.pauses));
  for (const auto& pause : pauses) EXPECT_EQ(pause.Num("ms"), 2000);
  const auto messages = test::EventsNamed(events, "msgbox");
  ASSERT_EQ(messages.size(), c.message ? 1u : 0u);
  if (c.message) {
    EXPECT_EQ(messages[0].Str("text"), c.message);
  }
  const auto runs = test::EventsNamed(events, "run");
  const bool tried = c.installerStarted || !c.msiexecOnPath;
  ASSERT_EQ(runs.size(), tried ? 1u : 0u);
  if (tried) {
    EXPECT_EQ(runs[0].Str("command"), "msiexec.exe /uninstall {6F3C-0042}");
    EXPECT_EQ(runs[0].Num("style"), 1);
    EXPECT_EQ(runs[0].Num("pid") != 0, c.installerStarted);
  }
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().name(), "end");
  EXPECT_EQ(events.back().Num("status"), c.status);

  if (c.installerStarted) {
    const auto recorded = test::ReadRecording(box.MsiexecRecord());
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->args, std::vector<std::string>{"/uninstall {6F3C-0042}"});
  }
  // A stopped service's process ends, and a deleted one goes, in their own time.
  EXPECT_TRUE(test::WaitFor([&] { return (box.ServiceProcess() != 0) == c.processAfter; }));
  const auto query = box.Sc({"query", "Vela Scan"});
  EXPECT_EQ(query.out + query.err, c.serviceAfter);
}

const char* const kGone = "ERROR: 1060\n";

UninstallCase Pending(const char* name, const char* state) {
  return {name, RunningInState(state), true, 0, 1, nullptr, true, kGone, false};
}

INSTANTIATE_TEST_SUITE_P(
    UninstallMode, UninstallE2eTest,
    testing::Values(
        UninstallCase{"NoService", [](const auto&) {}, true, 0, 0, nullptr, true, kGone, false},
        UninstallCase{"Stopped", Register, true, 0, 1, nullptr, true, kGone, false},
        UninstallCase{"Running", RegisterAndStart, true, 0, 2, nullptr, true, kGone, false},
        Pending("StartPending", "2"), Pending("StopPending", "3"), Pending("ContinuePending", "5"),
        Pending("PausePending", "6"), Pending("Paused", "7"),
        UninstallCase{"StopDenied", Denying(RegisterAndStart, "stop"), true, 1, 0,
                      "Error [5]  when stop the service", false, "STATE : 4\n", true},
        // Only the stop request is refused, so the delete goes through: the
        // service, still running, is marked for deletion.
        UninstallCase{"PendingStopDenied", Denying(RunningInState("3"), "stop"), true, 0, 1, nullptr, true,
                      "STATE : 3\n", true},
        UninstallCase{"DeleteDenied", Denying(Register, "delete"), true, 1, 0, "Error [5]  when uninstall the service",
                      false, "STATE : 1\n", false},
        UninstallCase{"DeleteDeniedAfterStop", Denying(RegisterAndStart, "delete"), true, 1, 1,
                      "Error [5]  when uninstall the service", false, "STATE : 1\n", false},
        UninstallCase{"MsiexecMissing", RegisterAndStart, false, 1, 2,
                      "Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program.", false,
                      kGone, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct IdentifierCase {
  std::vector<std::string> args;
  std::string passed;  // the one argument msiexec.exe receives
};
void PrintTo(const IdentifierCase& c, std::ostream* out) { *out << '"' << c.passed << '"'; }

class ProductIdentifierE2eTest : public testing::TestWithParam<IdentifierCase> {};

TEST_P(ProductIdentifierE2eTest, ReachesTheInstallerFromTheTwelfthCharacterOn) {
  ServiceSandbox box;
  box.InstallMsiexec();
  EXPECT_EQ(box.Upgrader(GetParam().args).status, 0);
  const auto recorded = test::ReadRecording(box.MsiexecRecord());
  ASSERT_TRUE(recorded);
  EXPECT_EQ(recorded->args, std::vector<std::string>{GetParam().passed});
}

INSTANTIATE_TEST_SUITE_P(UninstallMode, ProductIdentifierE2eTest,
                         testing::Values(IdentifierCase{{"-uninstallX{6F3C}"}, "/uninstall {6F3C}"},
                                         IdentifierCase{{"-uninstall", " {6F 3C} "}, "/uninstall  {6F 3C} "},
                                         IdentifierCase{{"-uninstall", "{6F3C}", "/qn"}, "/uninstall {6F3C} /qn"},
                                         IdentifierCase{{"-uninstall"}, "/uninstall "}));

}  // namespace
}  // namespace vsu
