#include "support/posix/upgrade_world.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/sha256.h"
#include "platform/posix/spawn.h"
#include "support/posix/process_tools.h"

namespace vsu::test {
namespace {

fixture::InstallationOptions WithServiceBinary(fixture::InstallationOptions options, const std::string& binary) {
  options.programFiles = true;
  options.serviceBinary = binary;
  return options;
}

}  // namespace

UpgradeWorld::UpgradeWorld(fixture::InstallationOptions options)
    : install_(WithServiceBinary(std::move(options), sandbox_.ServiceBinary())) {}

UpgradeWorld::~UpgradeWorld() { KillProcessesUnder(install_.dir().str()); }

void UpgradeWorld::InstallService(int state, const Env& env) const {
  if (state == 0) return;
  ASSERT_EQ(Sc({"create", "Vela Scan", ServiceExe()}).status, 0);
  if (state == 4 || state == 2) {
    ASSERT_EQ(sandbox_.Sc({"start", "Vela Scan"}, env).status, 0);
  }
  if (state != 1 && state != 4) {
    ASSERT_EQ(Sc({"set-state", "Vela Scan", std::to_string(state)}).status, 0);
  }
}

ProgramResult UpgradeWorld::Upgrade(const Env& extra, std::vector<std::string> args, int killAfterMs) const {
  Env env = sandbox_.Env();
  env["VELASCANUPG_IPADDRESS"] = "198.51.100.4";
  for (const auto& [name, value] : extra) env[name] = value;
  ProgramRun run{"velascanupg", std::move(args), env, "", "", 120};
  run.killAfterMs = killAfterMs;
  return Run(run);
}

std::map<std::string, std::string> UpgradeWorld::Snapshot(bool databaseBytes) const {
  std::map<std::string, std::string> snapshot;
  const auto& drive = install_.dir().path();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive)) {
    const std::string name = std::filesystem::relative(entry.path(), drive).string();
    if (!entry.is_regular_file() || name.starts_with("backup") || name.ends_with("-wal") || name.ends_with("-shm")) {
      continue;
    }
    std::string contents = install_.dir().Read(name);
    if (contents.starts_with(std::string("SQLite format 3", 16))) {
      contents = databaseBytes ? contents : "";
      for (const auto& table : Tables(entry.path().string())) {
        for (const auto& row : Query(entry.path().string(), "SELECT * FROM \"" + table + "\" ORDER BY rowid")) {
          for (const auto& value : row) contents += value + "|";
        }
        for (const auto& column : Columns(entry.path().string(), table)) contents += table + "." + column + "\n";
      }
    }
    Sha256 hash;
    hash.Add(contents);
    snapshot[name] = hash.HexDigest();
  }
  for (const char* command : {"query", "qc"}) {
    const auto result = Sc({command, "Vela Scan"});
    snapshot[command] = result.out + result.err;
  }
  return snapshot;
}

void UpgradeWorld::StartConsole() const {
  const std::string console = File("c:\\VelaScan\\VelaScan.exe");
  ASSERT_NE(posix::Spawn({console, {}, {}, {}}).pid, 0);
  ASSERT_TRUE(WaitFor([&] { return ProcessOf(console) != 0; }));
}

}  // namespace vsu::test
