// The Enter Path dialog: how it shows, what it accepts, what it writes back, what it leaves.

#include <gtest/gtest.h>

#include "locations/frm_enter_path.h"
#include "support/fakes.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using test::PathAnswer;
using Texts = std::vector<std::string>;

TEST(AskForPath, ValidatesAndWritesBack) {
  struct Row {
    std::vector<PathAnswer> answers;
    std::string enteredPath;  // EnteredPath afterwards (it starts as "before")
    Texts txtNames;           // what cmdOK_Click wrote back into txtName
    std::size_t refusals;     // "Please check path again" boxes
  };
  const auto ok = PathAnswer::Ok;
  for (const Row& r : {
           Row{{ok("c:\\snmpc")}, "c:\\snmpc", {"c:\\snmpc"}, 0},
           Row{{ok("c:\\lumi")}, "c:\\lumi", {"c:\\lumi"}, 0},
           Row{{ok("  c:\\snmpc\\  ")}, "c:\\snmpc", {"c:\\snmpc\\", "c:\\snmpc"}, 0},
           Row{{ok("\tc:\\snmpc"), PathAnswer::Cancel()}, "", {"\tc:\\snmpc"}, 1},
           // The doubled separator still names the folder, so the path is accepted with one "\".
           Row{{ok("c:\\snmpc\\\\")}, "c:\\snmpc\\", {"c:\\snmpc\\\\", "c:\\snmpc\\"}, 0},
           Row{{ok(" c:\\both\\ "), ok("c:\\both\\x")}, "c:\\both\\x", {"c:\\both\\", "c:\\both", "c:\\both\\x"}, 1},
           Row{{ok(""), PathAnswer::Cancel()}, "", {""}, 1},  // tested at the root
           Row{{PathAnswer::CloseWindow()}, "before", {}, 0},
           Row{{ok("c:\\none"), PathAnswer::CloseWindow()}, "before", {"c:\\none"}, 1}}) {
    test::TempDir drive;
    test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
    drive.Write("SNMPc/snmpc.ini", "");
    drive.Write("Lumi/Lumidex.mdb", "");
    drive.Write("both/x/snmpc.ini", "");
    test::TestPlatform t;
    t.ui.answers.assign(r.answers.begin(), r.answers.end());
    InstallationState s;
    s.EnteredPath = "before";
    AskForPath(t.platform, s, kPromptSnmpc);
    EXPECT_EQ(s.EnteredPath, r.enteredPath) << r.answers[0].entry;
    EXPECT_EQ(t.ui.Traced("frmEnterPath.txtName "), r.txtNames);
    EXPECT_EQ(t.ui.messages, std::vector<test::ShownMessage>(r.refusals, {"Please check path again", 64, "Vela Scan"}));
    // Centred, then captioned with the caller's prompt, then shown.
    EXPECT_EQ(Texts(t.ui.trace.begin(), t.ui.trace.begin() + 3),
              (Texts{"frmEnterPath.Move 4897,4665", "frmEnterPath.Caption " + std::string(kPromptSnmpc),
                     "frmEnterPath.ShowModal"}));
  }
}

}  // namespace
}  // namespace vsu
