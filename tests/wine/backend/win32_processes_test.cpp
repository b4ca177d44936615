#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "common/text.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

// Programs are found in the system directory, else on PATH, never in the current directory.
TEST(Win32Launcher, FindsProgramsWhereWindowsKeepsThem) {
  char systemDir[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  EXPECT_EQ(LowerCase(FindProgram("cmd.exe")), LowerCase(std::string(systemDir) + "\\cmd.exe"));
  EXPECT_EQ(FindProgram("no-such-program-anywhere.exe"), "");
  test::ScratchDir dir;
  dir.Write("vsu-only-here.exe", "MZ");
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.Path().c_str());
  const std::string found = FindProgram("vsu-only-here.exe");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(found, "");
}

// A started program gives its process id; the shell reports a program that is not there.
TEST(Win32Launcher, StartsProgramsAndReportsMissingOnes) {
  Win32Launcher launcher;
  EXPECT_NE(launcher.StartProgram("cmd.exe /c exit 0", kShowNormal), 0u);
  EXPECT_EQ(launcher.StartProgram("no-such-program-anywhere.exe /x", kShowNormal), 0u);
  test::ScratchDir dir;
  // Without the no-UI flag the shell would show its own error box and wait for it.
  ShellExecuteInfo info{.cbSize = kShellExecuteInfoSize, .fMask = kMaskNoCloseProcess | SEE_MASK_FLAG_NO_UI,
                        .lpVerb = "open", .lpFile = dir.Path("VelaScanSrv.exe"), .lpParameters = "-install_noMsg",
                        .lpDirectory = dir.Path(), .nShow = kShowHidden};
  EXPECT_FALSE(launcher.ShellExecuteExA(info));
  info.lpFile = FindProgram("cmd.exe");
  info.lpParameters = "/c exit 0";
  EXPECT_TRUE(launcher.ShellExecuteExA(info));
}

// Both roads of the process walk, the NT one and the 95/98/Me one, find this very test program.
TEST(Win32ProcessList, BothRoadsFindThisProgram) {
  struct As9x : Win32ProcessList {
    bool GetVersionExA(VersionInfoRecord* info) override {
      info->dwPlatformId = kPlatformWindows9x;
      return true;
    }
  };
  Win32ProcessList nt;
  As9x windows9x;
  test::TestPlatform t;
  for (ProcessList* list : {static_cast<ProcessList*>(&nt), static_cast<ProcessList*>(&windows9x)}) {
    Platform p = t.With(*list);
    EXPECT_EQ(GetPlatformId(p), list == &nt ? kPlatformNt : kPlatformWindows9x);
    EXPECT_TRUE(IsProcessRunning(p, "velascan_win_tests.exe"));
    EXPECT_FALSE(IsProcessRunning(p, "no-such-program-anywhere.exe"));
  }
}

}  // namespace
}  // namespace vsu::win32
