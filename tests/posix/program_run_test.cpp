// Whole runs over fakes on a fixture installation: the upgrade window's steps and Exit; a fault at each port call.

#include <numeric>

#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/installation.h"
#include "support/testing.h"
#include "upgrade/frm_vela_scan_upg.h"

namespace vsu { namespace {

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
  const char *version = "3.14", *commandLine = "c:\\VelaScan";
  bool failChangeDirectory = false, console = false;  // a console is running
  std::uint32_t startError = 0;
  bool launches = true;
  int failedPolls = 0;                // registration polls that still fail
  std::uint32_t registeredState = 1;  // what the installer leaves the new service in
  std::vector<std::string> texts{};   // expected from here on
  std::vector<int> progress{};
  long pauseTotal = 0;
  std::string failure{};  // the failure shown, "" for none
};

TEST(UpgradeSequence, RunsItsStepsInOrderAndExitEndsIt) {
  // Waits: redraw 100, stop/remove 2000 each, files 600 + 400, ladder 1900, install 3000 + 1000 a poll, start 500.
  const std::vector<int> kAll{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, kToInstall{1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<std::string> kRemoveToDone{kRemove, kCopy, kMib, kInstall, kStart, kDone};
  for (const SequenceCase& c : std::vector<SequenceCase>{
           {.name = "no_service", .serviceState = 0, .version = "2.00",
            .texts = {kCopy, kMib, kSchema, kInstall, kStart, kDone}, .progress = kAll, .pauseTotal = 7500},
           {.name = "stopped_service_removed_then_started", .texts = kRemoveToDone, .progress = kAll,
            .pauseTotal = 7600},
           {.name = "running_service_stopped_and_the_new_one_left_running", .serviceState = 4, .registeredState = 4,
            .texts = {kStop, kRemove, kCopy, kMib, kInstall, kDone}, .progress = kAll, .pauseTotal = 9100},
           {.name = "pending_service_only_removed", .serviceState = 3, .registeredState = 2,
            .texts = {kRemove, kCopy, kMib, kInstall, kDone}, .progress = kAll, .pauseTotal = 7100},
           {.name = "lumidex_case_skips_the_snmpc_files", .lumidex = true,
            .texts = {kRemove, kCopy, kInstall, kStart, kDone}, .progress = {1, 2, 3, 4, 7, 8, 9, 10},
            .pauseTotal = 7200},
           {.name = "console_running_is_a_warning_with_line_feeds_only", .serviceState = 0, .console = true,
            .texts = {kCopy, kMib, kInstall, kStart, kDone}, .progress = kAll, .pauseTotal = 5600},
           {.name = "registered_at_the_tenth_poll", .failedPolls = 9, .texts = kRemoveToDone, .progress = kAll,
            .pauseTotal = 16600},
           {.name = "never_registered", .failedPolls = 10, .texts = {kRemove, kCopy, kMib, kInstall},
            .progress = kToInstall, .pauseTotal = 16100,
            .failure = "Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe "
                       "from windows explorer."},
           {.name = "quoted_program_directory_stops_before_touching_anything", .commandLine = " \"c:\\VelaScan\" ",
            .failChangeDirectory = true, .pauseTotal = 100, .failure = "Path not found: \"c:\\VelaScan\""},
           {.name = "launch_impossible", .launches = false, .texts = {kRemove, kCopy, kMib, kInstall},
            .progress = kToInstall, .pauseTotal = 3100, .failure = "Error [0]  when install the service"},
           {.name = "start_refused", .startError = 1058, .texts = {kRemove, kCopy, kMib, kInstall, kStart},
            .progress = {1, 2, 3, 4, 5, 6, 7, 8, 9}, .pauseTotal = 7100,
            .failure = "Error [1058]  when start the service"}}) {
    SCOPED_TRACE(c.name);
    fixture::InstallationOptions options;
    options.database.version = c.version, options.lumidex = c.lumidex, options.programFiles = true;
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
}

// The service as the fake manager keeps it between runs.
struct Service { bool installed = true; std::uint32_t state = 4; bool marked = false; };

struct RunResult {
  int status = -1;
  std::vector<test::ShownMessage> messages;
  std::string fired;  // the call that failed; empty when none did
  bool Mentions(const std::string& text) const {
    return std::any_of(messages.begin(), messages.end(), [&](auto& m) { return m.text.find(text) != m.text.npos; });
  }
};

struct SweepCase { const char* name; bool lumidex = false; const char* commandLine = "c:\\VelaScan"; };

class FaultSweep : public ::testing::TestWithParam<SweepCase> {
 protected:
  RunResult RunOnce(Service& service, long failAt) {
    test::TestPlatform t;
    t.system.commandLine = GetParam().commandLine;
    t.system.windowsDirectory = "c:\\windows";
    t.launcher.registersWith = &t.scm;
    t.scm.installed = service.installed, t.scm.state = service.state, t.scm.marked = service.marked;
    test::FaultCountdown countdown;
    countdown.failAt = failAt, countdown.unexpected = failAt % 2 == 0;
    test::FaultPorts ports(t, countdown);
    InstallationState s;
    RunResult run{RunProgram(ports.platform, s), t.ui.messages, countdown.fired};
    service = {t.scm.installed, t.scm.state, t.scm.marked};
    EXPECT_EQ(ports.LiveDatabaseObjects(), 0);
    EXPECT_EQ(t.scm.OpenHandles() + t.processes.OpenHandles(), 0u);
    EXPECT_TRUE(t.scm.faults.empty());
    return run;
  }

  // What a run leaves: every file of the drive but the database, each table's rows, the service.
  static std::map<std::string, std::string> Outcome(const test::TestInstallation& install, const Service& service) {
    std::map<std::string, std::string> outcome{
        {"service", std::to_string(service.installed) + " " + std::to_string(service.state)}};
    const auto& root = install.dir().path();
    for (const auto& entry : test::fs::recursive_directory_iterator(root)) {
      const auto relative = test::fs::relative(entry.path(), root).string();
      if (entry.is_regular_file() && relative.rfind("VelaScan/VelaScan.mdb", 0) != 0) {
        outcome[relative] = install.dir().Read(relative);
      }
    }
    for (const auto& table : test::Tables(install.VelaScanDb())) {
      for (const auto& row : test::Query(install.VelaScanDb(), "SELECT * FROM \"" + table + "\"")) {
        for (const auto& value : row) outcome["table " + table] += value + "|";
      }
    }
    return outcome;
  }

  // From 3.03 the ladder takes each kind of step in few calls.
  const test::TestInstallation Install() const {
    fixture::InstallationOptions options;
    options.database.version = "3.03", options.database.rows = 1;
    options.programFiles = true, options.lumidex = GetParam().lumidex;
    return test::TestInstallation(options);
  }
};

// For each k the k-th port call of a run fails: its message and status hold, all is released, a rerun converges.
TEST_P(FaultSweep, EveryCallMayFailAndARerunConverges) {
  std::map<std::string, std::string> expected;
  {
    const auto install = Install();
    Service service;
    ASSERT_EQ(RunOnce(service, 0).status, 0);
    expected = Outcome(install, service);
  }
  long k = 1;
  for (;; ++k) {
    SCOPED_TRACE("call " + std::to_string(k) + " fails");
    const auto install = Install();
    Service service;
    const RunResult faulty = RunOnce(service, k);
    if (faulty.fired.empty()) break;
    SCOPED_TRACE("which is " + faulty.fired);
    // A reported failure names the injected fault once, in a box of the program's own titles.
    const std::string injected = "Injected fault: " + faulty.fired;
    const std::string code = "[" + std::to_string(test::kInjectedCode) + "]";
    int naming = 0;
    for (const auto& m : faulty.messages) {
      if (m.text.find(injected) == std::string::npos && m.text.find(code) == std::string::npos) continue;
      ++naming;
      EXPECT_EQ(m.style, 16);
      EXPECT_TRUE(m.title == "Vela Scan" || m.title == "Vela Scan_UpgradeDatabase") << m.title;
    }
    EXPECT_LE(naming, 1);
    EXPECT_TRUE(faulty.status == 0 || faulty.status == 1);

    const RunResult rerun = RunOnce(service, 0);
    EXPECT_EQ(rerun.status, 0) << (rerun.messages.empty() ? "" : rerun.messages[0].text);
    auto outcome = Outcome(install, service);
    EXPECT_EQ(outcome["service"], expected["service"]);
    // By design a half-done schema step stops its rerun too; a failed SNMPc look sends files to the root.
    if (rerun.Mentions("duplicate column") || rerun.Mentions("already exists")) {
      EXPECT_TRUE(faulty.Mentions(injected));
      continue;
    }
    if (faulty.Mentions("\\bitmaps\\VelaScan.ico")) outcome.erase("Tallyback.exe");
    // names.bak holds a whole list: the first run's, or the registered one.
    const auto bak = outcome.find("SNMPc/mibfiles/names.bak");
    if (bak != outcome.end() && bak->second == expected["SNMPc/mibfiles/names.txt"]) {
      bak->second = expected["SNMPc/mibfiles/names.bak"];
    }
    EXPECT_EQ(outcome, expected);
  }
  EXPECT_GT(k, 10);  // the countdown reached the calls
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultSweep,
                         ::testing::Values(SweepCase{.name = "snmpc"}, SweepCase{.name = "lumidex", .lumidex = true},
                                           SweepCase{.name = "uninstall", .commandLine = "-uninstall {6F3C}"}),
                         test::CaseName());

}}  // namespace vsu
