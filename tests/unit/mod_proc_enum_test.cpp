#include <gtest/gtest.h>

#include "process/mod_proc_enum.h"
#include "support/fakes.h"

namespace vsu {
namespace {

using test::FakeProcess;
using test::TestPlatform;
using Sizes = std::vector<std::uint32_t>;

constexpr std::uint32_t kToolhelp = 1;
constexpr std::uint32_t kProcessStatus = 2;

// count processes that are not the console, ids 101, 102, ...
std::vector<FakeProcess> Others(std::size_t count) {
  std::vector<FakeProcess> list;
  for (std::size_t i = 0; i < count; ++i) {
    list.push_back({static_cast<std::uint32_t>(101 + i), "C:\\WINDOWS\\system32\\svchost.exe"});
  }
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
void PrintTo(const MatchCase& c, std::ostream* out) { *out << c.path; }

class MatchTest : public testing::TestWithParam<std::tuple<std::uint32_t, MatchCase>> {};

TEST_P(MatchTest, FindsTheNameAnywhereInTheExecutablePathIgnoringCase) {
  const auto& [platform, c] = GetParam();
  TestPlatform t;
  t.processes.platformId = platform;
  t.processes.processes = Others(2);
  t.processes.processes.push_back({700, c.path});
  t.processes.processes.push_back({701, "C:\\WINDOWS\\explorer.exe"});
  EXPECT_EQ(IsProcessRunning(t.platform, c.name), c.running);
  ExpectTidy(t);
}

INSTANTIATE_TEST_SUITE_P(
    BothRoads, MatchTest,
    testing::Combine(testing::Values(kToolhelp, kProcessStatus),
                     testing::Values(MatchCase{"C:\\Program Files\\Vela Scan\\VelaScan.exe", "velascan.exe", true},
                                     MatchCase{"C:\\PROGRAM FILES\\VELASCAN.EXE", "velascan.exe", true},
                                     MatchCase{"c:\\vela\\velascan.exe", "VELASCAN.EXE", true},
                                     MatchCase{"c:\\old\\oldvelascan.exe", "velascan.exe", true},
                                     MatchCase{"c:\\velascan.exe.bak\\tool.exe", "velascan.exe", true},
                                     MatchCase{"c:\\vela\\velascan.ex", "velascan.exe", false},
                                     MatchCase{"c:\\vela\\VelaScanSrv.exe", "velascan.exe", false})));

struct WalkCase {
  const char* name;
  std::size_t processes;  // the console is the last of them
  bool enumFails;
  Sizes sizes;            // of the id buffers handed to EnumProcesses
  bool running;
};
void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }

class ProcessStatusWalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(ProcessStatusWalkTest, DoublesTheIdBufferWhileACallFillsIt) {
  const auto& c = GetParam();
  TestPlatform t;
  t.processes.processes = Others(c.processes - 1);
  t.processes.processes.push_back({900, "c:\\vela\\VelaScan.exe"});
  t.processes.enumFails = c.enumFails;
  EXPECT_EQ(IsProcessRunning(t.platform, "velascan.exe"), c.running);
  EXPECT_EQ(t.processes.enumSizes, c.sizes);
  ExpectTidy(t);
}

INSTANTIATE_TEST_SUITE_P(
    IsProcessRunning, ProcessStatusWalkTest,
    testing::Values(WalkCase{"FitsTheFirstBuffer", 3, false, {16}, true},
                    WalkCase{"FillsTheFirstBufferExactly", 4, false, {16, 32}, true},
                    WalkCase{"NeedsTheSecondBuffer", 5, false, {16, 32}, true},
                    WalkCase{"FillsTheSecondBufferExactly", 8, false, {16, 32, 64}, true},
                    WalkCase{"Many", 70, false, {16, 32, 64, 128, 256, 512}, true},
                    WalkCase{"ListingFails", 3, true, {16, 32, 64, 128}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsProcessRunning, StopsAtTheFirstMatch) {
  TestPlatform t;
  t.processes.processes = {{11, "a.exe"}, {12, "c:\\velascan.exe"}, {13, "c:\\velascan.exe"}};
  EXPECT_TRUE(IsProcessRunning(t.platform, "velascan.exe"));
  EXPECT_EQ(t.processes.opened, (Sizes{11, 12}));
  ExpectTidy(t);
}

TEST(IsProcessRunning, SkipsProcessesThatCannotBeOpenedOrListed) {
  TestPlatform t;
  t.processes.processes = {{11, "c:\\velascan.exe", false, true}, {12, "c:\\velascan.exe", true, false}};
  EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
  t.processes.processes.push_back({13, "d:\\velascan.exe"});
  EXPECT_TRUE(IsProcessRunning(t.platform, "velascan.exe"));
  EXPECT_EQ(t.processes.opened, (Sizes{11, 12, 11, 12, 13}));
  ExpectTidy(t);
}

// On the process-status road the candidate is the whole blank-filled path
// buffer, so blanks in the sought text can match behind the path.
TEST(IsProcessRunning, ProcessStatusCandidateIsTheWholeBlankFilledBuffer) {
  TestPlatform t;
  t.processes.processes = {{11, "c:\\a.exe"}};
  EXPECT_TRUE(IsProcessRunning(t.platform, "    "));
  EXPECT_FALSE(IsProcessRunning(t.platform, "a.exe "));
  t.processes.platformId = kToolhelp;
  EXPECT_FALSE(IsProcessRunning(t.platform, "    "));
  ExpectTidy(t);
}

TEST(IsProcessRunning, ToolhelpSnapshotThatFailsAnswersNo) {
  TestPlatform t;
  t.processes.platformId = kToolhelp;
  t.processes.snapshotFails = true;
  t.processes.processes = {{11, "velascan.exe"}};
  EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
  ExpectTidy(t);
}

struct PlatformCase {
  std::uint32_t id;
  bool versionFails;
};
void PrintTo(const PlatformCase& c, std::ostream* out) { *out << c.id; }

class OtherPlatformTest : public testing::TestWithParam<PlatformCase> {};

TEST_P(OtherPlatformTest, AnswersNoWithoutWalking) {
  TestPlatform t;
  t.processes.platformId = GetParam().id;
  t.processes.versionFails = GetParam().versionFails;
  t.processes.processes = {{11, "velascan.exe"}};
  EXPECT_EQ(GetPlatformId(t.platform), GetParam().versionFails ? 0u : GetParam().id);
  EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
  EXPECT_TRUE(t.processes.enumSizes.empty());
  EXPECT_TRUE(t.processes.opened.empty());
  ExpectTidy(t);
}

INSTANTIATE_TEST_SUITE_P(IsProcessRunning, OtherPlatformTest,
                         testing::Values(PlatformCase{0, false}, PlatformCase{3, false}, PlatformCase{2, true}));

TEST(TrimLastChar, DropsOnlyTheLastCharacter) {
  EXPECT_EQ(TrimLastChar("a"), "");
  EXPECT_EQ(TrimLastChar(std::string("ab\0c", 4)), std::string("ab\0", 3));
  EXPECT_EQ(TrimLastChar(std::string(260, 'x')), std::string(259, 'x'));
}

}  // namespace
}  // namespace vsu
