// The Linux process list, read from /proc by the process status and toolhelp calls.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_process_list.h"
#include "platform/posix/proc_fs.h"
#include "platform/posix/spawn.h"
#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

// A copy of sleep named as the console is found by both walks, and opened gives its path, until it ends.
TEST(PosixProcessList, FindsTheRunningConsoleUntilItEnds) {
  test::TempDir dir;
  std::filesystem::copy_file("/bin/sleep", dir.path() / "VelaScan.exe");
  const pid_t console = posix::Spawn({dir.str() + "/VelaScan.exe", {"60"}, {}, {}}).pid;
  ASSERT_GT(console, 0);  // kill(0) would hit this whole process group
  posix::PosixProcessList list;
  test::TestPlatform t;
  Platform p = t.With(list);
  EXPECT_EQ(GetPlatformId(p), 2u);
  const ProcHandle snapshot = list.CreateToolhelp32Snapshot(kSnapshotProcesses, 0);
  ProcessEntryRecord entry{.dwSize = sizeof entry};
  std::vector<std::string> names;
  for (bool more = list.Process32First(snapshot, &entry); more; more = list.Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == static_cast<std::uint32_t>(console)) names.push_back(entry.szExeFile);
  }
  EXPECT_EQ(names, std::vector<std::string>{"VelaScan.exe"});
  EXPECT_TRUE(list.CloseHandle(snapshot));
  EXPECT_FALSE(list.CloseHandle(snapshot));
  const ProcHandle opened = list.OpenProcess(kProcessQueryAndReadAccess, false, static_cast<std::uint32_t>(console));
  ModHandle modules[4] = {};
  std::uint32_t needed = 0;
  ASSERT_TRUE(list.EnumProcessModules(opened, modules, sizeof modules, &needed));
  std::string path(260, ' ');
  const auto length = list.GetModuleFileNameExA(opened, modules[0], path.data(), 260);
  EXPECT_EQ(path.substr(0, length + 1), std::filesystem::canonical(dir.path() / "VelaScan.exe").string() + '\0');
  EXPECT_EQ(path.back(), ' ');
  EXPECT_TRUE(list.CloseHandle(opened));
  EXPECT_FALSE(list.EnumProcessModules(opened, modules, sizeof modules, &needed));
  EXPECT_EQ(list.OpenProcess(kProcessQueryAndReadAccess, false, 0), 0u);
  // A buffer with room for one id only is reported full, so the caller doubles it.
  std::uint32_t one = 0;
  ASSERT_TRUE(list.EnumProcesses(&one, 4, &needed));
  EXPECT_EQ(needed, 4u);
  ::kill(console, SIGKILL);
  EXPECT_TRUE(test::WaitFor([&] { return !posix::IsAlive(console); }));
  EXPECT_FALSE(IsProcessRunning(p, dir.str() + "/velascan.exe"));
}

}  // namespace
}  // namespace vsu
