// The upgrade window's run over fakes on a fixture installation: order, texts, waits, failures, Exit.

#include <gtest/gtest.h>

#include <numeric>

#include "common/failure.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/installation.h"
#include "upgrade/frm_vela_scan_upg.h"

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
constexpr const char* kConsoleWarning =
    "Vela Scan Console is running.\n\nExit the Console now and\npress OK to continue...";
constexpr const char* kMibNote =
    "A new MIB (ferrowin.mib) has been added to\r\nSNMPc. Recompile the mib database in SNMPc\r\nto have the new "
    "velascan traps decoded.";

struct SequenceCase {
  const char* name;
  int serviceState = 1;  // 0: not installed until the launch registers it
  bool lumidex = false;
  const char* version = "3.14";
  const char* commandLine = "c:\\VelaScan";
  bool failChangeDirectory = false;
  bool console = false;  // a console is running
  std::uint32_t startError = 0;
  bool launches = true;
  int failedPolls = 0;                // registration polls that still fail
  std::uint32_t registeredState = 1;  // what the installer leaves the new service in
  // Expected:
  std::vector<std::string> texts{};
  std::vector<int> progress{};
  long pauseTotal = 0;
  std::string failure{};  // the failure shown, "" for none
};

class UpgradeSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(UpgradeSequence, RunsItsStepsInOrderAndExitEndsIt) {
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
  t.system.commandLine = c.commandLine;
  t.system.failSetCurrentDirectory = c.failChangeDirectory;
  if (c.console) t.processes.processes.push_back({77, "C:\\PROGRAM FILES\\VELA SCAN\\VELASCAN.EXE"});
  t.scm.state = c.serviceState == 0 ? 1 : static_cast<std::uint32_t>(c.serviceState);
  t.scm.installed = c.serviceState != 0;
  t.scm.startError = c.startError;
  t.scm.configErrors.assign(static_cast<std::size_t>(c.failedPolls), 1060);
  InstallationState s;
  s.SnmpcDir = "c:\\SNMPc";
  // The ports count the database objects alive, none of which may be while a message shows.
  test::FaultCountdown noFault;
  test::FaultPorts ports(t, noFault);
  long heldAtMessage = 0;
  t.ui.onMsgBox = [&] { heldAtMessage += ports.LiveDatabaseObjects(); };
  const auto view = t.ui.CreateUpgrade();
  frmVelaScanUpg form(ports.platform, s, *view);
  form.Form_Activate();

  EXPECT_EQ(t.ui.Traced("frmVelaScanUpg.txtInfo "), c.texts);
  std::vector<int> progress;
  for (const auto& value : t.ui.Traced("frmVelaScanUpg.progress ")) progress.push_back(std::stoi(value));
  EXPECT_EQ(progress, c.progress);
  const auto pauses = t.Pauses();
  EXPECT_EQ(std::accumulate(pauses.begin(), pauses.end(), 0L), c.pauseTotal);
  const std::vector<std::string> ends{t.ui.trace[0], t.ui.trace[1], t.ui.trace[2], t.ui.trace.back()};
  EXPECT_EQ(ends, (std::vector<std::string>{"frmVelaScanUpg.Refresh",
                                             "frmVelaScanUpg.Caption Vela Scan Installation  3.14",
                                             "frmVelaScanUpg.cmdExit disabled",
                                             c.failure.empty() ? "frmVelaScanUpg.cmdExit caption Done"
                                                               : "frmVelaScanUpg.cmdExit enabled"}));
  // Every run that reaches the service has read the database's version first.
  EXPECT_EQ(s.DbVersion.empty(), c.progress.empty());
  EXPECT_EQ(t.scm.OpenHandles(), 0u);
  EXPECT_TRUE(t.scm.faults.empty());

  int status = -1;
  try {
    form.cmdExit_Click();
  } catch (const EndProgram& end) {
    status = end.status;
  }
  EXPECT_EQ(status, c.failure.empty() ? 0 : 1);
  std::vector<test::ShownMessage> expected;
  if (c.console) expected.push_back({kConsoleWarning, 16, "Vela Scan"});
  if (!c.failure.empty()) expected.push_back({c.failure, 16, "Vela Scan"});
  if (!c.lumidex) expected.push_back({kMibNote, 64, "Vela Scan"});
  EXPECT_EQ(t.ui.messages, expected);
  EXPECT_EQ(heldAtMessage, 0);
}

// Waits: redraw 100, stop 2000, removal 2000, program files 600, SNMPc files 400, ladder from 2.00 1900,
// install 3000 + 1000 per poll, start 500.
const std::vector<int> kAll{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, kToInstall{1, 2, 3, 4, 5, 6, 7, 8};
const std::vector<std::string> kRemoveToDone{kRemove, kCopy, kMib, kInstall, kStart, kDone};

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeSequence,
    ::testing::Values(
        SequenceCase{.name = "no_service", .serviceState = 0, .version = "2.00",
                     .texts = {kCopy, kMib, kSchema, kInstall, kStart, kDone}, .progress = kAll, .pauseTotal = 7500},
        SequenceCase{.name = "stopped_service_removed_then_started", .texts = kRemoveToDone, .progress = kAll,
                     .pauseTotal = 7600},
        SequenceCase{.name = "running_service_stopped_and_the_new_one_left_running", .serviceState = 4,
                     .registeredState = 4, .texts = {kStop, kRemove, kCopy, kMib, kInstall, kDone}, .progress = kAll,
                     .pauseTotal = 9100},
        SequenceCase{.name = "pending_service_only_removed", .serviceState = 3, .registeredState = 2,
                     .texts = {kRemove, kCopy, kMib, kInstall, kDone}, .progress = kAll, .pauseTotal = 7100},
        SequenceCase{.name = "lumidex_case_skips_the_snmpc_files", .lumidex = true,
                     .texts = {kRemove, kCopy, kInstall, kStart, kDone}, .progress = {1, 2, 3, 4, 7, 8, 9, 10},
                     .pauseTotal = 7200},
        SequenceCase{.name = "console_running_is_a_warning_with_line_feeds_only", .serviceState = 0, .console = true,
                     .texts = {kCopy, kMib, kInstall, kStart, kDone}, .progress = kAll, .pauseTotal = 5600},
        SequenceCase{.name = "registered_at_the_tenth_poll", .failedPolls = 9, .texts = kRemoveToDone,
                     .progress = kAll, .pauseTotal = 16600},
        SequenceCase{.name = "never_registered", .failedPolls = 10, .texts = {kRemove, kCopy, kMib, kInstall},
                     .progress = kToInstall, .pauseTotal = 16100,
                     .failure = "Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe "
                                "from windows explorer."},
        SequenceCase{.name = "quoted_program_directory_stops_before_touching_anything",
                     .commandLine = " \"c:\\VelaScan\" ", .failChangeDirectory = true, .pauseTotal = 100,
                     .failure = "Path not found: \"c:\\VelaScan\""},
        SequenceCase{.name = "launch_impossible", .launches = false, .texts = {kRemove, kCopy, kMib, kInstall},
                     .progress = kToInstall, .pauseTotal = 3100, .failure = "Error [0]  when install the service"},
        SequenceCase{.name = "start_refused", .startError = 1058, .texts = {kRemove, kCopy, kMib, kInstall, kStart},
                     .progress = {1, 2, 3, 4, 5, 6, 7, 8, 9}, .pauseTotal = 7100,
                     .failure = "Error [1058]  when start the service"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
