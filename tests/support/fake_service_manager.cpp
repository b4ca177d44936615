#include "support/fake_service_manager.h"

#include <cstring>

namespace vsu::test {

namespace {
constexpr std::uint32_t kStopped = 1, kStopPending = 3, kRunning = 4;
constexpr std::uint32_t kErrorBadHandle = 6, kErrorServiceBusy = 1061, kErrorServiceExists = 1073;
}  // namespace

bool FakeServiceManager::Result(std::uint32_t code) {
  lastError_ = code;
  return code == 0;
}

std::uint32_t FakeServiceManager::Refusal(ScHandle service, const char* call, std::uint32_t access,
                                          std::uint32_t scripted) {
  const auto found = handles_.find(service);
  if (found == handles_.end() || found->second.manager == 0) {
    faults.push_back(std::string(call) + " on a bad handle");
    return kErrorBadHandle;
  }
  if ((found->second.access & access) != access) return kErrorAccessDenied;
  return scripted;
}

void FakeServiceManager::Stopped() {
  state = kStopped;
  if (marked) installed = marked = false;
}

ScHandle FakeServiceManager::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) {
  calls.push_back("OpenSCManagerA " + std::to_string(access));
  if (machine || database) faults.push_back("OpenSCManagerA names a machine or database");
  if (!Result(openManagerError)) return 0;
  handles_[next_] = Handle{0, access};
  return next_++;
}

ScHandle FakeServiceManager::OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) {
  calls.push_back("OpenServiceA " + std::string(name) + " " + std::to_string(access));
  const auto found = handles_.find(manager);
  if (found == handles_.end() || found->second.manager != 0) faults.push_back("OpenServiceA on a bad handle");
  if (!Result(openServiceError ? openServiceError : installed ? 0 : kErrorNoSuchService)) return 0;
  handles_[next_] = Handle{manager, access};
  return next_++;
}

bool FakeServiceManager::QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) {
  calls.push_back("QueryServiceStatus");
  if (beforeQueryStatus) beforeQueryStatus();
  if (const auto code = Refusal(service, "QueryServiceStatus", kServiceQueryStatusAccess,
                                queryStatusFails ? kErrorAccessDenied : 0)) {
    return Result(code);
  }
  *status = ServiceStatusRecord{};
  status->dwCurrentState = state;
  return Result(0);
}

bool FakeServiceManager::QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                             std::uint32_t* needed) {
  calls.push_back("QueryServiceConfigA " + std::to_string(size));
  std::memset(buffer, 0x5A, size);
  const std::size_t call = configCalls_++;
  const std::uint32_t scripted = call < configErrors.size() ? configErrors[call] : 0;
  if (const auto code = Refusal(service, "QueryServiceConfigA", kServiceQueryConfigAccess, scripted)) {
    return Result(code);
  }
  const auto texts = registration.binaryPath.size() + registration.displayName.size() + 16;
  const auto wanted = configNeeded ? configNeeded : kServiceConfigRecordSize + static_cast<std::uint32_t>(texts);
  if (size < wanted) {
    *needed = wanted;
    return Result(kErrorBufferTooSmall);
  }
  return Result(0);
}

bool FakeServiceManager::ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) {
  calls.push_back("ControlService " + std::to_string(control));
  if (const auto code = Refusal(service, "ControlService", kServiceStopAccess, controlError)) return Result(code);
  if (state == kStopped) return Result(kErrorServiceNotRunning);
  if (state == kStopPending) return Result(kErrorServiceBusy);
  Stopped();
  if (status) status->dwCurrentState = state;
  return Result(0);
}

bool FakeServiceManager::DeleteService(ScHandle service) {
  calls.push_back("DeleteService");
  if (const auto code = Refusal(service, "DeleteService", kServiceDeleteAccess, deleteError)) return Result(code);
  if (marked) return Result(kErrorServiceMarkedForDeletion);
  marked = true;
  if (state == kStopped) Stopped();
  return Result(0);
}

bool FakeServiceManager::StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) {
  calls.push_back("StartServiceA " + std::to_string(argc) + (argv ? " with arguments" : ""));
  if (const auto code = Refusal(service, "StartServiceA", kServiceStartAccess, startError)) return Result(code);
  if (marked) return Result(kErrorServiceMarkedForDeletion);
  if (state != kStopped) return Result(kErrorServiceRunning);
  state = kRunning;
  return Result(0);
}

bool FakeServiceManager::CloseServiceHandle(ScHandle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) {
    faults.push_back("closed a handle that is not open");
    return Result(kErrorBadHandle);
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

bool FakeServiceManager::ReadServiceRegistration(ScHandle service, ServiceRegistration* out) {
  calls.push_back("ReadServiceRegistration");
  if (const auto code = Refusal(service, "ReadServiceRegistration", kServiceQueryConfigAccess, 0)) {
    return Result(code);
  }
  *out = registration;
  return Result(0);
}

bool FakeServiceManager::RegisterService(ScHandle, const char* name, const ServiceRegistration& wanted) {
  calls.push_back(std::string("RegisterService ") + name);
  if (installed) return Result(marked ? kErrorServiceMarkedForDeletion : kErrorServiceExists);
  installed = true;
  state = kStopped;
  registration = wanted;
  return Result(0);
}

}  // namespace vsu::test
