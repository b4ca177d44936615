// The console check on both roads (process status on NT, toolhelp on 9x), over a scripted process list.

#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/testing.h"

namespace vsu { namespace {

using Ids = std::vector<std::uint32_t>;
constexpr std::uint32_t kToolhelp = kPlatformWindows9x;

// count processes that are not the console, then the console.
std::vector<test::FakeProcess> WithConsoleLast(std::size_t count, const std::string& console = "c:\\v\\VelaScan.exe") {
  std::vector<test::FakeProcess> list;
  for (std::uint32_t i = 0; i < count; ++i) list.push_back({101 + i, "C:\\WINDOWS\\system32\\svchost.exe"});
  list.push_back({900, console});
  return list;
}

// The process-status road matches in the whole blank-filled path buffer, past the path's NUL.
TEST(IsProcessRunning, FindsTheNameAnywhereInTheExecutablePathIgnoringCaseOnBothRoads) {
  for (const auto& [path, name, byToolhelp, byStatus] :
       {std::tuple{"C:\\PROGRAM FILES\\VELASCAN.EXE", "velascan.exe", true, true},
        {"c:\\vela\\velascan.exe", "VELASCAN.EXE", true, true},
        {"c:\\old\\oldvelascan.exe", "velascan.exe", true, true},
        {"c:\\velascan.exe.bak\\tool.exe", "velascan.exe", true, true},
        {"c:\\vela\\velascan.ex", "velascan.exe", false, false},
        {"c:\\vela\\VelaScanSrv.exe", "velascan.exe", false, false}, {"c:\\a.exe", "    ", false, true},
        {"c:\\a.exe", "a.exe ", false, false}}) {
    for (const std::uint32_t road : {kToolhelp, kPlatformNt}) {
      test::TestPlatform t;
      t.processes.platformId = road;
      t.processes.processes = WithConsoleLast(2, path);
      t.processes.processes.push_back({901, "C:\\WINDOWS\\explorer.exe"});
      EXPECT_EQ(IsProcessRunning(t.platform, name), road == kToolhelp ? byToolhelp : byStatus) << road << " " << path;
      EXPECT_EQ(t.processes.OpenHandles(), 0u);
    }
  }
  // The toolhelp road drops the last character of the name buffer, whatever it is.
  EXPECT_EQ(TrimLastChar("a"), "");
  EXPECT_EQ(TrimLastChar(std::string("ab\0c", 4)), std::string("ab\0", 3));
}

TEST(IsProcessRunning, DoublesTheIdBufferWhileACallFillsIt) {
  for (const auto& [others, enumFails, sizes] : std::vector<std::tuple<std::size_t, bool, Ids>>{
           {2, false, {16}}, {3, false, {16, 32}}, {4, false, {16, 32}}, {7, false, {16, 32, 64}},
           {69, false, {16, 32, 64, 128, 256, 512}}, {2, true, {16, 32, 64, 128}}}) {
    test::TestPlatform t;
    t.processes.processes = WithConsoleLast(others);
    t.processes.enumFails = enumFails;
    EXPECT_EQ(IsProcessRunning(t.platform, "velascan.exe"), !enumFails) << others;
    EXPECT_EQ(t.processes.enumSizes, sizes);
    EXPECT_EQ(t.processes.OpenHandles(), 0u);
  }
}

TEST(IsProcessRunning, SkipsProcessesItCannotOpenOrListAndStopsAtTheFirstMatch) {
  test::TestPlatform t;
  t.processes.processes = {{11, "c:\\velascan.exe", false, true}, {12, "c:\\velascan.exe", true, false}};
  EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
  t.processes.processes.push_back({13, "d:\\velascan.exe"});
  t.processes.processes.push_back({14, "e:\\velascan.exe"});
  EXPECT_TRUE(IsProcessRunning(t.platform, "velascan.exe"));
  EXPECT_EQ(t.processes.opened, (Ids{11, 12, 11, 12, 13}));
  EXPECT_EQ(t.processes.OpenHandles(), 0u);
}

TEST(IsProcessRunning, AnswersNoWithoutAListToWalk) {
  for (const auto& [platform, versionFails, snapshotFails] :
       {std::tuple{0u, false, false}, {3u, false, false}, {kPlatformNt, true, false}, {kToolhelp, false, true}}) {
    test::TestPlatform t;
    t.processes.platformId = platform, t.processes.versionFails = versionFails;
    t.processes.snapshotFails = snapshotFails, t.processes.processes = WithConsoleLast(0);
    EXPECT_EQ(GetPlatformId(t.platform), versionFails ? 0u : platform);
    EXPECT_FALSE(IsProcessRunning(t.platform, "velascan.exe"));
    EXPECT_TRUE(t.processes.enumSizes.empty() && t.processes.opened.empty());
    EXPECT_EQ(t.processes.OpenHandles(), 0u);
  }
}

}}  // namespace vsu
