// velascan-sc: the Linux service manager from the shell. The service commands
// go through the same calls the program makes; create and the test helpers
// use what only this manager offers.

#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "platform/posix/posix_service_manager.h"
#include "service/sc_handle.h"

namespace {

using vsu::ScHandle;
using vsu::ScopedScHandle;
using vsu::posix::PosixServiceManager;

constexpr const char* kUsage =
    "usage: velascan-sc create NAME BINPATH [ARGS...]\n"
    "       velascan-sc query|qc|start|stop|delete NAME\n"
    "       velascan-sc deny|allow NAME stop|delete|start|query|config\n"
    "       velascan-sc set-state NAME STATE\n";

int Report(std::uint32_t code) {
  if (code == 0) return 0;
  std::cerr << "ERROR: " << code << "\n";
  return 1;
}

int Usage() {
  std::cerr << kUsage;
  return Report(vsu::posix::kErrorBadArgument);
}

// Opens the named service with access and runs call on it; a failing call
// reports the manager's last error.
int OnService(PosixServiceManager& scm, const std::string& name, std::uint32_t access,
              const std::function<bool(ScHandle)>& call) {
  const ScopedScHandle manager(scm, scm.OpenSCManagerA(nullptr, nullptr, vsu::kManagerConnectAccess));
  if (!manager) return Report(scm.GetLastError());
  const ScopedScHandle service(scm, scm.OpenServiceA(manager.get(), name.c_str(), access));
  if (!service) return Report(scm.GetLastError());
  return call(service.get()) ? 0 : Report(scm.GetLastError());
}

bool PrintState(PosixServiceManager& scm, ScHandle service) {
  vsu::ServiceStatusRecord status{};
  if (!scm.QueryServiceStatus(service, &status)) return false;
  std::cout << "STATE : " << status.dwCurrentState << "\n";
  return true;
}

bool PrintBinaryPath(PosixServiceManager& scm, ScHandle service) {
  std::uint32_t needed = 0;
  std::vector<char> buffer(vsu::kServiceConfigRecordSize);
  if (!scm.QueryServiceConfigA(service, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &needed)) {
    if (scm.GetLastError() != vsu::kErrorBufferTooSmall) return false;
    buffer.resize(needed);
    if (!scm.QueryServiceConfigA(service, buffer.data(), needed, &needed)) return false;
  }
  vsu::posix::ServiceConfigRecord config;
  std::copy_n(buffer.data(), sizeof config, reinterpret_cast<char*>(&config));
  std::cout << "BINARY_PATH_NAME : " << (buffer.data() + config.lpBinaryPathName) << "\n";
  return true;
}

bool ParseState(const std::string& text, int* state) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return false;
  *state = static_cast<int>(value);
  return true;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  const std::string& command = args[0];
  const std::string& name = args[1];
  PosixServiceManager scm;
  if (command == "create" && args.size() >= 3) {
    return Report(scm.CreateService(name, args[2], std::vector<std::string>(args.begin() + 3, args.end())));
  }
  if ((command == "deny" || command == "allow") && args.size() == 3) {
    return Report(scm.Deny(name, args[2], command == "deny"));
  }
  int state = 0;
  if (command == "set-state" && args.size() == 3) {
    return ParseState(args[2], &state) ? Report(scm.SetState(name, state)) : Usage();
  }
  if (args.size() != 2) return Usage();
  if (command == "query") {
    return OnService(scm, name, vsu::kServiceQueryStatusAccess, [&](ScHandle s) { return PrintState(scm, s); });
  }
  if (command == "qc") {
    return OnService(scm, name, vsu::kServiceQueryConfigAccess, [&](ScHandle s) { return PrintBinaryPath(scm, s); });
  }
  if (command == "start") {
    return OnService(scm, name, vsu::kServiceStartAccess, [&](ScHandle s) { return scm.StartServiceA(s, 0, nullptr); });
  }
  if (command == "stop") {
    return OnService(scm, name, vsu::kServiceStopAccess, [&](ScHandle s) {
      vsu::ServiceStatusRecord status{};
      return scm.ControlService(s, vsu::kStopControl, &status);
    });
  }
  if (command == "delete") {
    return OnService(scm, name, vsu::kServiceDeleteAccess, [&](ScHandle s) { return scm.DeleteService(s); });
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
