// The built programs against the stand-ins: upgrades (checked, restored, killed), uninstall, terminal, service tools.

#include <poll.h>
#include <pty.h>

#include <chrono>
#include <iterator>
#include <set>

#include "platform/posix/spawn.h"
#include "support/json_lines.h"
#include "support/posix/installation.h"
#include "support/posix/service_sandbox.h"

namespace vsu {
namespace {

using test::Env;
using test::PrintTo;
using Options = fixture::InstallationOptions;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Events = std::vector<test::Event>;
using Strings = std::vector<std::string>;

// A fixture installation whose services are copies of the service double, in a sandbox of its own.
class UpgradeWorld : public test::ServiceSandbox {
 public:
  explicit UpgradeWorld(Options options)
      : install((options.programFiles = true, options.serviceBinary = ServiceBinary(), options)) {}
  // Kills also a process whose file has been replaced since it started.
  ~UpgradeWorld() { test::EachProcess([&](auto& exe) { return exe.starts_with(install.dir().str() + "/"); }, true); }

  std::string File(const std::string& programPath) const { return install.Path(programPath).string(); }
  std::string ServiceExe() const { return File("c:\\VelaScan\\VelaScanSrv.exe"); }
  std::string Db() const { return install.VelaScanDb(); }
  // Registers the old service of the program directory, started when state is 4; env reaches its process.
  void InstallService(int state, const Env& env = {}) const {
    if (state > 0) { ASSERT_EQ(Sc({"create", "Vela Scan", ServiceExe()}).status, 0); }
    if (state == 4) { ASSERT_EQ(Sc({"start", "Vela Scan"}, env).status, 0); }
  }
  // Runs the tool without real waits, with a transcript of this run only.
  test::ProgramResult Upgrade(const Env& extra = {}, Strings args = {"c:\\VelaScan"}, int killAfterMs = 120000) const {
    fs::remove(TranscriptFile());
    return Run("velascanupg", std::move(args), extra, killAfterMs);
  }
  // Each file's hash (a database's by schema and rows, and bytes if asked) and the service; no logs, journals, backup.
  std::map<std::string, std::string> Snapshot(bool databaseBytes = false) const {
    std::map<std::string, std::string> snapshot;
    const fs::path& drive = install.dir().path();
    for (const auto& entry : fs::recursive_directory_iterator(drive)) {
      const std::string name = fs::relative(entry.path(), drive).string();
      if (!entry.is_regular_file() || name.starts_with("backup") || name.find(".mdb-") != name.npos) continue;
      std::string contents = install.dir().Read(name);
      if (contents.starts_with(std::string("SQLite format 3", 16))) {
        if (!databaseBytes) contents.clear();
        const std::string file = entry.path().string();
        for (const auto& object : test::Query(file, "SELECT type, name, sql FROM sqlite_master ORDER BY name")) {
          contents += object[2] + "\n";
          if (object[0] != "table") continue;
          for (const auto& row : test::Query(file, "SELECT * FROM \"" + object[1] + "\" ORDER BY rowid")) {
            for (const auto& value : row) contents += value + "|";
          }
        }
      }
      snapshot[name] = std::to_string(std::hash<std::string>()(contents));
    }
    for (const char* command : {"query", "qc"}) {
      const auto result = Sc({command, "Vela Scan"});
      std::string text = result.out + result.err;
      if (auto at = text.find(drive.string()); at != text.npos) text.replace(at, drive.string().size(), "c:");
      snapshot[command] = text;
    }
    return snapshot;
  }

  const test::TestInstallation install;
};
using World = const UpgradeWorld&;

std::string SnmpcPath(World w) { return test::Query(w.Db(), "SELECT SnmpcPath FROM Settings_General")[0][0]; }

struct Case {
  const char* name;
  std::function<void(Options&)> install = nullptr;  // changes to an installation at 2.00
  int serviceState = 0;  // 0: none, 1: stopped, 4: running
  Env serviceEnv = {};
  std::function<void(World)> prepare = nullptr;
  Env env = {};
  Strings args = {"c:\\VelaScan"};
  const char* hold = nullptr;  // what another program holds VelaScan.mdb with through the upgrade
  std::string finding = "";    // what the check names in a FAIL line; "" when nothing would fail
  int status = 0;              // of the upgrade
  const char* oldStays = nullptr;  // a program file the failed run could not replace
  std::function<void(World, const Events&)> check = nullptr;  // what else the upgrade must leave
};

class UpgradeEndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(UpgradeEndToEnd, IsCheckedUpgradedAndRestored) {
  const auto& c = GetParam();
  Options options;
  options.database.version = "2.00";
  if (c.install) c.install(options);
  UpgradeWorld world(options);
  // With write-ahead logs, which a running service keeps open beside the file.
  for (const auto& db : {world.Db(), world.File("c:\\SNMPc\\Lumidex.mdb")}) {
    if (fs::exists(db)) test::Exec(db, "PRAGMA journal_mode=WAL");
  }
  world.InstallService(c.serviceState, c.serviceEnv);
  if (c.prepare) c.prepare(world);
  const auto bytes = world.Snapshot(true), before = world.Snapshot();
  const int oldService = test::ProcessOf(world.ServiceExe());

  // The check names what would fail and changes nothing, the service included.
  Env env = c.env;
  env["VELASCANUPG_CHECK"] = "1";
  const auto check = world.Upgrade(env, c.args);
  EXPECT_EQ(check.status, c.finding.empty() ? 0 : 1) << check.out;
  EXPECT_EQ(("\n" + check.out).find("\nFAIL  " + c.finding) != std::string::npos, !c.finding.empty()) << check.out;
  Events events = test::ReadTranscript(world.TranscriptFile());
  EXPECT_EQ(test::EventsNamed(events, "check").size() + 1, std::count(check.out.begin(), check.out.end(), '\n'));
  EXPECT_EQ(test::EventsNamed(events, "msgbox").size() + test::EventsNamed(events, "prompt").size(), 0u);
  EXPECT_EQ(world.Snapshot(true), bytes);
  EXPECT_EQ(test::ProcessOf(world.ServiceExe()), oldService);

  (env = c.env).emplace("VELASCANUPG_BACKUP", "c:\\backup");
  sqlite3* holder = nullptr;  // another program's connection; closing null is harmless
  if (c.hold) sqlite3_open(world.Db().c_str(), &holder);
  EXPECT_EQ(holder ? sqlite3_exec(holder, c.hold, nullptr, nullptr, nullptr) : SQLITE_OK, SQLITE_OK);
  const auto run = world.Upgrade(env, c.args);
  sqlite3_close_v2(holder);
  EXPECT_EQ(run.status, c.status) << run.out;
  events = test::ReadTranscript(world.TranscriptFile());
  EXPECT_EQ(test::EventsNamed(events, "end").at(0).Num("status"), c.status);
  // Every window stands where it is centred on the default screen.
  const std::map<std::string, std::pair<long, long>> places{
      {"frmMain", {5377, 4027}}, {"frmEnterPath", {4897, 4665}}, {"frmVelaScanUpg", {4942, 4605}}};
  for (const auto& e : events) {
    if (e.Has("left")) { EXPECT_EQ(std::pair(e.Num("left"), e.Num("top")), places.at(e.Str("window"))) << e.name(); }
  }
  if (c.status == 0) {
    // The service runs again, from the new executable, registered by it.
    EXPECT_EQ(world.Sc({"query", "Vela Scan"}).out, "STATE : 4\n");
    EXPECT_EQ(world.Sc({"qc", "Vela Scan"}).out, "BINARY_PATH_NAME : " + world.ServiceExe() + "\n");
    EXPECT_NE(test::ProcessOf(world.ServiceExe()), oldService);
    EXPECT_NE(world.install.dir().Read("VelaScan/VelaScan.exe").find("new version"), std::string::npos);
    for (const char* file : {"Tallyback.exe", "bitmaps/VelaScan.ico", "mibfiles/Ferrowin.mib"}) {
      EXPECT_EQ(fs::exists(world.install.Path(options.database.snmpcPath) / file), !options.lumidex) << file;
    }
  }
  if (options.lumidex) { EXPECT_EQ(world.Snapshot(true).at("SNMPc/Lumidex.mdb"), bytes.at("SNMPc/Lumidex.mdb")); }
  if (options.lumidex && c.status == 0) {  // settings reach VelaScan.mdb; the address from Lumidex.ini, else the host's
    const std::string columns = "SqlDbServer, SqlDatabase, SqlDbUser, SqlConnType, SqlDbPass, SqlDbPort";
    EXPECT_EQ(test::Query(world.Db(), "SELECT " + columns + " FROM Event_OnlineDb"),
              test::Query(world.File("c:\\SNMPc\\Lumidex.mdb"), "SELECT " + columns + " FROM Settings_Console"));
    EXPECT_EQ(test::Query(world.Db(), "SELECT IpAddress FROM Settings_SNMP_Agent")[0][0],
              options.serverIpAddr.empty() ? "198.51.100.4" : options.serverIpAddr);
  }
  if (c.hold) {  // a program using VelaScan.mdb is waited for; nothing is asked, SnmpcPath stays, no file goes astray
    EXPECT_EQ(test::EventsNamed(events, "prompt").size(), 0u);
    const auto boxes = test::EventsNamed(events, "msgbox");
    EXPECT_EQ(!boxes.empty() && boxes[0].Str("text").find("database is locked") != std::string::npos, c.status == 1);
    EXPECT_EQ(SnmpcPath(world), "c:\\SNMPc");
    EXPECT_FALSE(fs::exists(world.File("c:\\Tallyback.exe")));
  }
  if (c.oldStays) {
    EXPECT_NE(world.install.dir().Read(std::string("VelaScan/") + c.oldStays).find("old version"), std::string::npos);
  }
  if (c.check) c.check(world, events);

  // The restore puts everything back; only a run stopped before its first change may leave no backup.
  const bool backedUp = fs::exists(world.File("c:\\backup\\manifest.txt"));
  const auto restore = world.Upgrade({{"VELASCANUPG_RESTORE", "c:\\backup"}});
  EXPECT_EQ(restore.status, backedUp ? 0 : 1) << restore.out;
  EXPECT_EQ(world.Snapshot(), before) << restore.out;
}

auto Deny(const char* op) { return [=](World w) { ASSERT_EQ(w.Sc({"deny", "Vela Scan", op}).status, 0); }; }
auto Sql(const char* db, const char* sql) { return [=](World w) { test::Exec(w.File(db), sql); }; }
auto Remove(const char* file) { return [=](World w) { fs::remove_all(w.File(file)); }; }
auto Lumidex(const char* address) { return [=](Options& o) { o.lumidex = true, o.serverIpAddr = address; }; }
std::string LongDir() { return "c:\\SNMPc network " + std::string(90, 'm') + "\\folder " + std::string(80, 'f'); }
constexpr const char* kVelaScanDb = "c:\\VelaScan\\VelaScan.mdb";

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeEndToEnd,
    ::testing::Values(
        // The Windows directory found on drive C without WINDIR.
        Case{.name = "running_service", .serviceState = 4, .env = {{"WINDIR", std::nullopt}}},
        Case{.name = "lumidex_address_from_lumidex_ini", .install = Lumidex("10.1.2.3"), .serviceState = 1},
        Case{.name = "lumidex_address_from_the_machine", .install = Lumidex("")},
        // The whole path is used, and stored cut to 150 characters.
        Case{.name = "long_snmpc_directory",
             .install = [](auto& o) { o.database.snmpcPath = LongDir(), o.winIni = fixture::WinIni::kPlain; },
             .prepare = [](World w) {
               fs::create_directories(w.install.Path(LongDir()));
               fs::copy(w.File("c:\\SNMPc"), w.install.Path(LongDir()), fs::copy_options::recursive);
             },
             .check = [](World w, const Events&) { EXPECT_EQ(SnmpcPath(w), LongDir().substr(0, 150)); }},
        // The stop request returns at once and the service stops in its own time, within the waits that follow.
        Case{.name = "service_slow_to_stop", .serviceState = 4, .serviceEnv = {{"VELASCANSRV_STOP_MS", "3000"}},
             .check = [](World, const Events& events) {
               const auto text = [](const test::Event& e) { return e.fields.value("text", ""); };
               const auto stop = std::ranges::find(events, std::string("Attempting to stop the service..."), text);
               ASSERT_NE(stop, events.end());
               EXPECT_TRUE(std::next(stop)->name() == "pause" && std::next(stop)->Num("t") - stop->Num("t") < 1000);
             }},
        Case{.name = "windows_prompt_cancelled", .prepare = Remove("c:\\windows\\win.ini"),
             .env = {{"WINDIR", std::nullopt}},
             .finding = "Windows directory: not found: the prompt \"  Enter the Path to Windows\" would be shown",
             .status = 2},
        Case{.name = "stop_denied", .serviceState = 4, .prepare = Deny("stop"),
             .finding = "service stop: stopping it is refused: error 5", .status = 1},
        Case{.name = "delete_denied", .serviceState = 1, .prepare = Deny("delete"),
             .finding = "service delete: deleting it is refused: error 5", .status = 1},
        // A deny belongs to the service's name, so it also holds for the service the run registers.
        Case{.name = "start_denied", .serviceState = 1, .prepare = Deny("start"),
             .finding = "service start: starting it is refused: error 5", .status = 1},
        Case{.name = "missing_temp_file", .prepare = Remove("c:\\VelaScan\\Temp\\VelaScan.ex_"),
             .finding = "c:\\VelaScan\\Temp\\VelaScan.ex_: missing", .status = 1},
        Case{.name = "target_folder_missing", .prepare = Remove("c:\\SNMPc\\bitmaps"),
             .finding = "c:\\SNMPc\\bitmaps\\VelaScan.ico: Path not found", .status = 1},
        Case{.name = "names_list_missing", .prepare = Remove("c:\\SNMPc\\mibfiles\\names.txt"),
             .finding = "c:\\SNMPc\\mibfiles\\names.txt: missing"},
        Case{.name = "unreadable_database",
             .prepare = [](World w) { std::ofstream(w.Db(), std::ios::binary) << std::string(4096, 'x'); },
             .finding = "c:\\VelaScan\\VelaScan.mdb: file is not a database", .status = 1},
        Case{.name = "column_exists", .prepare = Sql(kVelaScanDb, "ALTER TABLE SuppGrp_Perm ADD CorrUpNotInQueue BIT"),
             .finding = "schema step 2.01: the column SuppGrp_Perm.CorrUpNotInQueue exists already"},
        Case{.name = "table_exists", .prepare = Sql(kVelaScanDb, "CREATE TABLE sentfailed_mail_smtp (Name TEXT)"),
             .finding = "schema step 2.05: the table SentFailed_Mail_SMTP exists already"},
        Case{.name = "lumidex_settings_missing", .install = Lumidex(""),
             .prepare = Sql("c:\\SNMPc\\Lumidex.mdb", "DROP TABLE Settings_Console"),
             .finding = "c:\\SNMPc\\Lumidex.mdb: ", .status = 1},
        // A stored version other than exactly the target is upgraded from, and is no version.
        Case{.name = "version_with_a_trailing_blank",
             .install = [](auto& o) { o.database.version = "3.14", o.database.storedVersion = "3.14 "; },
             .finding = "schema: Type mismatch: \"4 \" of the version \"3.14 \" is not a number"},
        Case{.name = "quoted_command_line", .args = {"\"c:\\VelaScan\""},
             .finding = "program directory: Path not found: \"c:\\VelaScan\"", .status = 1},
        // A folder that holds a backup already is never written over: that backup is of an earlier run's start.
        Case{.name = "backup_folder_taken", .serviceState = 4,
             .prepare = [](World w) { w.install.dir().Write("old/manifest.txt", "VelaScanUpg backup 1"); },
             .env = {{"VELASCANUPG_BACKUP", "c:\\old"}}, .finding = "backup folder: c:\\old already holds a backup",
             .status = 1},
        // A service that needs 15 s to stop outlasts the 4 s of waits after its stop request and its removal.
        Case{.name = "service_still_stopping", .serviceState = 4, .serviceEnv = {{"VELASCANSRV_STOP_MS", "15000"}},
             .status = 1, .oldStays = "VelaScanSrv.exe"},
        // No SNMPc directory and the prompt cancelled: the files go to the program's drive's root, not the host's.
        Case{.name = "empty_snmpc_directory",
             .prepare = [](World w) {
               w.install.dir().Write("windows/win.ini", "[SNMPc Network Manager]\r\nVersion=9\r\n");
               Sql(kVelaScanDb, "UPDATE Settings_General SET SnmpcPath = ''")(w);
             },
             .finding = "SNMPc directory: not found: the prompt \"  Enter the Path to SNMPc\" would be shown",
             .status = 1,
             .check = [](World w, const Events&) {
               EXPECT_TRUE(fs::exists(w.File("c:\\Tallyback.exe")) && !fs::exists("/Tallyback.exe"));
             }},
        // A reader longer than the wait keeps the carry-over from storing its row; beside a log it keeps nothing.
        Case{.name = "reader_outlasting_the_wait", .prepare = Sql(kVelaScanDb, "PRAGMA journal_mode=DELETE"),
             .hold = "BEGIN; SELECT count(*) FROM Settings_General", .status = 1},
        Case{.name = "reader_beside_a_log", .hold = "BEGIN; SELECT count(*) FROM Settings_General"}),
    test::CaseName());

// The console is seen by every run on the machine, so this runs alone; OK is pressed with it still open.
INSTANTIATE_TEST_SUITE_P(
    Serial, UpgradeEndToEnd,
    ::testing::Values(Case{.name = "console_keeps_running", .prepare = [](World w) {
                             const std::string console = w.File("c:\\VelaScan\\VelaScan.exe");
                             posix::Spawn({console, {}, {}, {}});
                             ASSERT_TRUE(test::WaitFor([&] { return test::ProcessOf(console) != 0; }));
                           },
                           .finding = "console: velascan.exe is running", .status = 1, .oldStays = "VelaScan.exe"}),
    test::CaseName());

// What a killed run left running (the service installer, a stopping service) finishes before the rerun.
bool Settled(World world) {
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto exe = posix::ExecutablePath(pid);
    if (!exe || !exe->starts_with(world.install.dir().str() + "/") || !posix::IsAlive(pid)) continue;
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
    const std::string cmdline(std::istreambuf_iterator<char>(in), {});
    if (*exe != world.ServiceExe() || cmdline.find("-install_noMsg") != cmdline.npos) return false;
    if (world.Sc({"query", "Vela Scan"}).out == "STATE : 3\n") return false;
  }
  return true;
}

// A real upgrade killed at evenly spread moments and run again ends as an uninterrupted one.
TEST(KillSweep, AKilledUpgradeFinishesOnItsRerunAsAnUninterruptedOneDoes) {
  Options options;
  options.database = {.version = "2.00", .storedVersion = {}, .rows = 2000};
  options.namesLines = 20000;
  const Env scaledDown{{"VELASCANUPG_PAUSE_SCALE", "0.03"}};
  UpgradeWorld reference(options);
  reference.InstallService(4);
  const auto original = reference.Snapshot();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(reference.Upgrade(scaledDown).status, 0);
  const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  auto expected = reference.Snapshot();
  // The MIB list's backup is the list before the first run, or the registered one.
  const std::set<std::string> namesBak{original.at("SNMPc/mibfiles/names.txt"),
                                       expected.at("SNMPc/mibfiles/names.txt")};
  expected.erase("SNMPc/mibfiles/names.bak");
  constexpr int kMoments = 30;
  for (int moment = 1; moment <= kMoments; ++moment) {
    const int killAfterMs = static_cast<int>(length.count() * moment / (kMoments + 1));
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " of " + std::to_string(length.count()) + " ms");
    UpgradeWorld world(options);
    world.InstallService(4);
    world.Upgrade(scaledDown, {"c:\\VelaScan"}, killAfterMs);
    ASSERT_TRUE(test::WaitFor([&] { return Settled(world); }));
    const auto rerun = world.Upgrade();
    ASSERT_EQ(rerun.status, 0) << rerun.out;
    auto outcome = world.Snapshot();
    EXPECT_EQ(namesBak.count(outcome["SNMPc/mibfiles/names.bak"]), 1u);
    outcome.erase("SNMPc/mibfiles/names.bak");
    EXPECT_EQ(outcome, expected);
  }
}

struct UninstallCase {
  const char* name;
  bool running = true;          // the registered service is started
  const char* state = nullptr;  // then reports this state instead
  const char* deny = nullptr;   // and refuses this operation
  std::vector<std::string> args = {"-uninstall", "{6F3C-0042}"};
  test::Env env = {};
  int status = 0;
  const char* passed = "/uninstall {6F3C-0042}";  // the one argument msiexec.exe gets; null: not started
  const char* serviceAfter = "ERROR: 1060\n";     // what "velascan-sc query" prints afterwards
};

class UninstallEndToEnd : public testing::TestWithParam<UninstallCase> {};

TEST_P(UninstallEndToEnd, RemovesTheServiceAndStartsTheInstaller) {
  const auto& c = GetParam();
  test::ServiceSandbox box;
  ASSERT_EQ(box.Srv({"-install_noMsg"}).status, 0);
  if (c.running) { ASSERT_EQ(box.Sc({"start", "Vela Scan"}).status, 0); }
  if (c.state) { ASSERT_EQ(box.Sc({"set-state", "Vela Scan", c.state}).status, 0); }
  if (c.deny) { ASSERT_EQ(box.Sc({"deny", "Vela Scan", c.deny}).status, 0); }
  const std::string record = box.dir.str() + "/msiexec-record.txt";
  test::WriteRecorderScript(box.dir.str() + "/path/msiexec.exe", record);
  const auto run = box.Run("velascanupg", c.args, c.env);
  EXPECT_EQ(run.status, c.status) << run.out << run.err;
  if (c.passed) { EXPECT_EQ(test::ReadRecording(record).value_or(test::Recorded{}).args, Strings{c.passed}); }
  EXPECT_EQ(fs::exists(record), c.passed != nullptr);
  const auto runs = test::EventsNamed(test::ReadTranscript(box.TranscriptFile()), "run");
  EXPECT_TRUE(std::ranges::all_of(runs, [](const auto& e) { return e.Num("style") == 1; }));  // shown normally
  // A stopped service's process ends, and a deleted one goes, in their own time; one refused its stop runs on.
  EXPECT_TRUE(test::WaitFor([&] { return (box.ServiceProcess() != 0) == (c.deny != nullptr); }));
  const auto query = box.Sc({"query", "Vela Scan"});
  EXPECT_EQ(query.out + query.err, c.serviceAfter);
}

// The installer gets the command line from its twelfth character, the arguments joined with blanks.
INSTANTIATE_TEST_SUITE_P(
    UninstallMode, UninstallEndToEnd,
    testing::Values(
        UninstallCase{.name = "Joined", .args = {"-uninstall", " {6F 3C}", "/qn"}, .passed = "/uninstall  {6F 3C} /qn"},
        // Only the stop is refused, so the running service is marked for deletion.
        UninstallCase{.name = "PendingStopDenied", .state = "3", .deny = "stop", .serviceAfter = "STATE : 3\n"},
        // Cancel at the Windows prompt ends the run with status 2 before the service is touched.
        UninstallCase{.name = "WindowsPromptCancelled", .running = false, .env = {{"WINDIR", std::nullopt}},
                      .status = 2, .passed = nullptr, .serviceAfter = "STATE : 1\n"}),
    test::CaseName());

// The terminal interface driven through a pseudo-terminal, as a user at a console would.
TEST(TerminalEndToEnd, EnterPathDialogTakesTypingEnterAndEsc) {
  test::ServiceSandbox box;
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  // No drive is mapped, so the Windows directory is asked for.
  if (pid == 0) box.Exec("velascanupg", {}, {{"VELASCANUPG_UI", "terminal"}, {"WINDIR", std::nullopt}});
  ASSERT_GT(pid, 0);
  std::string screen;
  std::size_t seen = 0;
  // Reads the screen until text follows what was seen last; false after 20 s or at its end.
  const auto shows = [&](const std::string& text) {
    for (const auto deadline = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < deadline;) {
      if (const auto at = screen.find(text, seen); at != std::string::npos) return seen = at + text.size(), true;
      pollfd p{terminal, POLLIN, 0};
      char buffer[4096];
      if (::poll(&p, 1, 100) <= 0) continue;
      const auto n = ::read(terminal, buffer, sizeof buffer);
      if (n <= 0) return false;
      screen.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
  };
  const auto type = [&](const std::string& k) { EXPECT_EQ(::write(terminal, k.data(), k.size()), ssize_t(k.size())); };
  EXPECT_TRUE(shows("  Enter the Path to Windows") && shows("Path:"));
  type("c:\\nowherx\x7f" "e\r");  // a backspace, then Enter presses OK
  EXPECT_TRUE(shows("Please check path again"));
  type("\r");  // OK on the message box
  EXPECT_TRUE(shows("Path: c:\\nowhere"));
  type("\x1b");  // Esc presses Cancel
  shows("\x01");  // to the end of the output
  int status = 0;
  ::kill(pid, SIGKILL);  // only when it still runs: an ended program stays a zombie until waited for
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << screen;
  Strings clicks;  // Enter presses OK with the edited entry, Esc presses Cancel
  for (const auto& e : test::EventsNamed(test::ReadTranscript(box.TranscriptFile()), "click")) {
    clicks.push_back(e.Str("control") + (e.Has("entry") ? " " + e.Str("entry") : ""));
  }
  EXPECT_EQ(clicks, (Strings{"cmdOK c:\\nowhere", "cmdCancel"}));
}

struct Step {
  std::vector<std::string> args;  // velascan-sc's, or "srv" and the double's, or "kill" its process
  std::string output;             // stdout and stderr; the status is 1 exactly when it holds an error
  test::Env env = {};
  bool wait = false;              // the service's process ends in its own time, so the answer comes later
};

// The service double and velascan-sc driving the Linux service manager, one command after another.
TEST(ServiceTools, AnswerAsTheServiceManagerDoes) {
  test::ServiceSandbox box;
  const std::string srv = box.ServiceBinary(), db = box.dir.str() + "/srv/VelaScan.mdb";
  const Step steps[] = {
      {{"srv", "-install_noMsg"}, "", {{"VELASCANSRV_NO_REGISTER", "1"}}},
      {{"query", "Vela Scan"}, "ERROR: 1060\n"},
      {{"srv", "-install_noMsg"}, "", {{"VELASCANSRV_DELAY_MS", "300"}}},
      {{"srv", "-install_noMsg"}, "VelaScanSrv: ERROR: 1073\n"},
      {{"qc", "VELA SCAN"}, "BINARY_PATH_NAME : " + srv + "\n"},
      {{"deny", "Vela Scan", "pause"}, "ERROR: 87\n"},
      {{"deny", "Vela Scan", "start"}, ""},
      {{"start", "Vela Scan"}, "ERROR: 5\n"},
      {{"allow", "Vela Scan", "start"}, ""},
      {{"start", "Vela Scan"}, ""},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "STATE : 1\n", {}, true},
      {{"start", "Vela Scan"}, ""},
      {{"delete", "Vela Scan"}, ""},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 1060\n", {}, true},
      {{"create", "Vela Scan", srv}, ""},
      {{"start", "Vela Scan"}, "", {{"VELASCANSRV_STOP_MS", "3000"}}},
      {{"holds"}, ""},
      {{"stop", "Vela Scan"}, ""},
      {{"query", "Vela Scan"}, "STATE : 3\n"},
      {{"stop", "Vela Scan"}, "ERROR: 1061\n"},
      {{"delete", "Vela Scan"}, ""},
      {{"delete", "Vela Scan"}, "ERROR: 1072\n"},
      {{"start", "Vela Scan"}, "ERROR: 1072\n"},
      {{"create", "Vela Scan", srv}, "ERROR: 1072\n"},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 1060\n", {}, true},
      {{"create", "Vela Scan", srv}, ""},
      {{"deny", "Vela Scan", "query"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 5\n"},
      {{"deny", "Vela Scan", "config"}, ""},
      {{"qc", "Vela Scan"}, "ERROR: 5\n"}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.args[0] + " " + (step.args.size() > 1 ? step.args[1] : "") + " -> " + step.output);
    const auto start = std::chrono::steady_clock::now();
    if (step.args[0] == "kill") {
      ASSERT_GT(box.ServiceProcess(), 0);
      test::KillProcessesOf(srv);
      continue;
    }
    if (step.args[0] == "holds") {
      // The double keeps the database of its own folder open while it runs, and never makes one.
      EXPECT_FALSE(fs::exists(db));
      box.dir.Write("srv/VelaScan.mdb", "");
      EXPECT_TRUE(test::WaitFor([&] {
        std::error_code e;
        const auto fds = fs::directory_iterator("/proc/" + std::to_string(box.ServiceProcess()) + "/fd", e);
        return std::ranges::any_of(fds, [&](const auto& fd) { return fs::read_symlink(fd, e) == db; });
      }));
      continue;
    }
    test::ProgramResult result;
    test::WaitFor([&] {  // a late answer shows as the last one
      result = step.args[0] == "srv" ? box.Srv({step.args.begin() + 1, step.args.end()}, step.env)
                                     : box.Sc(step.args, step.env);
      return !step.wait || result.out + result.err == step.output;
    });
    EXPECT_EQ(result.out + result.err, step.output);
    EXPECT_EQ(result.status, step.output.find("ERROR") != std::string::npos ? 1 : 0);
    EXPECT_EQ(result.err.empty(), result.status == 0);
    EXPECT_TRUE(!step.env.contains("VELASCANSRV_DELAY_MS") || std::chrono::steady_clock::now() - start >= 300ms);
  }
}

}  // namespace
}  // namespace vsu
