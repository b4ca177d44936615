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

// The service the launch registers: the fake manager stops refusing to open it.
class RegisteringLauncher : public test::RecordingLauncher {
 public:
  explicit RegisteringLauncher(test::FakeServiceManager& scm) : scm_(scm) {}
  bool ShellExecuteExA(const ShellExecuteInfo& info) override {
    if (shellExecuteResult) scm_.openServiceError = 0;
    return RecordingLauncher::ShellExecuteExA(info);
  }

 private:
  test::FakeServiceManager& scm_;
};

struct SequenceCase {
  const char* name;
  int serviceState;  // 0: not installed until the launch registers it
  bool lumidex = false;
  const char* version = "2.00";
  std::uint32_t stopError = 0;
  std::uint32_t deleteError = 0;
  std::uint32_t startError = 0;
  bool launches = true;
  int failedPolls = 0;  // registration polls that still fail
  // Expected:
  std::vector<std::string> texts;
  std::vector<int> progress;
  long pauseTotal;
  std::string message;  // the failure shown, "" for none
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
  RegisteringLauncher launcher(t.scm);
  launcher.shellExecuteResult = c.launches;
  Platform p{t.system, t.files, t.clock, t.ui, t.log, t.db, t.scm, t.processes, launcher, t.ip};
  t.system.commandLine = "c:\\VelaScan";
  t.scm.state = c.serviceState == 0 ? 1 : static_cast<std::uint32_t>(c.serviceState);
  if (c.serviceState == 0) t.scm.openServiceError = 1060;
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
        SequenceCase{"no_service", 0, false, "2.00", 0, 0, 0, true, 0,
                     {kCopy, kMib, kSchema, kInstall, kStart, kDone}, kAllProgress,
                     kStart1 + kProgramFiles + kSnmpcFiles + kLadder + kInstall1 + kStarted, ""},
        SequenceCase{"stopped_service_removed_then_started", 1, false, "3.14", 0, 0, 0, true, 0,
                     {kRemove, kCopy, kMib, kInstall, kStart, kDone}, kAllProgress,
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1 + kStarted, ""},
        SequenceCase{"running_service_stopped_and_left_running", 4, false, "3.14", 0, 0, 0, true, 0,
                     {kStop, kRemove, kCopy, kMib, kInstall, kDone}, kAllProgress,
                     kStart1 + kStopped + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1, ""},
        SequenceCase{"pending_service_only_removed", 3, false, "3.14", 0, 0, 0, true, 0,
                     {kRemove, kCopy, kMib, kInstall, kDone}, kAllProgress,
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1, ""},
        SequenceCase{"lumidex_case_skips_the_snmpc_files", 1, true, "3.14", 0, 0, 0, true, 0,
                     {kRemove, kCopy, kInstall, kStart, kDone}, {1, 2, 3, 4, 7, 8, 9, 10},
                     kStart1 + kRemoved + kProgramFiles + kInstall1 + kStarted, ""},
        SequenceCase{"registered_at_the_tenth_poll", 1, false, "3.14", 0, 0, 0, true, 9,
                     {kRemove, kCopy, kMib, kInstall, kStart, kDone}, kAllProgress,
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1 + 9000 + kStarted, ""},
        SequenceCase{"never_registered", 1, false, "3.14", 0, 0, 0, true, 10,
                     {kRemove, kCopy, kMib, kInstall}, {1, 2, 3, 4, 5, 6, 7, 8},
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + 3000 + 10000,
                     "Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe from windows "
                     "explorer."},
        SequenceCase{"stop_refused", 4, false, "3.14", 5, 0, 0, true, 0, {kStop}, {1}, kStart1,
                     "Error [5]  when stop the service"},
        SequenceCase{"delete_refused", 1, false, "3.14", 0, 1072, 0, true, 0, {kRemove}, {1, 2}, kStart1,
                     "Error [1072]  when uninstall the service"},
        SequenceCase{"launch_impossible", 1, false, "3.14", 0, 0, 0, false, 0,
                     {kRemove, kCopy, kMib, kInstall}, {1, 2, 3, 4, 5, 6, 7, 8},
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles, "Error [0]  when install the service"},
        SequenceCase{"start_refused", 1, false, "3.14", 0, 0, 1058, true, 0,
                     {kRemove, kCopy, kMib, kInstall, kStart}, {1, 2, 3, 4, 5, 6, 7, 8, 9},
                     kStart1 + kRemoved + kProgramFiles + kSnmpcFiles + kInstall1,
                     "Error [1058]  when start the service"}),
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

#include "support/files_wrapper.h"

namespace vsu {
namespace {

// Fails the k-th file operation of a whole run (creating the file-copy object
// included), for every k until a run passes without the fault firing: each stop
// must be shown with the failure's text and leave an installation that a clean
// rerun brings to "Done" at 3.14. Every other fault is an exception that is no
// Failure, which the same failure paths must take.
TEST(UpgradeSequenceFaults, EveryFileOperationMayFailAndARerunConverges) {
  for (long k = 1;; ++k) {
    SCOPED_TRACE("failing file operation " + std::to_string(k));
    fixture::InstallationOptions options;
    options.database.version = "2.00";
    options.programFiles = true;
    const test::TestInstallation install(options);

    const auto runOnce = [&](long failCall, bool& fired, std::vector<test::ShownMessage>& messages) {
      test::TestPlatform t;
      test::FilesWrapper files(t.files);
      files.failCall = failCall;
      files.unexpected = failCall % 2 == 0;
      RegisteringLauncher launcher(t.scm);
      Platform p{t.system, files, t.clock, t.ui, t.log, t.db, t.scm, t.processes, launcher, t.ip};
      t.system.commandLine = "c:\\VelaScan";
      t.scm.openServiceError = 1060;
      InstallationState s;
      s.SnmpcDir = "c:\\SNMPc";
      const auto view = t.ui.CreateUpgrade();
      const bool done = RunUpgradeSequence(p, s, *view);
      fired = files.faultFired;
      messages = t.ui.messages;
      EXPECT_EQ(t.scm.OpenHandles(), 0u);
      return done;
    };

    bool fired = false;
    std::vector<test::ShownMessage> messages;
    const bool done = runOnce(k, fired, messages);
    if (!fired) {
      EXPECT_TRUE(done);
      EXPECT_GT(k, 10);  // a run makes many file operations
      break;
    }
    // The fault is reported once, in the run's own box or in the MIB registration's.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.rfind("Injected fault: ", 0), 0u) << messages[0].text;
    EXPECT_EQ(messages[0].style, 16);

    bool firedAgain = true;
    ASSERT_TRUE(runOnce(0, firedAgain, messages)) << (messages.empty() ? "" : messages[0].text);
    EXPECT_EQ(test::Query(install.VelaScanDb(), "SELECT ProgVersion FROM Settings_General"),
              (std::vector<std::vector<std::string>>{{"3.14"}}));
    EXPECT_NE(install.dir().Read("VelaScan/VelaScanSrv.exe").find("new version"), std::string::npos);
  }
}

}  // namespace
}  // namespace vsu
