#include <gtest/gtest.h>

#include "forms/pause.h"
#include "support/fakes.h"
#include "support/json_lines.h"

namespace vsu {
namespace {

struct PauseCase {
  std::int16_t ms;
  std::size_t slices;
};

class PauseTest : public ::testing::TestWithParam<PauseCase> {};

TEST_P(PauseTest, SleepsWholeSlicesAndHandlesEventsAfterEach) {
  test::TestPlatform t;
  Pause(t.platform, GetParam().ms);
  EXPECT_EQ(t.clock.sleeps, std::vector<unsigned>(GetParam().slices, 20));
  EXPECT_EQ(static_cast<std::size_t>(t.ui.doEvents), GetParam().slices);
  const auto events = test::ParseTranscript(t.logLines);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].name(), "pause");
  EXPECT_EQ(events[0].Num("ms"), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(Cases, PauseTest,
                         ::testing::Values(PauseCase{0, 0}, PauseCase{19, 0}, PauseCase{-40, 0},
                                           PauseCase{20, 1}, PauseCase{30, 1}, PauseCase{39, 1},
                                           PauseCase{40, 2}, PauseCase{200, 10}, PauseCase{300, 15},
                                           PauseCase{2000, 100}, PauseCase{3000, 150}));

}  // namespace
}  // namespace vsu
