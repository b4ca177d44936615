#include "support/fake_service_manager.h"

#include <cstring>

namespace vsu::test {
namespace {
constexpr std::uint32_t kStopped = 1, kStopPending = 3, kRunning = 4;
constexpr std::uint32_t kErrorBadHandle = 6, kErrorServiceBusy = 1061, kErrorServiceExists = 1073;
}  // namespace

std::uint32_t FakeServiceManager::Refusal(const std::string& call, ScHandle handle, std::uint32_t access,
                                          std::uint32_t scripted) {
  calls.push_back(call);
  const std::string name = call.substr(0, call.find(' '));
  if (countdown && countdown->Due("scm " + name)) return kInjectedCode;
  if (name == "OpenSCManagerA") return scripted;
  const auto found = handles_.find(handle);
  const bool onManager = name == "OpenServiceA" || name == "RegisterService";
  if (found == handles_.end() || (found->second.manager == 0) != onManager) {
    faults.push_back(name + " on a bad handle");
    return kErrorBadHandle;
  }
  return (found->second.access & access) != access ? kErrorAccessDenied : scripted;
}

ScHandle FakeServiceManager::NewHandle(ScHandle manager, std::uint32_t access) {
  handles_[next_] = Handle{manager, access};
  return next_++;
}

void FakeServiceManager::Stopped() {
  state = kStopped;
  if (marked) installed = marked = false;
}

ScHandle FakeServiceManager::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) {
  if (machine || database) faults.push_back("OpenSCManagerA names a machine or database");
  if (!Result(Refusal("OpenSCManagerA " + std::to_string(access), 0, 0, openManagerError))) return 0;
  return NewHandle(0, access);
}

ScHandle FakeServiceManager::OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) {
  const auto code = Refusal("OpenServiceA " + std::string(name) + " " + std::to_string(access), manager, 0,
                            openServiceError ? openServiceError : installed ? 0 : kErrorNoSuchService);
  return Result(code) ? NewHandle(manager, access) : 0;
}

bool FakeServiceManager::QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) {
  const auto code = Refusal("QueryServiceStatus", service, kServiceQueryStatusAccess,
                            queryStatusFails ? kErrorAccessDenied : 0);
  if (beforeQueryStatus) beforeQueryStatus();
  if (code) return Result(code);
  *status = ServiceStatusRecord{};
  status->dwCurrentState = state;
  return Result(0);
}

bool FakeServiceManager::QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                             std::uint32_t* needed) {
  std::memset(buffer, 0x5A, size);
  const std::size_t call = configCalls_++;
  if (const auto code = Refusal("QueryServiceConfigA " + std::to_string(size), service, kServiceQueryConfigAccess,
                                call < configErrors.size() ? configErrors[call] : 0)) {
    return Result(code);
  }
  const auto texts = registration.binaryPath.size() + registration.displayName.size() + 16;
  const auto wanted = configNeeded ? configNeeded : kServiceConfigRecordSize + static_cast<std::uint32_t>(texts);
  if (size >= wanted) return Result(0);
  *needed = wanted;
  return Result(kErrorBufferTooSmall);
}

bool FakeServiceManager::ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) {
  const auto code = Refusal("ControlService " + std::to_string(control), service, kServiceStopAccess, controlError);
  if (code) return Result(code);
  if (state == kStopped) return Result(kErrorServiceNotRunning);
  if (state == kStopPending) return Result(kErrorServiceBusy);
  Stopped();
  if (status) status->dwCurrentState = state;
  return Result(0);
}

bool FakeServiceManager::DeleteService(ScHandle service) {
  if (const auto code = Refusal("DeleteService", service, kServiceDeleteAccess, deleteError)) return Result(code);
  if (marked) return Result(kErrorServiceMarkedForDeletion);
  marked = true;
  if (state == kStopped) Stopped();
  return Result(0);
}

bool FakeServiceManager::StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) {
  const auto code = Refusal("StartServiceA " + std::to_string(argc) + (argv ? " with arguments" : ""), service,
                            kServiceStartAccess, startError);
  if (code) return Result(code);
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
  for (const auto& [other, entry] : handles_) {
    if (isManager && entry.manager == handle) faults.push_back("manager closed before a service opened through it");
  }
  handles_.erase(found);
  return Result(0);
}

bool FakeServiceManager::ReadServiceRegistration(ScHandle service, ServiceRegistration* out) {
  if (const auto code = Refusal("ReadServiceRegistration", service, kServiceQueryConfigAccess, 0)) return Result(code);
  *out = registration;
  return Result(0);
}

bool FakeServiceManager::RegisterService(ScHandle manager, const char* name, const ServiceRegistration& wanted) {
  if (const auto code = Refusal(std::string("RegisterService ") + name, manager, 0, 0)) return Result(code);
  if (installed) return Result(marked ? kErrorServiceMarkedForDeletion : kErrorServiceExists);
  installed = true;
  state = kStopped;
  registration = wanted;
  return Result(0);
}

}  // namespace vsu::test
