// The Win32 ports against the real system, beside the file and service contracts.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <vector>

#include "common/text.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "platform/win32/win32_system.h"
#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

// Hidden and system files do not exist for the program; read-only ones do.
TEST(Win32Files, OnlyOrdinaryFilesExist) {
  test::ScratchDir dir;
  for (const auto& [attributes, exists] :
       {std::pair{FILE_ATTRIBUTE_HIDDEN, false}, {FILE_ATTRIBUTE_SYSTEM, false}, {FILE_ATTRIBUTE_READONLY, true}}) {
    const std::string file = dir.Write(std::to_string(attributes), "x");
    SetFileAttributesA(file.c_str(), attributes);
    EXPECT_EQ(Win32Files().FileExists(file), exists) << attributes;
  }
}

// Programs are found in the system directory, then on PATH, never in the current directory.
TEST(Win32Launcher, StartsProgramsFromTheSystemDirectoryThenPath) {
  char systemDir[MAX_PATH] = {}, previous[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, previous);
  test::ScratchDir dir, cwd;
  dir.Write("cmd.exe", "MZ");
  dir.Write("vsu-on-path.exe", "MZ");
  cwd.Write("vsu-here.exe", "MZ");
  const std::string path = Win32System().EnvironmentValue("PATH");
  _putenv_s("PATH", (dir.Path() + ";" + path).c_str());
  SetCurrentDirectoryA(cwd.Path().c_str());
  const std::vector<std::string> found{FindProgram("cmd.exe"), FindProgram("vsu-on-path.exe"), FindProgram("vsu-here.exe")};
  SetCurrentDirectoryA(previous);
  _putenv_s("PATH", path.c_str());
  EXPECT_EQ(LowerCase(found[0]), LowerCase(std::string(systemDir) + "\\cmd.exe"));
  EXPECT_EQ(found[1], dir.Path("vsu-on-path.exe"));
  EXPECT_EQ(found[2], "");
  Win32Launcher launcher;
  EXPECT_EQ(launcher.StartProgram("no-such-program-anywhere.exe /x", kShowNormal), 0u);
  // Without the no-UI flag the shell would show its own error box and wait for it.
  ShellExecuteInfo info{.cbSize = kShellExecuteInfoSize, .fMask = kMaskNoCloseProcess | SEE_MASK_FLAG_NO_UI,
                        .lpVerb = "open", .lpFile = dir.Path("VelaScanSrv.exe"), .lpParameters = "-install_noMsg",
                        .lpDirectory = dir.Path(), .nShow = kShowHidden};
  EXPECT_FALSE(launcher.ShellExecuteExA(info));
}

// Both roads of the process walk, the NT one and the 95/98/Me one, find this very test program.
TEST(Win32ProcessList, BothRoadsFindThisProgram) {
  struct As9x : Win32ProcessList {
    bool GetVersionExA(VersionInfoRecord* info) override { return info->dwPlatformId = kPlatformWindows9x, true; }
  } windows9x;
  Win32ProcessList nt;
  test::TestPlatform t;
  for (ProcessList* list : {static_cast<ProcessList*>(&nt), static_cast<ProcessList*>(&windows9x)}) {
    Platform p = t.With(*list);
    EXPECT_EQ(GetPlatformId(p), list == &nt ? kPlatformNt : kPlatformWindows9x);
    EXPECT_TRUE(IsProcessRunning(p, "velascan_win_tests.exe"));
    EXPECT_FALSE(IsProcessRunning(p, "no-such-program-anywhere.exe"));
  }
}

// How the program reads its own command line and the commands it starts, and what the system tells it.
TEST(Win32System, ReadsCommandLinesAndTheRealProcess) {
  EXPECT_EQ(ArgumentText("\"C:\\Vela Scan\\Upg.exe\" C:\\Vela Scan\\"), "C:\\Vela Scan\\");
  EXPECT_EQ(ArgumentText("Upg.exe \t \"c:\\dir\"  "), "\"c:\\dir\"  ");
  EXPECT_EQ(ArgumentText("c:\\v\\Upg.exe"), "");
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vela Scan\\Upg.exe"), "C:\\Program Files\\Vela Scan");
  EXPECT_EQ(DirectoryOf("C:\\Upg.exe"), "C:\\");
  EXPECT_EQ(DirectoryOf("Upg.exe"), "");
  EXPECT_EQ(ProgramName("\"c:\\a b\\x.exe\" /y"), "c:\\a b\\x.exe");
  // A long environment value and this machine's IPv4 address, as the system gives them, unless forced.
  _putenv_s("VSU_LONG_VALUE", std::string(300, 'x').c_str());
  EXPECT_EQ(Win32System().EnvironmentValue("VSU_LONG_VALUE"), std::string(300, 'x'));
  const std::string address = Win32IpInfo().LocalAddress();
  int a = -1, b = -1, c = -1, d = -1;
  ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d), 4) << address;
  EXPECT_TRUE(a != 127 || address == "127.0.0.1") << address;
  _putenv_s("VELASCANUPG_IPADDRESS", "10.20.30.40");
  EXPECT_EQ(Win32IpInfo().LocalAddress(), "10.20.30.40");
  _putenv_s("VELASCANUPG_IPADDRESS", "");
}

}  // namespace
}  // namespace vsu::win32
