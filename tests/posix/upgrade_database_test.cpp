// The schema ladder on real SQLite files made by the fixture.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "database/upgrade_database.h"
#include "support/case_name.h"
#include "support/fakes.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

using test::Columns;
using test::Query;
using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kTitle = "Vela Scan_UpgradeDatabase";

// Every table of a file with all its columns and rows, for whole-file comparison.
std::map<std::string, std::pair<std::vector<std::string>, Rows>> Contents(const std::string& file) {
  std::map<std::string, std::pair<std::vector<std::string>, Rows>> contents;
  for (const auto& table : test::Tables(file)) {
    contents[table] = {Columns(file, table), Query(file, "SELECT * FROM " + table + " ORDER BY rowid")};
  }
  return contents;
}

// A database made at version, holding stored (default: the version) in ProgVersion.
fixture::DatabaseOptions At(const char* version, long rows = 3, const char* stored = nullptr,
                            bool settingsRow = true) {
  fixture::DatabaseOptions options;
  options.version = version;
  if (stored) options.storedVersion = stored;
  options.rows = rows;
  options.settingsRow = settingsRow;
  return options;
}

// The contents of a file freshly made with options.
auto ContentsOf(const fixture::DatabaseOptions& options) {
  test::TempDir dir;
  fixture::MakeVelaScanDb(dir.path() / "made.mdb", options);
  return Contents((dir.path() / "made.mdb").string());
}

class UpgradeDatabaseTest : public ::testing::Test {
 protected:
  void Make(fixture::DatabaseOptions options) {
    fixture::MakeVelaScanDb(dir_.path() / "VelaScan" / "VelaScan.mdb", options);
    s_.DbVersion = options.storedVersion.value_or(options.version);
  }
  void Upgrade() { UpgradeDatabase(tp_.platform, s_); }
  std::string File() const { return (dir_.path() / "VelaScan" / "VelaScan.mdb").string(); }
  std::string ProgVersion() const { return Query(File(), "SELECT ProgVersion FROM Settings_General")[0][0]; }
  void ExpectOneMessageWith(const std::string& part) {
    ASSERT_EQ(tp_.ui.messages.size(), 1u);
    EXPECT_NE(tp_.ui.messages[0].text.find(part), std::string::npos) << tp_.ui.messages[0].text;
    EXPECT_EQ(tp_.ui.messages[0].style, 16);
    EXPECT_EQ(tp_.ui.messages[0].title, kTitle);
  }

  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
  InstallationState s_ = Connected();

 private:
  static InstallationState Connected() {
    InstallationState s;
    s.DbConnectString = VelaScanConnectString("c:\\VelaScan");
    return s;
  }
};

struct StartCase {
  const char* name;
  const char* schema;            // schema version the file is made at
  const char* stored;            // ProgVersion text it holds
  long rows;
  const char* expectedSchema;    // the file must end up as one made at this version...
  const char* expectedStored;    // ...holding this ProgVersion
  std::vector<long> pauses;
  const char* message;           // part of the one failure message, or null for none
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class LadderStart : public UpgradeDatabaseTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(LadderStart, EndsAsAFileMadeAtTheExpectedVersion) {
  const auto& c = GetParam();
  Make(At(c.schema, c.rows, c.stored));
  Upgrade();

  EXPECT_EQ(Contents(File()), ContentsOf(At(c.expectedSchema, c.rows, c.expectedStored)));
  EXPECT_EQ(s_.DbVersion, c.expectedStored);
  EXPECT_EQ(tp_.Pauses(), c.pauses);
  if (c.message) {
    ExpectOneMessageWith(c.message);
  } else {
    EXPECT_TRUE(tp_.ui.messages.empty()) << tp_.ui.messages[0].text;
  }
}

const std::vector<long> kAllPauses = {200, 300, 300, 200, 200, 200};

INSTANTIATE_TEST_SUITE_P(
    Versions, LadderStart,
    ::testing::Values(StartCase{"From200", "2.00", "2.00", 4, "3.14", "3.14", kAllPauses, nullptr},
                      StartCase{"From200EmptyFillTables", "2.00", "2.00", 0, "3.14", "3.14", kAllPauses, nullptr},
                      StartCase{"From205", "2.05", "2.05", 3, "3.14", "3.14", {200, 200, 200}, nullptr},
                      StartCase{"From207", "2.07", "2.07", 3, "3.14", "3.14", {200, 200, 200}, nullptr},
                      StartCase{"From210", "2.10", "2.10", 3, "3.14", "3.14", {200, 200}, nullptr},
                      StartCase{"From211", "2.11", "2.11", 3, "2.11", "2.11", {}, nullptr},
                      StartCase{"From250", "2.50", "2.50", 3, "2.50", "2.50", {}, nullptr},
                      StartCase{"From300", "3.00", "3.00", 3, "3.14", "3.14", {200, 200}, nullptr},
                      StartCase{"From311", "3.11", "3.11", 3, "3.14", "3.14", {200}, nullptr},
                      StartCase{"From313", "3.13", "3.13", 3, "3.14", "3.14", {}, nullptr},
                      StartCase{"From314", "3.14", "3.14", 3, "3.14", "3.14", {}, nullptr},
                      StartCase{"From190", "2.00", "1.90", 3, "2.00", "1.90", {}, nullptr},
                      StartCase{"From400", "3.14", "4.00", 3, "3.14", "4.00", {}, nullptr},
                      // One character is both the major and the minor version.
                      StartCase{"OneCharacter", "3.03", "3", 3, "3.14", "3.14", {200, 200}, nullptr},
                      StartCase{"Empty", "2.00", "", 3, "2.00", "", {}, "Type mismatch"},
                      StartCase{"LetterMinor", "2.00", "2.0x", 3, "2.00", "2.0x", {}, "Type mismatch"},
                      StartCase{"SpaceMajor", "2.00", " .05", 3, "2.00", " .05", {}, "Type mismatch"}),
    test::CaseName());

TEST_F(UpgradeDatabaseTest, From200GivesExactlyTheNewColumnsAndValues) {
  Make(At("2.00"));
  Upgrade();
  EXPECT_EQ(ProgVersion(), "3.14");
  EXPECT_EQ(Query(File(), "SELECT CorrUpNotInQueue, NodeGroupSearch, NodeNameSearch, MessageSearch FROM SuppGrp_Perm"),
            Rows(3, {"0", "=", "=", "="}));
  EXPECT_EQ(Query(File(), "SELECT PollType FROM Maintenance"), Rows(3, {""}));
  EXPECT_EQ(Query(File(), "SELECT DropTrapDevMaint, EventFloodTrap, EventFloodThreshold FROM Settings_General"),
            Rows(1, {"0", "0", "100"}));
  EXPECT_EQ(Columns(File(), "SentFailed_Mobile_PO"),
            (std::vector<std::string>{"Name varChar(50)", "UserKey varChar(150)", "Device varChar(50)",
                                      "AlarmImportance varChar(20)", "Message varChar(250)", "RetriesLeft smallInt"}));
  EXPECT_EQ(Columns(File(), "SentFailed_Mail_SMTP"),
            (std::vector<std::string>{"Name varChar(50)", "MailAddress varChar(150)", "MailServer varChar(50)",
                                      "AlarmImportance varChar(20)", "Message varChar(250)", "RetriesLeft smallInt"}));
  EXPECT_EQ(Columns(File(), "Settings_General"),
            (std::vector<std::string>{"ProgVersion varChar(10)", "SnmpcPath varChar(150)", "DropTrapDevMaint BIT",
                                      "EventFloodTrap BIT", "EventFloodThreshold smallInt"}));
  // The values cross back with their kinds.
  const auto connection = OpenConnection(tp_.db, s_.DbConnectString);
  const auto settings = OpenTable(tp_.db, *connection, "Settings_General");
  EXPECT_EQ(settings->Field("EventFloodThreshold"), FieldValue(std::int16_t{100}));
  EXPECT_EQ(settings->Field("EventFloodTrap"), FieldValue(false));
}

// A run that stops part-way keeps what it did and names the engine's reason.
struct StopCase {
  const char* name;
  const char* schema;
  bool settingsRow;
  const char* setupSql;
  const char* message;
  const char* progVersion;                  // ProgVersion afterwards (null: no row)
  const char* dbVersion;                    // DbVersion afterwards
  std::vector<std::string> tablesAfter;     // tables that must exist afterwards
  std::vector<std::string> tablesMissing;   // and that must not
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class LadderStop : public UpgradeDatabaseTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(LadderStop, KeepsWhatWasDone) {
  const auto& c = GetParam();
  Make(At(c.schema, 3, nullptr, c.settingsRow));
  test::Exec(File(), c.setupSql);
  Upgrade();
  ExpectOneMessageWith(c.message);
  if (c.progVersion) {
    EXPECT_EQ(ProgVersion(), c.progVersion);
  }
  EXPECT_EQ(s_.DbVersion, c.dbVersion);
  const auto tables = test::Tables(File());
  for (const auto& t : c.tablesAfter) EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
  for (const auto& t : c.tablesMissing) EXPECT_EQ(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LadderStop,
    ::testing::Values(
        StopCase{"ColumnAlreadyThere", "2.00", true, "ALTER TABLE SuppGrp_Perm ADD COLUMN CorrUpNotInQueue BIT",
                 "duplicate column name: CorrUpNotInQueue", "2.00", "2.00", {}, {"SentFailed_Mobile_PO"}},
        // Step 2.05 stopped after its first table; the rerun fails at that table.
        StopCase{"TableAlreadyThere", "2.01", true,
                 "CREATE TABLE SentFailed_Mobile_PO (Name varChar(50), UserKey varChar(150))",
                 "table SentFailed_Mobile_PO already exists", "2.01", "2.01", {"SentFailed_Mobile_PO"},
                 {"SentFailed_Mail_SMTP"}},
        // Step 3.12 stopped after its first column.
        StopCase{"SecondColumnOfAStep", "3.10", true, "ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT",
                 "duplicate column name: EventFloodTrap", "3.10", "3.10", {}, {}},
        // No version row: the first step's statement and fill stay, its record fails.
        StopCase{"EmptySettingsGeneral", "2.00", false, "", "EOF", nullptr, "2.00", {}, {"SentFailed_Mobile_PO"}},
        StopCase{"FillTableMissing", "3.03", true, "DROP TABLE Maintenance", "no such table: Maintenance", "3.03",
                 "3.03", {}, {}}),
    test::CaseName());

TEST_F(UpgradeDatabaseTest, EmptySettingsGeneralKeepsTheFirstStepsChanges) {
  Make(At("2.00", 2, nullptr, false));
  Upgrade();
  EXPECT_EQ(Query(File(), "SELECT CorrUpNotInQueue FROM SuppGrp_Perm"), Rows(2, {"0"}));
}

TEST_F(UpgradeDatabaseTest, MissingDatabaseIsReportedAndNotCreated) {
  s_.DbVersion = "2.00";
  Upgrade();
  ExpectOneMessageWith("Could not find file 'c:\\VelaScan\\VelaScan.mdb'");
  EXPECT_FALSE(std::filesystem::exists(File()));
}

// A fill that fails at its third row: a refused row keeps the rows stored before
// it; a failure with which the engine gives the whole transaction up (as with a
// full disk) undoes the step. Either way the file is free when the message shows.
struct FillFailureCase {
  const char* name;
  const char* raise;
  Rows stored;  // CorrUpNotInQueue of the five rows; none: the file is as it was
};

void PrintTo(const FillFailureCase& c, std::ostream* os) { *os << c.name; }

class FillFailure : public UpgradeDatabaseTest, public ::testing::WithParamInterface<FillFailureCase> {};

TEST_P(FillFailure, KeepsWhatTheEngineKeptAndReleasesTheFileBeforeTheMessage) {
  Make(At("2.00", 5));
  test::Exec(File(), std::string("CREATE TRIGGER refuse BEFORE UPDATE ON SuppGrp_Perm WHEN old.rowid = 3 BEGIN SELECT "
                                 "RAISE(") + GetParam().raise + ", 'row 3 is locked'); END");
  bool releasedAtMessage = false;
  tp_.ui.onMsgBox = [&] {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(File().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    releasedAtMessage = sqlite3_exec(raw, "BEGIN EXCLUSIVE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(raw);
  };
  Upgrade();
  ExpectOneMessageWith("row 3 is locked");
  EXPECT_TRUE(releasedAtMessage);
  if (GetParam().stored.empty()) {
    EXPECT_EQ(Contents(File()), ContentsOf(At("2.00", 5)));
  } else {
    EXPECT_EQ(Query(File(), "SELECT CorrUpNotInQueue FROM SuppGrp_Perm ORDER BY rowid"), GetParam().stored);
  }
  EXPECT_EQ(ProgVersion(), "2.00");
}

INSTANTIATE_TEST_SUITE_P(Cases, FillFailure,
                         ::testing::Values(FillFailureCase{"RowRefused", "ABORT",
                                                           {{"0"}, {"0"}, {"NULL"}, {"NULL"}, {"NULL"}}},
                                           FillFailureCase{"TransactionGivenUp", "ROLLBACK", {}}),
                         test::CaseName());

// From now on this process ends as a kill would, without any cleanup, when the
// engine starts the occurrence-th statement whose text holds part.
void KillAtStatement(const char* part, int occurrence) {
  static const char* text;
  static int left;
  text = part;
  left = occurrence;
  sqlite3_auto_extension(reinterpret_cast<void (*)()>(+[](sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void*, void*, void* sql) {
          if (std::strstr(static_cast<const char*>(sql), text) && --left == 0) ::_exit(0);
          return 0;
        },
        nullptr);
    return SQLITE_OK;
  }));
}

// A kill inside a step, wherever it falls, leaves the file exactly as one made
// at the step before; the rerun completes the ladder.
struct KillCase {
  const char* name;
  const char* statement;  // killed as the engine starts...
  int occurrence;         // ...this occurrence of a statement holding this text
  const char* completed;  // the version the file is left at
};

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

class LadderKill : public UpgradeDatabaseTest, public ::testing::WithParamInterface<KillCase> {};

TEST_P(LadderKill, LeavesTheLastCompletedStepForTheRerun) {
  const auto& c = GetParam();
  Make(At("2.00"));
  const pid_t child = ::fork();
  if (child == 0) {
    KillAtStatement(c.statement, c.occurrence);
    Upgrade();
    ::_exit(1);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run was not killed where asked";
  EXPECT_EQ(Contents(File()), ContentsOf(At(c.completed)));
  s_.DbVersion = c.completed;
  Upgrade();
  EXPECT_TRUE(tp_.ui.messages.empty());
  EXPECT_EQ(Contents(File()), ContentsOf(At("3.14")));
}

INSTANTIATE_TEST_SUITE_P(
    Points, LadderKill,
    ::testing::Values(KillCase{"BetweenStatements", "Mobile_PO ADD COLUMN Message", 1, "2.01"},
                      KillCase{"InAFill", "SET \"NodeGroupSearch\"", 2, "2.08"},
                      KillCase{"BeforeTheVersionRecord", "SET \"ProgVersion\"", 1, "2.00"},
                      KillCase{"AtTheCommit", "COMMIT", 3, "2.05"}),
    test::CaseName());

TEST_F(UpgradeDatabaseTest, RunsBesideAnIdleConnectionToTheSameFile) {
  Make(At("2.00"));
  const auto idle = OpenConnection(tp_.db, s_.DbConnectString);
  {
    const auto settings = OpenTable(tp_.db, *idle, "Settings_General");
    EXPECT_EQ(FieldText(*settings, "ProgVersion"), "2.00");
    settings->SetField("SnmpcPath", std::string("c:\\SNMPc"));
    settings->Update();
    settings->Close();
  }
  Upgrade();
  EXPECT_TRUE(tp_.ui.messages.empty());
  EXPECT_EQ(ProgVersion(), "3.14");
  // The idle connection sees the new schema.
  const auto settings = OpenTable(tp_.db, *idle, "Settings_General");
  EXPECT_EQ(FieldInt32(*settings, "EventFloodThreshold"), 100);
}

}  // namespace
}  // namespace vsu
