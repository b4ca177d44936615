#include <gtest/gtest.h>

#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;

using test::FakeProcess;
using test::TestPlatform;
using Ids = std::vector<std::uint32_t>;

constexpr std::uint32_t kToolhelp = 1;

// count processes that are not the console, then the console.
std::vector<FakeProcess> WithConsoleLast(std::size_t count, const std::string& console = "c:\\vela\\VelaScan.exe") {
  std::vector<FakeProcess> list;
  for (std::uint32_t i = 0; i < count; ++i) list.push_back({101 + i, "C:\\WINDOWS\\system32\\svchost.exe"});
  list.push_back({900, console});
  return list;
}

void ExpectTidy(const TestPlatform& t) {
  EXPECT_EQ(t.processes.faults, std::vector<std::string>{});
  EXPECT_EQ(t.processes.OpenHandles(), 0u);
}

struct MatchCase {
  const char* path;
  const char* name;
  bool running;
};
void PrintTo(const MatchCase& c, std::ostream* out) { *out << c.path << " ~ " << c.name; }

class MatchTest : public testing::TestWithParam<std::tuple<std::uint32_t, MatchCase>> {};

TEST_P(MatchTest, FindsTheNameAnywhereInTheExecutablePathIgnoringCase) {
  const auto& [platform, c] = GetParam();
  TestPlatform t;
  t.processes.platformId = platform;
  t.processes.processes = WithConsoleLast(2, c.path);
  t.processes.processes.push_back({901, "C:\\WINDOWS\\explorer.exe"});
  EXPECT_EQ(IsProcessRunning(t.platform, c.name), c.running);
  ExpectTidy(t);
}

INSTANTIATE_TEST_SUITE_P(
    BothRoads, MatchTest,
    testing::Combine(testing::Values(kToolhelp, kPlatformNt),
                     testing::Values(MatchCase{"C:\\Program Files\\Vela Scan\\VelaScan.exe", "velascan.exe", true},
                                     MatchCase{"C:\\PROGRAM FILES\\VELASCAN.EXE", "velascan.exe", true},
                                     MatchCase{"c:\\vela\\velascan.exe", "VELASCAN.EXE", true},
                                     MatchCase{"c:\\old\\oldvelascan.exe", "velascan.exe", true},
                                     MatchCase{"c:\\velascan.exe.bak\\tool.exe", "velascan.exe", true},
                                     MatchCase{"c:\\vela\\velascan.ex", "velascan.exe", false},
                                     MatchCase{"c:\\vela\\VelaScanSrv.exe", "velascan.exe", false})));

struct WalkCase {
  const char* name;
  std::size_t others;  // processes listed before the console
  bool enumFails;
  Ids sizes;           // of the id buffers handed to EnumProcesses
};

class WalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(WalkTest, DoublesTheIdBufferWhileACallFillsIt) {
  const auto& c = GetParam();
  TestPlatform t;
  t.processes.processes = WithConsoleLast(c.others);
  t.processes.enumFails = c.enumFails;
  EXPECT_EQ(IsProcessRunning(t.platform, "velascan.exe"), !c.enumFails);
  EXPECT_EQ(t.processes.enumSizes, c.sizes);
  ExpectTidy(t);
}

INSTANTIATE_TEST_SUITE_P(IsProcessRunning, WalkTest,
                         testing::Values(WalkCase{"FitsTheFirstBuffer", 2, false, {16}},
                                         WalkCase{"FillsTheFirstBufferExactly", 3, false, {16, 32}},
                                         WalkCase{"NeedsTheSecondBuffer", 4, false, {16, 32}},
                                         WalkCase{"FillsTheSecondBufferExactly", 7, false, {16, 32, 64}},
                                         WalkCase{"Many", 69, false, {16, 32, 64, 128, 256, 512}},
                                         WalkCase{"ListingFails", 2, true, {16, 32, 64, 128}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsProcessRunning, SkipsProcessesItCannotOpenOrListAndStopsAtTheFirstMatch) {
  TestPlatform t;
  t.processes.processes = {{11, "c:\\velascan.exe", false, true}, {12, "c:\\velascan.exe", true, false}};
  EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
  t.processes.processes.push_back({13, "d:\\velascan.exe"});
  t.processes.processes.push_back({14, "e:\\velascan.exe"});
  EXPECT_TRUE(IsProcessRunning(t.platform, "velascan.exe"));
  EXPECT_EQ(t.processes.opened, (Ids{11, 12, 11, 12, 13}));
  ExpectTidy(t);
}

// On the process-status road the candidate is the whole blank-filled path
// buffer, so blanks in the sought text can match behind the path's NUL.
TEST(IsProcessRunning, ProcessStatusCandidateIsTheWholeBlankFilledBuffer) {
  TestPlatform t;
  t.processes.processes = {{11, "c:\\a.exe"}};
  EXPECT_TRUE(IsProcessRunning(t.platform, "    "));
  EXPECT_FALSE(IsProcessRunning(t.platform, "a.exe "));
  t.processes.platformId = kToolhelp;
  EXPECT_FALSE(IsProcessRunning(t.platform, "    "));
  ExpectTidy(t);
}

TEST(IsProcessRunning, AnswersNoWithoutAListToWalk) {
  for (const std::uint32_t platform : {0u, 3u}) {
    TestPlatform t;
    t.processes.platformId = platform;
    t.processes.processes = WithConsoleLast(0);
    EXPECT_EQ(GetPlatformId(t.platform), platform);
    EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
    EXPECT_TRUE(t.processes.enumSizes.empty() && t.processes.opened.empty());
  }
  TestPlatform failing;
  failing.processes.versionFails = true;
  EXPECT_EQ(GetPlatformId(failing.platform), 0u);
  failing.processes.platformId = kToolhelp;
  failing.processes.versionFails = false;
  failing.processes.snapshotFails = true;
  failing.processes.processes = WithConsoleLast(0);
  EXPECT_FALSE(IsProcessRunning(failing.platform, "velascan.exe"));
  ExpectTidy(failing);
}

TEST(TrimLastChar, DropsOnlyTheLastCharacter) {
  EXPECT_EQ(TrimLastChar("a"), "");
  EXPECT_EQ(TrimLastChar(std::string("ab\0c", 4)), std::string("ab\0", 3));
}

}  // namespace
}  // namespace vsu
