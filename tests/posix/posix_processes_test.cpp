// The Linux launcher (what a started program gets, the waits while it runs) and the process list read from /proc.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_launcher.h"
#include "platform/posix/posix_process_list.h"
#include "platform/posix/proc_fs.h"
#include "platform/posix/spawn.h"
#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"
#include "support/testing.h"

namespace vsu { namespace {

using Args = std::vector<std::string>;
using Start = std::function<bool(posix::PosixLauncher&)>;

Start Command(const char* command) {
  return [=](posix::PosixLauncher& l) { return l.StartProgram(command, kShowNormal) != 0; };
}

Start Shell(const char* file, const char* parameters = "", const char* directory = "") {
  return [=](posix::PosixLauncher& l) {
    ShellExecuteInfo info;
    info.lpFile = file, info.lpParameters = parameters, info.lpDirectory = directory;
    return l.ShellExecuteExA(info);
  };
}

// PATH lookup, arguments, the mapped file and folder, no child left; a zero-scale wait lasts while the program runs.
TEST(PosixLauncher, RunsTheProgramUnwaitedAndAShortenedWaitLastsWhileItRuns) {
  test::TempDir dir;
  test::ScopedEnv path{"PATH", (dir.str() + "/empty:" + dir.str() + "/bin").c_str()};
  test::ScopedEnv drive{"VELASCANUPG_DRIVE_C", dir.str().c_str()};
  dir.Write("empty/notexec.exe", "#!/bin/sh\n");
  dir.MakeDir("empty/folder.exe");
  dir.MakeDir("work");
  test::WriteRecorderScript(dir.str() + "/bin/msiexec.exe", dir.str() + "/record.txt");
  const struct {
    Start start;
    std::optional<Args> args;         // what the started program got; nullopt: the start fails
    const char* directory = nullptr;  // where it ran, below the drive's folder
  } cases[] = {
      {Command("msiexec.exe"), Args{}}, {Command("notexec.exe /x"), std::nullopt},
      {Command("folder.exe /x"), std::nullopt},
      {Shell("c:\\bin\\MSIEXEC.EXE", "-install_noMsg", "c:\\work"), Args{"-install_noMsg"}, "work"},
      {Shell("c:\\bin\\msiexec.exe"), Args{}}, {Shell("c:\\bin\\none.exe"), std::nullopt},
      {Shell("c:\\empty\\notexec.exe"), std::nullopt}, {Shell("q:\\x.exe"), std::nullopt},
      {Shell("c:\\bin\\msiexec.exe", "", "c:\\nowhere"), std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    test::fs::remove(dir.path() / "record.txt");
    posix::PosixLauncher launcher;
    EXPECT_EQ(c.start(launcher), c.args.has_value());
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
    if (!c.args) continue;
    const auto recorded = test::ReadRecording(dir.str() + "/record.txt");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->args, *c.args);
    if (c.directory) { EXPECT_EQ(recorded->directory, dir.str() + "/" + c.directory); }
  }
  dir.Write("installer.exe", "#!/bin/sh\n/bin/sleep 0.3\n");
  test::fs::permissions(dir.path() / "installer.exe", test::fs::perms::owner_all);
  posix::AwaitedProcesses awaited;
  posix::PosixLauncher launcher(&awaited);
  posix::PosixClock clock(0.0, &awaited);
  ASSERT_TRUE(Shell("c:\\installer.exe")(launcher));
  const auto timed = [&](unsigned ms) {
    const auto start = std::chrono::steady_clock::now();
    clock.Sleep(ms);
    return std::chrono::steady_clock::now() - start;
  };
  EXPECT_LT(timed(100), std::chrono::milliseconds(150));
  const auto waited = timed(2000);
  EXPECT_GT(waited, std::chrono::milliseconds(100));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  EXPECT_LT(timed(2000), std::chrono::milliseconds(50));
}

// A copy of sleep named as the console is found by both walks, and opened gives its path, until it ends.
TEST(PosixProcessList, FindsTheRunningConsoleUntilItEnds) {
  test::TempDir dir;
  test::fs::copy_file("/bin/sleep", dir.path() / "VelaScan.exe");
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
  EXPECT_EQ(path.substr(0, length + 1), test::fs::canonical(dir.path() / "VelaScan.exe").string() + '\0');
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

}}  // namespace vsu
