// The check mode on whole installations: what it finds, and that it changes
// nothing, the service included.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/posix/process_tools.h"
#include "support/posix/upgrade_world.h"

namespace vsu {
namespace {

using test::Env;
using test::UpgradeWorld;

struct CheckCase {
  const char* name;
  int serviceState;
  std::function<void(const UpgradeWorld&)> prepare;
  std::string finding;  // in a FAIL line; none on a sound installation
  Env env = {};
  bool lumidex = false;
};

class CheckEndToEnd : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckEndToEnd, NamesWhatWouldFailAndChangesNothing) {
  const auto& c = GetParam();
  fixture::InstallationOptions options;
  options.database.version = "2.00";
  options.lumidex = c.lumidex;
  UpgradeWorld world(options);
  // With write-ahead logs, which a running service keeps open beside the file.
  for (const auto& db : {world.Db(), world.File("c:\\SNMPc\\Lumidex.mdb")}) {
    if (std::filesystem::exists(db)) test::Exec(db, "PRAGMA journal_mode=WAL");
  }
  world.InstallService(c.serviceState);
  if (c.prepare) c.prepare(world);
  const auto before = world.Snapshot(true);
  const int service = test::ProcessOf(world.ServiceExe());
  Env env = c.env;
  env["VELASCANUPG_CHECK"] = "1";
  const auto result = world.Upgrade(env);

  EXPECT_EQ(result.status, c.finding.empty() ? 0 : 1) << result.out;
  const bool named = ("\n" + result.out).find("\nFAIL  " + c.finding) != std::string::npos;
  EXPECT_EQ(named, !c.finding.empty()) << result.out;
  const auto events = world.Events();
  EXPECT_EQ(test::EventsNamed(events, "check").size() + 1, std::count(result.out.begin(), result.out.end(), '\n'));
  EXPECT_TRUE(test::EventsNamed(events, "msgbox").empty() && test::EventsNamed(events, "prompt").empty());
  EXPECT_EQ(world.Snapshot(true), before);
  EXPECT_EQ(test::ProcessOf(world.ServiceExe()), service);
}

void Sc(const UpgradeWorld& world, std::vector<std::string> args) { ASSERT_EQ(world.Sc(args).status, 0); }

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckEndToEnd,
    ::testing::Values(
        CheckCase{"sound", 4, nullptr, ""},
        CheckCase{"sound_lumidex", 1, nullptr, "", {}, true},
        CheckCase{"missing_temp_file", 0,
                  [](const auto& w) { std::filesystem::remove(w.File("c:\\VelaScan\\Temp\\VelaScanSrv.ex_")); },
                  "c:\\VelaScan\\Temp\\VelaScanSrv.ex_: missing"},
        CheckCase{"target_folder_missing", 0,
                  [](const auto& w) { std::filesystem::remove_all(w.File("c:\\SNMPc\\bitmaps")); },
                  "c:\\SNMPc\\bitmaps\\VelaScan.ico: Path not found"},
        CheckCase{"stop_denied", 4, [](const auto& w) { Sc(w, {"deny", "Vela Scan", "stop"}); },
                  "service stop: stopping it is refused: error 5"},
        CheckCase{"delete_denied", 1, [](const auto& w) { Sc(w, {"deny", "Vela Scan", "delete"}); },
                  "service delete: deleting it is refused: error 5"},
        CheckCase{"start_denied", 1, [](const auto& w) { Sc(w, {"deny", "Vela Scan", "start"}); },
                  "service start: starting it is refused: error 5"},
        CheckCase{"names_list_missing", 0,
                  [](const auto& w) { std::filesystem::remove(w.File("c:\\SNMPc\\mibfiles\\names.txt")); },
                  "c:\\SNMPc\\mibfiles\\names.txt: missing"},
        CheckCase{"column_exists", 0,
                  [](const auto& w) { test::Exec(w.Db(), "ALTER TABLE SuppGrp_Perm ADD COLUMN CorrUpNotInQueue BIT"); },
                  "schema step 2.01: the column SuppGrp_Perm.CorrUpNotInQueue exists already"},
        CheckCase{"table_exists", 0,
                  [](const auto& w) { test::Exec(w.Db(), "CREATE TABLE sentfailed_mail_smtp (Name TEXT)"); },
                  "schema step 2.05: the table SentFailed_Mail_SMTP exists already"},
        CheckCase{"unreadable_database", 0,
                  [](const auto& w) { std::ofstream(w.Db(), std::ios::binary) << std::string(4096, 'x'); },
                  "c:\\VelaScan\\VelaScan.mdb: file is not a database"},
        CheckCase{"lumidex_settings_missing", 0,
                  [](const auto& w) { test::Exec(w.File("c:\\SNMPc\\Lumidex.mdb"), "DROP TABLE Settings_Console"); },
                  "c:\\SNMPc\\Lumidex.mdb: ", {}, true},
        // The prompt would be cancelled, which ends a run; the check goes on.
        CheckCase{"windows_prompt", 0, [](const auto& w) { std::filesystem::remove(w.File("c:\\windows\\win.ini")); },
                  "Windows directory: not found: the prompt \"  Enter the Path to Windows\" would be shown",
                  {{"WINDIR", std::nullopt}}},
        CheckCase{"snmpc_prompt", 0,
                  [](const auto& w) {
                    std::filesystem::remove(w.File("c:\\windows\\win.ini"));
                    test::Exec(w.Db(), "UPDATE Settings_General SET SnmpcPath = 'c:\\Nowhere'");
                  },
                  "SNMPc directory: not found: the prompt \"  Enter the Path to SNMPc or Lumidex\" would be shown"},
        CheckCase{"backup_folder_taken", 0,
                  [](const auto& w) { w.install().dir().Write("old/manifest.txt", "VelaScanUpg backup 1"); },
                  "backup folder: c:\\old already holds a backup", {{"VELASCANUPG_BACKUP", "c:\\old"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A console seen by every run on the machine: alone, with the Serial tests.
INSTANTIATE_TEST_SUITE_P(Serial, CheckEndToEnd,
                         ::testing::Values(CheckCase{"console_running", 0, [](const auto& w) { w.StartConsole(); },
                                                     "console: velascan.exe is running"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
