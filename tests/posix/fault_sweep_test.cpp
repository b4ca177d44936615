// For each k the k-th port call of a run fails: its message and status hold, all is released, a rerun converges.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

// The service as the fake manager keeps it between runs.
struct Service {
  bool installed = true;
  std::uint32_t state = 4;
  bool marked = false;
};

struct RunResult {
  int status = -1;
  std::vector<test::ShownMessage> messages;
  std::string fired;  // the call that failed; empty when none did
  bool Mentions(const std::string& text) const {
    return std::any_of(messages.begin(), messages.end(), [&](auto& m) { return m.text.find(text) != m.text.npos; });
  }
};

struct SweepCase {
  const char* name;
  bool lumidex = false;
  const char* commandLine = "c:\\VelaScan";
};

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
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      const auto relative = std::filesystem::relative(entry.path(), root).string();
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

  const test::TestInstallation Install() const {
    fixture::InstallationOptions options;
    // From 3.03 the ladder takes each kind of step in few calls.
    options.database.version = "3.03";
    options.database.rows = 1;
    options.programFiles = true;
    options.lumidex = GetParam().lumidex;
    return test::TestInstallation(options);
  }
};

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
    for (const auto& [name, value] : expected) EXPECT_TRUE(outcome.count(name) && outcome[name] == value) << name;
    EXPECT_EQ(outcome.size(), expected.size());
  }
  EXPECT_GT(k, 10);  // the countdown reached the calls
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultSweep,
                         ::testing::Values(SweepCase{.name = "snmpc"}, SweepCase{.name = "lumidex", .lumidex = true},
                                           SweepCase{.name = "uninstall", .commandLine = "-uninstall {6F3C}"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
