#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/posix/process_tools.h"
#include "support/posix/service_sandbox.h"
#include "support/table_rows.h"

namespace vsu {
namespace {

using test::PrintTo;

using test::ServiceSandbox;

TEST(VelaScanSrv, RegistersItselfStoppedAndRunsUntilStopped) {
  ServiceSandbox box;
  ASSERT_EQ(box.Srv({"-install_noMsg"}).status, 0);
  EXPECT_EQ(box.Sc({"query", "Vela Scan"}).out, "STATE : 1\n");
  EXPECT_EQ(box.Sc({"qc", "Vela Scan"}).out, "BINARY_PATH_NAME : " + box.ServiceBinary() + "\n");
  EXPECT_EQ(box.Srv({"-install_noMsg"}).status, 1);

  ASSERT_EQ(box.Sc({"start", "Vela Scan"}).status, 0);
  EXPECT_EQ(box.Sc({"query", "Vela Scan"}).out, "STATE : 4\n");
  EXPECT_NE(box.ServiceProcess(), 0);
  const auto stop = box.Sc({"stop", "Vela Scan"});
  EXPECT_EQ(stop.status, 0);
  EXPECT_EQ(stop.err, "");
  EXPECT_TRUE(box.WaitForServiceEnd());  // it ends on the stop signal
  EXPECT_EQ(box.Sc({"query", "Vela Scan"}).out, "STATE : 1\n");
}

// As the real service does, the double keeps the settings database of its own
// folder open while it runs; it never makes one where there is none.
TEST(VelaScanSrv, KeepsTheDatabaseOfItsFolderOpenWhileItRuns) {
  ServiceSandbox box;
  const std::string db = box.dir.str() + "/srv/VelaScan.mdb";
  ASSERT_EQ(box.Sc({"create", "Vela Scan", box.ServiceBinary()}).status, 0);
  ASSERT_EQ(box.Sc({"start", "Vela Scan"}).status, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_FALSE(std::filesystem::exists(db));
  box.dir.Write("srv/VelaScan.mdb", "");
  const auto holds = [&] {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(box.ServiceProcess()) + "/fd")) {
      std::error_code error;
      if (std::filesystem::read_symlink(fd, error) == db) return true;
    }
    return false;
  };
  EXPECT_TRUE(test::WaitFor(holds));
}

TEST(VelaScanSrv, RegistersOnlyAfterItsDelay) {
  ServiceSandbox box;
  const auto before = std::chrono::steady_clock::now();
  ASSERT_EQ(box.Srv({"-install_noMsg"}, {{"VELASCANSRV_DELAY_MS", "300"}}).status, 0);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  EXPECT_EQ(box.Sc({"query", "Vela Scan"}).out, "STATE : 1\n");
}

TEST(VelaScanSrv, CanBeToldNeverToRegister) {
  ServiceSandbox box;
  EXPECT_EQ(box.Srv({"-install_noMsg"}, {{"VELASCANSRV_NO_REGISTER", "1"}}).status, 0);
  const auto query = box.Sc({"query", "Vela Scan"});
  EXPECT_EQ(query.status, 1);
  EXPECT_EQ(query.err, "ERROR: 1060\n");
}

using Commands = std::vector<std::vector<std::string>>;

struct ScCase {
  const char* name;
  Commands before;  // run first, each expected to succeed
  std::vector<std::string> command;
  int status;
  const char* out;
  const char* err;
  const char* stopMs = nullptr;  // how long the service takes to end once stopped; else the
                                 // test waits for its end before the command
};

class VelaScanScTest : public testing::TestWithParam<ScCase> {};

TEST_P(VelaScanScTest, AnswersAsTheServiceManagerDoes) {
  const auto& c = GetParam();
  ServiceSandbox box;
  ASSERT_EQ(box.Sc({"create", "svc", box.ServiceBinary()}).status, 0);
  std::map<std::string, std::optional<std::string>> env;
  if (c.stopMs) env["VELASCANSRV_STOP_MS"] = c.stopMs;
  for (const auto& command : c.before) {
    ASSERT_EQ(box.Sc(command, env).status, 0) << command[0];
    if (command[0] == "stop" && !c.stopMs) {
      ASSERT_TRUE(box.WaitForServiceEnd());
    }
  }
  const auto result = box.Sc(c.command, env);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, c.err);
}

const std::vector<std::string> kStart{"start", "svc"};
const std::vector<std::string> kDelete{"delete", "svc"};
const std::vector<std::string> kQuery{"query", "svc"};

INSTANTIATE_TEST_SUITE_P(
    VelaScanSc, VelaScanScTest,
    testing::Values(
        ScCase{"QueryMissing", {}, {"query", "other"}, 1, "", "ERROR: 1060\n"},
        ScCase{"NamesIgnoreCase", {}, {"query", "SVC"}, 0, "STATE : 1\n", ""},
        ScCase{"StartRunning", {kStart}, kStart, 1, "", "ERROR: 1056\n"},
        ScCase{"StopStopped", {}, {"stop", "svc"}, 1, "", "ERROR: 1062\n"},
        ScCase{"CreateExisting", {}, {"create", "svc", "/bin/true"}, 1, "", "ERROR: 1073\n"},
        ScCase{"DeleteStopped", {kDelete}, kQuery, 1, "", "ERROR: 1060\n"},
        ScCase{"DeletedWhileRunning", {kStart, kDelete}, kQuery, 0, "STATE : 4\n", ""},
        ScCase{"DeleteMarked", {kStart, kDelete}, kDelete, 1, "", "ERROR: 1072\n"},
        ScCase{"StartMarked", {kStart, kDelete}, kStart, 1, "", "ERROR: 1072\n"},
        ScCase{"CreateMarked", {kStart, kDelete}, {"create", "svc", "/bin/true"}, 1, "", "ERROR: 1072\n"},
        ScCase{"GoneOnceStopped", {kStart, kDelete, {"stop", "svc"}}, kQuery, 1, "", "ERROR: 1060\n"},
        ScCase{"DeniedStart", {{"deny", "svc", "start"}}, kStart, 1, "", "ERROR: 5\n"},
        ScCase{"DeniedQuery", {{"deny", "svc", "query"}}, kQuery, 1, "", "ERROR: 5\n"},
        ScCase{"DeniedConfig", {{"deny", "svc", "config"}}, {"qc", "svc"}, 1, "", "ERROR: 5\n"},
        ScCase{"DeniedDelete", {{"deny", "svc", "delete"}}, kDelete, 1, "", "ERROR: 5\n"},
        ScCase{"DeniedStop", {kStart, {"deny", "svc", "stop"}}, {"stop", "svc"}, 1, "", "ERROR: 5\n"},
        ScCase{"Allowed", {{"deny", "svc", "start"}, {"allow", "svc", "start"}}, kStart, 0, "", ""},
        ScCase{"DenialOutlivesTheService", {{"deny", "svc", "start"}, kDelete, {"create", "svc", "/bin/true"}},
               kStart, 1, "", "ERROR: 5\n"},
        ScCase{"SetState", {{"set-state", "svc", "6"}}, kQuery, 0, "STATE : 6\n", ""},
        ScCase{"SetStateEndsAtStart", {{"set-state", "svc", "6"}, kStart}, kQuery, 0, "STATE : 4\n", ""},
        ScCase{"SetStateEndsAtStop", {kStart, {"set-state", "svc", "7"}, {"stop", "svc"}}, kQuery, 0,
               "STATE : 1\n", ""},
        ScCase{"UnknownDenial", {}, {"deny", "svc", "pause"}, 1, "", "ERROR: 87\n"},
        // A stop request returns at once; the service is stop pending until its process has ended.
        ScCase{"StopPending", {kStart, {"stop", "svc"}}, kQuery, 0, "STATE : 3\n", "", "3000"},
        ScCase{"StopWhileStopping", {kStart, {"stop", "svc"}}, {"stop", "svc"}, 1, "", "ERROR: 1061\n", "3000"},
        ScCase{"DeleteWhileStopping", {kStart, {"stop", "svc"}, kDelete}, kQuery, 0, "STATE : 3\n", "", "3000"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu
