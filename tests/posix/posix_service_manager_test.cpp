// The Linux service manager: the contract with the service double as the service, a held store, several processes.

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/posix_service_manager.h"
#include "support/posix/process_tools.h"
#include "support/posix/service_sandbox.h"
#include "support/posix/temp_dir.h"
#include "support/service_contract.h"
#include "support/testing.h"

namespace vsu::test { namespace {

using namespace std::chrono_literals;
using posix::PosixServiceManager;

class PosixBackend : public ServiceBackend {
 public:
  PosixBackend() { fs::copy_file(BinPath("VelaScanSrv"), binary_); }
  ~PosixBackend() override { KillProcessesOf(binary_); }
  ServiceManager& Manager() override { return scm_; }
  void Register() override { ASSERT_EQ(scm_.CreateService(Name(), binary_, {}), 0u); }
  std::string Name() override { return "contract"; }

 private:
  TempDir dir_;
  const std::string binary_ = dir_.str() + "/VelaScanSrv";
  PosixServiceManager scm_{dir_.str() + "/scm"};
};

INSTANTIATE_TEST_SUITE_P(
    Posix, ServiceContract,
    ::testing::Values(ServiceBackendMaker{"stand_in", [] { return std::make_unique<PosixBackend>(); }}), CaseName());

// Another program holding the store is waited for, but not for long; several processes share it safely.
TEST(PosixServiceManager, AHeldStoreFailsTheCallAfterAboutTwoSecondsAndProcessesShareIt) {
  TempDir dir;
  PosixServiceManager scm(dir.str() + "/scm");
  ASSERT_EQ(scm.CreateService("svc", "/bin/true", {}), 0u);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((dir.str() + "/scm/services.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess), 0u);
  EXPECT_EQ(scm.GetLastError(), 1722u);
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, 1500ms);
  EXPECT_LT(waited, 4s);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(scm.SetState("svc", 3), 0u);
  // No process of several at once finds the store locked, and exactly one creates a name they all ask for.
  constexpr int kProcesses = 4, kRounds = 15;
  std::vector<pid_t> children;
  for (int child = 0; child < kProcesses; ++child) {
    if (const pid_t pid = ::fork(); pid != 0) {
      children.push_back(pid);
      continue;
    }
    PosixServiceManager own(dir.str() + "/shared");
    int result = own.CreateService("svc", "/bin/true", {}) == 0 ? 10 : 0;
    for (int round = 0; round < kRounds; ++round) {
      const std::string name = "svc-" + std::to_string(child) + "-" + std::to_string(round);
      if (own.CreateService(name, "/bin/true", {}) != 0 || own.SetState(name, 3) != 0) result |= 1;
    }
    ::_exit(result);
  }
  int created = 0;
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status) % 10, 0);
    created += WEXITSTATUS(status) / 10;
  }
  EXPECT_EQ(created, 1);
  PosixServiceManager shared(dir.str() + "/shared");
  for (int child = 0; child < kProcesses; ++child) {
    for (int round = 0; round < kRounds; ++round) {
      EXPECT_EQ(shared.SetState("svc-" + std::to_string(child) + "-" + std::to_string(round), 3), 0u);
    }
  }
}

}}  // namespace vsu::test
