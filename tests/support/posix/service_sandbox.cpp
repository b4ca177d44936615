#include "support/posix/service_sandbox.h"

#include <filesystem>

#include "support/posix/recorder_script.h"

namespace vsu::test {

ServiceSandbox::ServiceSandbox() {
  dir.MakeDir("srv");
  dir.MakeDir("path");
  std::filesystem::copy_file(BinPath("VelaScanSrv"), ServiceBinary());
}

void ServiceSandbox::InstallMsiexec() const { WriteRecorderScript(dir.str() + "/path/msiexec.exe", MsiexecRecord()); }

Env ServiceSandbox::Environment() const {
  return {{"VELASCANUPG_SCM", dir.str() + "/scm"}, {"WINDIR", "c:\\windows"}, {"VELASCANUPG_PAUSE_SCALE", "0"},
          {"VELASCANUPG_UI", "batch"}, {"VELASCANUPG_LOG", TranscriptFile()}, {"PATH", dir.str() + "/path"},
          {"VELASCANUPG_IPADDRESS", "198.51.100.4"}, {"VELASCANSRV_DELAY_MS", std::nullopt},
          {"VELASCANSRV_NO_REGISTER", std::nullopt}, {"VELASCANSRV_STOP_MS", std::nullopt},
          {"VELASCANUPG_CHECK", std::nullopt}, {"VELASCANUPG_BACKUP", std::nullopt},
          {"VELASCANUPG_RESTORE", std::nullopt}};
}

ProgramResult ServiceSandbox::Run(const std::string& program, std::vector<std::string> args, const Env& extra,
                                  std::string input, int killAfterMs) const {
  Env env = Environment();
  for (const auto& [name, value] : extra) env[name] = value;
  return test::Run({program, std::move(args), env, std::move(input), killAfterMs});
}

}  // namespace vsu::test
