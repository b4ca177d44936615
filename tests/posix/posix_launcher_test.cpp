// The Linux launcher: what a started program gets, and the waits while it runs.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>

#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_launcher.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

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

// PATH lookup, the rest of a command as one argument, the mapped file and directory; no child is left.
TEST(PosixLauncher, RunsTheProgramWithoutWaitingOrLeavingAChild) {
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
      {Command("msiexec.exe"), Args{}},
      {Command("notexec.exe /x"), std::nullopt},
      {Command("folder.exe /x"), std::nullopt},
      {Shell("c:\\bin\\MSIEXEC.EXE", "-install_noMsg", "c:\\work"), Args{"-install_noMsg"}, "work"},
      {Shell("c:\\bin\\msiexec.exe"), Args{}},
      {Shell("c:\\bin\\none.exe"), std::nullopt},
      {Shell("c:\\empty\\notexec.exe"), std::nullopt},
      {Shell("q:\\x.exe"), std::nullopt},
      {Shell("c:\\bin\\msiexec.exe", "", "c:\\nowhere"), std::nullopt}};
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(++row);
    std::filesystem::remove(dir.path() / "record.txt");
    posix::PosixLauncher launcher;
    EXPECT_EQ(c.start(launcher), c.args.has_value());
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
    if (!c.args) continue;
    const auto recorded = test::ReadRecording(dir.str() + "/record.txt");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->args, *c.args);
    if (c.directory) { EXPECT_EQ(recorded->directory, dir.str() + "/" + c.directory); }
  }
}

// With no real waiting, a wait still lasts while the last launched program runs, up to its length.
TEST(PosixLauncher, AShortenedWaitLastsWhileTheLaunchedProgramRuns) {
  test::TempDir dir;
  test::ScopedEnv drive{"VELASCANUPG_DRIVE_C", dir.str().c_str()};
  dir.Write("installer.exe", "#!/bin/sh\n/bin/sleep 0.3\n");
  std::filesystem::permissions(dir.path() / "installer.exe", std::filesystem::perms::owner_all);
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

}  // namespace
}  // namespace vsu
