// VelaScanSrv.exe for the Windows tests: stands in for the product's service
// executable. With "-install_noMsg" it registers the "Vela Scan" service with
// the Service Control Manager, pointing at itself, stopped; started by the
// manager it runs as a real service until it is told to stop.
//
// env VELASCANSRV_DELAY_MS: wait this long before registering (default 0).
// env VELASCANSRV_NO_REGISTER=1: never register.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

char kServiceName[] = "Vela Scan";
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(stopEvent);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**) {
  statusHandle = RegisterServiceCtrlHandlerExA(kServiceName, Control, nullptr);
  if (!statusHandle) return;
  stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopEvent, INFINITE);
  CloseHandle(stopEvent);
  Report(SERVICE_STOPPED);
}

int Install() {
  const char* never = std::getenv("VELASCANSRV_NO_REGISTER");
  if (never && std::string(never) == "1") return 0;
  if (const char* delay = std::getenv("VELASCANSRV_DELAY_MS")) Sleep(std::strtoul(delay, nullptr, 10));
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string binaryPath = std::string("\"") + self + "\"";
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  if (!manager) return 1;
  SC_HANDLE service = CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                     binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  const DWORD code = service ? 0 : GetLastError();
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "-install_noMsg") == 0) return Install();
  SERVICE_TABLE_ENTRYA table[] = {{kServiceName, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
