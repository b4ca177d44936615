// Which mode the command line asks for, the program directory it names, and the uninstall mode's run.

#include <stdexcept>

#include "locations/program_directory.h"
#include "startup/frm_main.h"
#include "support/fakes.h"
#include "support/testing.h"

namespace vsu { namespace {

using Calls = std::vector<std::string>;

// The uninstall mode takes the first ten characters exactly; the program directory is trimmed of spaces only.
TEST(CommandLine, ChoosesTheModeAndNamesTheProgramDirectory) {
  for (const auto& [line, uninstall] : {std::pair{"-uninstall {ID}", true}, {"-uninstall", true},
                                       {"-uninstallX{ID}", true}, {"-Uninstall {ID}", false},
                                       {" -uninstall {ID}", false}, {"-uninstal", false}, {"", false}}) {
    EXPECT_EQ(IsUninstallCommandLine(line), uninstall) << line;
  }
  for (const auto& [commandLine, ownDirectory, programDir] :
       {std::tuple{"  c:\\Program Files\\Vela Scan\\  ", "c:\\own", "c:\\Program Files\\Vela Scan"},
        {"c:\\vs\\\\", "c:\\own", "c:\\vs\\"}, {"", " c:\\own\\ ", "c:\\own"}, {"    ", "c:\\own", "c:\\own"},
        {"\"c:\\vs\"", "c:\\own", "\"c:\\vs\""}, {"\tc:\\vs\t", "c:\\own", "\tc:\\vs\t"}}) {
    test::TestPlatform t;
    t.system.commandLine = commandLine;
    t.system.ownDirectory = ownDirectory;
    EXPECT_EQ(ProgramDirectoryFromCommandLine(t.platform), programDir) << commandLine;
  }
}

struct UninstallStep {
  const char* name;
  std::function<void(test::FakeServiceManager&)> script;
  Calls requests{};  // made of the manager; opens and closes left out
  int pauses = 0;  // of 2000 ms each
  std::vector<test::ShownMessage> messages{};
  std::uint32_t installerPid = 4711;
  bool installerTried = true;
  int status = 0;
};

// The uninstall mode stops and deletes the service, then hands over to the platform installer.
TEST(UnInstallService, StopsDeletesAndHandsOverToTheInstaller) {
  const Calls kQueryThenRemove{"QueryServiceStatus", "ControlService 1", "DeleteService"};
  for (const UninstallStep& c : std::vector<UninstallStep>{
           {.name = "NotInstalled", .script = [](auto& m) { m.openServiceError = 1060; }},
           {.name = "StartPending", .script = [](auto& m) { m.state = 2; }, .requests = kQueryThenRemove, .pauses = 1},
           {.name = "StopRefused", .script = [](auto& m) { m.state = 4, m.controlError = 5; },
            .requests = {"QueryServiceStatus", "ControlService 1"},
            .messages = {{"Error [5]  when stop the service", 16, "Vela Scan"}}, .installerTried = false, .status = 1},
           {.name = "DeleteRefusedAfterStop", .script = [](auto& m) { m.state = 4, m.deleteError = 1072; },
            .requests = {"QueryServiceStatus", "ControlService 1", "ControlService 1", "DeleteService"}, .pauses = 1,
            .messages = {{"Error [1072]  when uninstall the service", 16, "Vela Scan"}}, .installerTried = false,
            .status = 1},
           {.name = "UnexpectedFailureStillStartsTheInstaller",
            .script = [](auto& m) { m.beforeQueryStatus = [] { throw std::runtime_error("lost"); }; },
            .requests = {"QueryServiceStatus"},
            .messages = {{"Error when trying to UnInstall the Service", 16, "Vela Scan_UnInstallService"}}},
           {.name = "InstallerNotStarted", .script = [](auto&) {}, .requests = kQueryThenRemove, .pauses = 1,
            .messages = {{"Error when running Msiexec.exe.\r\n\r\nTry to uninstall from Add/Remove Program.", 48,
                          "Vela Scan"}},
            .installerPid = 0, .status = 1}}) {
    SCOPED_TRACE(c.name);
    test::TestPlatform t;
    t.system.windowsDirectory = "c:\\windows";
    t.system.commandLine = "-uninstall {5A1E-77}";
    c.script(t.scm);
    t.launcher.pid = c.installerPid;
    InstallationState state;
    EXPECT_EQ(RunProgram(t.platform, state), c.status);
    Calls requests, started;
    for (const auto& call : t.scm.calls) {
      if (call.rfind("Open", 0) != 0 && call.rfind("Close", 0) != 0) requests.push_back(call);
    }
    EXPECT_EQ(requests, c.requests);
    EXPECT_EQ(t.scm.faults, Calls{});
    EXPECT_EQ(t.scm.OpenHandles(), 0u);
    EXPECT_EQ(t.Pauses(), std::vector<long>(c.pauses, 2000));
    EXPECT_EQ(t.ui.messages, c.messages);
    for (const auto& run : t.launcher.programs) started.push_back(run.command + " " + std::to_string(run.windowStyle));
    EXPECT_EQ(started, Calls(c.installerTried ? 1 : 0, "msiexec.exe /uninstall {5A1E-77} 1"));
  }
}

}}  // namespace vsu
