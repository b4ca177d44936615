// Every call the program makes to any port may fail. For each k, the k-th call
// of a whole run fails; the run must end as the routine that met the failure
// says (its own message and exit status, or silence where a routine keeps
// quiet), release every handle and object, and leave an installation that a
// clean rerun brings to where an uninterrupted run would have.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "common/failure.h"
#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

using Rows = std::vector<std::vector<std::string>>;

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
};

// What a run leaves: every file of the drive but the database, the database's
// rows, and the service.
struct Outcome {
  std::map<std::string, std::string> files;
  std::map<std::string, Rows> database;
  Service service;
};

struct SweepCase {
  const char* name;
  bool lumidex = false;
  const char* commandLine = "c:\\VelaScan";
};

class FaultSweep : public ::testing::TestWithParam<SweepCase> {
 protected:
  RunResult RunOnce(const test::TestInstallation& install, Service& service, long failAt) {
    test::TestPlatform t;
    t.system.commandLine = GetParam().commandLine;
    t.system.windowsDirectory = "c:\\windows";
    t.launcher.registersWith = &t.scm;
    t.scm.installed = service.installed;
    t.scm.state = service.state;
    t.scm.marked = service.marked;
    test::FaultCountdown countdown;
    countdown.failAt = failAt;
    countdown.unexpected = failAt % 2 == 0;
    test::FaultPorts ports(t.platform, countdown);
    InstallationState s;
    RunResult run;
    run.status = RunProgram(ports.platform, s);
    run.messages = t.ui.messages;
    run.fired = countdown.fired;
    service = {t.scm.installed, t.scm.state, t.scm.marked};
    EXPECT_EQ(ports.LiveDatabaseObjects(), 0);
    EXPECT_EQ(t.scm.OpenHandles(), 0u);
    EXPECT_EQ(t.processes.OpenHandles(), 0u);
    EXPECT_TRUE(t.scm.faults.empty() && t.processes.faults.empty());
    (void)install;
    return run;
  }

  static Outcome Take(const test::TestInstallation& install, const Service& service) {
    Outcome outcome{{}, {}, service};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(install.dir().path())) {
      const auto relative = std::filesystem::relative(entry.path(), install.dir().path()).string();
      if (entry.is_regular_file() && relative.rfind("VelaScan/VelaScan.mdb", 0) != 0) {
        outcome.files[relative] = install.dir().Read(relative);
      }
    }
    for (const auto& table : test::Tables(install.VelaScanDb())) {
      outcome.database[table] = test::Query(install.VelaScanDb(), "SELECT * FROM \"" + table + "\"");
    }
    return outcome;
  }

  fixture::InstallationOptions Options() const {
    fixture::InstallationOptions options;
    // From 3.03 the ladder takes each kind of step (a row fill, columns, a
    // version record with settings, a bare version) in few calls.
    options.database.version = "3.03";
    options.database.rows = 1;
    options.programFiles = true;
    options.lumidex = GetParam().lumidex;
    return options;
  }
};

// The names of the entries that differ or that only one side has.
template <typename Map>
std::vector<std::string> Differences(const Map& got, const Map& expected) {
  std::vector<std::string> names;
  for (const auto& [name, value] : got) {
    if (!expected.count(name) || expected.at(name) != value) names.push_back(name);
  }
  for (const auto& [name, value] : expected) {
    if (!got.count(name)) names.push_back(name);
  }
  return names;
}

bool Mentions(const RunResult& run, const std::string& text) {
  for (const auto& m : run.messages) {
    if (m.text.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST_P(FaultSweep, EveryCallMayFailAndARerunConverges) {
  Outcome expected;
  {
    const test::TestInstallation install(Options());
    Service service;
    ASSERT_EQ(RunOnce(install, service, 0).status, GetParam().lumidex ? 0 : 0);
    expected = Take(install, service);
  }
  long k = 1;
  for (;; ++k) {
    SCOPED_TRACE("call " + std::to_string(k) + " fails");
    const test::TestInstallation install(Options());
    Service service;
    const RunResult faulty = RunOnce(install, service, k);
    if (faulty.fired.empty()) break;
    SCOPED_TRACE("which is " + faulty.fired);
    // The run ends with status 0 only when it finished; a failure it reports
    // names the injected fault once, in a box of the program's own titles.
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

    const RunResult rerun = RunOnce(install, service, 0);
    EXPECT_EQ(rerun.status, 0) << (rerun.messages.empty() ? "" : rerun.messages[0].text);
    const Outcome outcome = Take(install, service);
    EXPECT_EQ(outcome.service.installed, expected.service.installed);
    EXPECT_EQ(outcome.service.state, expected.service.state);
    // What the routines' own failure paths leave by design: a schema step that
    // failed part-way keeps what it did, so its rerun stops at the same place;
    // a failed look for the SNMPc directory sends the SNMPc files to the
    // drive's root before the run stops.
    if (Mentions(rerun, "duplicate column") || Mentions(rerun, "already exists")) {
      EXPECT_TRUE(Mentions(faulty, injected));
      continue;
    }
    auto files = outcome.files;
    if (Mentions(faulty, "\\bitmaps\\VelaScan.ico")) files.erase("Tallyback.exe");
    // names.bak holds a whole list: the first run's or, when the faulty run
    // registered the MIB already, the registered one.
    const auto bak = files.find("SNMPc/mibfiles/names.bak");
    if (bak != files.end() && bak->second == expected.files.at("SNMPc/mibfiles/names.txt")) {
      bak->second = expected.files.at("SNMPc/mibfiles/names.bak");
    }
    EXPECT_EQ(Differences(files, expected.files), std::vector<std::string>{});
    EXPECT_EQ(Differences(outcome.database, expected.database), std::vector<std::string>{});
  }
  EXPECT_GT(k, 10);  // the countdown reached the calls
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultSweep,
                         ::testing::Values(SweepCase{.name = "snmpc"}, SweepCase{.name = "lumidex", .lumidex = true},
                                           SweepCase{.name = "uninstall", .commandLine = "-uninstall {6F3C}"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
