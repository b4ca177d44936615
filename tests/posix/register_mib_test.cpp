// RegisterMib on real names.txt files: rewritten with the MIB, the old list kept as names.bak.

#include "mib/register_mib.h"
#include "support/fakes.h"
#include "support/fault_ports.h"
#include "support/posix/temp_dir.h"
#include "support/testing.h"

namespace vsu { namespace {

using Text = std::optional<std::string>;
constexpr const char* kList = "SNMPc/mibfiles/names.txt";
constexpr const char* kBackup = "SNMPc/mibfiles/names.bak";

class RegisterMibTest : public ::testing::Test {
 protected:
  RegisterMibTest() { s_.SnmpcDir = "c:\\SNMPc"; }
  void Register(Files& files) {
    Platform p = tp_.WithFiles(files);
    RegisterMib(p, s_);
  }
  Text Read(const char* relative) const {
    return test::fs::exists(dir_.path() / relative) ? Text(dir_.Read(relative)) : std::nullopt;
  }

  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
  test::FilesWrapper files_{tp_.files};
  InstallationState s_;
};

struct ListCase { const char* name; std::string before, after; };

class NamesList : public RegisterMibTest, public ::testing::WithParamInterface<ListCase> {};

// A second run replaces the first one's backup, after a pause, and leaves the list as it was.
TEST_P(NamesList, IsRewrittenAndBackedUpTheSameByASecondRun) {
  dir_.Write(kList, GetParam().before);
  Register(tp_.files);
  EXPECT_EQ(Read(kList), GetParam().after);
  EXPECT_EQ(Read(kBackup), GetParam().before);
  EXPECT_TRUE(tp_.Pauses().empty());
  Register(tp_.files);
  EXPECT_EQ(Read(kList), GetParam().after);
  EXPECT_EQ(Read(kBackup), GetParam().after);
  EXPECT_EQ(tp_.Pauses(), std::vector<long>{100});
  EXPECT_TRUE(tp_.ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamesList,
    ::testing::ValuesIn(std::vector<ListCase>{
        {"AlreadyRegistered", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n"},
        {"RegisteredEarlier", "FERROWIN.MIB\r\nrfc1213.mib\r\n", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n"},
        {"QuillbankInAnyCaseAndWithinALine", "a.mib\r\nquillbank.mib\r\nc:\\old\\QuillBank.Mib ; retired\r\nb.mib\r\n",
         "a.mib\r\nb.mib\r\nFerrowin.mib\r\n\r\n"},
        {"FerrowinWithinALine", "; ferrowin.mib belongs to Vela Scan\r\nb.mib\r\n", "b.mib\r\nFerrowin.mib\r\n\r\n"},
        {"EmptyLinesDroppedBlankLinesAndLoneLineFeedsKept", "\r\na.mib\r\n\r\n   \r\n\tx.mib\ny \r\n",
         "a.mib\r\n   \r\n\tx.mib\ny \r\nFerrowin.mib\r\n\r\n"},
        {"NoLines", "", "Ferrowin.mib\r\n\r\n"},
        {"LastLineWithoutLineEnd", "a.mib\r\nB.Mib", "a.mib\r\nB.Mib\r\nFerrowin.mib\r\n\r\n"}}),
    test::CaseName());

struct FailureCase {
  const char* name;
  const char* snmpcDir;
  Text list, backup;  // before
  const char* message;  // part of the failure description
  Text listAfter, backupAfter;
  const char *hidden = "", *unwritable = "";  // a path the file-exists test does not see; one that cannot be made
};

class RegisterMibFailure : public RegisterMibTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RegisterMibFailure, IsShownAndNothingIsUndone) {
  const auto& c = GetParam();
  s_.SnmpcDir = c.snmpcDir;
  dir_.MakeDir("SNMPc/mibfiles");
  if (c.list) dir_.Write(kList, *c.list);
  if (c.backup) dir_.Write(kBackup, *c.backup);
  files_.hidden = {c.hidden};
  files_.unwritable = {c.unwritable};
  Register(files_);
  ASSERT_EQ(tp_.ui.messages.size(), 1u);
  EXPECT_NE(tp_.ui.messages[0].text.find(c.message), std::string::npos) << tp_.ui.messages[0].text;
  EXPECT_EQ(tp_.ui.messages[0].style, 16);
  EXPECT_EQ(tp_.ui.messages[0].title, "Vela Scan");
  EXPECT_EQ(Read(kList), c.listAfter);
  EXPECT_EQ(Read(kBackup), c.backupAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterMibFailure,
    ::testing::ValuesIn(std::vector<FailureCase>{
        // A backup the file-exists test does not see is not deleted, so the rename fails.
        {"HiddenBackup", "c:\\SNMPc", "a.mib\r\n", "old.mib\r\n", "c:\\SNMPc\\mibfiles\\names.bak",
         "a.mib\r\n", "old.mib\r\n", "c:\\SNMPc\\mibfiles\\names.bak"},
        {"NoList", "c:\\SNMPc", {}, {}, "c:\\SNMPc\\mibfiles\\names.txt", {}, {}},
        {"EmptySnmpcDir", "", {}, {}, "\\mibfiles\\names.txt", {}, {}},
        // Past the rename: the old list stays in names.bak, names.txt is missing.
        {"ListCannotBeCreated", "c:\\SNMPc", "a.mib\r\n", {}, "c:\\SNMPc\\mibfiles\\names.txt", {},
         "a.mib\r\n", "", "c:\\SNMPc\\mibfiles\\names.txt.vsu-new"}}),
    test::CaseName());

// A run cut short at any file operation (a torn write too) and run again loses no name and leaves no stray file.
TEST_F(RegisterMibTest, ARunCutShortAnywhereLosesNoNameOnTheNextRun) {
  std::string before = "a.mib\r\nquillbank.mib\r\n";
  for (int i = 0; i < 12000; ++i) before += "vendor" + std::to_string(i) + ".mib\r\n";
  const std::string registered = "a.mib\r\n" + before.substr(7 + 15) + "Ferrowin.mib\r\n\r\n";
  for (long k = 1;; ++k) {
    SCOPED_TRACE("cut short at file operation " + std::to_string(k));
    test::fs::remove_all(dir_.path() / "SNMPc");
    dir_.Write(kList, before);
    dir_.Write(kBackup, "stale.mib\r\n");
    test::FaultCountdown cut;
    cut.failAt = k, cut.crash = true;
    files_.countdown = &cut;
    try {
      Register(files_);
    } catch (const test::Crash&) {
    }
    if (cut.fired.empty()) break;
    Register(tp_.files);
    EXPECT_EQ(Read(kList), registered);
    EXPECT_TRUE(Read(kBackup) == before || Read(kBackup) == registered);
    EXPECT_EQ(std::distance(test::fs::directory_iterator(dir_.path() / "SNMPc/mibfiles"), {}), 2);
  }
  EXPECT_TRUE(tp_.ui.messages.empty());
}

}}  // namespace vsu
