#include "service/nt_service_control.h"

#include <vector>

#include "platform/service_manager.h"
#include "service/sc_handle.h"

namespace vsu {
namespace {

// Runs request on the service opened with the given access. A failing open
// yields that open's error code; otherwise request's result is returned. The
// handles are members of this frame, so they close service first on every path.
template <typename Request>
std::uint32_t WithService(ServiceManager& scm, std::uint32_t access, Request request) {
  const ScopedScHandle manager(scm, scm.OpenSCManagerA(nullptr, nullptr, kManagerConnectAccess));
  if (!manager) return scm.GetLastError();
  const ScopedScHandle service(scm, scm.OpenServiceA(manager.get(), kServiceName, access));
  if (!service) return scm.GetLastError();
  return request(service.get());
}

// One call with a buffer of whole configuration records; 0 or the call's code.
std::uint32_t QueryConfigInRecords(ServiceManager& scm, ScHandle service, std::uint32_t records,
                                   std::uint32_t* needed) {
  const std::uint32_t size = records * kServiceConfigRecordSize;
  std::vector<unsigned char> buffer(size, 0);
  if (scm.QueryServiceConfigA(service, buffer.data(), size, needed)) return 0;
  return scm.GetLastError();
}

}  // namespace

int ServiceQueryState(Platform& p) {
  int state = kServiceNone;
  // A failing open is not an answer here: the state simply stays 0.
  WithService(p.scm, kServiceQueryStatusAccess, [&](ScHandle service) -> std::uint32_t {
    ServiceStatusRecord status{};
    if (p.scm.QueryServiceStatus(service, &status)) state = static_cast<int>(status.dwCurrentState);
    return 0;
  });
  return state;
}

std::uint32_t ServiceQueryConfig(Platform& p) {
  return WithService(p.scm, kServiceQueryConfigAccess, [&](ScHandle service) -> std::uint32_t {
    std::uint32_t needed = 0;
    const std::uint32_t code = QueryConfigInRecords(p.scm, service, 1, &needed);
    if (code != kErrorBufferTooSmall) return code;
    return QueryConfigInRecords(p.scm, service, needed / kServiceConfigRecordSize + 1, &needed);
  });
}

std::uint32_t ServiceStop(Platform& p) {
  return WithService(p.scm, kServiceStopAccess, [&](ScHandle service) -> std::uint32_t {
    ServiceStatusRecord status{};
    if (p.scm.ControlService(service, kStopControl, &status)) return 0;
    return p.scm.GetLastError();
  });
}

std::uint32_t ServiceRemove(Platform& p) {
  return WithService(p.scm, kServiceAllAccess, [&](ScHandle service) -> std::uint32_t {
    // A service that is already stopped refuses the stop request; it is deleted all the same.
    ServiceStatusRecord status{};
    p.scm.ControlService(service, kStopControl, &status);
    if (p.scm.DeleteService(service)) return 0;
    return p.scm.GetLastError();
  });
}

std::uint32_t ServiceStart(Platform& p) {
  return WithService(p.scm, kServiceStartAccess, [&](ScHandle service) -> std::uint32_t {
    if (p.scm.StartServiceA(service, 0, nullptr)) return 0;
    return p.scm.GetLastError();
  });
}

}  // namespace vsu
