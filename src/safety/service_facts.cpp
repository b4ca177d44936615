#include "safety/service_facts.h"

#include "platform/clock.h"
#include "service/nt_service_control.h"
#include "service/sc_handle.h"

namespace vsu {

ServiceFacts ReadServiceFacts(Platform& p) {
  ServiceFacts facts;
  const std::uint32_t code = OnVelaScanService(p, kServiceQueryStatusAccess | kServiceQueryConfigAccess, [&](ScHandle s) {
    ServiceStatusRecord status{};
    if (!p.scm.QueryServiceStatus(s, &status)) return false;
    facts.state = static_cast<int>(status.dwCurrentState);
    return p.scm.ReadServiceRegistration(s, &facts.registration);
  });
  facts.code = code;
  return facts;
}

bool SameRegistration(const ServiceRegistration& a, const ServiceRegistration& b) {
  return a.serviceType == b.serviceType && a.startType == b.startType && a.errorControl == b.errorControl &&
         a.binaryPath == b.binaryPath && a.displayName == b.displayName && a.account == b.account;
}

std::uint32_t OnVelaScanService(Platform& p, std::uint32_t access, const std::function<bool(ScHandle)>& call) {
  const ScopedScHandle manager(p.scm, p.scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess));
  if (!manager) return p.scm.GetLastError();
  const ScopedScHandle service(p.scm, p.scm.OpenServiceA(manager.get(), kServiceName, access));
  if (!service) return p.scm.GetLastError();
  if (call && !call(service.get())) return p.scm.GetLastError();
  return 0;
}

std::uint32_t RegisterVelaScanService(Platform& p, const ServiceRegistration& registration) {
  const ScopedScHandle manager(p.scm,
                               p.scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess | kManagerCreateAccess));
  if (!manager) return p.scm.GetLastError();
  return p.scm.RegisterService(manager.get(), kServiceName, registration) ? 0 : p.scm.GetLastError();
}

bool WaitForService(Platform& p, const std::function<bool(const ServiceFacts&)>& done, unsigned timeoutMs) {
  constexpr unsigned kPollMs = 250;
  for (unsigned waited = 0;; waited += kPollMs) {
    if (done(ReadServiceFacts(p))) return true;
    if (waited >= timeoutMs) return false;
    p.clock.Sleep(kPollMs);
  }
}

std::string StateText(int state) {
  static const char* const kNames[] = {"not installed", "stopped",          "start pending", "stop pending",
                                       "running",       "continue pending", "pause pending", "paused"};
  const std::string name = state >= 0 && state <= 7 ? kNames[state] : "state";
  return name + " (" + std::to_string(state) + ")";
}

}  // namespace vsu
