#include <gtest/gtest.h>

#include "locations/frm_enter_path.h"
#include "support/fakes.h"
#include "support/json_lines.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using test::PathAnswer;

struct EnterPathCase {
  const char* name;
  std::vector<PathAnswer> answers;
  std::string enteredPath;            // EnteredPath afterwards (it starts as "before")
  std::vector<std::string> txtNames;  // what cmdOK_Click wrote back into txtName
  std::size_t refusals;               // "Please check path again" boxes
};

class EnterPathTest : public ::testing::TestWithParam<EnterPathCase> {};

TEST_P(EnterPathTest, ValidatesAndWritesBack) {
  const auto& c = GetParam();
  test::TempDir drive;
  test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
  drive.Write("SNMPc/snmpc.ini", "");
  drive.Write("Lumi/Lumidex.mdb", "");
  drive.Write("both/x/snmpc.ini", "");
  test::TestPlatform t;
  t.ui.answers.assign(c.answers.begin(), c.answers.end());
  InstallationState s;
  s.EnteredPath = "before";
  AskForPath(t.platform, s, kPromptSnmpc);
  EXPECT_EQ(s.EnteredPath, c.enteredPath);
  std::vector<std::string> written;
  for (const auto& line : t.ui.trace) {
    if (line.rfind("frmEnterPath.txtName ", 0) == 0) written.push_back(line.substr(21));
  }
  EXPECT_EQ(written, c.txtNames);
  EXPECT_EQ(t.ui.messages.size(), c.refusals);
  for (const auto& m : t.ui.messages) {
    EXPECT_EQ(m.text, "Please check path again");
    EXPECT_EQ(m.style, 64);
    EXPECT_EQ(m.title, "Vela Scan");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnterPathTest,
    ::testing::Values(
        EnterPathCase{"snmpc_ini", {PathAnswer::Ok("c:\\snmpc")}, "c:\\snmpc", {"c:\\snmpc"}, 0},
        EnterPathCase{"lumidex_mdb", {PathAnswer::Ok("c:\\lumi")}, "c:\\lumi", {"c:\\lumi"}, 0},
        EnterPathCase{"spaces_and_backslash_removed",
                      {PathAnswer::Ok("  c:\\snmpc\\  ")}, "c:\\snmpc", {"c:\\snmpc\\", "c:\\snmpc"}, 0},
        EnterPathCase{"tabs_are_not_trimmed", {PathAnswer::Ok("\tc:\\snmpc"), PathAnswer::Cancel()}, "",
                      {"\tc:\\snmpc"}, 1},
        // The doubled separator still names the folder, so the path is accepted with one "\".
        EnterPathCase{"only_one_of_two_backslashes", {PathAnswer::Ok("c:\\snmpc\\\\")}, "c:\\snmpc\\",
                      {"c:\\snmpc\\\\", "c:\\snmpc\\"}, 0},
        EnterPathCase{"corrected_after_a_refusal",
                      {PathAnswer::Ok(" c:\\both\\ "), PathAnswer::Ok("c:\\both\\x")}, "c:\\both\\x",
                      {"c:\\both\\", "c:\\both", "c:\\both\\x"}, 1},
        EnterPathCase{"empty_entry_is_tested_at_the_root", {PathAnswer::Ok(""), PathAnswer::Cancel()}, "",
                      {""}, 1},
        EnterPathCase{"cancel_clears", {PathAnswer::Cancel()}, "", {}, 0},
        EnterPathCase{"closed_another_way_sets_nothing", {PathAnswer::CloseWindow()}, "before", {}, 0},
        EnterPathCase{"refused_then_closed", {PathAnswer::Ok("c:\\none"), PathAnswer::CloseWindow()},
                      "before", {"c:\\none"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnterPath, CentresThenTakesTheCallersPromptThenShows) {
  test::TestPlatform t;
  t.ui.answers = {PathAnswer::Cancel()};
  InstallationState s;
  AskForPath(t.platform, s, kPromptSnmpcOrLumidex);
  EXPECT_EQ(t.ui.trace, (std::vector<std::string>{"frmEnterPath.Move 4897,4665",
                                                  "frmEnterPath.Caption   Enter the Path to SNMPc or Lumidex",
                                                  "frmEnterPath.ShowModal", "frmEnterPath.Close"}));
}

}  // namespace
}  // namespace vsu
