// The Win32 backends on the real system: ports, file and service contracts, windows, ADO through Wine's ODBC.

#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <shellapi.h>
#include <sqlite3.h>

#include "common/text.h"
#include "database/connection_strings.h"
#include "database/schema_ladder.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_ip_info.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_process_list.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system.h"
#include "process/mod_proc_enum.h"
#include "support/fakes.h"
#include "support/files_contract.h"
#include "support/service_contract.h"
#include "support/testing.h"
#include "support/unique_dir.h"
#include "ui/layout.h"
#include "ui/win32/win32_toolkit.h"

namespace vsu::test {
namespace {

using namespace win32;
using namespace win32ui;

// A fresh folder under the Windows temporary directory, removed with its contents, paths in Windows form.
struct ScratchDir {
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  // The Windows path of a name inside the folder ("" for the folder itself).
  std::string Path(const std::string& name = "") const { return (name.empty() ? path : path / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    fs::create_directories((path / name).parent_path());
    std::ofstream(path / name, std::ios::binary) << content;
    return Path(name);
  }
  const fs::path path = MakeUniqueDir("vsu-wine-");
};

// A handle that shares only reading keeps a file in use, as the loader does with a running program.
class Win32FilesBackend : public FilesBackend {
 public:
  Files& Port() override { return files_; }
  std::string Path(const std::string& name) override { return fs::path(dir_.Path(name)).make_preferred().string(); }
  void Write(const std::string& name, const std::string& content) override { dir_.Write(name, content); }
  std::string Read(const std::string& name) override {
    return (std::ostringstream() << std::ifstream(dir_.path / name, std::ios::binary).rdbuf()).str();
  }
  void HoldInUse(const std::string& name) override {
    held_.emplace_back(CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held_.back());
  }

 private:
  ComApartment com_;
  ScratchDir dir_;
  Win32Files files_;
  std::vector<UniqueHandle> held_;
};

INSTANTIATE_TEST_SUITE_P(Win32, FilesContract,
    ::testing::Values(FilesBackendMaker{"windows", [] { return std::make_unique<Win32FilesBackend>(); }}), CaseName());

// Wine's real Service Control Manager, the service double beside this test as the service.
class WindowsBackend : public ServiceBackend {
 public:
  ServiceManager& Manager() override { return scm_; }
  void Register() override {
    const ScHandle manager = scm_.OpenSCManagerA(nullptr, nullptr, kManagerCreateAccess);
    const std::string binary = "\"" + Win32System().OwnDirectory() + "\\VelaScanSrv.exe\"";
    EXPECT_TRUE(scm_.RegisterService(
        manager, name_.c_str(), {SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binary, name_, ""}))
        << scm_.GetLastError();
    scm_.CloseServiceHandle(manager);
  }
  std::string Name() override { return name_; }

 private:
  Win32ServiceManager scm_;
  // Wine reuses process ids, and a service left marked for deletion keeps its name.
  const std::string name_ = "VelaScanUpg contract " + std::to_string(std::random_device{}());
};

INSTANTIATE_TEST_SUITE_P(Wine, ServiceContract,
    ::testing::Values(ServiceBackendMaker{"wine", [] { return std::make_unique<WindowsBackend>(); }}), CaseName());

// Hidden and system files do not exist for the program; read-only ones do.
TEST(Win32Files, OnlyOrdinaryFilesExist) {
  ScratchDir dir;
  for (const auto& [attributes, exists] :
       {std::pair{FILE_ATTRIBUTE_HIDDEN, false}, {FILE_ATTRIBUTE_SYSTEM, false}, {FILE_ATTRIBUTE_READONLY, true}}) {
    const std::string file = dir.Write(std::to_string(attributes), "x");
    SetFileAttributesA(file.c_str(), attributes);
    EXPECT_EQ(Win32Files().FileExists(file), exists) << attributes;
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
  }
}

// Programs are found in the system directory, then on PATH, never in the current directory.
TEST(Win32Launcher, StartsProgramsFromTheSystemDirectoryThenPath) {
  char systemDir[MAX_PATH] = {}, previous[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, previous);
  ScratchDir dir, cwd;
  dir.Write("cmd.exe", "MZ");
  dir.Write("vsu-on-path.exe", "MZ");
  cwd.Write("vsu-here.exe", "MZ");
  const std::string path = Win32System().EnvironmentValue("PATH");
  _putenv_s("PATH", (dir.Path() + ";" + path).c_str());
  SetCurrentDirectoryA(cwd.Path().c_str());
  const std::vector<std::string> found{FindProgram("cmd.exe"), FindProgram("vsu-on-path.exe"), FindProgram("vsu-here.exe")};
  SetCurrentDirectoryA(previous);
  _putenv_s("PATH", path.c_str());
  EXPECT_EQ(LowerCase(found[0]), LowerCase(std::string(systemDir) + "\\cmd.exe"));
  EXPECT_EQ(found[1], dir.Path("vsu-on-path.exe"));
  EXPECT_EQ(found[2], "");
  Win32Launcher launcher;
  EXPECT_EQ(launcher.StartProgram("no-such-program-anywhere.exe /x", kShowNormal), 0u);
  // Without the no-UI flag the shell would show its own error box and wait for it.
  ShellExecuteInfo info{.cbSize = kShellExecuteInfoSize, .fMask = kMaskNoCloseProcess | SEE_MASK_FLAG_NO_UI,
                        .lpVerb = "open", .lpFile = dir.Path("VelaScanSrv.exe"), .lpParameters = "-install_noMsg",
                        .lpDirectory = dir.Path(), .nShow = kShowHidden};
  EXPECT_FALSE(launcher.ShellExecuteExA(info));
}

// Both roads of the process walk, the NT one and the 95/98/Me one, find this very test program.
TEST(Win32ProcessList, BothRoadsFindThisProgram) {
  struct As9x : Win32ProcessList {
    bool GetVersionExA(VersionInfoRecord* info) override { return info->dwPlatformId = kPlatformWindows9x, true; }
  } windows9x;
  Win32ProcessList nt;
  TestPlatform t;
  for (ProcessList* list : {static_cast<ProcessList*>(&nt), static_cast<ProcessList*>(&windows9x)}) {
    Platform p = t.With(*list);
    EXPECT_EQ(GetPlatformId(p), list == &nt ? kPlatformNt : kPlatformWindows9x);
    EXPECT_TRUE(IsProcessRunning(p, "velascan_win_tests.exe"));
    EXPECT_FALSE(IsProcessRunning(p, "no-such-program-anywhere.exe"));
  }
}

// How the program reads its own command line and the commands it starts, and what the system tells it.
TEST(Win32System, ReadsCommandLinesAndTheRealProcess) {
  EXPECT_EQ(ArgumentText("\"C:\\Vela Scan\\Upg.exe\" C:\\Vela Scan\\"), "C:\\Vela Scan\\");
  EXPECT_EQ(ArgumentText("Upg.exe \t \"c:\\dir\"  "), "\"c:\\dir\"  ");
  EXPECT_EQ(ArgumentText("c:\\v\\Upg.exe"), "");
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vela Scan\\Upg.exe"), "C:\\Program Files\\Vela Scan");
  EXPECT_EQ(DirectoryOf("C:\\Upg.exe"), "C:\\");
  EXPECT_EQ(DirectoryOf("Upg.exe"), "");
  EXPECT_EQ(ProgramName("\"c:\\a b\\x.exe\" /y"), "c:\\a b\\x.exe");
  // A long environment value and this machine's IPv4 address, as the system gives them, unless forced.
  _putenv_s("VSU_LONG_VALUE", std::string(300, 'x').c_str());
  EXPECT_EQ(Win32System().EnvironmentValue("VSU_LONG_VALUE"), std::string(300, 'x'));
  const std::string address = Win32IpInfo().LocalAddress();
  int a = -1, b = -1, c = -1, d = -1;
  ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d), 4) << address;
  EXPECT_TRUE(a != 127 || address == "127.0.0.1") << address;
  _putenv_s("VELASCANUPG_IPADDRESS", "10.20.30.40");
  EXPECT_EQ(Win32IpInfo().LocalAddress(), "10.20.30.40");
  _putenv_s("VELASCANUPG_IPADDRESS", "");
}

// Runs script on the SQLite file and returns the file's schema.
std::string Schema(const std::string& file, const std::string& script = "") {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  std::string schema;
  const auto append = [](void* out, int, char** row, char**) { return *static_cast<std::string*>(out) += row[0], 0; };
  sqlite3_exec(db, "SELECT sql FROM sqlite_master ORDER BY name", append, &schema, nullptr);
  sqlite3_close(db);
  return schema;
}

std::string FailureOf(const std::function<void()>& action) try {
  return action(), "no failure";
} catch (const Failure& failure) {
  return failure.Description();
}

// Each ladder statement, through MSDASQL and a DSN naming the file's Unix path, changes it as SQLite would.
TEST(Win32Database, EveryLadderStatementChangesTheFileThroughAdo) {
  const char* ini = std::getenv("ODBCINI");
  ASSERT_NE(ini, nullptr) << "ctest names the DSN file in ODBCINI";
  const auto unixName = reinterpret_cast<char* (*)(const wchar_t*)>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  ComApartment com;
  const ScratchDir dir;
  const std::string file = dir.Path("VelaScan.mdb");
  std::ofstream(std::string("Z:") + ini) << "[VelaScanUpgTest]\nDriver=SQLite3\nDatabase="
                                         << unixName(std::wstring(file.begin(), file.end()).c_str()) << "\n";
  std::string script = "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150));"
                       "CREATE TABLE SuppGrp_Perm (Name varChar(50)); CREATE TABLE Maintenance (Name varChar(50));";
  Schema(file, script);
  const auto connection = Win32Database().CreateConnection();
  connection->Open("Provider=MSDASQL;Data Source=VelaScanUpgTest");
  for (const auto& step : SchemaLadder()) {
    for (const auto& action : step.actions) {
      if (!action.statement) continue;
      SCOPED_TRACE(action.statement);
      connection->Execute(action.statement);
      script += std::string(action.statement) + ";";
    }
  }
  const std::string twice = FailureOf([&] { connection->Execute(script.substr(script.rfind("ALTER"))); });
  EXPECT_TRUE(twice != "" && twice != "no failure") << twice;
  connection->Close();
  EXPECT_EQ(Schema(file), Schema(":memory:", script));
  EXPECT_EQ(FailureOf([&] { connection->Execute("DROP TABLE Maintenance"); }),
            "Operation is not allowed when the object is closed.");
  // The program's own connection string to a Jet file: Wine has no Jet provider.
  EXPECT_EQ(FailureOf([&] { connection->Open(VelaScanConnectString("C:\\No VelaScan")); }),
            "Provider cannot be found. It may not be properly installed.");
}

// Start-up: hidden, Text1 broken where its text is. Upgrade: fixed frame, one activation, bar 0-10, button. Enter path:
// Enter is OK with the text typed, Esc is Cancel, neither closes it; the title bar's close runs no handler.
TEST(Win32Toolkit, WindowsRunTheirHandlers) {
  Win32Toolkit kit;
  auto start = kit.CreateMain();
  start->Hide();
  const HWND startUp = FindWindowA(nullptr, layout::kMainCaption);
  EXPECT_FALSE(IsWindowVisible(startUp));
  EXPECT_EQ(SendMessageA(FindWindowExA(startUp, nullptr, "Edit", nullptr), EM_GETLINECOUNT, 0, 0), 8);
  auto view = kit.CreateUpgrade();
  const HWND window = reinterpret_cast<HWND>(view->NativeHandle());
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_MINIMIZEBOX);
  struct Run : UpgradeHandlers {
    explicit Run(UpgradeView& v) : view(v) {}
    void Form_Activate() override {
      ++activations;
      view.SetProgress(10);
      view.SetExitCaption("Done");
      PostMessageA(reinterpret_cast<HWND>(view.NativeHandle()), WM_COMMAND, MAKEWPARAM(304, BN_CLICKED), 0);
    }
    void cmdExit_Click() override { throw EndProgram{kExitDone}; }
    UpgradeView& view;
    int activations = 0;
  } run(*view);
  EXPECT_THROW(view->ShowModal(run), EndProgram);
  EXPECT_EQ(run.activations, 1);
  const HWND progress = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
  EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 10);
  EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 10);
  char caption[8] = {};
  GetWindowTextA(FindWindowExA(window, nullptr, "Button", nullptr), caption, sizeof caption);
  EXPECT_STREQ(caption, "Done");
  auto enterPath = kit.CreateEnterPath();
  enterPath->SetCaption("  Enter the Path to SNMPc");
  EXPECT_EQ(enterPath->Caption(), "  Enter the Path to SNMPc");
  const HWND dialog = FindWindowA(nullptr, "  Enter the Path to SNMPc");
  const HWND edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
  SetWindowTextA(edit, "c:\\first");
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageA(edit, WM_KEYDOWN, key, 0);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  struct Script : EnterPathHandlers {
    explicit Script(EnterPathView& v) : view(v) {}
    void cmdOK_Click() override { entries.push_back(view.TxtName()); }
    void cmdCancel_Click() override { entries.push_back("cancel"); }
    EnterPathView& view;
    std::vector<std::string> entries;
  } script(*enterPath);
  enterPath->ShowModal(script);
  EXPECT_EQ(script.entries, (std::vector<std::string>{"c:\\first", "cancel"}));
}

}  // namespace
}  // namespace vsu::test
