// RegisterMib on real names.txt files.

#include <gtest/gtest.h>

#include "mib/register_mib.h"
#include "support/case_name.h"
#include "support/fakes.h"
#include "support/files_wrapper.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

constexpr const char* kList = "SNMPc/mibfiles/names.txt";
constexpr const char* kBackup = "SNMPc/mibfiles/names.bak";
constexpr const char* kRegistered = "Ferrowin.mib\r\n\r\n";

class RegisterMibTest : public ::testing::Test {
 protected:
  RegisterMibTest() { s_.SnmpcDir = "c:\\SNMPc"; }
  void Register() { RegisterMib(tp_.platform, s_); }
  void RegisterWith(Files& files) {
    Platform p = tp_.WithFiles(files);
    RegisterMib(p, s_);
  }
  bool Exists(const char* relative) const { return std::filesystem::exists(dir_.path() / relative); }
  void ExpectOneMessageWith(const std::string& part) {
    ASSERT_EQ(tp_.ui.messages.size(), 1u);
    EXPECT_NE(tp_.ui.messages[0].text.find(part), std::string::npos) << tp_.ui.messages[0].text;
    EXPECT_EQ(tp_.ui.messages[0].style, 16);
    EXPECT_EQ(tp_.ui.messages[0].title, "Vela Scan");
  }

  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
  InstallationState s_;
};

struct ListCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class NamesList : public RegisterMibTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(NamesList, IsRewrittenAndBackedUp) {
  dir_.Write(kList, GetParam().before);
  Register();
  EXPECT_TRUE(tp_.ui.messages.empty()) << tp_.ui.messages[0].text;
  EXPECT_EQ(dir_.Read(kList), GetParam().after);
  EXPECT_EQ(dir_.Read(kBackup), GetParam().before);
  EXPECT_TRUE(tp_.Pauses().empty());
}

TEST_P(NamesList, IsLeftAsItIsByASecondRun) {
  dir_.Write(kList, GetParam().before);
  Register();
  Register();
  EXPECT_EQ(dir_.Read(kList), GetParam().after);
  EXPECT_EQ(dir_.Read(kBackup), GetParam().after);
  EXPECT_EQ(tp_.Pauses(), std::vector<long>{100});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamesList,
    ::testing::Values(
        ListCase{"AlreadyRegistered", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"RegisteredEarlier", "FERROWIN.MIB\r\nrfc1213.mib\r\n", "rfc1213.mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"QuillbankInAnyCaseAndWithinALine",
                 "a.mib\r\nquillbank.mib\r\nc:\\old\\QuillBank.Mib ; retired\r\nb.mib\r\n",
                 "a.mib\r\nb.mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"FerrowinWithinALine", "; ferrowin.mib belongs to Vela Scan\r\nb.mib\r\n",
                 "b.mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"EmptyLinesDroppedBlankLinesKept", "\r\na.mib\r\n\r\n   \r\n\tx.mib \r\n",
                 "a.mib\r\n   \r\n\tx.mib \r\nFerrowin.mib\r\n\r\n"},
        ListCase{"NoLines", "", kRegistered},
        ListCase{"LastLineWithoutLineEnd", "a.mib\r\nB.Mib", "a.mib\r\nB.Mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"LoneCarriageReturns", "a.mib\rb.mib\r", "a.mib\r\nb.mib\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"LineFeedsOnlyMakeOneLine", "a.mib\nb.mib\n", "a.mib\nb.mib\n\r\nFerrowin.mib\r\n\r\n"},
        ListCase{"LineFeedsOnlyDroppedWhole", "a.mib\nquillbank.mib\nb.mib\n", kRegistered}),
    test::CaseName());

TEST_F(RegisterMibTest, ReplacesAnOldBackupAfterAPause) {
  dir_.Write(kList, "a.mib\r\n");
  dir_.Write(kBackup, "stale.mib\r\n");
  Register();
  EXPECT_EQ(dir_.Read(kBackup), "a.mib\r\n");
  EXPECT_EQ(dir_.Read(kList), "a.mib\r\nFerrowin.mib\r\n\r\n");
  EXPECT_EQ(tp_.Pauses(), std::vector<long>{100});
}

struct FailureCase {
  const char* name;
  const char* snmpcDir;
  std::function<void(const test::TempDir&, test::FilesWrapper&)> setup;
  const char* message;      // part of the failure description
  const char* listAfter;    // names.txt afterwards; null: missing
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class RegisterMibFailure : public RegisterMibTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RegisterMibFailure, IsShownAndNothingIsUndone) {
  const auto& c = GetParam();
  s_.SnmpcDir = c.snmpcDir;
  test::FilesWrapper files(tp_.files);
  c.setup(dir_, files);
  RegisterWith(files);
  ExpectOneMessageWith(c.message);
  if (c.listAfter) {
    EXPECT_EQ(dir_.Read(kList), c.listAfter);
  } else {
    EXPECT_FALSE(Exists(kList));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterMibFailure,
    ::testing::Values(
        // A backup the file-exists test does not see is not deleted, so the rename fails.
        FailureCase{"HiddenBackup", "c:\\SNMPc",
                    [](const test::TempDir& dir, test::FilesWrapper& files) {
                      dir.Write(kList, "a.mib\r\n");
                      dir.Write(kBackup, "old.mib\r\n");
                      files.hidden.insert("c:\\SNMPc\\mibfiles\\names.bak");
                    },
                    "c:\\SNMPc\\mibfiles\\names.bak", "a.mib\r\n"},
        FailureCase{"NoList", "c:\\SNMPc",
                    [](const test::TempDir& dir, test::FilesWrapper&) { dir.MakeDir("SNMPc/mibfiles"); },
                    "c:\\SNMPc\\mibfiles\\names.txt", nullptr},
        FailureCase{"NoMibFolder", "c:\\SNMPc", [](const test::TempDir&, test::FilesWrapper&) {},
                    "c:\\SNMPc\\mibfiles\\names.txt", nullptr},
        FailureCase{"EmptySnmpcDir", "", [](const test::TempDir&, test::FilesWrapper&) {},
                    "\\mibfiles\\names.txt", nullptr},
        // Past the rename: the old list stays in names.bak, names.txt is missing.
        FailureCase{"ListCannotBeCreated", "c:\\SNMPc",
                    [](const test::TempDir& dir, test::FilesWrapper& files) {
                      dir.Write(kList, "a.mib\r\n");
                      files.unwritable.insert("c:\\SNMPc\\mibfiles\\names.txt.vsu-new");
                    },
                    "c:\\SNMPc\\mibfiles\\names.txt", nullptr}),
    test::CaseName());

// A run cut short at any file operation, a write torn in half included, and
// run again keeps every name: names.txt ends as the registered list, names.bak
// as a whole one, and nothing else is left in the folder.
TEST_F(RegisterMibTest, ARunCutShortAnywhereLosesNoNameOnTheNextRun) {
  std::string before = "a.mib\r\nquillbank.mib\r\n";
  for (int i = 0; i < 12000; ++i) before += "vendor" + std::to_string(i) + ".mib\r\n";
  const std::string registered = before.substr(7 + 15) + "Ferrowin.mib\r\n\r\n";
  for (long k = 1;; ++k) {
    SCOPED_TRACE("cut short at file operation " + std::to_string(k));
    std::filesystem::remove_all(dir_.path() / "SNMPc");
    dir_.Write(kList, before);
    dir_.Write(kBackup, "stale.mib\r\n");
    test::FilesWrapper files(tp_.files);
    files.crashCall = k;
    try {
      RegisterWith(files);
    } catch (const test::Crash&) {
    }
    if (!files.faultFired) break;
    Register();
    EXPECT_EQ(dir_.Read(kList), "a.mib\r\n" + registered);
    const std::string backup = dir_.Read(kBackup);
    EXPECT_TRUE(backup == before || backup == "a.mib\r\n" + registered) << backup.size();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path() / "SNMPc/mibfiles"), {}), 2);
  }
  EXPECT_TRUE(tp_.ui.messages.empty());
}

TEST_F(RegisterMibTest, BackupKeepsTheListWhenTheNewOneCannotBeWritten) {
  dir_.Write(kList, "a.mib\r\n");
  test::FilesWrapper files(tp_.files);
  files.unwritable.insert("c:\\SNMPc\\mibfiles\\names.txt.vsu-new");
  RegisterWith(files);
  EXPECT_EQ(dir_.Read(kBackup), "a.mib\r\n");
}

}  // namespace
}  // namespace vsu
