#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_process_list.h"
#include "process/mod_proc_enum.h"
#include "support/child_process.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace vsu {
namespace {

using test::ChildProcess;

// A console stand-in: a copy of sleep named as the product's console, in a
// folder of its own so that other tests' processes cannot answer for it.
class RunningConsole : public testing::Test {
 protected:
  RunningConsole() {
    std::filesystem::copy_file("/bin/sleep", dir.path() / "VelaScan.exe");
    console = std::make_unique<ChildProcess>((dir.path() / "VelaScan.exe").string(), std::vector<std::string>{"60"});
  }
  test::TempDir dir;
  std::unique_ptr<ChildProcess> console;
  posix::PosixProcessList list;
  test::TestPlatform t;
};

TEST_F(RunningConsole, IsFoundByItsPathUntilItEnds) {
  Platform p = t.With(list);
  EXPECT_EQ(GetPlatformId(p), 2u);
  const std::string sought = dir.str() + "/VELASCAN.EXE";
  EXPECT_TRUE(IsProcessRunning(p, sought));
  EXPECT_FALSE(IsProcessRunning(p, dir.str() + "/velascansrv.exe"));
  console->Stop();
  EXPECT_FALSE(IsProcessRunning(p, sought));
}

TEST_F(RunningConsole, SnapshotNamesItByFileName) {
  const ProcHandle snapshot = list.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ASSERT_NE(snapshot, 0u);
  ProcessEntryRecord entry;
  entry.dwSize = sizeof entry;
  bool seen = false;
  for (bool more = list.Process32First(snapshot, &entry); more; more = list.Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID != static_cast<std::uint32_t>(console->pid())) continue;
    seen = true;
    EXPECT_STREQ(entry.szExeFile, "VelaScan.exe");
    EXPECT_EQ(entry.th32ParentProcessID, static_cast<std::uint32_t>(::getpid()));
  }
  EXPECT_TRUE(seen);
  EXPECT_TRUE(list.CloseHandle(snapshot));
  EXPECT_FALSE(list.CloseHandle(snapshot));
}

TEST(PosixProcessList, ListsIdsAndReportsAFullBuffer) {
  posix::PosixProcessList list;
  std::vector<std::uint32_t> ids(4096, 0);
  std::uint32_t returned = 0;
  ASSERT_TRUE(list.EnumProcesses(ids.data(), 4096 * 4, &returned));
  ids.resize(returned / 4);
  EXPECT_NE(std::find(ids.begin(), ids.end(), static_cast<std::uint32_t>(::getpid())), ids.end());
  std::uint32_t one = 0;
  ASSERT_TRUE(list.EnumProcesses(&one, 4, &returned));
  EXPECT_EQ(returned, 4u);
}

TEST(PosixProcessList, OpensLiveProcessesAndNamesTheirExecutable) {
  posix::PosixProcessList list;
  EXPECT_EQ(list.OpenProcess(PROCESS_QUERY_INFORMATION_VM_READ, false, 0), 0u);
  const ProcHandle self = list.OpenProcess(PROCESS_QUERY_INFORMATION_VM_READ, false, ::getpid());
  ASSERT_NE(self, 0u);
  ModHandle modules[4] = {};
  std::uint32_t needed = 0;
  ASSERT_TRUE(list.EnumProcessModules(self, modules, sizeof modules, &needed));
  std::string path(260, ' ');
  const auto length = list.GetModuleFileNameExA(self, modules[0], path.data(), 260);
  EXPECT_EQ(path.substr(0, length), std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(path[length], '\0');
  EXPECT_EQ(path.back(), ' ');
  EXPECT_TRUE(list.CloseHandle(self));
  EXPECT_FALSE(list.EnumProcessModules(self, modules, sizeof modules, &needed));
}

}  // namespace
}  // namespace vsu
