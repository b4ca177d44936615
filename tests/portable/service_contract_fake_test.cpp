// The fake service manager answers the contract as the real ones do.

#include "support/fakes.h"
#include "support/service_contract.h"

namespace vsu::test {
namespace {

class FakeBackend : public ServiceBackend {
 public:
  FakeBackend() { scm_.installed = false; }
  ServiceManager& Manager() override { return scm_; }
  void Register() override { scm_.installed = true; }
  std::string Name() override { return "Vela Scan"; }

 private:
  FakeServiceManager scm_;
};

INSTANTIATE_TEST_SUITE_P(Fake, ServiceContract,
                         ::testing::Values(ServiceBackendMaker{"fake", [] { return std::make_unique<FakeBackend>(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsu::test
