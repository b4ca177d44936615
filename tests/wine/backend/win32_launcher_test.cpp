#include <gtest/gtest.h>
#include <windows.h>

#include "common/text.h"
#include "platform/win32/win32_launcher.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

using test::ScratchDir;

TEST(ProgramName, IsTheFirstWordOrTheQuotedText) {
  EXPECT_EQ(ProgramName("msiexec.exe /uninstall {X}"), "msiexec.exe");
  EXPECT_EQ(ProgramName("\"c:\\a b\\x.exe\" /y"), "c:\\a b\\x.exe");
  EXPECT_EQ(ProgramName("msiexec.exe"), "msiexec.exe");
}

TEST(FindProgram, LooksInTheSystemDirectoryFirst) {
  char systemDir[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  const std::string found = FindProgram("cmd.exe");
  EXPECT_EQ(LowerCase(found), LowerCase(std::string(systemDir) + "\\cmd.exe"));
  EXPECT_EQ(FindProgram("no-such-program-anywhere.exe"), "");
}

TEST(FindProgram, NeverTakesTheCurrentDirectory) {
  ScratchDir dir;
  dir.Write("vsu-only-here.exe", "MZ");
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.Path().c_str());
  const std::string found = FindProgram("vsu-only-here.exe");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(found, "");
}

TEST(Win32Launcher, StartProgramGivesTheProcessId) {
  Win32Launcher launcher;
  const std::uint32_t pid = launcher.StartProgram("cmd.exe /c exit 0", kShowNormal);
  EXPECT_NE(pid, 0u);
  EXPECT_EQ(launcher.StartProgram("no-such-program-anywhere.exe /x", kShowNormal), 0u);
}

TEST(Win32Launcher, ShellExecuteReportsAMissingProgram) {
  ScratchDir dir;
  Win32Launcher launcher;
  ShellExecuteInfo info;
  info.cbSize = kShellExecuteInfoSize;
  // Without the no-UI flag the shell would show its own error box and wait for it.
  info.fMask = kMaskNoCloseProcess | 0x400;
  info.lpVerb = "open";
  info.lpFile = dir.Path("VelaScanSrv.exe");
  info.lpParameters = "-install_noMsg";
  info.lpDirectory = dir.Path();
  info.nShow = kShowHidden;
  EXPECT_FALSE(launcher.ShellExecuteExA(info));

  char systemDir[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  info.lpFile = std::string(systemDir) + "\\cmd.exe";
  info.lpParameters = "/c exit 0";
  EXPECT_TRUE(launcher.ShellExecuteExA(info));
}

}  // namespace
}  // namespace vsu::win32
