// The uninstall mode of the built tool against the Linux service manager, the
// service double and a recording msiexec.exe on PATH.

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/json_lines.h"
#include "support/posix/service_sandbox.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;
using test::ServiceSandbox;

// Registered, then started with state reported instead and op refused, when given.
auto Service(bool start, const char* state = nullptr, const char* op = nullptr) {
  return [=](const ServiceSandbox& box) {
    ASSERT_EQ(box.Srv({"-install_noMsg"}).status, 0);
    if (start) { ASSERT_EQ(box.Sc({"start", "Vela Scan"}).status, 0); }
    if (state) { ASSERT_EQ(box.Sc({"set-state", "Vela Scan", state}).status, 0); }
    if (op) { ASSERT_EQ(box.Sc({"deny", "Vela Scan", op}).status, 0); }
  };
}

struct Case {
  const char* name;
  std::function<void(const ServiceSandbox&)> setup = [](const ServiceSandbox&) {};
  std::vector<std::string> args = {"-uninstall", "{6F3C-0042}"};
  test::Env env = {};
  bool msiexecOnPath = true;
  int status = 0;
  std::size_t pauses = 0;                         // of 2000 ms each
  std::vector<std::string> messages = {};         // the message boxes shown
  const char* passed = "/uninstall {6F3C-0042}";  // the one argument msiexec.exe gets; null: not started
  const char* serviceAfter = "ERROR: 1060\n";     // what "velascan-sc query" prints afterwards
  bool processAfter = false;                      // whether a service process still runs afterwards
};

class UninstallEndToEnd : public testing::TestWithParam<Case> {};

TEST_P(UninstallEndToEnd, RemovesTheServiceAndStartsTheInstaller) {
  const auto& c = GetParam();
  ServiceSandbox box;
  c.setup(box);
  if (c.msiexecOnPath) box.InstallMsiexec();
  const auto run = box.Run("velascanupg", c.args, c.env);
  EXPECT_EQ(run.status, c.status) << run.out << run.err;
  const auto events = test::ReadTranscript(box.TranscriptFile());
  std::vector<std::string> messages, commands;
  std::vector<long> pauses;
  for (const auto& e : events) {
    if (e.name() == "pause") pauses.push_back(e.Num("ms"));
    if (e.name() == "msgbox") messages.push_back(e.Str("text"));
    // The installer is tried after a successful removal, or after none, also when it is missing.
    if (e.name() == "run") {
      commands.push_back(e.Num("pid") ? e.Str("command") : "failed");
      EXPECT_EQ(e.Num("style"), 1);
    }
  }
  EXPECT_EQ(pauses, std::vector<long>(c.pauses, 2000));
  EXPECT_EQ(messages, c.messages);
  EXPECT_EQ(commands, c.passed ? std::vector<std::string>{std::string("msiexec.exe ") + c.passed}
                      : c.msiexecOnPath ? std::vector<std::string>{} : std::vector<std::string>{"failed"});
  if (c.passed) {
    const auto recorded = test::ReadRecording(box.MsiexecRecord());
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->args, std::vector<std::string>{c.passed});
  }
  EXPECT_EQ(events.back().name(), "end");
  EXPECT_EQ(events.back().Num("status"), c.status);
  // A stopped service's process ends, and a deleted one goes, in their own time.
  EXPECT_TRUE(test::WaitFor([&] { return (box.ServiceProcess() != 0) == c.processAfter; }));
  const auto query = box.Sc({"query", "Vela Scan"});
  EXPECT_EQ(query.out + query.err, c.serviceAfter);
}

// The product code reaches the installer from the twelfth character of the
// command line on, the arguments joined with single blanks. Refusals of the
// service manager end the run as in the unit tests and the upgrade runs.
INSTANTIATE_TEST_SUITE_P(
    UninstallMode, UninstallEndToEnd,
    testing::Values(
        Case{.name = "NoService", .args = {"-uninstallX{6F3C}"}, .passed = "/uninstall {6F3C}"},
        Case{.name = "Stopped", .setup = Service(false), .args = {"-uninstall", " {6F 3C} "}, .pauses = 1,
             .passed = "/uninstall  {6F 3C} "},
        Case{.name = "Running", .setup = Service(true), .args = {"-uninstall", "{6F3C}", "/qn"}, .pauses = 2,
             .passed = "/uninstall {6F3C} /qn"},
        Case{.name = "Paused", .setup = Service(true, "7"), .args = {"-uninstall"}, .pauses = 1, .passed = "/uninstall "},
        // Only the stop request is refused, so the delete goes through: the
        // service, still running, is marked for deletion.
        Case{.name = "PendingStopDenied", .setup = Service(true, "3", "stop"), .pauses = 1, .serviceAfter = "STATE : 3\n",
             .processAfter = true},
        Case{.name = "MsiexecMissing", .setup = Service(true), .msiexecOnPath = false, .status = 1, .pauses = 2,
             .messages = {"Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program."},
             .passed = nullptr},
        // Cancel at the Windows prompt ends the run with status 2 before the service is touched.
        Case{.name = "WindowsPromptCancelled", .setup = Service(false), .env = {{"WINDIR", std::nullopt}}, .status = 2,
             .passed = nullptr, .serviceAfter = "STATE : 1\n"}),
    test::CaseName());

}  // namespace
}  // namespace vsu
