// The service double and velascan-sc driving the Linux service manager, one command after another.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/posix/service_sandbox.h"

namespace vsu {
namespace {

using Clock = std::chrono::steady_clock;

struct Step {
  std::vector<std::string> args;  // velascan-sc's, or "srv" and the double's, or "kill" its process
  std::string output;             // stdout and stderr; the status is 1 exactly when it holds an error
  test::Env env = {};
  bool wait = false;              // the service's process ends in its own time, so the answer comes later
};

TEST(ServiceTools, AnswerAsTheServiceManagerDoes) {
  test::ServiceSandbox box;
  const std::string srv = box.ServiceBinary(), db = box.dir.str() + "/srv/VelaScan.mdb";
  const Step steps[] = {
      {{"srv", "-install_noMsg"}, "", {{"VELASCANSRV_NO_REGISTER", "1"}}},
      {{"query", "Vela Scan"}, "ERROR: 1060\n"},
      {{"srv", "-install_noMsg"}, "", {{"VELASCANSRV_DELAY_MS", "300"}}},
      {{"srv", "-install_noMsg"}, "VelaScanSrv: ERROR: 1073\n"},
      {{"qc", "VELA SCAN"}, "BINARY_PATH_NAME : " + srv + "\n"},
      {{"deny", "Vela Scan", "pause"}, "ERROR: 87\n"},
      {{"deny", "Vela Scan", "start"}, ""},
      {{"start", "Vela Scan"}, "ERROR: 5\n"},
      {{"allow", "Vela Scan", "start"}, ""},
      {{"start", "Vela Scan"}, ""},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "STATE : 1\n", {}, true},
      {{"start", "Vela Scan"}, ""},
      {{"delete", "Vela Scan"}, ""},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 1060\n", {}, true},
      {{"create", "Vela Scan", srv}, ""},
      {{"start", "Vela Scan"}, "", {{"VELASCANSRV_STOP_MS", "3000"}}},
      {{"holds"}, ""},
      {{"stop", "Vela Scan"}, ""},
      {{"query", "Vela Scan"}, "STATE : 3\n"},
      {{"stop", "Vela Scan"}, "ERROR: 1061\n"},
      {{"delete", "Vela Scan"}, ""},
      {{"delete", "Vela Scan"}, "ERROR: 1072\n"},
      {{"start", "Vela Scan"}, "ERROR: 1072\n"},
      {{"create", "Vela Scan", srv}, "ERROR: 1072\n"},
      {{"kill"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 1060\n", {}, true},
      {{"create", "Vela Scan", srv}, ""},
      {{"deny", "Vela Scan", "query"}, ""},
      {{"query", "Vela Scan"}, "ERROR: 5\n"},
      {{"deny", "Vela Scan", "config"}, ""},
      {{"qc", "Vela Scan"}, "ERROR: 5\n"}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.args[0] + " " + (step.args.size() > 1 ? step.args[1] : "") + " -> " + step.output);
    const auto start = Clock::now();
    if (step.args[0] == "kill") {
      const int pid = box.ServiceProcess();
      ASSERT_GT(pid, 0);
      test::KillProcessesOf(srv);
      continue;
    }
    if (step.args[0] == "holds") {
      // The double keeps the database of its own folder open while it runs, and never makes one.
      EXPECT_FALSE(std::filesystem::exists(db));
      box.dir.Write("srv/VelaScan.mdb", "");
      EXPECT_TRUE(test::WaitFor([&] {
        std::error_code e;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(box.ServiceProcess()) + "/fd", e))
          if (std::filesystem::read_symlink(fd, e) == db) return true;
        return false;
      }));
      continue;
    }
    test::ProgramResult result;
    const bool answered = test::WaitFor([&] {
      result = step.args[0] == "srv" ? box.Srv({step.args.begin() + 1, step.args.end()}, step.env)
                                     : box.Sc(step.args, step.env);
      return !step.wait || result.out + result.err == step.output;
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(result.out + result.err, step.output);
    EXPECT_EQ(result.status, step.output.find("ERROR") != std::string::npos ? 1 : 0);
    EXPECT_EQ(result.err.empty(), result.status == 0);
    if (step.env.contains("VELASCANSRV_DELAY_MS")) { EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300)); }
  }
}

}  // namespace
}  // namespace vsu
