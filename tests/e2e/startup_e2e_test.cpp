#include <gtest/gtest.h>

#include "support/posix/e2e.h"

namespace vsu {
namespace {

using test::EventsNamed;

TEST(StartupEndToEnd, WindowsFolderOnDriveCNeedsNoPrompt) {
  test::Sandbox box;
  box.dir.Write("c/windows/win.ini", "[windows]\r\n");
  box.Run();
  const auto events = box.Events();
  EXPECT_TRUE(EventsNamed(events, "prompt").empty());
  const auto hides = EventsNamed(events, "hide");
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(hides[0].Str("window"), "frmMain");
  EXPECT_EQ(hides[0].Num("left"), 5377);
  EXPECT_EQ(hides[0].Num("top"), 4027);
}

TEST(StartupEndToEnd, CancelAtTheWindowsPromptEndsWithStatusTwoInBothModes) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"-uninstall", "{ID}"}}) {
    test::Sandbox box;
    box.run.args = args;
    const auto result = box.Run();
    EXPECT_EQ(result.status, 2);
    const auto events = box.Events();
    std::vector<std::string> names;
    for (const auto& e : events) names.push_back(e.name());
    EXPECT_EQ(names, (std::vector<std::string>{"hide", "caption", "prompt", "show", "click", "end"}));
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[2].Str("caption"), "  Enter the Path to Windows");
    // Centred: (15360 - 5565) \ 2 and (11520 - 2190) \ 2.
    EXPECT_EQ(events[3].Str("window"), "frmEnterPath");
    EXPECT_EQ(events[3].Num("left"), 4897);
    EXPECT_EQ(events[3].Num("top"), 4665);
    EXPECT_EQ(events[4].Str("control"), "cmdCancel");
    EXPECT_EQ(events[5].Num("status"), 2);
  }
}

TEST(StartupEndToEnd, RefusedEntryShowsTheBoxAndTheNextLineIsTried) {
  test::Sandbox box;
  box.dir.Write("c/SNMPc/snmpc.ini", "");
  box.run.input = "c:\\nowhere\n  C:\\SNMPC\\  \n";
  box.Run();
  const auto events = box.Events();
  const auto clicks = EventsNamed(events, "click");
  ASSERT_GE(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].Str("entry"), "c:\\nowhere");
  EXPECT_EQ(clicks[1].Str("entry"), "  C:\\SNMPC\\  ");
  const auto boxes = EventsNamed(events, "msgbox");
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Str("text"), "Please check path again");
  EXPECT_EQ(boxes[0].Num("style"), 64);
  EXPECT_EQ(boxes[0].Str("title"), "Vela Scan");
  // The corrected text is written back: spaces first, then the one backslash.
  std::vector<std::string> written;
  for (const auto& e : EventsNamed(events, "text")) {
    if (e.Str("control") == "txtName") written.push_back(e.Str("text"));
  }
  ASSERT_GE(written.size(), 3u);
  EXPECT_EQ(written[1], "C:\\SNMPC\\");
  EXPECT_EQ(written[2], "C:\\SNMPC");
}

}  // namespace
}  // namespace vsu
