#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/posix/posix_service_manager.h"
#include "platform/posix/proc_fs.h"
#include "service/sc_handle.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace vsu {
namespace {

using namespace std::chrono_literals;
using posix::PosixServiceManager;

constexpr std::uint32_t kAll = SERVICE_ALL_ACCESS;

class PosixServiceManagerTest : public testing::Test {
 protected:
  PosixServiceManagerTest() {
    // Copies of their own, so that the processes of this test can be told from all others.
    std::filesystem::copy_file("/bin/sleep", sleeper);
    std::filesystem::copy_file("/bin/sh", shell);
  }
  ~PosixServiceManagerTest() override {
    test::KillProcessesOf(sleeper);
    test::KillProcessesOf(shell);
  }

  // Opens name with access and makes call; 0, or the code of the open or the call that failed.
  std::uint32_t On(const std::string& name, std::uint32_t access, const std::function<bool(ScHandle)>& call) {
    const ScopedScHandle manager(scm, scm.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return scm.GetLastError();
    const ScopedScHandle service(scm, scm.OpenServiceA(manager.get(), name.c_str(), access));
    if (!service) return scm.GetLastError();
    return call(service.get()) ? 0 : scm.GetLastError();
  }
  // The reported state, or the code of the failure as a negative number.
  long State(const std::string& name = "svc") {
    ServiceStatusRecord status{};
    const auto code = On(name, SERVICE_QUERY_STATUS, [&](ScHandle s) { return scm.QueryServiceStatus(s, &status); });
    return code ? -static_cast<long>(code) : static_cast<long>(status.dwCurrentState);
  }
  std::uint32_t Start(const std::string& name = "svc") {
    return On(name, SERVICE_START, [&](ScHandle s) { return scm.StartServiceA(s, 0, nullptr); });
  }
  std::uint32_t Stop(const std::string& name = "svc") {
    ServiceStatusRecord status{};
    return On(name, SERVICE_STOP, [&](ScHandle s) { return scm.ControlService(s, SERVICE_CONTROL_STOP, &status); });
  }
  std::uint32_t Delete(const std::string& name = "svc") {
    return On(name, posix::DELETE_ACCESS, [&](ScHandle s) { return scm.DeleteService(s); });
  }
  std::uint32_t CreateSleeper(const std::string& name = "svc") { return scm.CreateService(name, sleeper, {"600"}); }
  // The service's process, found by its executable.
  pid_t ProcessOf(const std::string& path) {
    for (const pid_t pid : posix::ListProcessIds()) {
      if (posix::ExecutablePath(pid) == path && posix::IsAlive(pid)) return pid;
    }
    return 0;
  }

  test::TempDir dir;
  const std::string sleeper = dir.str() + "/svc-sleep";
  const std::string shell = dir.str() + "/svc-sh";
  PosixServiceManager scm{dir.str() + "/scm", 300ms};
};

TEST_F(PosixServiceManagerTest, StartsStopsAndDeletesARealProcess) {
  EXPECT_EQ(State(), -1060);
  ASSERT_EQ(CreateSleeper(), 0u);
  EXPECT_EQ(CreateSleeper("SVC"), posix::ERROR_SERVICE_EXISTS);
  EXPECT_EQ(State("SVC"), 1);
  EXPECT_EQ(Stop(), ERROR_SERVICE_NOT_ACTIVE);
  ASSERT_EQ(Start(), 0u);
  EXPECT_EQ(State(), 4);
  const pid_t pid = ProcessOf(sleeper);
  ASSERT_NE(pid, 0);
  EXPECT_EQ(Start(), ERROR_SERVICE_ALREADY_RUNNING);
  EXPECT_EQ(Stop(), 0u);
  EXPECT_FALSE(posix::IsAlive(pid));
  EXPECT_EQ(State(), 1);
  EXPECT_EQ(Delete(), 0u);
  EXPECT_EQ(State(), -1060);
  EXPECT_EQ(Delete(), ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST_F(PosixServiceManagerTest, ARunningServiceDeletedDisappearsWhenItStops) {
  ASSERT_EQ(CreateSleeper(), 0u);
  ASSERT_EQ(Start(), 0u);
  EXPECT_EQ(Delete(), 0u);
  EXPECT_EQ(State(), 4);
  EXPECT_EQ(Delete(), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(Start(), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(CreateSleeper(), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(Stop(), 0u);
  EXPECT_EQ(State(), -1060);
  EXPECT_EQ(CreateSleeper(), 0u);
}

TEST_F(PosixServiceManagerTest, AServiceWhoseProcessDiedIsStopped) {
  ASSERT_EQ(CreateSleeper(), 0u);
  ASSERT_EQ(Start(), 0u);
  ::kill(ProcessOf(sleeper), SIGKILL);
  EXPECT_TRUE(test::WaitFor([&] { return State() == 1; }));
  EXPECT_EQ(Start(), 0u);
  EXPECT_EQ(Delete(), 0u);
  ::kill(ProcessOf(sleeper), SIGKILL);
  EXPECT_TRUE(test::WaitFor([&] { return State() == -1060; }));
}

TEST_F(PosixServiceManagerTest, AServiceThatIgnoresTheStopSignalIsKilled) {
  ASSERT_EQ(scm.CreateService("svc", shell, {"-c", "trap '' TERM; while :; do sleep 1; done"}), 0u);
  ASSERT_EQ(Start(), 0u);
  ASSERT_TRUE(test::WaitFor([&] { return ProcessOf(shell) != 0; }));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(Stop(), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - before, 300ms);
  EXPECT_EQ(State(), 1);
}

TEST_F(PosixServiceManagerTest, StartReportsAProgramThatCannotRun) {
  dir.Write("data.txt", "text");
  ASSERT_EQ(scm.CreateService("missing", dir.str() + "/none", {}), 0u);
  ASSERT_EQ(scm.CreateService("data", dir.str() + "/data.txt", {}), 0u);
  EXPECT_EQ(Start("missing"), 2u);
  EXPECT_EQ(Start("data"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(State("missing"), 1);
}

struct DenialCase {
  const char* operation;
  std::uint32_t stateCode;  // what each call yields while the operation is denied
  std::uint32_t configCode;
  std::uint32_t stopCode;
  std::uint32_t deleteCode;
  std::uint32_t startCode;
};
void PrintTo(const DenialCase& c, std::ostream* out) { *out << c.operation; }

class DenialTest : public PosixServiceManagerTest, public testing::WithParamInterface<DenialCase> {};

// Each call is made through an all-access handle, as ServiceRemove makes its
// stop request and delete: only the denied call fails.
TEST_P(DenialTest, FailsOnlyTheDeniedCallAndOutlivesTheService) {
  const auto& c = GetParam();
  ASSERT_EQ(scm.Deny("svc", c.operation, true), 0u);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(CreateSleeper(), 0u);
    std::uint32_t needed = 0;
    char config[512];
    ServiceStatusRecord status{};
    EXPECT_EQ(On("svc", kAll, [&](ScHandle s) { return scm.QueryServiceStatus(s, &status); }), c.stateCode);
    EXPECT_EQ(On("svc", kAll, [&](ScHandle s) { return scm.QueryServiceConfigA(s, config, 512, &needed); }),
              c.configCode);
    EXPECT_EQ(On("svc", kAll, [&](ScHandle s) { return scm.StartServiceA(s, 0, nullptr); }), c.startCode);
    EXPECT_EQ(On("svc", kAll, [&](ScHandle s) { return scm.ControlService(s, SERVICE_CONTROL_STOP, &status); }),
              c.startCode == 0 ? c.stopCode : ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_EQ(On("svc", kAll, [&](ScHandle s) { return scm.DeleteService(s); }), c.deleteCode);
    // Clears the way for the next round.
    ASSERT_EQ(scm.Deny("svc", c.operation, false), 0u);
    Stop();
    Delete();
    ASSERT_EQ(scm.Deny("svc", c.operation, true), 0u);
  }
  ASSERT_EQ(scm.Deny("svc", c.operation, false), 0u);
}

INSTANTIATE_TEST_SUITE_P(PosixServiceManager, DenialTest,
                         testing::Values(DenialCase{"query", 5, 0, 0, 0, 0}, DenialCase{"config", 0, 5, 0, 0, 0},
                                         DenialCase{"stop", 0, 0, 5, 0, 0}, DenialCase{"delete", 0, 0, 0, 5, 0},
                                         DenialCase{"start", 0, 0, 0, 0, 5}),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(PosixServiceManagerTest, UnknownDenialIsRefused) {
  EXPECT_EQ(scm.Deny("svc", "pause", true), posix::ERROR_INVALID_PARAMETER);
}

TEST_F(PosixServiceManagerTest, CallsNeedTheAccessTheHandleWasOpenedWith) {
  ASSERT_EQ(CreateSleeper(), 0u);
  ServiceStatusRecord status{};
  EXPECT_EQ(On("svc", SERVICE_QUERY_STATUS, [&](ScHandle s) { return scm.StartServiceA(s, 0, nullptr); }), 5u);
  EXPECT_EQ(On("svc", SERVICE_START, [&](ScHandle s) { return scm.QueryServiceStatus(s, &status); }), 5u);
  EXPECT_EQ(On("svc", SERVICE_STOP | SERVICE_START, [&](ScHandle s) { return scm.DeleteService(s); }), 5u);
  EXPECT_EQ(State(), 1);
}

TEST_F(PosixServiceManagerTest, HandlesAreCheckedAndClosedOnce) {
  const ScHandle manager = scm.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  ASSERT_NE(manager, 0u);
  EXPECT_EQ(scm.OpenServiceA(manager + 100, "svc", kAll), 0u);
  EXPECT_EQ(scm.GetLastError(), posix::ERROR_INVALID_HANDLE);
  ServiceStatusRecord status{};
  EXPECT_FALSE(scm.QueryServiceStatus(manager, &status));
  EXPECT_EQ(scm.GetLastError(), posix::ERROR_INVALID_HANDLE);
  EXPECT_TRUE(scm.CloseServiceHandle(manager));
  EXPECT_FALSE(scm.CloseServiceHandle(manager));
}

TEST_F(PosixServiceManagerTest, ConfigurationNeedsRoomForItsTexts) {
  ASSERT_EQ(CreateSleeper("Vela Scan"), 0u);
  std::vector<char> buffer(kServiceConfigRecordSize);
  std::uint32_t needed = 0;
  const auto query = [&](ScHandle s) {
    return scm.QueryServiceConfigA(s, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &needed);
  };
  EXPECT_EQ(On("Vela Scan", SERVICE_QUERY_CONFIG, query), ERROR_INSUFFICIENT_BUFFER);
  // The record, the path, an empty group, an empty dependency list, the account and the display name.
  EXPECT_EQ(needed, 36 + sleeper.size() + 1 + 1 + 2 + 12 + 10);
  buffer.resize(needed);
  ASSERT_EQ(On("Vela Scan", SERVICE_QUERY_CONFIG, query), 0u);
  posix::ServiceConfigRecord record;
  std::memcpy(&record, buffer.data(), sizeof record);
  EXPECT_STREQ(buffer.data() + record.lpBinaryPathName, sleeper.c_str());
  EXPECT_STREQ(buffer.data() + record.lpDisplayName, "Vela Scan");
}

TEST_F(PosixServiceManagerTest, ASetStateHoldsUntilTheNextStartOrStop) {
  ASSERT_EQ(CreateSleeper(), 0u);
  EXPECT_EQ(scm.SetState("svc", 8), posix::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(scm.SetState("other", 3), ERROR_SERVICE_DOES_NOT_EXIST);
  ASSERT_EQ(scm.SetState("svc", 2), 0u);
  EXPECT_EQ(State(), 2);
  ASSERT_EQ(Start(), 0u);
  EXPECT_EQ(State(), 4);
  ASSERT_EQ(scm.SetState("svc", 7), 0u);
  EXPECT_EQ(State(), 7);
  EXPECT_EQ(Stop(), 0u);
  EXPECT_EQ(State(), 1);
  ASSERT_EQ(scm.SetState("svc", 3), 0u);
  EXPECT_EQ(Stop(), ERROR_SERVICE_NOT_ACTIVE);
  EXPECT_EQ(State(), 1);
}

// Several processes change the database at once; none may see it locked or
// lose another's change.
TEST_F(PosixServiceManagerTest, IsSafeToUseFromSeveralProcessesAtOnce) {
  constexpr int kProcesses = 4;
  constexpr int kRounds = 15;
  std::vector<pid_t> children;
  for (int child = 0; child < kProcesses; ++child) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      PosixServiceManager own(dir.str() + "/scm");
      int result = own.CreateService("shared", sleeper, {}) == 0 ? 10 : 0;
      for (int round = 0; round < kRounds; ++round) {
        const std::string name = "svc-" + std::to_string(child) + "-" + std::to_string(round);
        if (own.CreateService(name, sleeper, {}) != 0 || own.SetState(name, 3) != 0) result |= 1;
        if (round % 2 == 0 && own.Deny(name, "stop", true) != 0) result |= 1;
      }
      ::_exit(result);
    }
    children.push_back(pid);
  }
  int created = 0;
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status) % 10, 0);
    created += WEXITSTATUS(status) / 10;
  }
  EXPECT_EQ(created, 1);
  for (int child = 0; child < kProcesses; ++child) {
    for (int round = 0; round < kRounds; ++round) {
      EXPECT_EQ(State("svc-" + std::to_string(child) + "-" + std::to_string(round)), 3);
    }
  }
}

}  // namespace
}  // namespace vsu
