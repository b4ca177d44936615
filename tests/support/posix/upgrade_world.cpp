#include "support/posix/upgrade_world.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/spawn.h"

namespace vsu::test {

UpgradeWorld::UpgradeWorld(fixture::InstallationOptions options)
    : install_([&] {
        options.programFiles = true;
        options.serviceBinary = ServiceBinary();
        return options;
      }()) {}

void UpgradeWorld::InstallService(int state, const Env& env) const {
  if (state == 0) return;
  ASSERT_EQ(Sc({"create", "Vela Scan", ServiceExe()}).status, 0);
  if (state == 4) { ASSERT_EQ(Sc({"start", "Vela Scan"}, env).status, 0); }
}

ProgramResult UpgradeWorld::Upgrade(const Env& extra, std::vector<std::string> args, std::string input,
                                    int killAfterMs) const {
  std::filesystem::remove(TranscriptFile());
  return Run("velascanupg", std::move(args), extra, std::move(input), killAfterMs);
}

std::map<std::string, std::string> UpgradeWorld::Snapshot(bool databaseBytes) const {
  std::map<std::string, std::string> snapshot;
  const TempDir& drive = install_.dir();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.path())) {
    const std::string name = std::filesystem::relative(entry.path(), drive.path()).string();
    if (!entry.is_regular_file() || name.starts_with("backup") || name.ends_with("-wal") || name.ends_with("-shm")) {
      continue;
    }
    std::string contents = drive.Read(name);
    if (contents.starts_with(std::string("SQLite format 3", 16))) {
      if (!databaseBytes) contents.clear();
      const std::string file = entry.path().string();
      for (const auto& object : Query(file, "SELECT type, name, sql FROM sqlite_master ORDER BY name")) {
        contents += object[2] + "\n";
        if (object[0] != "table") continue;
        for (const auto& row : Query(file, "SELECT * FROM \"" + object[1] + "\" ORDER BY rowid")) {
          for (const auto& value : row) contents += value + "|";
        }
      }
    }
    snapshot[name] = std::to_string(std::hash<std::string>()(contents));
  }
  for (const char* command : {"query", "qc"}) {
    const auto result = Sc({command, "Vela Scan"});
    std::string text = result.out + result.err;
    if (const auto at = text.find(drive.str()); at != std::string::npos) text.replace(at, drive.str().size(), "c:");
    snapshot[command] = text;
  }
  return snapshot;
}

void UpgradeWorld::StartConsole() const {
  const std::string console = File("c:\\VelaScan\\VelaScan.exe");
  ASSERT_NE(posix::Spawn({console, {}, {}, {}}).pid, 0);
  ASSERT_TRUE(WaitFor([&] { return ProcessOf(console) != 0; }));
}

}  // namespace vsu::test
