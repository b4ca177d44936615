// Where the Windows directory comes from: the system, the usual folders, then the user; a failing file test.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "locations/windows_directory.h"
#include "support/fakes.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using test::PathAnswer;

TEST(GetTheWindowsDirectory, FollowsTheSearchOrder) {
  struct Row {
    std::optional<std::string> system;  // what the system call gives
    std::vector<std::string> files;     // files below drive C:
    std::vector<PathAnswer> answers;    // the user at the prompt
    std::string expected;               // "" when the program ends (status 2)
    int prompts;
    const char* failure = nullptr;      // the one message shown; a file "x>" is a symlink loop
  };
  for (const Row& r : {
           Row{"C:\\WINDOWS", {}, {}, "C:\\WINDOWS", 0},  // ten characters are used as given
           Row{"E:\\", {}, {}, "E:\\", 0},
           Row{"C:\\WINDOWS2", {"windows/win.ini", "winnt/win.ini"}, {}, "c:\\windows", 0},
           Row{{}, {"winnt/win.ini"}, {}, "c:\\winnt", 0},
           Row{std::string(251, 'x'), {"winnt/win.ini"}, {}, "c:\\winnt", 0},  // longer than the buffer
           Row{{}, {"windows/win.ini/x"}, {PathAnswer::Ok("c:\\snmpc  ")}, "", 1},  // a folder is no file
           Row{{}, {"snmpc/snmpc.ini"}, {PathAnswer::Ok("  c:\\snmpc\\ ")}, "c:\\snmpc", 1},
           Row{{}, {"w/win.ini"}, {PathAnswer::Ok("c:\\w"), PathAnswer::Cancel()}, "", 1},
           Row{{}, {}, {PathAnswer::CloseWindow()}, "", 1},
           Row{"C:\\WINDOWS\\X", {"windows/win.ini>"}, {}, "(returned empty)", 0,
               "Err_Handler: WinPath=C:\\WINDOWS\\X"}}) {
    test::TempDir drive;
    test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
    for (const auto& f : r.files) {
      if (f.back() != '>') drive.Write(f, "x");
      else drive.MakeDir("windows"), std::filesystem::create_symlink("win.ini", drive.path() / "windows/win.ini");
    }
    test::TestPlatform t;
    t.system.windowsDirectory = r.system;
    t.ui.answers.assign(r.answers.begin(), r.answers.end());
    InstallationState s;
    std::string result;
    try {
      result = GetTheWindowsDirectory(t.platform, s);
      if (result.empty()) result = "(returned empty)";
    } catch (const EndProgram& end) {
      EXPECT_EQ(end.status, 2);
    }
    EXPECT_EQ(result, r.expected) << r.system.value_or("(none)");
    EXPECT_EQ(t.ui.Traced("frmEnterPath.Caption   Enter the Path to Windows").size(), std::size_t(r.prompts));
    if (r.failure) {
      EXPECT_EQ(t.ui.messages, (std::vector<test::ShownMessage>{{r.failure, 16, "Vela Scan_GetTheWindowsDirectory"}}));
    }
  }
}

}  // namespace
}  // namespace vsu
