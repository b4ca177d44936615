// Whole upgrades of fixture installations by the built tool, against the Linux
// service manager and the service double, read back from the transcript, the
// files, the databases and the service manager.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/posix/process_tools.h"
#include "support/posix/upgrade_world.h"

namespace vsu {
namespace {

using test::Env;
using test::UpgradeWorld;

constexpr const char* kMibNote =
    "A new MIB (ferrowin.mib) has been added to\r\nSNMPc. Recompile the mib database in SNMPc\r\nto have the new "
    "velascan traps decoded.";

std::vector<std::string> Texts(const std::vector<test::Event>& events) {
  std::vector<std::string> texts;
  for (const auto& e : test::EventsNamed(events, "text")) {
    if (e.Str("control") == "txtInfo") texts.push_back(e.Str("text"));
  }
  return texts;
}

std::vector<long> Progress(const std::vector<test::Event>& events) {
  std::vector<long> values;
  for (const auto& e : test::EventsNamed(events, "progress")) values.push_back(e.Num("value"));
  return values;
}

std::vector<std::string> Messages(const std::vector<test::Event>& events) {
  std::vector<std::string> texts;
  for (const auto& e : test::EventsNamed(events, "msgbox")) texts.push_back(e.Str("text"));
  return texts;
}

struct ServiceCase {
  const char* name;
  int state;  // 0: no service
  std::vector<std::string> firstTexts;
};

class UpgradeEndToEnd : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(UpgradeEndToEnd, FromTwoHundredToDoneWithTheNewServiceRunning) {
  fixture::InstallationOptions options;
  options.database.version = "2.00";
  UpgradeWorld world(options);
  world.InstallService(GetParam().state);
  const int oldService = test::ProcessOf(world.ServiceExe());

  const auto result = world.Upgrade();
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  const auto events = world.Events();
  const auto texts = Texts(events);
  ASSERT_GE(texts.size(), GetParam().firstTexts.size());
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + GetParam().firstTexts.size()),
            GetParam().firstTexts);
  EXPECT_EQ(texts.back(), "The Vela Scan Service started successfully.");
  EXPECT_EQ(Progress(events), (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(Messages(events), std::vector<std::string>{kMibNote});
  EXPECT_EQ(events.back().Num("status"), 0);

  // The service runs again, from the new executable, registered by it.
  EXPECT_EQ(world.Sc({"query", "Vela Scan"}).out, "STATE : 4\n");
  EXPECT_EQ(world.Sc({"qc", "Vela Scan"}).out, "BINARY_PATH_NAME : " + world.ServiceExe() + "\n");
  const int newService = test::ProcessOf(world.ServiceExe());
  EXPECT_NE(newService, 0);
  if (oldService != 0) {
    EXPECT_NE(newService, oldService);
  }
  // Files, MIB list and database.
  EXPECT_NE(world.install().dir().Read("VelaScan/VelaScan.exe").find("new version"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(world.File("c:\\SNMPc\\Tallyback.exe")));
  EXPECT_TRUE(std::filesystem::exists(world.File("c:\\SNMPc\\bitmaps\\VelaScan.ico")));
  EXPECT_TRUE(std::filesystem::exists(world.File("c:\\SNMPc\\mibfiles\\Ferrowin.mib")));
  const auto names = world.install().dir().Read("SNMPc/mibfiles/names.txt");
  EXPECT_EQ(names.substr(names.size() - 16), "Ferrowin.mib\r\n\r\n");
  EXPECT_EQ(test::Query(world.Db(), "SELECT ProgVersion, SnmpcPath FROM Settings_General"),
            (std::vector<std::vector<std::string>>{{"3.14", "c:\\SNMPc"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeEndToEnd,
    ::testing::Values(ServiceCase{"no_service", 0, {"Copying program files..."}},
                      ServiceCase{"stopped", 1, {"Attempting to uninstall the service...", "Copying program files..."}},
                      ServiceCase{"running", 4,
                                  {"Attempting to stop the service...", "Attempting to uninstall the service...",
                                   "Copying program files..."}},
                      ServiceCase{"start_pending", 2,
                                  {"Attempting to uninstall the service...", "Copying program files..."}},
                      ServiceCase{"paused", 7, {"Attempting to uninstall the service...", "Copying program files..."}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LumidexCase {
  const char* name;
  const char* serverIp;
  const char* expectedAddress;
};

class LumidexEndToEnd : public ::testing::TestWithParam<LumidexCase> {};

TEST_P(LumidexEndToEnd, CarriesTheOnlineSettingsAndSkipsTheSnmpcFiles) {
  fixture::InstallationOptions options;
  options.lumidex = true;
  options.serverIpAddr = GetParam().serverIp;
  UpgradeWorld world(options);
  const auto lumidexBytes = world.install().dir().Read("SNMPc/Lumidex.mdb");
  const auto result = world.Upgrade();
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(world.install().dir().Read("SNMPc/Lumidex.mdb"), lumidexBytes);  // only ever read
  const auto events = world.Events();
  EXPECT_EQ(Progress(events), (std::vector<long>{1, 2, 3, 4, 7, 8, 9, 10}));
  EXPECT_TRUE(Messages(events).empty());  // no MIB note for Lumidex
  EXPECT_EQ(test::Query(world.Db(), "SELECT IpAddress FROM Settings_SNMP_Agent"),
            (std::vector<std::vector<std::string>>{{GetParam().expectedAddress}}));
  const auto lumidex = test::Query(world.File("c:\\SNMPc\\Lumidex.mdb"),
                                   "SELECT SqlDbServer, SqlDatabase, SqlDbUser, SqlConnType, SqlDbPass, SqlDbPort "
                                   "FROM Settings_Console");
  EXPECT_EQ(test::Query(world.Db(), "SELECT SqlDbServer, SqlDatabase, SqlDbUser, SqlConnType, SqlDbPass, SqlDbPort "
                                    "FROM Event_OnlineDb"),
            lumidex);
  EXPECT_FALSE(std::filesystem::exists(world.File("c:\\SNMPc\\Tallyback.exe")));
  EXPECT_FALSE(std::filesystem::exists(world.File("c:\\SNMPc\\mibfiles\\names.bak")));
}

INSTANTIATE_TEST_SUITE_P(Cases, LumidexEndToEnd,
                         ::testing::Values(LumidexCase{"server_ip_in_lumidex_ini", "10.1.2.3", "10.1.2.3"},
                                           LumidexCase{"address_from_ip_info", "", "198.51.100.4"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct VersionCase {
  const char* name;
  const char* stored;
  bool upgrades;
};

class VersionEndToEnd : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionEndToEnd, UpgradesUnlessExactlyTheTargetVersion) {
  fixture::InstallationOptions options;
  options.database.storedVersion = GetParam().stored;
  UpgradeWorld world(options);
  world.Upgrade();
  const auto texts = Texts(world.Events());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Upgrading database..."), GetParam().upgrades ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionEndToEnd,
                         ::testing::Values(VersionCase{"exact", "3.14", false},
                                           VersionCase{"trailing_blank", "3.14 ", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UpgradeEndToEndPaths, LongSnmpcDirectoryIsStoredCutTo150Characters) {
  std::string longDir = "c:\\";
  for (int i = 0; longDir.size() <= 170; ++i) longDir += "SNMPc network manager folder " + std::to_string(i) + "\\";
  longDir.pop_back();
  fixture::InstallationOptions options;
  options.database.snmpcPath = longDir;
  options.winIni = fixture::WinIni::kPlain;
  UpgradeWorld world(options);
  const auto snmpc = world.install().Path(longDir);
  std::filesystem::create_directories(snmpc / "mibfiles");
  std::filesystem::create_directories(snmpc / "bitmaps");
  std::filesystem::copy_file(world.File("c:\\SNMPc\\snmpc.ini"), snmpc / "snmpc.ini");
  std::filesystem::copy_file(world.File("c:\\SNMPc\\mibfiles\\names.txt"), snmpc / "mibfiles" / "names.txt");
  EXPECT_EQ(world.Upgrade().status, 0);
  EXPECT_EQ(test::Query(world.Db(), "SELECT SnmpcPath FROM Settings_General"),
            (std::vector<std::vector<std::string>>{{longDir.substr(0, 150)}}));
  EXPECT_TRUE(std::filesystem::exists(snmpc / "Tallyback.exe"));  // the run used the whole path
}

struct LockCase {
  const char* name;
  bool writeAheadLog;        // the database keeps a write-ahead log instead of a rollback journal
  const char* lock;          // what another program holds the database with
  int holdMs;                // how long; 0: until the run has ended
  const char* failure;       // part of the message the run ends with; null: it finishes
};

class DatabaseLockEndToEnd : public ::testing::TestWithParam<LockCase> {};

// Another program using VelaScan.mdb while the upgrade starts is waited for;
// whatever the outcome, nothing is asked, SnmpcPath keeps its value and no file
// lands in a wrong place.
TEST_P(DatabaseLockEndToEnd, IsWaitedForAndNothingGoesAstray) {
  const auto& c = GetParam();
  UpgradeWorld world;
  if (c.writeAheadLog) test::Exec(world.Db(), "PRAGMA journal_mode=WAL");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(world.Db().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, c.lock, nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release;
  if (c.holdMs > 0) {
    release = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(c.holdMs));
      sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
  }
  const auto result = world.Upgrade();
  if (release.joinable()) release.join();
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  const auto events = world.Events();
  EXPECT_TRUE(test::EventsNamed(events, "prompt").empty());
  if (c.failure) {
    EXPECT_EQ(result.status, 1);
    ASSERT_FALSE(Messages(events).empty());
    EXPECT_NE(Messages(events)[0].find(c.failure), std::string::npos) << Messages(events)[0];
  } else {
    EXPECT_EQ(result.status, 0) << result.out;
  }
  EXPECT_EQ(test::Query(world.Db(), "SELECT SnmpcPath FROM Settings_General"),
            (std::vector<std::vector<std::string>>{{"c:\\SNMPc"}}));
  EXPECT_FALSE(std::filesystem::exists(world.install().dir().path() / "Tallyback.exe"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatabaseLockEndToEnd,
    ::testing::Values(
        // A reader longer than the wait keeps the carry-over from storing its row.
        LockCase{"reader_outlasting_the_wait", false, "BEGIN; SELECT count(*) FROM Settings_General", 0,
                 "database is locked"},
        LockCase{"reader_beside_a_log", true, "BEGIN; SELECT count(*) FROM Settings_General", 0, nullptr},
        LockCase{"writer_for_a_second", false, "BEGIN EXCLUSIVE", 1000, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  int serviceState;
  std::function<void(const UpgradeWorld&)> prepare;
  Env env;
  std::vector<std::string> args;
  std::vector<std::string> messages;  // the messages shown before the MIB note
  long lastProgress;                  // 0: no progress shown
  std::function<void(const UpgradeWorld&)> check = nullptr;  // what else must hold afterwards
};

class UpgradeFailureEndToEnd : public ::testing::TestWithParam<FailureCase> {};

TEST_P(UpgradeFailureEndToEnd, ShowsTheFailureEndsTheRunAndStillNotesTheMib) {
  const auto& c = GetParam();
  UpgradeWorld world;
  world.InstallService(c.serviceState);
  if (c.prepare) c.prepare(world);
  const auto result = world.Upgrade(c.env, c.args.empty() ? std::vector<std::string>{"c:\\VelaScan"} : c.args);
  EXPECT_EQ(result.status, 1);
  const auto events = world.Events();
  auto expected = c.messages;
  expected.push_back(kMibNote);
  EXPECT_EQ(Messages(events), expected) << result.out;
  const auto progress = Progress(events);
  EXPECT_EQ(progress.empty() ? 0 : progress.back(), c.lastProgress);
  for (const auto& e : test::EventsNamed(events, "caption")) EXPECT_NE(e.Str("text"), "Done");
  if (c.check) c.check(world);
}

// The same stops with a backup taken: the restore puts back every file, the
// database and the service as they were before the run.
TEST_P(UpgradeFailureEndToEnd, ABackedUpRunIsUndoneByTheRestore) {
  const auto& c = GetParam();
  fixture::InstallationOptions options;
  options.database.version = "2.00";  // so that the later stops find the schema upgraded
  UpgradeWorld world(options);
  world.InstallService(c.serviceState);
  if (c.prepare) c.prepare(world);
  const auto before = world.Snapshot();
  Env env = c.env;
  env.emplace("VELASCANUPG_BACKUP", "c:\\backup");
  EXPECT_EQ(world.Upgrade(env, c.args.empty() ? std::vector<std::string>{"c:\\VelaScan"} : c.args).status, 1);
  // Only a run that stopped before its first change may lack a backup.
  const bool backedUp = std::filesystem::exists(world.File("c:\\backup\\manifest.txt"));
  EXPECT_TRUE(backedUp || c.lastProgress == 0);
  const auto restore = world.Upgrade({{"VELASCANUPG_RESTORE", "c:\\backup"}});
  EXPECT_EQ(restore.status, backedUp ? 0 : 1) << restore.out;
  EXPECT_EQ(world.Snapshot(), before) << restore.out;
}

void Deny(const UpgradeWorld& world, const char* op) {
  ASSERT_EQ(world.Sc({"deny", "Vela Scan", op}).status, 0);
}

// The old program is still in place after a run that could not replace it.
void OldProgramStays(const UpgradeWorld& world, const char* file) {
  EXPECT_NE(world.install().dir().Read(std::string("VelaScan/") + file).find("old version"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeFailureEndToEnd,
    ::testing::Values(
        FailureCase{"denied_stop", 4, [](const auto& w) { Deny(w, "stop"); }, {}, {},
                    {"Error [5]  when stop the service"}, 1},
        FailureCase{"denied_delete", 1, [](const auto& w) { Deny(w, "delete"); }, {}, {},
                    {"Error [5]  when uninstall the service"}, 2},
        FailureCase{"launch_impossible", 0,
                    [](const auto& w) {
                      std::filesystem::permissions(w.File("c:\\VelaScan\\Temp\\VelaScanSrv.ex_"),
                                                   std::filesystem::perms::owner_read);
                    },
                    {}, {}, {"Error [0]  when install the service"}, 8},
        FailureCase{"never_registers", 0, nullptr, {{"VELASCANSRV_NO_REGISTER", "1"}}, {},
                    {"Error when install the service\r\n\r\nExit now, and try to run VelaScanUpg.exe from windows "
                     "explorer."},
                    8},
        FailureCase{"denied_start", 0, [](const auto& w) { Deny(w, "start"); }, {}, {},
                    {"Error [5]  when start the service"}, 9},
        FailureCase{"missing_temp_file", 0,
                    [](const auto& w) { std::filesystem::remove(w.File("c:\\VelaScan\\Temp\\VelaScan.ex_")); }, {},
                    {}, {"File not found: c:\\VelaScan\\Temp\\VelaScan.ex_"}, 3},
        FailureCase{"unreadable_database", 0,
                    [](const auto& w) {
                      std::filesystem::resize_file(w.Db(), 0);
                      std::ofstream(w.Db(), std::ios::binary) << std::string(4096, 'x');
                    },
                    {}, {}, {"file is not a database: 'c:\\VelaScan\\VelaScan.mdb'"}, 0},
        FailureCase{"quoted_command_line", 0, nullptr, {}, {"\"c:\\VelaScan\""},
                    {"Path not found: \"c:\\VelaScan\""}, 0},
        // A folder that holds a backup already is never written over: that
        // backup is of the installation before an earlier run.
        FailureCase{"backup_folder_taken", 4,
                    [](const auto& w) { w.install().dir().Write("old-backup/manifest.txt", "VelaScanUpg backup 1"); },
                    {{"VELASCANUPG_BACKUP", "c:\\old-backup"}}, {},
                    {"The backup into c:\\old-backup could not be completed, so nothing was changed.\r\n\r\n"
                     "c:\\old-backup already holds a backup; name a folder that holds none"},
                    0,
                    [](const auto& w) { EXPECT_EQ(w.Sc({"query", "Vela Scan"}).out, "STATE : 4\n"); }},
        // A service that needs 15 s to stop outlasts the 4 s of waits after its
        // stop request and its removal.
        FailureCase{"service_still_stopping", 0,
                    [](const auto& w) { w.InstallService(4, {{"VELASCANSRV_STOP_MS", "15000"}}); }, {}, {},
                    {"Permission denied: c:\\VelaScan\\VelaScanSrv.exe"}, 3,
                    [](const auto& w) { OldProgramStays(w, "VelaScanSrv.exe"); }},
        // Nothing names the SNMPc directory and the prompt is cancelled: the
        // SNMPc files go to the root of the program's own drive, never the host's.
        FailureCase{"empty_snmpc_directory", 0,
                    [](const auto& w) {
                      w.install().dir().Write("windows/win.ini", "[SNMPc Network Manager]\r\nVersion=9\r\n");
                      test::Exec(w.Db(), "UPDATE Settings_General SET SnmpcPath = ''");
                      ASSERT_FALSE(std::filesystem::exists("/Tallyback.exe"));
                    },
                    {}, {}, {"Path not found: \\bitmaps\\VelaScan.ico"}, 4,
                    [](const auto& w) {
                      EXPECT_TRUE(std::filesystem::exists(w.install().dir().path() / "Tallyback.exe"));
                      EXPECT_FALSE(std::filesystem::exists("/Tallyback.exe"));
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// No real waiting, and still the launched installer registers the service
// before the polls give up, every time.
TEST(UpgradeEndToEndStop, WithoutRealWaitsEveryRunFinishes) {
  for (int run = 0; run < 20; ++run) {
    UpgradeWorld world;
    world.InstallService(4);
    const auto result = world.Upgrade();
    ASSERT_EQ(result.status, 0) << "run " << run << ": " << result.out;
    EXPECT_EQ(world.Sc({"query", "Vela Scan"}).out, "STATE : 4\n");
  }
}

// Every run on the machine sees a running console, so this one runs alone
// (the "Serial" tests). The user presses OK without closing the console, which
// holds VelaScan.exe.
INSTANTIATE_TEST_SUITE_P(
    Serial, UpgradeFailureEndToEnd,
    ::testing::Values(FailureCase{"console_keeps_running", 0, [](const auto& w) { w.StartConsole(); }, {}, {},
                                  {"Vela Scan Console is running.\n\nExit the Console now and\npress OK to continue...",
                                   "Permission denied: c:\\VelaScan\\VelaScan.exe"},
                                  3, [](const auto& w) { OldProgramStays(w, "VelaScan.exe"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The stop request returns at once and the service stops in its own time,
// within the waits after the stop request and the removal, which last while
// it stops even with no real waiting.
TEST(UpgradeEndToEndStop, AServiceSlowToStopWithinTheWaitsStillFinishes) {
  UpgradeWorld world;
  world.InstallService(4, {{"VELASCANSRV_STOP_MS", "3000"}});
  EXPECT_EQ(world.Upgrade().status, 0);
  const auto events = world.Events();
  const auto stop = std::find_if(events.begin(), events.end(), [](const test::Event& e) {
    return e.name() == "text" && e.Str("text") == "Attempting to stop the service...";
  });
  ASSERT_NE(stop, events.end());
  ASSERT_EQ(std::next(stop)->name(), "pause");
  EXPECT_LT(std::next(stop)->Num("t") - stop->Num("t"), 250);
  EXPECT_EQ(world.Sc({"query", "Vela Scan"}).out, "STATE : 4\n");
}

}  // namespace
}  // namespace vsu
