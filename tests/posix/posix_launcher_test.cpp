#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>

#include <filesystem>

#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_launcher.h"
#include "support/posix/recorder_script.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using Args = std::vector<std::string>;

// Started programs are grandchildren: this process is left with no child, running or ended.
bool NoChildren() { return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD; }

class PosixLauncherTest : public testing::Test {
 protected:
  PosixLauncherTest() {
    dir.MakeDir("work");
    dir.Write("empty/notexec.exe", "#!/bin/sh\n");
    dir.MakeDir("empty/folder.exe");
    test::WriteRecorderScript((dir.path() / "bin/msiexec.exe").string(), record);
  }
  std::optional<test::Recorded> Started() {
    EXPECT_TRUE(NoChildren());
    return test::ReadRecording(record);
  }
  test::TempDir dir;
  const std::string record = (dir.path() / "record.txt").string();
  test::ScopedEnv path{"PATH", (dir.str() + "/empty:" + dir.str() + "/bin").c_str()};
  test::ScopedEnv drive{"VELASCANUPG_DRIVE_C", dir.str().c_str()};
  posix::PosixLauncher launcher;
};

struct CommandCase {
  const char* command;
  Args args;
};
void PrintTo(const CommandCase& c, std::ostream* out) { *out << '"' << c.command << '"'; }

class StartProgramTest : public PosixLauncherTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(StartProgramTest, PassesTheRestOfTheCommandAsOneArgument) {
  EXPECT_NE(launcher.StartProgram(GetParam().command, kShowNormal), 0u);
  const auto recorded = Started();
  ASSERT_TRUE(recorded);
  EXPECT_EQ(recorded->args, GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(PosixLauncher, StartProgramTest,
                         testing::Values(CommandCase{"msiexec.exe /uninstall {AB-12}", {"/uninstall {AB-12}"}},
                                         CommandCase{"msiexec.exe /uninstall ", {"/uninstall "}},
                                         CommandCase{"msiexec.exe  /uninstall  {A B} ", {" /uninstall  {A B} "}},
                                         CommandCase{"msiexec.exe", {}}));

TEST_F(PosixLauncherTest, StartProgramFailsWhenNothingRunnableIsOnPath) {
  for (const char* command : {"missing.exe /x", "notexec.exe /x", "folder.exe /x"}) {
    EXPECT_EQ(launcher.StartProgram(command, kShowNormal), 0u) << command;
  }
  EXPECT_TRUE(NoChildren());
}

TEST_F(PosixLauncherTest, ShellExecuteRunsTheMappedFileInItsDirectory) {
  ShellExecuteInfo info;
  info.lpFile = "c:\\bin\\MSIEXEC.EXE";
  info.lpParameters = "-install_noMsg";
  info.lpDirectory = "c:\\work";
  EXPECT_TRUE(launcher.ShellExecuteExA(info));
  const auto recorded = Started();
  ASSERT_TRUE(recorded);
  EXPECT_EQ(recorded->args, Args{"-install_noMsg"});
  EXPECT_EQ(recorded->directory, dir.str() + "/work");
}

// With no real waiting, a wait still lasts while the program launched last
// runs, up to its nominal length, and no longer.
TEST_F(PosixLauncherTest, AShortenedWaitLastsWhileTheLaunchedProgramRuns) {
  dir.Write("bin/installer.exe", "#!/bin/sh\n/bin/sleep 0.3\n");
  std::filesystem::permissions(dir.path() / "bin/installer.exe", std::filesystem::perms::owner_all);
  posix::AwaitedProcesses awaited;
  posix::PosixLauncher launching(&awaited);
  posix::PosixClock clock(0.0, &awaited);
  ShellExecuteInfo info;
  info.lpFile = "c:\\bin\\installer.exe";
  ASSERT_TRUE(launching.ShellExecuteExA(info));
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

TEST_F(PosixLauncherTest, ShellExecuteFailsWhenTheFileCannotRun) {
  for (const char* file : {"c:\\bin\\none.exe", "c:\\empty\\notexec.exe", "q:\\x.exe"}) {
    ShellExecuteInfo info;
    info.lpFile = file;
    EXPECT_FALSE(launcher.ShellExecuteExA(info)) << file;
  }
  ShellExecuteInfo missingDirectory;
  missingDirectory.lpFile = "c:\\bin\\msiexec.exe";
  missingDirectory.lpDirectory = "c:\\nowhere";
  EXPECT_FALSE(launcher.ShellExecuteExA(missingDirectory));
  EXPECT_TRUE(NoChildren());
}

}  // namespace
}  // namespace vsu
