// A real upgrade killed at evenly spread moments, as a power cut or Task
// Manager would, and run again: the rerun must end where an uninterrupted run
// ends, with nothing lost and nothing left behind.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/posix/proc_fs.h"
#include "support/posix/process_tools.h"
#include "support/posix/upgrade_world.h"

namespace vsu {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// What an upgrade leaves: the database's schema and rows, every other file's
// contents, the MIB list's backup and the service.
struct Outcome {
  std::map<std::string, Rows> database;
  std::map<std::string, std::size_t> files;
  std::string namesBak;
  std::string service;
};

Outcome Take(const test::UpgradeWorld& world) {
  Outcome outcome;
  const std::string db = world.Db();
  outcome.database["schema"] = test::Query(db, "SELECT type, name, sql FROM sqlite_master ORDER BY name");
  for (const auto& table : test::Tables(db)) {
    outcome.database[table] = test::Query(db, "SELECT * FROM \"" + table + "\" ORDER BY rowid");
  }
  const auto& drive = world.install().dir();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.path())) {
    if (!entry.is_regular_file()) continue;
    const auto relative = std::filesystem::relative(entry.path(), drive.path()).string();
    // The database is compared by its contents above, its journal or log with it.
    if (relative.rfind("VelaScan/VelaScan.mdb", 0) == 0) continue;
    if (relative == "SNMPc/mibfiles/names.bak") {
      outcome.namesBak = drive.Read(relative);
      continue;
    }
    outcome.files[relative] = std::hash<std::string>()(drive.Read(relative));
  }
  outcome.service = world.Sc({"query", "Vela Scan"}).out + world.Sc({"qc", "Vela Scan"}).out;
  const auto at = outcome.service.find(drive.str());
  if (at != std::string::npos) outcome.service.replace(at, drive.str().size(), "c:");
  return outcome;
}

// The names of the entries whose values differ or that only one side has.
template <typename Map>
std::vector<std::string> Differences(const Map& got, const Map& expected) {
  std::vector<std::string> names;
  for (const auto& [name, value] : got) {
    const auto other = expected.find(name);
    if (other == expected.end() || other->second != value) names.push_back(name);
  }
  for (const auto& [name, value] : expected) {
    if (!got.count(name)) names.push_back(name);
  }
  return names;
}

// The processes a killed run leaves behind, the service installer or a service
// it asked to stop, finish their work before the administrator runs it again.
bool Settled(const test::UpgradeWorld& world) {
  const std::string under = world.install().dir().str() + "/";
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto exe = posix::ExecutablePath(pid);
    if (!exe || exe->rfind(under, 0) != 0 || !posix::IsAlive(pid)) continue;
    // The installer runs the service's program too, with -install_noMsg.
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
    const std::string args{std::istreambuf_iterator<char>(cmdline), {}};
    if (*exe != world.ServiceExe() || args.find("-install_noMsg") != std::string::npos ||
        world.Sc({"query", "Vela Scan"}).out == "STATE : 3\n") {
      return false;
    }
  }
  return true;
}

fixture::InstallationOptions Installation() {
  fixture::InstallationOptions options;
  options.database.version = "2.00";
  options.database.rows = 2000;
  options.namesLines = 20000;
  return options;
}

const test::Env kScaledDown{{"VELASCANUPG_PAUSE_SCALE", "0.03"}};

TEST(KillSweep, AKilledUpgradeFinishesOnItsRerunAsAnUninterruptedOneDoes) {
  test::UpgradeWorld reference(Installation());
  const std::string originalNames = reference.install().dir().Read("SNMPc/mibfiles/names.txt");
  reference.InstallService(4);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(reference.Upgrade(kScaledDown).status, 0);
  const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  const Outcome expected = Take(reference);
  const std::string registeredNames = reference.install().dir().Read("SNMPc/mibfiles/names.txt");

  constexpr int kMoments = 30;
  for (int moment = 1; moment <= kMoments; ++moment) {
    const int killAfterMs = static_cast<int>(length.count() * moment / (kMoments + 1));
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " of " + std::to_string(length.count()) + " ms");
    test::UpgradeWorld world(Installation());
    world.InstallService(4);
    world.Upgrade(kScaledDown, {"c:\\VelaScan"}, killAfterMs);
    ASSERT_TRUE(test::WaitFor([&] { return Settled(world); }));
    const auto rerun = world.Upgrade();
    ASSERT_EQ(rerun.status, 0) << rerun.out;
    const Outcome outcome = Take(world);
    EXPECT_EQ(Differences(outcome.database, expected.database), std::vector<std::string>{});
    EXPECT_EQ(Differences(outcome.files, expected.files), std::vector<std::string>{});
    EXPECT_EQ(outcome.service, expected.service);
    // The backup holds a whole list: the one before the first run, or the
    // registered one when the killed run got that far.
    EXPECT_TRUE(outcome.namesBak == originalNames || outcome.namesBak == registeredNames);
  }
}

}  // namespace
}  // namespace vsu
