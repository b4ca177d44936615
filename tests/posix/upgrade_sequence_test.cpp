// The upgrade run over a fake service manager and launcher, on a real fixture
// installation: the order of its steps, its texts, its waits and its failures.

#include <gtest/gtest.h>

#include <numeric>
#include <optional>

#include "common/failure.h"
#include "support/fakes.h"
#include "support/posix/installation.h"
#include "upgrade/frm_vela_scan_upg.h"
#include "upgrade/upgrade_sequence.h"

namespace vsu {
namespace {

constexpr const char* kStop = "Attempting to stop the service...";
constexpr const char* kRemove = "Attempting to uninstall the service...";
constexpr const char* kCopy = "Copying program files...";
constexpr const char* kMib = "Adding MIB file...";
constexpr const char* kSchema = "Upgrading database...";
constexpr const char* kInstall = "Attempting to install the service...";
constexpr const char* kStart = "Attempting to start the service...";
constexpr const char* kDone = "The Vela Scan Service started successfully.";

struct SequenceCase {
  const char* name;
  int serviceState;  // 0: not installed until the launch registers it
  bool lumidex = false;
  const char* version = "3.14";
  std::uint32_t stopError = 0;
  std::uint32_t deleteError = 0;
  std::uint32_t startError = 0;
  bool launches = true;
  int failedPolls = 0;  // registration polls that still fail
  std::uint32_t registeredState = 1;  // what the installer leaves the new service in
  // Expected:
  std::vector<std::string> texts;
  std::vector<int> progress;
  long pauseTotal = 0;
  std::string message{};  // the failure shown, "" for none
};

class UpgradeSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(UpgradeSequenceTest, RunsItsStepsInOrder) {
  const auto& c = GetParam();
  fixture::InstallationOptions options;
  options.database.version = c.version;
  options.lumidex = c.lumidex;
  options.programFiles = true;
  const test::TestInstallation install(options);

  test::TestPlatform t;
  t.launcher.registersWith = &t.scm;
  t.launcher.registeredState = c.registeredState;
  t.launcher.shellExecuteResult = c.launches;
  Platform& p = t.platform;
  t.system.commandLine = "c:\\VelaScan";
  t.scm.state = c.serviceState == 0 ? 1 : static_cast<std::uint32_t>(c.serviceState);
  t.scm.installed = c.serviceState != 0;
  t.scm.controlError = c.stopError;
  t.scm.deleteError = c.deleteError;
  t.scm.startError = c.startError;
  t.scm.configErrors.assign(static_cast<std::size_t>(c.failedPolls), 1060);

  InstallationState s;
  s.SnmpcDir = "c:\\SNMPc";
  const auto view = t.ui.CreateUpgrade();
  const bool done = RunUpgradeSequence(p, s, *view);

  std::vector<std::string> texts;
  std::vector<int> progress;
  for (const auto& line : t.ui.trace) {
    if (line.rfind("frmVelaScanUpg.txtInfo ", 0) == 0) texts.push_back(line.substr(23));
    if (line.rfind("frmVelaScanUpg.progress ", 0) == 0) progress.push_back(std::stoi(line.substr(24)));
  }
  EXPECT_EQ(texts, c.texts);
  EXPECT_EQ(progress, c.progress);
  const auto pauses = t.Pauses();
  EXPECT_EQ(std::accumulate(pauses.begin(), pauses.end(), 0L), c.pauseTotal);
  EXPECT_EQ(done, c.message.empty());
  if (c.message.empty()) {
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_EQ(t.ui.trace.back(), "frmVelaScanUpg.cmdExit caption Done");
  } else {
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0], (test::ShownMessage{c.message, 16, "Vela Scan"}));
    EXPECT_EQ(t.ui.trace.back(), "frmVelaScanUpg.cmdExit enabled");
  }
  EXPECT_EQ(t.ui.trace[0], "frmVelaScanUpg.Refresh");
  EXPECT_EQ(t.ui.trace[1], "frmVelaScanUpg.Caption Vela Scan Installation  3.14");
  EXPECT_EQ(t.ui.trace[2], "frmVelaScanUpg.cmdExit disabled");
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
  EXPECT_TRUE(t.scm.faults.empty());
}

// Waits of each stretch of the run.
constexpr long kStart1 = 100;                    // the first redraw
constexpr long kStopped = 2000, kRemoved = 2000;
constexpr long kProgramFiles = 2 * (200 + 100);  // two old files deleted, two copied
constexpr long kSnmpcFiles = 3 * 100 + 100;      // three copies, then the MIB registration
constexpr long kLadder = 200 + 300 + 300 + 200 + 200 + 200 + 500;  // from 2.00, then the wait after it
constexpr long kInstall1 = 3000 + 1000;          // registered at the first poll
constexpr long kStarted = 500;

const std::vector<int> kAllProgress{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeSequenceTest,
    ::testing::Values(
        SequenceCase{.name = "no_service", .serviceState = 0, .version = "2.00",
                     .texts = {kCopy, kMib, kSchema, kInstall, kStart, kDone}, .progress = kAllProgress,
                     .pauseTotal = kStart1 + kProgramFiles + kSnmpcFiles + kLadder + kInstall1 + kStarted},
        SequenceCase{.name = "stopped_service_removed_then_started", .serviceState = 1,
                     .texts = {kRemove, kCopy, kMib, kInstall, kStart, kDone}, .progress = kAllProgress,
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1 + kStarted},
        SequenceCase{.name = "running_service_stopped_and_the_new_one_left_running", .serviceState = 4,
                     .registeredState = 4, .texts = {kStop, kRemove, kCopy, kMib, kInstall, kDone},
                     .progress = kAllProgress,
                     .pauseTotal = kStart1 + kStopped + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1},
        SequenceCase{.name = "pending_service_only_removed", .serviceState = 3, .registeredState = 2,
                     .texts = {kRemove, kCopy, kMib, kInstall, kDone}, .progress = kAllProgress,
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1},
        SequenceCase{.name = "lumidex_case_skips_the_snmpc_files", .serviceState = 1, .lumidex = true,
                     .texts = {kRemove, kCopy, kInstall, kStart, kDone}, .progress = {1, 2, 3, 4, 7, 8, 9, 10},
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kInstall1 + kStarted},
        SequenceCase{.name = "registered_at_the_tenth_poll", .serviceState = 1, .failedPolls = 9,
                     .texts = {kRemove, kCopy, kMib, kInstall, kStart, kDone}, .progress = kAllProgress,
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1 + 9000 + kStarted},
        SequenceCase{.name = "never_registered", .serviceState = 1, .failedPolls = 10,
                     .texts = {kRemove, kCopy, kMib, kInstall}, .progress = {1, 2, 3, 4, 5, 6, 7, 8},
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + 3000 + 10000,
                     .message = "Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe "
                                "from windows explorer."},
        SequenceCase{.name = "stop_refused", .serviceState = 4, .stopError = 5, .texts = {kStop}, .progress = {1},
                     .pauseTotal = kStart1, .message = "Error [5]  when stop the service"},
        SequenceCase{.name = "delete_refused", .serviceState = 1, .deleteError = 1072, .texts = {kRemove},
                     .progress = {1, 2}, .pauseTotal = kStart1, .message = "Error [1072]  when uninstall the service"},
        SequenceCase{.name = "launch_impossible", .serviceState = 1, .launches = false,
                     .texts = {kRemove, kCopy, kMib, kInstall}, .progress = {1, 2, 3, 4, 5, 6, 7, 8},
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles,
                     .message = "Error [0]  when install the service"},
        SequenceCase{.name = "start_refused", .serviceState = 1, .startError = 1058,
                     .texts = {kRemove, kCopy, kMib, kInstall, kStart}, .progress = {1, 2, 3, 4, 5, 6, 7, 8, 9},
                     .pauseTotal = kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1,
                     .message = "Error [1058]  when start the service"}),
    [](const auto& info) { return std::string(info.param.name); });

// A run on a fresh fixture installation, with the platform as the test set it up.
class UpgradeSequenceRun : public ::testing::Test {
 protected:
  UpgradeSequenceRun() { s.SnmpcDir = "c:\\SNMPc"; }
  bool Run() {
    const auto view = t.ui.CreateUpgrade();
    return RunUpgradeSequence(t.platform, s, *view);
  }
  const test::TestInstallation install{WithProgramFiles()};
  test::TestPlatform t;
  InstallationState s;

 private:
  static fixture::InstallationOptions WithProgramFiles() {
    fixture::InstallationOptions options;
    options.programFiles = true;
    return options;
  }
};

TEST_F(UpgradeSequenceRun, ConsoleRunningIsAWarningWithLineFeedsOnly) {
  t.system.commandLine = "c:\\VelaScan";
  t.processes.processes.push_back({77, "C:\\PROGRAM FILES\\VELA SCAN\\VELASCAN.EXE"});
  t.scm.openServiceError = 1060;
  Run();
  ASSERT_FALSE(t.ui.messages.empty());
  EXPECT_EQ(t.ui.messages[0], (test::ShownMessage{"Vela Scan Console is running.\n\nExit the Console now and\n"
                                                  "press OK to continue...",
                                                  16, "Vela Scan"}));
}

TEST_F(UpgradeSequenceRun, QuotedProgramDirectoryStopsBeforeTouchingAnything) {
  t.system.commandLine = " \"c:\\VelaScan\" ";
  t.system.failSetCurrentDirectory = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(s.ProgramDir, "\"c:\\VelaScan\"");
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text, "Path not found: \"c:\\VelaScan\"");
  EXPECT_TRUE(t.scm.calls.empty());
  EXPECT_TRUE(s.DbVersion.empty());
}

struct ExitCase {
  const char* name;
  bool lumidex;
  bool note;
  int status;
};

class ExitButtonTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitButtonTest, NotesTheMibOnlyForSnmpcThenEnds) {
  fixture::InstallationOptions options;
  options.lumidex = GetParam().lumidex;
  const test::TestInstallation install(options);
  test::TestPlatform t;
  InstallationState s;
  s.SnmpcDir = "c:\\SNMPc";
  const auto view = t.ui.CreateUpgrade();
  frmVelaScanUpg form(t.platform, s, *view);
  std::optional<int> status;
  try {
    form.cmdExit_Click();
  } catch (const EndProgram& end) {
    status = end.status;
  }
  EXPECT_EQ(status, GetParam().status);  // no run finished here
  EXPECT_EQ(t.ui.messages.size(), GetParam().note ? 1u : 0u);
  if (GetParam().note) {
    EXPECT_EQ(t.ui.messages[0], (test::ShownMessage{"A new MIB (ferrowin.mib) has been added to\r\nSNMPc. Recompile "
                                                    "the mib database in SNMPc\r\nto have the new velascan traps "
                                                    "decoded.",
                                                    64, "Vela Scan"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitButtonTest,
                         ::testing::Values(ExitCase{"snmpc", false, true, 1},
                                           ExitCase{"lumidex", true, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu

