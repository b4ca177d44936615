// What the windows share: centring on the screen and the pause that keeps them live.

#include <gtest/gtest.h>

#include "forms/centre.h"
#include "forms/pause.h"
#include "support/fakes.h"

namespace vsu {
namespace {

TEST(CentreOffset, RoundsHalvesToEvenThenHalvesTowardZero) {
  struct Row {
    double screen, window;
    long offset;
  };
  for (const Row& r : {Row{19200, 5475, 6862}, Row{14400, 2310, 6045}, Row{100.5, 0, 50}, Row{101.5, 0, 51},
                       Row{10.4, 0, 5}, Row{10.6, 0, 5}, Row{11.6, 0, 6}, Row{4000, 5475, -737},
                       Row{4000, 5476, -738}}) {
    EXPECT_EQ(CentreOffset(r.screen, r.window), r.offset) << r.screen << " " << r.window;
  }
}

TEST(CentreOnScreen, PlacesEachWindowFromItsOuterSize) {
  test::ScriptedToolkit ui;
  CentreOnScreen(*ui.CreateMain(), ui);
  CentreOnScreen(*ui.CreateEnterPath(), ui);
  CentreOnScreen(*ui.CreateUpgrade(), ui);
  EXPECT_EQ(ui.trace, (std::vector<std::string>{"frmMain.Move 5377,4027", "frmEnterPath.Move 4897,4665",
                                                 "frmVelaScanUpg.Move 4942,4605"}));
}

TEST(Pause, SleepsWholeSlicesAndHandlesEventsAfterEach) {
  for (const auto& [ms, slices] : {std::pair<std::int16_t, unsigned>{0, 0}, {19, 0}, {-40, 0}, {20, 1}, {39, 1},
                                  {40, 2}, {3000, 150}}) {
    test::TestPlatform t;
    Pause(t.platform, ms);
    EXPECT_EQ(t.clock.sleeps, std::vector<unsigned>(slices, 20)) << ms;
    EXPECT_EQ(t.ui.doEvents, static_cast<int>(slices));
    EXPECT_EQ(t.Pauses(), std::vector<long>{ms});
  }
}

}  // namespace
}  // namespace vsu
