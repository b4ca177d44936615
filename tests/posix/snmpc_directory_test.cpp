// FindSnmpcDir on a fixture installation: where the SNMPc directory comes from.

#include <gtest/gtest.h>

#include "database/connection_strings.h"
#include "locations/frm_enter_path.h"
#include "locations/snmpc_directory.h"
#include "support/case_name.h"
#include "support/fakes.h"
#include "support/files_wrapper.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

using test::PathAnswer;

// An installation whose VelaScan.mdb stores snmpcPath, with no win.ini yet;
// c:\SNMPc holds snmpc.ini, c:\Lumidex lumidex.ini, c:\Entered snmpc.ini, and
// c:\Empty nothing.
fixture::InstallationOptions Stored(const std::string& snmpcPath) {
  fixture::InstallationOptions options;
  options.database.snmpcPath = snmpcPath;
  options.winIni = fixture::WinIni::kNone;
  return options;
}

class FindSnmpcDirTest : public ::testing::Test {
 protected:
  void Install(const std::string& snmpcPath) {
    install_.emplace(Stored(snmpcPath));
    install_->dir().Write("Lumidex/lumidex.ini", "[Server]\r\n");
    install_->dir().Write("Entered/snmpc.ini", "[SNMPc]\r\n");
    install_->dir().MakeDir("Empty");
    tp_.system.commandLine = "c:\\VelaScan";
    s_.WindowsDir = "c:\\windows";
  }
  void WinIni(const std::string& content) { install_->dir().Write("windows/win.ini", content); }
  void Find() { FindSnmpcDir(tp_.platform, s_); }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> prompts;
    for (const auto& line : tp_.ui.trace) {
      if (line.rfind("frmEnterPath.Caption ", 0) == 0) prompts.push_back(line.substr(21));
    }
    return prompts;
  }

  std::optional<test::TestInstallation> install_;
  test::TestPlatform tp_;
  InstallationState s_;
};

struct SourceCase {
  const char* name;
  std::string stored;                 // SnmpcPath in the database
  std::optional<std::string> winIni;  // none: no win.ini
  std::vector<PathAnswer> answers;
  const char* expected;
  std::vector<std::string> prompts;
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

class SnmpcSource : public FindSnmpcDirTest, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(SnmpcSource, SettlesTheDirectory) {
  const auto& c = GetParam();
  Install(c.stored);
  if (c.winIni) WinIni(*c.winIni);
  tp_.ui.answers.assign(c.answers.begin(), c.answers.end());
  Find();
  EXPECT_EQ(s_.SnmpcDir, c.expected);
  EXPECT_EQ(Prompts(), c.prompts);
  EXPECT_TRUE(tp_.ui.answers.empty()) << "the prompt was not shown as often as expected";
}

const std::string kSection = "[windows]\r\nload=\r\n[SNMPc Network Manager]\r\n";
const std::string kSnmpc = kPromptSnmpc;
const std::string kEither = kPromptSnmpcOrLumidex;
const auto kEntered = PathAnswer::Ok("c:\\Entered");

INSTANTIATE_TEST_SUITE_P(
    WinIniSources, SnmpcSource,
    ::testing::Values(
        // No win.ini, no section, or the section header as the last line: the stored value, tested.
        SourceCase{"NoWinIniStoredHoldsSnmpc", "c:\\SNMPc", std::nullopt, {}, "c:\\SNMPc", {}},
        SourceCase{"NoWinIniStoredHoldsLumidex", "c:\\Lumidex", std::nullopt, {}, "c:\\Lumidex", {}},
        SourceCase{"NoWinIniStoredHoldsNeither", "c:\\Empty", std::nullopt, {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"NoWinIniStoredEmptyCancelled", "", std::nullopt, {PathAnswer::Cancel()}, "", {kEither}},
        SourceCase{"StoredWithTrailingBackslash", "c:\\SNMPc\\", std::nullopt, {}, "c:\\SNMPc\\", {}},
        SourceCase{"NoSection", "c:\\Empty", "[windows]\r\nDIR=c:\\Other\r\n", {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"SectionOnLastLine", "c:\\Empty", kSection, {kEntered}, "c:\\Entered", {kEither}},
        SourceCase{"SectionOnLastLineWithoutLineEnd", "c:\\SNMPc", "[SNMPc Network Manager]", {}, "c:\\SNMPc", {}},
        SourceCase{"HeaderInOtherCase", "c:\\SNMPc", "[snmpc network manager]\r\nDIR=c:\\Other\r\n", {},
                   "c:\\SNMPc", {}},
        SourceCase{"HeaderAfterSpaces", "c:\\SNMPc", "  [SNMPc Network Manager]\r\nDIR=c:\\Other\r\n", {},
                   "c:\\SNMPc", {}},
        SourceCase{"LineFeedsOnlyMakeOneLine", "c:\\SNMPc", "[SNMPc Network Manager]\nDIR=c:\\Other\n", {},
                   "c:\\SNMPc", {}},
        // Section present, stored value empty: the first non-empty DIR= value, untested.
        SourceCase{"StoredEmptyFirstDir", "", kSection + "Ver=9\r\nDIR=c:\\Other\r\nDIR=c:\\Second\r\n", {},
                   "c:\\Other", {}},
        SourceCase{"StoredEmptyNoDir", "", kSection + "Ver=9\r\n[fonts]\r\n", {kEntered}, "c:\\Entered",
                   {kSnmpc}},
        SourceCase{"KeyInAnyCase", "", kSection + "dIr=c:\\Other\r\n", {}, "c:\\Other", {}},
        SourceCase{"KeyAfterASpace", "", kSection + " DIR=c:\\Other\r\n", {PathAnswer::Cancel()}, "",
                   {kSnmpc}},
        SourceCase{"ValueTrimmedThenOneBackslash", "", kSection + "DIR=  c:\\Other\\\\  \r\n", {},
                   "c:\\Other\\", {}},
        SourceCase{"EmptyAndBackslashValuesSkipped", "", kSection + "DIR=\r\nDIR= \\ \r\nDIR=c:\\Third\r\n",
                   {}, "c:\\Third", {}},
        SourceCase{"DirAfterTheNextSection", "", kSection + "Ver=9\r\n[fonts]\r\nDIR=c:\\Other\r\n",
                   {PathAnswer::Cancel()}, "", {kSnmpc}},
        // Section present, stored value not empty: only the first line after the header counts.
        SourceCase{"StoredAndFirstLineDir", "c:\\SNMPc", kSection + "DIR=c:\\Other\r\n", {}, "c:\\Other", {}},
        SourceCase{"StoredAndFirstLineEmptyDir", "c:\\SNMPc", kSection + "DIR=\r\nVer=9\r\nDIR=c:\\Later\r\n",
                   {}, "c:\\Later", {}},
        SourceCase{"StoredAndFirstLineEmptyDirNoOther", "c:\\SNMPc", kSection + "DIR=\r\n[fonts]\r\n",
                   {kEntered}, "c:\\Entered", {kSnmpc}},
        SourceCase{"StoredAndFirstLineOtherKey", "c:\\SNMPc", kSection + "Ver=9\r\nDIR=c:\\Later\r\n", {},
                   "c:\\SNMPc", {}},
        SourceCase{"StoredUntestedBesideTheSection", "c:\\Empty", kSection + "Ver=9\r\n", {}, "c:\\Empty",
                   {}}),
    test::CaseName());

struct ProgramDirCase {
  const char* name;
  const char* commandLine;
  const char* expected;
};

class ProgramDirSource : public FindSnmpcDirTest, public ::testing::WithParamInterface<ProgramDirCase> {};

TEST_P(ProgramDirSource, TrimsAndDropsOneBackslash) {
  Install("c:\\SNMPc");
  tp_.system.commandLine = GetParam().commandLine;
  tp_.system.ownDirectory = "  c:\\Own\\  ";
  Find();
  EXPECT_EQ(s_.ProgramDir, GetParam().expected);
  EXPECT_EQ(tp_.system.currentDirectories, std::vector<std::string>{GetParam().expected});
  EXPECT_EQ(s_.DbConnectString, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + std::string(GetParam().expected) +
                                    "\\VelaScan.mdb;Persist Security Info=False");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramDirSource,
    ::testing::Values(ProgramDirCase{"Plain", "c:\\VelaScan", "c:\\VelaScan"},
                      ProgramDirCase{"SpacesAndBackslash", "  c:\\VelaScan\\  ", "c:\\VelaScan"},
                      ProgramDirCase{"TwoBackslashes", "c:\\VelaScan\\\\", "c:\\VelaScan\\"},
                      ProgramDirCase{"QuotesKept", "\"c:\\VelaScan\"", "\"c:\\VelaScan\""},
                      ProgramDirCase{"EmptyMeansOwnDirectory", "", "c:\\Own"},
                      ProgramDirCase{"SpacesOnlyMeanOwnDirectory", "    ", "c:\\Own"}),
    test::CaseName());

TEST_F(FindSnmpcDirTest, FailedChangeOfDirectoryStopsSilently) {
  Install("c:\\SNMPc");
  WinIni(kSection + "DIR=c:\\Other\r\n");
  tp_.system.failSetCurrentDirectory = true;
  Find();
  EXPECT_EQ(s_.ProgramDir, "c:\\VelaScan");
  EXPECT_EQ(s_.DbConnectString, "");
  EXPECT_EQ(s_.SnmpcDir, "");
  EXPECT_TRUE(Prompts().empty());
  EXPECT_TRUE(tp_.ui.messages.empty());
}

struct DatabaseFault {
  const char* name;
  const char* sql;  // run on VelaScan.mdb first
  bool removeFile;
};

class SnmpcDatabaseFault : public FindSnmpcDirTest, public ::testing::WithParamInterface<DatabaseFault> {};

TEST_P(SnmpcDatabaseFault, LeavesTheDirectoryEmptyWithoutAWord) {
  Install("c:\\SNMPc");
  WinIni(kSection + "DIR=c:\\Other\r\n");
  test::Exec(install_->VelaScanDb(), GetParam().sql);
  if (GetParam().removeFile) std::filesystem::remove(install_->VelaScanDb());
  Find();
  EXPECT_EQ(s_.DbConnectString, VelaScanConnectString("c:\\VelaScan"));
  EXPECT_EQ(s_.SnmpcDir, "");
  EXPECT_TRUE(Prompts().empty());
  EXPECT_TRUE(tp_.ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SnmpcDatabaseFault,
    ::testing::Values(DatabaseFault{"MissingFile", "", true},
                      DatabaseFault{"NullValue", "UPDATE Settings_General SET SnmpcPath = NULL", false},
                      DatabaseFault{"NoRow", "DELETE FROM Settings_General", false},
                      DatabaseFault{"NoColumn", "ALTER TABLE Settings_General DROP COLUMN SnmpcPath", false},
                      DatabaseFault{"NoTable", "DROP TABLE Settings_General", false}),
    test::CaseName());

TEST_F(FindSnmpcDirTest, UnreadableWinIniStopsSilently) {
  Install("c:\\Empty");
  WinIni(kSection + "DIR=c:\\Other\r\n");
  test::FilesWrapper files(tp_.files);
  files.unreadable.insert("c:\\windows\\win.ini");
  Platform p = tp_.WithFiles(files);
  FindSnmpcDir(p, s_);
  EXPECT_EQ(s_.SnmpcDir, "c:\\Empty");
  EXPECT_TRUE(Prompts().empty());
}

TEST_F(FindSnmpcDirTest, PromptLeftAnotherWayTakesTheEarlierEntry) {
  Install("c:\\Empty");
  s_.EnteredPath = "c:\\Earlier";
  tp_.ui.answers = {PathAnswer::CloseWindow()};
  Find();
  EXPECT_EQ(s_.SnmpcDir, "c:\\Earlier");
}

}  // namespace
}  // namespace vsu
