#include "support/posix/service_sandbox.h"

#include <filesystem>

#include "support/posix/process_tools.h"
#include "support/posix/recorder_script.h"

namespace vsu::test {

ServiceSandbox::ServiceSandbox() {
  dir.MakeDir("srv");
  dir.MakeDir("path");
  std::filesystem::copy_file(BinPath("VelaScanSrv"), ServiceBinary());
}

ServiceSandbox::~ServiceSandbox() { KillProcessesOf(ServiceBinary()); }

void ServiceSandbox::InstallMsiexec() const { WriteRecorderScript(dir.str() + "/path/msiexec.exe", MsiexecRecord()); }

std::map<std::string, std::optional<std::string>> ServiceSandbox::Env() const {
  return {{"VELASCANUPG_SCM", dir.str() + "/scm"},
          {"WINDIR", "c:\\windows"},
          {"VELASCANUPG_PAUSE_SCALE", "0"},
          {"VELASCANUPG_UI", "batch"},
          {"VELASCANUPG_LOG", TranscriptFile()},
          {"PATH", dir.str() + "/path"},
          {"VELASCANSRV_DELAY_MS", std::nullopt},
          {"VELASCANSRV_NO_REGISTER", std::nullopt},
          {"VELASCANSRV_STOP_MS", std::nullopt},
          {"VELASCANUPG_CHECK", std::nullopt},
          {"VELASCANUPG_BACKUP", std::nullopt},
          {"VELASCANUPG_RESTORE", std::nullopt}};
}

ProgramResult ServiceSandbox::Sc(const std::vector<std::string>& args,
                                 const std::map<std::string, std::optional<std::string>>& env) const {
  auto all = Env();
  for (const auto& [name, value] : env) all[name] = value;
  return Run({"velascan-sc", args, all, "", "", 60});
}

ProgramResult ServiceSandbox::Srv(const std::vector<std::string>& args,
                                  const std::map<std::string, std::optional<std::string>>& env) const {
  auto all = Env();
  for (const auto& [name, value] : env) all[name] = value;
  return Run({ServiceBinary(), args, all, "", "", 60});
}

ProgramResult ServiceSandbox::Upgrader(const std::vector<std::string>& args) const {
  return Run({"velascanupg", args, Env(), "", "", 60});
}

int ServiceSandbox::ServiceProcess() const { return ProcessOf(ServiceBinary()); }

bool ServiceSandbox::WaitForServiceEnd() const {
  return WaitFor([&] { return ServiceProcess() == 0; });
}

}  // namespace vsu::test
