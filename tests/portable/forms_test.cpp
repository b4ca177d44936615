// What the windows share: centring on the screen and the pause that keeps them live.

#include "forms/centre.h"
#include "forms/pause.h"
#include "support/fakes.h"
#include "support/testing.h"

namespace vsu { namespace {

// The offset rounds halves to even, then halves toward zero; each window is placed from its outer size.
TEST(CentreOnScreen, RoundsHalvesToEvenAndPlacesEachWindowFromItsOuterSize) {
  for (const auto& [screen, window, offset] :
       {std::tuple{19200.0, 5475.0, 6862L}, {14400.0, 2310.0, 6045L}, {100.5, 0.0, 50L}, {101.5, 0.0, 51L},
        {10.4, 0.0, 5L}, {10.6, 0.0, 5L}, {11.6, 0.0, 6L}, {4000.0, 5475.0, -737L}, {4000.0, 5476.0, -738L}}) {
    EXPECT_EQ(CentreOffset(screen, window), offset) << screen << " " << window;
  }
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

}}  // namespace vsu
