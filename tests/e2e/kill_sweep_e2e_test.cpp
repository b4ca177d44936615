// A real upgrade killed at evenly spread moments and run again ends as an uninterrupted one.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/posix/proc_fs.h"
#include "support/posix/upgrade_world.h"

namespace vsu {
namespace {

// What a killed run left running (the service installer, a stopping service) finishes before the rerun.
bool Settled(const test::UpgradeWorld& world) {
  for (const pid_t pid : posix::ListProcessIds()) {
    const auto exe = posix::ExecutablePath(pid);
    if (!exe || !exe->starts_with(world.install().dir().str() + "/") || !posix::IsAlive(pid)) continue;
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
    const std::string cmdline(std::istreambuf_iterator<char>(in), {});
    if (*exe != world.ServiceExe() || cmdline.find("-install_noMsg") != std::string::npos ||
        world.Sc({"query", "Vela Scan"}).out == "STATE : 3\n") {
      return false;
    }
  }
  return true;
}

TEST(KillSweep, AKilledUpgradeFinishesOnItsRerunAsAnUninterruptedOneDoes) {
  fixture::InstallationOptions options;
  options.database.version = "2.00";
  options.database.rows = 2000;
  options.namesLines = 20000;
  const test::Env scaledDown{{"VELASCANUPG_PAUSE_SCALE", "0.03"}};
  test::UpgradeWorld reference(options);
  reference.InstallService(4);
  const auto original = reference.Snapshot();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(reference.Upgrade(scaledDown).status, 0);
  const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  auto expected = reference.Snapshot();
  // The MIB list's backup is the list before the first run, or the registered one.
  const std::set<std::string> namesBak{original.at("SNMPc/mibfiles/names.txt"), expected.at("SNMPc/mibfiles/names.txt")};
  expected.erase("SNMPc/mibfiles/names.bak");
  constexpr int kMoments = 30;
  for (int moment = 1; moment <= kMoments; ++moment) {
    const int killAfterMs = static_cast<int>(length.count() * moment / (kMoments + 1));
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " of " + std::to_string(length.count()) + " ms");
    test::UpgradeWorld world(options);
    world.InstallService(4);
    world.Upgrade(scaledDown, {"c:\\VelaScan"}, "", killAfterMs);
    ASSERT_TRUE(test::WaitFor([&] { return Settled(world); }));
    const auto rerun = world.Upgrade();
    ASSERT_EQ(rerun.status, 0) << rerun.out;
    auto outcome = world.Snapshot();
    EXPECT_EQ(namesBak.count(outcome["SNMPc/mibfiles/names.bak"]), 1u);
    outcome.erase("SNMPc/mibfiles/names.bak");
    EXPECT_EQ(outcome, expected);
  }
}

}  // namespace
}  // namespace vsu
