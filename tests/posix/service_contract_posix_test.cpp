// The Linux stand-in answers the service contract, with the service double as the service.

#include <filesystem>

#include "platform/posix/posix_service_manager.h"
#include "support/posix/process_tools.h"
#include "support/posix/service_sandbox.h"
#include "support/posix/temp_dir.h"
#include "support/service_contract.h"

namespace vsu::test {
namespace {

class PosixBackend : public ServiceBackend {
 public:
  PosixBackend() { std::filesystem::copy_file(BinPath("VelaScanSrv"), binary_); }
  ~PosixBackend() override { KillProcessesOf(binary_); }
  ServiceManager& Manager() override { return scm_; }
  void Register() override { ASSERT_EQ(scm_.CreateService(Name(), binary_, {}), 0u); }
  std::string Name() override { return "contract"; }

 private:
  TempDir dir_;
  const std::string binary_ = dir_.str() + "/VelaScanSrv";
  posix::PosixServiceManager scm_{dir_.str() + "/scm"};
};

INSTANTIATE_TEST_SUITE_P(Posix, ServiceContract,
                         ::testing::Values(ServiceBackendMaker{"stand_in", [] { return std::make_unique<PosixBackend>(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu::test
