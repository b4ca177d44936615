// FindSnmpcDir on a fixture installation: where the SNMPc directory comes from.

#include <gtest/gtest.h>

#include "locations/frm_enter_path.h"
#include "locations/snmpc_directory.h"
#include "support/testing.h"
#include "support/fakes.h"
#include "support/files_wrapper.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

using test::PathAnswer;
using Texts = std::vector<std::string>;

struct SourceCase {
  const char* name;
  std::string stored;                 // SnmpcPath in the database
  std::optional<std::string> winIni;  // none: no win.ini
  std::vector<PathAnswer> answers;
  const char* expected;
  Texts prompts;
  const char* sql = "";  // run on VelaScan.mdb first
  enum { kPlain, kChangeDirectoryFails, kWinIniUnreadable, kEnteredBefore } twist = kPlain;
};

class FindSnmpcDirTest : public ::testing::TestWithParam<SourceCase> {};

// c:\SNMPc holds snmpc.ini, c:\Lumidex lumidex.ini, c:\Entered snmpc.ini, c:\Empty nothing.
TEST_P(FindSnmpcDirTest, SettlesTheDirectory) {
  const auto& c = GetParam();
  fixture::InstallationOptions options;
  options.database.snmpcPath = c.stored;
  options.winIni = fixture::WinIni::kNone;
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
  const std::string connect =
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\VelaScan\\VelaScan.mdb;Persist Security Info=False";
  EXPECT_EQ(s.DbConnectString, moved ? connect : "");
}

const std::string kSection = "[windows]\r\nload=\r\n[SNMPc Network Manager]\r\n";
const std::string kDir = kSection + "DIR=c:\\Other\r\n";
const std::string kSnmpc = kPromptSnmpc;
const std::string kEither = kPromptSnmpcOrLumidex;
const auto kEntered = PathAnswer::Ok("c:\\Entered");
const auto kCancel = PathAnswer::Cancel();

INSTANTIATE_TEST_SUITE_P(
    Sources, FindSnmpcDirTest,
    ::testing::Values(
        // No win.ini, no section, or the section header as the last line: the stored value, tested.
        SourceCase{"NoWinIniStoredHoldsSnmpc", "c:\\SNMPc", {}, {}, "c:\\SNMPc", {}},
        SourceCase{"NoWinIniStoredHoldsLumidex", "c:\\Lumidex", {}, {}, "c:\\Lumidex", {}},
        SourceCase{"NoWinIniStoredHoldsNeither", "c:\\Empty", {}, {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"NoWinIniStoredEmptyCancelled", "", {}, {kCancel}, "", {kEither}},
        SourceCase{"StoredWithTrailingBackslash", "c:\\SNMPc\\", {}, {}, "c:\\SNMPc\\", {}},
        SourceCase{"NoSection", "c:\\Empty", "[windows]\r\nDIR=c:\\Other\r\n", {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"SectionOnLastLine", "c:\\Empty", kSection, {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"SectionOnLastLineWithoutLineEnd", "c:\\SNMPc", "[SNMPc Network Manager]", {}, "c:\\SNMPc", {}},
        SourceCase{"HeaderInOtherCase", "c:\\SNMPc", "[snmpc network manager]\r\nDIR=c:\\Other\r\n", {}, "c:\\SNMPc",
                   {}},
        SourceCase{"HeaderAfterSpaces", "c:\\SNMPc", "  [SNMPc Network Manager]\r\nDIR=c:\\Other\r\n", {},
                   "c:\\SNMPc", {}},
        // Section present, stored value empty: the first non-empty DIR= value, untested.
        SourceCase{"StoredEmptyFirstDir", "", kSection + "Ver=9\r\nDIR=c:\\Other\r\nDIR=c:\\Second\r\n", {},
                   "c:\\Other", {}},
        SourceCase{"StoredEmptyNoDir", "", kSection + "Ver=9\r\n[fonts]\r\n", {kEntered}, "c:\\Entered", {kSnmpc}},
        SourceCase{"KeyInAnyCase", "", kSection + "dIr=c:\\Other\r\n", {}, "c:\\Other", {}},
        SourceCase{"KeyAfterASpace", "", kSection + " DIR=c:\\Other\r\n", {kCancel}, "", {kSnmpc}},
        SourceCase{"ValueTrimmedThenOneBackslash", "", kSection + "DIR=  c:\\Other\\\\  \r\n", {}, "c:\\Other\\", {}},
        SourceCase{"EmptyAndBackslashValuesSkipped", "", kSection + "DIR=\r\nDIR= \\ \r\nDIR=c:\\Third\r\n", {},
                   "c:\\Third", {}},
        SourceCase{"DirAfterTheNextSection", "", kSection + "Ver=9\r\n[fonts]\r\nDIR=c:\\Other\r\n", {kCancel}, "",
                   {kSnmpc}},
        // Section present, stored value not empty: only the first line after the header counts.
        SourceCase{"StoredAndFirstLineDir", "c:\\SNMPc", kDir, {}, "c:\\Other", {}},
        SourceCase{"StoredAndFirstLineEmptyDir", "c:\\SNMPc", kSection + "DIR=\r\nVer=9\r\nDIR=c:\\Later\r\n", {},
                   "c:\\Later", {}},
        SourceCase{"StoredAndFirstLineEmptyDirNoOther", "c:\\SNMPc", kSection + "DIR=\r\n[fonts]\r\n", {kEntered},
                   "c:\\Entered", {kSnmpc}},
        SourceCase{"StoredAndFirstLineOtherKey", "c:\\SNMPc", kSection + "Ver=9\r\nDIR=c:\\Later\r\n", {},
                   "c:\\SNMPc", {}},
        SourceCase{"StoredUntestedBesideTheSection", "c:\\Empty", kSection + "Ver=9\r\n", {}, "c:\\Empty", {}},
        // Failures stop the search silently with what was found so far.
        SourceCase{"NullValue", "c:\\SNMPc", kDir, {}, "", {}, "UPDATE Settings_General SET SnmpcPath = NULL"},
        SourceCase{"NoSettingsRow", "c:\\SNMPc", kDir, {}, "", {}, "DELETE FROM Settings_General"},
        SourceCase{"ChangeOfDirectoryFails", "c:\\SNMPc", kDir, {}, "", {}, "", SourceCase::kChangeDirectoryFails},
        SourceCase{"WinIniUnreadable", "c:\\Empty", kDir, {}, "c:\\Empty", {}, "", SourceCase::kWinIniUnreadable},
        SourceCase{"PromptLeftAnotherWayTakesTheEarlierEntry", "c:\\Empty", {}, {PathAnswer::CloseWindow()},
                   "c:\\Earlier", {kEither}, "", SourceCase::kEnteredBefore}),
    test::CaseName());

}  // namespace
}  // namespace vsu
