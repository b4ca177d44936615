#include "platform/win32/win32_service_manager.h"

#include <windows.h>

#include <vector>

namespace vsu::win32 {
namespace {

SC_HANDLE Sc(ScHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ScHandle Port(SC_HANDLE handle) { return reinterpret_cast<ScHandle>(handle); }

void ToPort(const SERVICE_STATUS& from, ServiceStatusRecord* to) {
  if (!to) return;
  to->dwServiceType = from.dwServiceType;
  to->dwCurrentState = from.dwCurrentState;
  to->dwControlsAccepted = from.dwControlsAccepted;
  to->dwWin32ExitCode = from.dwWin32ExitCode;
  to->dwServiceSpecificExitCode = from.dwServiceSpecificExitCode;
  to->dwCheckPoint = from.dwCheckPoint;
  to->dwWaitHint = from.dwWaitHint;
}

}  // namespace

ScHandle Win32ServiceManager::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) {
  return Port(::OpenSCManagerA(machine, database, access));
}

ScHandle Win32ServiceManager::OpenServiceA(ScHandle manager, const char* name, std::uint32_t access) {
  return Port(::OpenServiceA(Sc(manager), name, access));
}

bool Win32ServiceManager::QueryServiceStatus(ScHandle service, ServiceStatusRecord* status) {
  SERVICE_STATUS native{};
  const bool ok = ::QueryServiceStatus(Sc(service), &native);
  if (ok) ToPort(native, status);
  return ok;
}

bool Win32ServiceManager::QueryServiceConfigA(ScHandle service, void* buffer, std::uint32_t size,
                                              std::uint32_t* needed) {
  DWORD bytesNeeded = 0;
  const bool ok = ::QueryServiceConfigA(Sc(service), static_cast<QUERY_SERVICE_CONFIGA*>(buffer), size,
                                        &bytesNeeded);
  if (needed) *needed = bytesNeeded;
  return ok;
}

bool Win32ServiceManager::ControlService(ScHandle service, std::uint32_t control, ServiceStatusRecord* status) {
  SERVICE_STATUS native{};
  const bool ok = ::ControlService(Sc(service), control, &native);
  const DWORD code = ::GetLastError();
  ToPort(native, status);
  ::SetLastError(code);
  return ok;
}

bool Win32ServiceManager::DeleteService(ScHandle service) { return ::DeleteService(Sc(service)); }

bool Win32ServiceManager::StartServiceA(ScHandle service, std::uint32_t argc, const char** argv) {
  return ::StartServiceA(Sc(service), argc, argv);
}

bool Win32ServiceManager::CloseServiceHandle(ScHandle handle) { return ::CloseServiceHandle(Sc(handle)); }

std::uint32_t Win32ServiceManager::GetLastError() { return ::GetLastError(); }

bool Win32ServiceManager::ReadServiceRegistration(ScHandle service, ServiceRegistration* registration) {
  DWORD needed = 0;
  ::QueryServiceConfigA(Sc(service), nullptr, 0, &needed);
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  // Whole records, so the texts behind the first one stay aligned.
  std::vector<QUERY_SERVICE_CONFIGA> buffer(needed / sizeof(QUERY_SERVICE_CONFIGA) + 1);
  const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGA));
  if (!::QueryServiceConfigA(Sc(service), buffer.data(), size, &needed)) return false;
  const QUERY_SERVICE_CONFIGA& config = buffer.front();
  const auto text = [](const char* value) { return std::string(value ? value : ""); };
  *registration = ServiceRegistration{config.dwServiceType, config.dwStartType, config.dwErrorControl,
                                      text(config.lpBinaryPathName), text(config.lpDisplayName),
                                      text(config.lpServiceStartName)};
  return true;
}

bool Win32ServiceManager::RegisterService(ScHandle manager, const char* name, const ServiceRegistration& r) {
  // The local system account needs neither a name nor a password here.
  const bool localSystem = r.account.empty() || r.account == "LocalSystem";
  const SC_HANDLE service = ::CreateServiceA(
      Sc(manager), name, r.displayName.empty() ? name : r.displayName.c_str(), SERVICE_QUERY_STATUS, r.serviceType,
      r.startType, r.errorControl, r.binaryPath.c_str(), nullptr, nullptr, nullptr,
      localSystem ? nullptr : r.account.c_str(), nullptr);
  if (!service) return false;
  ::CloseServiceHandle(service);
  return true;
}

}  // namespace vsu::win32
