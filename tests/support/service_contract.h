#pragma once
// What every service manager (the fake, the Linux stand-in, Windows' own) must answer alike.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/service_manager.h"

namespace vsu::test {

class ServiceBackend {
 public:
  virtual ~ServiceBackend() = default;
  virtual ServiceManager& Manager() = 0;
  // Registers the service Name(), stopped; started, it runs until it is stopped.
  virtual void Register() = 0;
  // A name of this test's own, so that runs side by side never meet.
  virtual std::string Name() = 0;
};

struct ServiceBackendMaker {
  const char* name;
  std::function<std::unique_ptr<ServiceBackend>()> make;
};

class ServiceContract : public ::testing::TestWithParam<ServiceBackendMaker> {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Opens the service with access; 0 and the code when the manager refuses.
  ScHandle Open(std::uint32_t access);
  // The service's state, 0 when it cannot be read.
  std::uint32_t State();
  // Waits, a few seconds at most, until the service's state is state.
  bool Reaches(std::uint32_t state);

  std::unique_ptr<ServiceBackend> backend_;
  ServiceManager* scm_ = nullptr;
  ScHandle manager_ = 0;
};

}  // namespace vsu::test
