#include <gtest/gtest.h>

#include "forms/centre.h"
#include "support/fakes.h"
#include "ui/layout.h"

namespace vsu {
namespace {

struct CentreCase {
  double screen;
  double window;
  long offset;
};

class CentreOffsetTest : public ::testing::TestWithParam<CentreCase> {};

TEST_P(CentreOffsetTest, RoundsHalvesToEvenThenHalvesTowardZero) {
  EXPECT_EQ(CentreOffset(GetParam().screen, GetParam().window), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Cases, CentreOffsetTest,
                         ::testing::Values(CentreCase{19200, 5475, 6862}, CentreCase{14400, 2310, 6045},
                                           CentreCase{15360, 5475, 4942}, CentreCase{11520, 2310, 4605},
                                           CentreCase{100.5, 0, 50},   // 100.5 rounds to 100
                                           CentreCase{101.5, 0, 51},   // 101.5 rounds to 102
                                           CentreCase{10.4, 0, 5}, CentreCase{10.6, 0, 5},
                                           CentreCase{4000, 5475, -737},  // larger than the screen
                                           CentreCase{4000, 5476, -738}));

TEST(CentreOnScreen, PlacesEachWindowFromItsOuterSize) {
  test::ScriptedToolkit ui;
  const auto main = ui.CreateMain();
  const auto dialog = ui.CreateEnterPath();
  const auto upgrade = ui.CreateUpgrade();
  CentreOnScreen(*main, ui);
  CentreOnScreen(*dialog, ui);
  CentreOnScreen(*upgrade, ui);
  EXPECT_EQ(ui.trace, (std::vector<std::string>{"frmMain.Move 5377,4027", "frmEnterPath.Move 4897,4665",
                                                 "frmVelaScanUpg.Move 4942,4605"}));
}

TEST(Layout, Text1IsTheSevenLineNotice) {
  const std::string text = layout::kText1;
  EXPECT_EQ(text.size(), 191u);
  EXPECT_EQ(text.substr(0, 40), "Vela Scan Requires that both SNMPc and \r");
}

}  // namespace
}  // namespace vsu
