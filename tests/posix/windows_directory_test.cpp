#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "common/failure.h"
#include "locations/windows_directory.h"
#include "support/fakes.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using test::PathAnswer;

struct WindirCase {
  const char* name;
  std::optional<std::string> system;  // what the system call gives
  std::vector<std::string> files;     // files below drive C:
  std::vector<PathAnswer> answers;    // the user at the prompt
  std::string expected;               // result, or "" when the program ends
  int prompts;
  std::optional<int> endStatus;
};

class GetTheWindowsDirectoryTest : public ::testing::TestWithParam<WindirCase> {};

TEST_P(GetTheWindowsDirectoryTest, FollowsTheSearchOrder) {
  const auto& c = GetParam();
  test::TempDir drive;
  test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
  for (const auto& f : c.files) drive.Write(f, "x");
  test::TestPlatform t;
  t.system.windowsDirectory = c.system;
  t.ui.answers.assign(c.answers.begin(), c.answers.end());
  InstallationState s;
  std::string result;
  std::optional<int> ended;
  try {
    result = GetTheWindowsDirectory(t.platform, s);
  } catch (const EndProgram& end) {
    ended = end.status;
  }
  EXPECT_EQ(ended, c.endStatus);
  EXPECT_EQ(result, c.expected);
  int prompts = 0;
  for (const auto& line : t.ui.trace) prompts += line == "frmEnterPath.Caption   Enter the Path to Windows";
  EXPECT_EQ(prompts, c.prompts);
}

const std::string k250(250, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, GetTheWindowsDirectoryTest,
    ::testing::Values(
        WindirCase{"ten_characters_used_as_given", "C:\\WINDOWS", {}, {}, "C:\\WINDOWS", 0, {}},
        WindirCase{"short_path", "d:\\w", {}, {}, "d:\\w", 0, {}},
        WindirCase{"drive_root_keeps_its_backslash", "E:\\", {}, {}, "E:\\", 0, {}},
        WindirCase{"eleven_characters_dropped_for_windows_fallback",
                   "C:\\WINDOWS2", {"windows/win.ini", "winnt/win.ini"}, {}, "c:\\windows", 0, {}},
        WindirCase{"no_answer_winnt_fallback", std::nullopt, {"winnt/win.ini"}, {}, "c:\\winnt", 0, {}},
        WindirCase{"longer_than_the_buffer", k250 + "y", {"winnt/win.ini"}, {}, "c:\\winnt", 0, {}},
        WindirCase{"fallback_needs_a_file_not_a_folder", std::nullopt, {"windows/win.ini/x"},
                   {PathAnswer::Ok("c:\\snmpc  ")}, "", 1, 2},
        WindirCase{"prompt_accepts_a_folder_with_snmpc_ini", std::nullopt, {"snmpc/snmpc.ini"},
                   {PathAnswer::Ok("  c:\\snmpc\\ ")}, "c:\\snmpc", 1, {}},
        WindirCase{"prompt_refuses_a_real_windows_folder_then_cancel", std::nullopt, {"w/win.ini"},
                   {PathAnswer::Ok("c:\\w"), PathAnswer::Cancel()}, "", 1, 2},
        WindirCase{"cancel_ends_the_program", std::nullopt, {}, {PathAnswer::Cancel()}, "", 1, 2},
        WindirCase{"dialog_closed_from_its_title_bar_ends_too", std::nullopt, {},
                   {PathAnswer::CloseWindow()}, "", 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetTheWindowsDirectory, AFailingFileTestShowsTheCandidateAndReturnsEmpty) {
  test::TempDir drive;
  test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
  drive.MakeDir("windows");
  std::filesystem::create_symlink("win.ini", drive.path() / "windows" / "win.ini");  // loops
  test::TestPlatform t;
  t.system.windowsDirectory = "C:\\WINDOWS\\X";
  InstallationState s;
  EXPECT_EQ(GetTheWindowsDirectory(t.platform, s), "");
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text, "Err_Handler: WinPath=C:\\WINDOWS\\X");
  EXPECT_EQ(t.ui.messages[0].style, 16);
  EXPECT_EQ(t.ui.messages[0].title, "Vela Scan_GetTheWindowsDirectory");
}

}  // namespace
}  // namespace vsu
