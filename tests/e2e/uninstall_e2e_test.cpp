// The uninstall mode of the built tool against the stand-ins and a recording msiexec.exe on PATH.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/testing.h"
#include "support/json_lines.h"
#include "support/posix/service_sandbox.h"

namespace vsu {
namespace {

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
  for (const auto& e : test::ReadTranscript(box.TranscriptFile())) {
    if (e.name() == "run") { EXPECT_EQ(e.Num("style"), 1); }
  }
  const auto recorded = c.passed ? test::ReadRecording(box.MsiexecRecord()) : std::nullopt;
  if (recorded) { EXPECT_EQ(recorded->args, std::vector<std::string>{c.passed}); }
  EXPECT_EQ(std::filesystem::exists(box.MsiexecRecord()), c.passed != nullptr);
  // A stopped service's process ends, and a deleted one goes, in their own time.
  EXPECT_TRUE(test::WaitFor([&] { return (box.ServiceProcess() != 0) == c.processAfter; }));
  const auto query = box.Sc({"query", "Vela Scan"});
  EXPECT_EQ(query.out + query.err, c.serviceAfter);
}

// The installer gets the command line from its twelfth character, the arguments joined with blanks.
INSTANTIATE_TEST_SUITE_P(
    UninstallMode, UninstallEndToEnd,
    testing::Values(
        Case{.name = "Stopped", .setup = Service(false), .args = {"-uninstall", " {6F 3C} "},
             .passed = "/uninstall  {6F 3C} "},
        Case{.name = "Running", .setup = Service(true), .args = {"-uninstall", "{6F3C}", "/qn"},
             .passed = "/uninstall {6F3C} /qn"},
        // Only the stop is refused, so the running service is marked for deletion.
        Case{.name = "PendingStopDenied", .setup = Service(true, "3", "stop"), .serviceAfter = "STATE : 3\n",
             .processAfter = true},
        Case{.name = "MsiexecMissing", .setup = Service(true), .msiexecOnPath = false, .status = 1, .passed = nullptr},
        // Cancel at the Windows prompt ends the run with status 2 before the service is touched.
        Case{.name = "WindowsPromptCancelled", .setup = Service(false), .env = {{"WINDIR", std::nullopt}}, .status = 2,
             .passed = nullptr, .serviceAfter = "STATE : 1\n"}),
    test::CaseName());

}  // namespace
}  // namespace vsu
