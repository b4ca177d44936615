#include "support/fake_service_manager.h"

#include <cstring>

namespace vsu::test {

bool FakeServiceManager::Result(std::uint32_t code) {
  lastError_ = code;
  return code == 0;
}

void FakeServiceManager::CheckService(ScHandle service, const char* call) {
  const auto found = handles_.find(service);
  if (found == handles_.end() || found->second.manager == 0) faults.push_back(std::string(call) + " on a bad handle");
}

ScHandle FakeServiceManager::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) {
  calls.push_back("OpenSCManagerA " + std::to_string(access));
  if (machine || database) faults.push_back("OpenSCManagerA names a machine or database");
  if (!Result(openManagerError)) return 0;
  handles_[next_] = Handle{};
  return next_++;
}

ScHandle FakeServiceManager::OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) {
  calls.push_back("OpenServiceA " + std::string(name) + " " + std::to_string(access));
  const auto found = handles_.find(manager);
  if (found == handles_.end() || found->second.manager != 0) faults.push_back("OpenServiceA on a bad handle");
  if (!Result(openServiceError)) return 0;
  handles_[next_] = Handle{manager};
  return next_++;
}

bool FakeServiceManager::QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) {
  calls.push_back("QueryServiceStatus");
  CheckService(service, "QueryServiceStatus");
  if (beforeQueryStatus) beforeQueryStatus();
  if (queryStatusFails) return Result(kErrorAccessDenied);
  status->dwCurrentState = state;
  return Result(0);
}

bool FakeServiceManager::QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                             std::uint32_t* needed) {
  calls.push_back("QueryServiceConfigA " + std::to_string(size));
  CheckService(service, "QueryServiceConfigA");
  // Touches the whole buffer, so a buffer smaller than its stated size shows under the sanitizer.
  std::memset(buffer, 0x5A, size);
  const std::size_t call = configCalls_++;
  if (call < configErrors.size() && configErrors[call] != 0) return Result(configErrors[call]);
  if (size < configNeeded) {
    *needed = configNeeded;
    return Result(kErrorBufferTooSmall);
  }
  return Result(0);
}

bool FakeServiceManager::ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord*) {
  calls.push_back("ControlService " + std::to_string(control));
  CheckService(service, "ControlService");
  return Result(controlError);
}

bool FakeServiceManager::DeleteService(ScHandle service) {
  calls.push_back("DeleteService");
  CheckService(service, "DeleteService");
  return Result(deleteError);
}

bool FakeServiceManager::StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) {
  calls.push_back("StartServiceA " + std::to_string(argc) + (argv ? " with arguments" : ""));
  CheckService(service, "StartServiceA");
  return Result(startError);
}

bool FakeServiceManager::CloseServiceHandle(ScHandle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) {
    faults.push_back("closed a handle that is not open");
    return Result(6);
  }
  const bool isManager = found->second.manager == 0;
  calls.push_back(isManager ? "Close manager" : "Close service");
  if (isManager) {
    for (const auto& [other, entry] : handles_) {
      if (entry.manager == handle) faults.push_back("manager closed before a service opened through it");
    }
  }
  handles_.erase(found);
  return Result(0);
}

}  // namespace vsu::test
