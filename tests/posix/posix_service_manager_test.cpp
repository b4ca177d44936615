// What the command-line tests of velascan-sc cannot reach: processes that die
// or ignore the stop signal, the configuration buffer and several processes
// at once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/posix/posix_service_manager.h"
#include "platform/posix/proc_fs.h"
#include "service/sc_handle.h"
#include "support/posix/process_tools.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

using namespace std::chrono_literals;
using posix::PosixServiceManager;

class PosixServiceManagerTest : public testing::Test {
 protected:
  PosixServiceManagerTest() {
    // Copies of their own, so that this test's service processes can be told from all others.
    std::filesystem::copy_file("/bin/sleep", sleeper);
    std::filesystem::copy_file("/bin/sh", shell);
  }
  ~PosixServiceManagerTest() override {
    test::KillProcessesOf(sleeper);
    test::KillProcessesOf(shell);
  }

  // Opens svc with access and makes call: 0, or the code of the open or call that failed.
  std::uint32_t On(std::uint32_t access, const std::function<bool(ScHandle)>& call) {
    const ScopedScHandle manager(scm, scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess));
    const ScopedScHandle service(scm, scm.OpenServiceA(manager.get(), "svc", access));
    if (!service) return scm.GetLastError();
    return call(service.get()) ? 0 : scm.GetLastError();
  }
  // The reported state, or the failure's code as a negative number.
  long State() {
    ServiceStatusRecord status{};
    const auto code = On(kServiceQueryStatusAccess, [&](ScHandle s) { return scm.QueryServiceStatus(s, &status); });
    return code ? -static_cast<long>(code) : static_cast<long>(status.dwCurrentState);
  }
  std::uint32_t Start() { return On(kServiceStartAccess, [&](ScHandle s) { return scm.StartServiceA(s, 0, nullptr); }); }
  std::uint32_t Stop() {
    ServiceStatusRecord status{};
    return On(kServiceStopAccess, [&](ScHandle s) { return scm.ControlService(s, kStopControl, &status); });
  }
  // Ends the service's process behind the manager's back.
  void KillSleeper() {
    const int pid = test::ProcessOf(sleeper);
    ASSERT_GT(pid, 0);  // kill(0) would hit this whole process group
    ::kill(pid, SIGKILL);
  }

  test::TempDir dir;
  const std::string sleeper = dir.str() + "/svc-sleep";
  const std::string shell = dir.str() + "/svc-sh";
  PosixServiceManager scm{dir.str() + "/scm"};
};

TEST_F(PosixServiceManagerTest, AServiceWhoseProcessDiedIsStoppedOrGoneWhenMarked) {
  ASSERT_EQ(scm.CreateService("svc", sleeper, {"600"}), 0u);
  ASSERT_EQ(Start(), 0u);
  KillSleeper();
  EXPECT_TRUE(test::WaitFor([&] { return State() == 1; }));
  ASSERT_EQ(Start(), 0u);
  ASSERT_EQ(On(kServiceDeleteAccess, [&](ScHandle s) { return scm.DeleteService(s); }), 0u);
  EXPECT_EQ(State(), 4);
  KillSleeper();
  EXPECT_TRUE(test::WaitFor([&] { return State() == -1060; }));
}

// The stop request only asks, as on Windows: a service whose process takes its
// time is stop pending meanwhile, and a deletion waits for its end.
TEST_F(PosixServiceManagerTest, AStopReturnsAtOnceAndTheServiceIsStopPendingUntilItsProcessEnds) {
  // The marker tells that the shell ignores the signal by now.
  const std::string ready = dir.str() + "/ready";
  ASSERT_EQ(scm.CreateService("svc", shell, {"-c", "trap '' TERM; : > " + ready + "; while :; do sleep 1; done"}), 0u);
  ASSERT_EQ(Start(), 0u);
  ASSERT_TRUE(test::WaitFor([&] { return std::filesystem::exists(ready); }));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(Stop(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
  EXPECT_EQ(State(), 3);
  EXPECT_EQ(Stop(), posix::kErrorServiceBusy);
  EXPECT_EQ(Start(), kErrorServiceRunning);
  const auto remove = [&](ScHandle s) { return scm.DeleteService(s); };
  EXPECT_EQ(On(kServiceDeleteAccess, remove), 0u);
  EXPECT_EQ(On(kServiceDeleteAccess, remove), kErrorServiceMarkedForDeletion);
  EXPECT_EQ(Start(), kErrorServiceMarkedForDeletion);
  EXPECT_EQ(scm.CreateService("svc", sleeper, {}), kErrorServiceMarkedForDeletion);
  EXPECT_EQ(State(), 3);
  ::kill(test::ProcessOf(shell), SIGKILL);
  EXPECT_TRUE(test::WaitFor([&] { return State() == -1060; }));
}

// Another program holding the store is waited for, but not for long.
TEST_F(PosixServiceManagerTest, AStoreHeldByAnotherProgramFailsTheCallAfterAboutTwoSeconds) {
  ASSERT_EQ(scm.CreateService("svc", sleeper, {}), 0u);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((dir.str() + "/scm/services.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  PosixServiceManager blocked(dir.str() + "/scm");
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(blocked.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess), 0u);
  EXPECT_EQ(blocked.GetLastError(), 1722u);
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, 1500ms);
  EXPECT_LT(waited, 4s);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(State(), 1);
}

// Several processes change the database at once: none may find it locked,
// and exactly one may create a name they all ask for.
TEST_F(PosixServiceManagerTest, IsSafeToUseFromSeveralProcessesAtOnce) {
  constexpr int kProcesses = 4;
  constexpr int kRounds = 15;
  std::vector<pid_t> children;
  for (int child = 0; child < kProcesses; ++child) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      PosixServiceManager own(dir.str() + "/scm");
      int result = own.CreateService("svc", sleeper, {}) == 0 ? 10 : 0;
      for (int round = 0; round < kRounds; ++round) {
        const std::string name = "svc-" + std::to_string(child) + "-" + std::to_string(round);
        if (own.CreateService(name, sleeper, {}) != 0 || own.SetState(name, 3) != 0) result |= 1;
      }
      ::_exit(result);
    }
    children.push_back(pid);
  }
  int created = 0;
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status) % 10, 0);
    created += WEXITSTATUS(status) / 10;
  }
  EXPECT_EQ(created, 1);
  for (int child = 0; child < kProcesses; ++child) {
    for (int round = 0; round < kRounds; ++round) {
      EXPECT_EQ(scm.SetState("svc-" + std::to_string(child) + "-" + std::to_string(round), 3), 0u);
    }
  }
}

}  // namespace
}  // namespace vsu
