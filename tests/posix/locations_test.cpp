// Where the folders come from (Windows, SNMPc, the Enter Path dialog, the INI readers), on files below drive C.

#include <array>

#include "locations/frm_enter_path.h"
#include "locations/ini_settings.h"
#include "locations/snmpc_directory.h"
#include "locations/windows_directory.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/installation.h"
#include "support/testing.h"

namespace vsu { namespace {

using test::PathAnswer;
using Texts = std::vector<std::string>;
using Content = std::optional<std::string>;  // none: no file

// The dialog is centred, captioned with the caller's prompt, shown; it writes back what cmdOK_Click made of the entry.
TEST(AskForPath, ValidatesAndWritesBack) {
  struct Row {
    std::vector<PathAnswer> answers;
    std::string enteredPath;  // EnteredPath afterwards (it starts as "before")
    Texts txtNames;           // what cmdOK_Click wrote back into txtName
    std::size_t refusals;     // "Please check path again" boxes
  };
  const auto ok = PathAnswer::Ok;
  for (const Row& r : std::vector<Row>{
           {{ok("c:\\snmpc")}, "c:\\snmpc", {"c:\\snmpc"}, 0}, {{ok("c:\\lumi")}, "c:\\lumi", {"c:\\lumi"}, 0},
           {{ok("  c:\\snmpc\\  ")}, "c:\\snmpc", {"c:\\snmpc\\", "c:\\snmpc"}, 0},
           {{ok("\tc:\\snmpc"), PathAnswer::Cancel()}, "", {"\tc:\\snmpc"}, 1},
           // The doubled separator still names the folder, so the path is accepted with one "\".
           {{ok("c:\\snmpc\\\\")}, "c:\\snmpc\\", {"c:\\snmpc\\\\", "c:\\snmpc\\"}, 0},
           {{ok(" c:\\both\\ "), ok("c:\\both\\x")}, "c:\\both\\x", {"c:\\both\\", "c:\\both", "c:\\both\\x"}, 1},
           {{ok(""), PathAnswer::Cancel()}, "", {""}, 1},  // tested at the root
           {{PathAnswer::CloseWindow()}, "before", {}, 0},
           {{ok("c:\\none"), PathAnswer::CloseWindow()}, "before", {"c:\\none"}, 1}}) {
    test::TempDir drive;
    test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
    drive.Write("SNMPc/snmpc.ini", "");
    drive.Write("Lumi/Lumidex.mdb", "");
    drive.Write("both/x/snmpc.ini", "");
    test::TestPlatform t;
    t.ui.answers.assign(r.answers.begin(), r.answers.end());
    InstallationState s;
    s.EnteredPath = "before";
    AskForPath(t.platform, s, kPromptSnmpc);
    EXPECT_EQ(s.EnteredPath, r.enteredPath) << r.answers[0].entry;
    EXPECT_EQ(t.ui.Traced("frmEnterPath.txtName "), r.txtNames);
    EXPECT_EQ(t.ui.messages, std::vector<test::ShownMessage>(r.refusals, {"Please check path again", 64, "Vela Scan"}));
    EXPECT_EQ(Texts(t.ui.trace.begin(), t.ui.trace.begin() + 3),
              (Texts{"frmEnterPath.Move 4897,4665", "frmEnterPath.Caption " + std::string(kPromptSnmpc),
                     "frmEnterPath.ShowModal"}));
  }
}

// The system first, then the usual folders, then the user; a failing file test is reported.
TEST(GetTheWindowsDirectory, FollowsTheSearchOrder) {
  struct Row {
    std::optional<std::string> system;  // what the system call gives
    std::vector<std::string> files;     // files below drive C:
    std::vector<PathAnswer> answers;    // the user at the prompt
    std::string expected;               // "" when the program ends (status 2)
    int prompts;
    const char* failure = nullptr;      // the one message shown; a file "x>" is a symlink loop
  };
  for (const Row& r : std::vector<Row>{
           {"C:\\WINDOWS", {}, {}, "C:\\WINDOWS", 0},  // ten characters are used as given
           {"E:\\", {}, {}, "E:\\", 0}, {"C:\\WINDOWS2", {"windows/win.ini", "winnt/win.ini"}, {}, "c:\\windows", 0},
           {{}, {"winnt/win.ini"}, {}, "c:\\winnt", 0},
           {std::string(251, 'x'), {"winnt/win.ini"}, {}, "c:\\winnt", 0},  // longer than the buffer
           {{}, {"windows/win.ini/x"}, {PathAnswer::Ok("c:\\snmpc  ")}, "", 1},  // a folder is no file
           {{}, {"snmpc/snmpc.ini"}, {PathAnswer::Ok("  c:\\snmpc\\ ")}, "c:\\snmpc", 1},
           {{}, {"w/win.ini"}, {PathAnswer::Ok("c:\\w"), PathAnswer::Cancel()}, "", 1},
           {{}, {}, {PathAnswer::CloseWindow()}, "", 1},
           {"C:\\WINDOWS\\X", {"windows/win.ini>"}, {}, "(empty)", 0, "Err_Handler: WinPath=C:\\WINDOWS\\X"}}) {
    test::TempDir drive;
    test::ScopedEnv mapped("VELASCANUPG_DRIVE_C", drive.str().c_str());
    for (const auto& f : r.files) {
      if (f.back() != '>') drive.Write(f, "x");
      else drive.MakeDir("windows"), test::fs::create_symlink("win.ini", drive.path() / "windows/win.ini");
    }
    test::TestPlatform t;
    t.system.windowsDirectory = r.system;
    t.ui.answers.assign(r.answers.begin(), r.answers.end());
    InstallationState s;
    std::string result;
    try {
      result = GetTheWindowsDirectory(t.platform, s);
      if (result.empty()) result = "(empty)";
    } catch (const EndProgram& end) {
      EXPECT_EQ(end.status, 2);
    }
    EXPECT_EQ(result, r.expected) << r.system.value_or("(none)");
    EXPECT_EQ(t.ui.Traced("frmEnterPath.Caption   Enter the Path to Windows").size(), std::size_t(r.prompts));
    if (r.failure) {
      EXPECT_EQ(t.ui.messages, (std::vector<test::ShownMessage>{{r.failure, 16, "Vela Scan_GetTheWindowsDirectory"}}));
    }
  }
}

struct SourceCase {
  const char* name;
  std::string stored;  // SnmpcPath in the database
  Content winIni;
  std::vector<PathAnswer> answers;
  const char* expected;
  Texts prompts;
  const char* sql = "";  // run on VelaScan.mdb first
  enum { kPlain, kChangeDirectoryFails, kWinIniUnreadable, kEnteredBefore } twist = kPlain;
};

// c:\SNMPc holds snmpc.ini, c:\Lumidex lumidex.ini, c:\Entered snmpc.ini, c:\Empty nothing.
TEST(FindSnmpcDir, SettlesTheDirectory) {
  const std::string kSection = "[windows]\r\nload=\r\n[SNMPc Network Manager]\r\n";
  const std::string kDir = kSection + "DIR=c:\\Other\r\n", kSnmpc = kPromptSnmpc, kEither = kPromptSnmpcOrLumidex;
  const auto kEntered = PathAnswer::Ok("c:\\Entered"), kCancel = PathAnswer::Cancel();
  for (const SourceCase& c : std::vector<SourceCase>{
           // No win.ini, no section, or the section header as the last line: the stored value, tested.
           {"NoWinIniStoredHoldsSnmpc", "c:\\SNMPc", {}, {}, "c:\\SNMPc", {}},
           {"NoWinIniStoredHoldsLumidex", "c:\\Lumidex", {}, {}, "c:\\Lumidex", {}},
           {"NoWinIniStoredHoldsNeither", "c:\\Empty", {}, {kEntered}, "c:\\Entered", {kEither}},
           {"NoWinIniStoredEmptyCancelled", "", {}, {kCancel}, "", {kEither}},
           {"StoredWithTrailingBackslash", "c:\\SNMPc\\", {}, {}, "c:\\SNMPc\\", {}},
           {"NoSection", "c:\\Empty", "[windows]\r\nDIR=c:\\Other\r\n", {kEntered}, "c:\\Entered", {kEither}},
           {"SectionOnLastLine", "c:\\Empty", kSection, {kEntered}, "c:\\Entered", {kEither}},
           {"SectionOnLastLineWithoutLineEnd", "c:\\SNMPc", "[SNMPc Network Manager]", {}, "c:\\SNMPc", {}},
           {"HeaderInOtherCase", "c:\\SNMPc", "[snmpc network manager]\r\nDIR=c:\\Other\r\n", {}, "c:\\SNMPc", {}},
           {"HeaderAfterSpaces", "c:\\SNMPc", "  [SNMPc Network Manager]\r\nDIR=c:\\Other\r\n", {}, "c:\\SNMPc", {}},
           // Section present, stored value empty: the first non-empty DIR= value, untested.
           {"StoredEmptyFirstDir", "", kSection + "Ver=9\r\nDIR=c:\\Other\r\nDIR=c:\\Second\r\n", {}, "c:\\Other", {}},
           {"StoredEmptyNoDir", "", kSection + "Ver=9\r\n[fonts]\r\n", {kEntered}, "c:\\Entered", {kSnmpc}},
           {"KeyInAnyCase", "", kSection + "dIr=c:\\Other\r\n", {}, "c:\\Other", {}},
           {"KeyAfterASpace", "", kSection + " DIR=c:\\Other\r\n", {kCancel}, "", {kSnmpc}},
           {"ValueTrimmedThenOneBackslash", "", kSection + "DIR=  c:\\Other\\\\  \r\n", {}, "c:\\Other\\", {}},
           {"EmptyAndBackslashValuesSkipped", "", kSection + "DIR=\r\nDIR= \\ \r\nDIR=c:\\Third\r\n", {},
            "c:\\Third", {}},
           {"DirAfterTheNextSection", "", kSection + "Ver=9\r\n[fonts]\r\nDIR=c:\\Other\r\n", {kCancel}, "",
            {kSnmpc}},
           // Section present, stored value not empty: only the first line after the header counts.
           {"StoredAndFirstLineDir", "c:\\SNMPc", kDir, {}, "c:\\Other", {}},
           {"StoredAndFirstLineEmptyDir", "c:\\SNMPc", kSection + "DIR=\r\nVer=9\r\nDIR=c:\\Later\r\n", {},
            "c:\\Later", {}},
           {"StoredAndFirstLineEmptyDirNoOther", "c:\\SNMPc", kSection + "DIR=\r\n[fonts]\r\n", {kEntered},
            "c:\\Entered", {kSnmpc}},
           {"StoredAndFirstLineOtherKey", "c:\\SNMPc", kSection + "Ver=9\r\nDIR=c:\\Later\r\n", {}, "c:\\SNMPc", {}},
           {"StoredUntestedBesideTheSection", "c:\\Empty", kSection + "Ver=9\r\n", {}, "c:\\Empty", {}},
           // Failures stop the search silently with what was found so far.
           {"NullValue", "c:\\SNMPc", kDir, {}, "", {}, "UPDATE Settings_General SET SnmpcPath = NULL"},
           {"NoSettingsRow", "c:\\SNMPc", kDir, {}, "", {}, "DELETE FROM Settings_General"},
           {"ChangeOfDirectoryFails", "c:\\SNMPc", kDir, {}, "", {}, "", SourceCase::kChangeDirectoryFails},
           {"WinIniUnreadable", "c:\\Empty", kDir, {}, "c:\\Empty", {}, "", SourceCase::kWinIniUnreadable},
           {"PromptLeftAnotherWayTakesTheEarlierEntry", "c:\\Empty", {}, {PathAnswer::CloseWindow()},
            "c:\\Earlier", {kEither}, "", SourceCase::kEnteredBefore}}) {
    SCOPED_TRACE(c.name);
    fixture::InstallationOptions options;
    options.database.snmpcPath = c.stored, options.winIni = fixture::WinIni::kNone;
    const test::TestInstallation install(options);
    install.dir().Write("Lumidex/lumidex.ini", "[Server]\r\n");
    install.dir().Write("Entered/snmpc.ini", "[SNMPc]\r\n");
    install.dir().MakeDir("Empty");
    if (c.winIni) install.dir().Write("windows/win.ini", *c.winIni);
    test::Exec(install.VelaScanDb(), c.sql);
    test::TestPlatform t;
    t.system.commandLine = "  c:\\VelaScan\\  ";
    t.system.failSetCurrentDirectory = c.twist == SourceCase::kChangeDirectoryFails;
    t.ui.answers.assign(c.answers.begin(), c.answers.end());
    test::FilesWrapper files(t.files);
    if (c.twist == SourceCase::kWinIniUnreadable) files.unreadable.insert("c:\\windows\\win.ini");
    InstallationState s;
    s.WindowsDir = "c:\\windows";
    if (c.twist == SourceCase::kEnteredBefore) s.EnteredPath = "c:\\Earlier";
    Platform p = t.WithFiles(files);
    FindSnmpcDir(p, s);

    EXPECT_EQ(s.SnmpcDir, c.expected);
    EXPECT_EQ(t.ui.Traced("frmEnterPath.Caption "), c.prompts);
    EXPECT_TRUE(t.ui.answers.empty()) << "the prompt was not shown as often as expected";
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_EQ(s.ProgramDir, "c:\\VelaScan");
    const bool moved = c.twist != SourceCase::kChangeDirectoryFails;
    EXPECT_EQ(t.system.currentDirectories, Texts(moved ? 1 : 0, "c:\\VelaScan"));
    EXPECT_EQ(s.DbConnectString, moved ? "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\VelaScan\\VelaScan.mdb;"
                                         "Persist Security Info=False" : "");
  }
}

// php.ini gives the keys found after the [SNMPC] header, Lumidex.ini the last ServerIpAddr of any section.
TEST(IniSettings, ReadOnlyTheirKeys) {
  test::TempDir dir;
  test::ScopedEnv drive{"VELASCANUPG_DRIVE_C", dir.str().c_str()};
  test::TestPlatform t;
  const auto put = [&](const std::string& relative, const Content& content) {
    test::fs::remove(dir.path() / relative);
    if (content) dir.Write(relative, *content);
  };
  using Values = std::array<std::string, 3>;  // server, source, user; each starts as "old"
  const std::string all = "SNMPC.DBSERVER=srv\r\nSNMPC.DBSOURCE=src\r\nSNMPC.DBUSER=usr\r\n";
  const Values old{"old", "old", "old"}, found{"srv", "src", "usr"};
  for (const auto& [content, expected] : std::vector<std::pair<Content, Values>>{
           {{}, old}, {"[PHP]\r\nx=1\r\n[SNMPC]\r\n" + all, found}, {"[snmpc]\r\n" + all, found},
           {"[SNMPC] ; the database\r\n" + all, found}, {" [SNMPC]\r\n" + all, old}, {all, old},
           {all + "[SNMPC]\r\nSNMPC.DBUSER=late\r\n", {"old", "old", "late"}}, {all + "[SNMPC]", old}, {"", old},
           {"[SNMPC]\r\nsnmpc.dbServer=srv\r\nSnmpc.DbSource=src\r\nsnmpc.dbuser=usr\r\n", found},
           {"[SNMPC]\r\nSNMPC.DBSERVER =srv\r\n SNMPC.DBSOURCE=src\r\n", old},
           {"[SNMPC]\r\n" + all + "[Other]\r\nSNMPC.DBSERVER=again\r\n", {"again", "src", "usr"}},
           {"[SNMPC]\r\nSNMPC.DBSERVER=\r\n", {"", "old", "old"}},
           {"[SNMPC]\r\nSNMPC.DBUSER=  \"sa\"\t; admin  \r\n", {"old", "old", "\"sa\"\t; admin"}}}) {
    put("windows/php.ini", content);
    Values values = old;
    ReadPhpIniDbSettings(t.platform, "c:\\windows", values[0], values[1], values[2]);
    EXPECT_EQ(values, expected) << content.value_or("(no file)");
  }
  for (const auto& [content, expected] : std::vector<std::pair<Content, std::string>>{
           {{}, "old"}, {"[Server]\r\nServerIpAddr=10.0.0.1\r\n", "10.0.0.1"},
           {"  ServerIpAddr  =  10.0.0.2  \r\n", "10.0.0.2"}, {"serveripaddr=10.0.0.3\r\n", "old"},
           {";ServerIpAddr=10.0.0.4\r\n", "old"},
           {"[A]\r\nServerIpAddr=1.1.1.1\r\n[B]\r\nServerIpAddr=2.2.2.2\r\n", "2.2.2.2"},
           {"ServerIpAddr=a=b\r\n", "a=b"}, {"ServerIpAddr=\r\n", ""}, {"ServerIpAddr 10.0.0.5\r\n", "old"}}) {
    put("SNMPc/Lumidex.ini", content);
    std::string address = "old";
    ReadLumidexServerIpAddr(t.platform, "c:\\SNMPc", address);
    EXPECT_EQ(address, expected) << content.value_or("(no file)");
  }
}

}}  // namespace vsu
