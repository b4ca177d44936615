// The schema ladder, and the engine that finds the files, on real SQLite files made by the fixture.

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "database/upgrade_database.h"
#include "support/fakes.h"
#include "support/posix/installation.h"
#include "support/testing.h"

namespace vsu { namespace {

using test::Query;
using Rows = std::vector<std::vector<std::string>>;
using Made = fixture::DatabaseOptions;

// Every table of a file with all its columns and rows, for whole-file comparison.
std::map<std::string, std::pair<std::vector<std::string>, Rows>> Contents(const std::string& file) {
  std::map<std::string, std::pair<std::vector<std::string>, Rows>> contents;
  for (const auto& table : test::Tables(file)) {
    contents[table] = {test::Columns(file, table), Query(file, "SELECT * FROM " + table + " ORDER BY rowid")};
  }
  return contents;
}

auto ContentsOf(const Made& options) {
  test::TempDir dir;
  fixture::MakeVelaScanDb(dir.path() / "made.mdb", options);
  return Contents((dir.path() / "made.mdb").string());
}

// A file made at version, holding stored in ProgVersion when it is given.
Made At(const char* version, long rows = 3, std::optional<std::string> stored = {}, bool settingsRow = true) {
  Made made;
  made.version = version, made.rows = rows, made.storedVersion = stored, made.settingsRow = settingsRow;
  return made;
}

std::string Stored(const Made& made) { return made.storedVersion.value_or(made.version); }

class UpgradeDatabaseTest : public ::testing::Test {
 protected:
  UpgradeDatabaseTest() { s_.DbConnectString = VelaScanConnectString("c:\\VelaScan"); }
  void Make(const Made& options) {
    fixture::MakeVelaScanDb(dir_.path() / "VelaScan" / "VelaScan.mdb", options);
    s_.DbVersion = Stored(options);
  }
  std::string File() const { return (dir_.path() / "VelaScan" / "VelaScan.mdb").string(); }

  test::TempDir dir_;
  test::ScopedEnv drive_{"VELASCANUPG_DRIVE_C", dir_.str().c_str()};
  test::TestPlatform tp_;
  InstallationState s_;
};

struct LadderCase {
  const char* name;
  Made made{};                 // the file the run starts from
  std::optional<Made> endsAs{};  // the file must end as one made so
  std::vector<long> pauses{};
  const char *message = nullptr, *query = nullptr;  // in the one failure, shown once the file is free; gives rows
  std::string sql{};                                // run on the file first
  Rows rows{};
  bool noFile = false;
};

class Ladder : public UpgradeDatabaseTest, public ::testing::WithParamInterface<LadderCase> {};

TEST_P(Ladder, ClimbsFromItsVersionOrStopsKeepingWhatWasDone) {
  const auto& c = GetParam();
  s_.DbVersion = Stored(c.made);
  if (!c.noFile) Make(c.made), test::Exec(File(), c.sql);
  bool released = false;
  tp_.ui.onMsgBox = [&] {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(File().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    released = sqlite3_exec(raw, "BEGIN EXCLUSIVE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK || c.noFile;
    sqlite3_close_v2(raw);
  };
  UpgradeDatabase(tp_.platform, s_);

  const std::string version = Stored(c.endsAs.value_or(c.made));
  EXPECT_EQ(s_.DbVersion, version);
  EXPECT_EQ(tp_.Pauses(), c.pauses);
  if (c.endsAs) { EXPECT_EQ(Contents(File()), ContentsOf(*c.endsAs)); }
  if (c.made.settingsRow && !c.noFile) {
    EXPECT_EQ(Query(File(), "SELECT ProgVersion FROM Settings_General"), Rows{{version}});
  }
  if (c.query) { EXPECT_EQ(Query(File(), c.query), c.rows); }
  EXPECT_EQ(test::fs::exists(File()), !c.noFile);
  ASSERT_EQ(tp_.ui.messages.size(), c.message ? 1u : 0u) << tp_.ui.trace.back();
  if (!c.message) return;
  EXPECT_NE(tp_.ui.messages[0].text.find(c.message), std::string::npos) << tp_.ui.messages[0].text;
  EXPECT_EQ(tp_.ui.messages[0].style, 16);
  EXPECT_EQ(tp_.ui.messages[0].title, "Vela Scan_UpgradeDatabase");
  EXPECT_TRUE(released);
}

const std::vector<long> kAllPauses = {200, 300, 300, 200, 200, 200};
const Made k314 = At("3.14");
const char* kNewTables = "SELECT name FROM sqlite_master WHERE name LIKE 'SentFailed%' ORDER BY name";
const char* kFill = "SELECT CorrUpNotInQueue FROM SuppGrp_Perm ORDER BY rowid";
std::string RefuseRow3(const char* how) {
  return std::string("CREATE TRIGGER refuse BEFORE UPDATE ON SuppGrp_Perm WHEN old.rowid = 3 BEGIN SELECT RAISE(") +
         how + ", 'row 3 is locked'); END";
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Ladder,
    ::testing::ValuesIn(std::vector<LadderCase>{
        {.name = "From200", .made = At("2.00", 4), .endsAs = At("3.14", 4), .pauses = kAllPauses},
        {.name = "From200EmptyFillTables", .made = At("2.00", 0), .endsAs = At("3.14", 0), .pauses = kAllPauses},
        {.name = "From205", .made = At("2.05"), .endsAs = k314, .pauses = {200, 200, 200}},
        {.name = "From210", .made = At("2.10"), .endsAs = k314, .pauses = {200, 200}},
        {.name = "From211", .made = At("2.11"), .endsAs = At("2.11")},
        {.name = "From300", .made = At("3.00"), .endsAs = k314, .pauses = {200, 200}},
        {.name = "From311", .made = At("3.11"), .endsAs = k314, .pauses = {200}},
        {.name = "From313", .made = At("3.13"), .endsAs = k314},
        {.name = "From314", .made = k314, .endsAs = k314},
        {.name = "From190", .made = At("2.00", 3, "1.90"), .endsAs = At("2.00", 3, "1.90")},
        {.name = "From400", .made = At("3.14", 3, "4.00"), .endsAs = At("3.14", 3, "4.00")},
        // One character is both the major and the minor version.
        {.name = "OneCharacter", .made = At("3.03", 3, "3"), .endsAs = k314, .pauses = {200, 200}},
        {.name = "Empty", .made = At("2.00", 3, ""), .message = "Type mismatch"},
        {.name = "SpaceMajor", .made = At("2.00", 3, " .05"), .message = "Type mismatch"},
        {.name = "MissingDatabaseIsNotCreated", .made = At("2.00"),
         .message = "Could not find file 'c:\\VelaScan\\VelaScan.mdb'", .noFile = true},
        {.name = "ColumnAlreadyThere", .made = At("2.00"), .message = "duplicate column name: CorrUpNotInQueue",
         .query = kNewTables, .sql = "ALTER TABLE SuppGrp_Perm ADD COLUMN CorrUpNotInQueue BIT"},
        // Step 2.05 stopped after its first table; the rerun fails at that table.
        {.name = "TableAlreadyThere", .made = At("2.01"), .message = "table SentFailed_Mobile_PO already exists",
         .query = kNewTables, .sql = "CREATE TABLE SentFailed_Mobile_PO (Name varChar(50), UserKey varChar(150))",
         .rows = {{"SentFailed_Mobile_PO"}}},
        // No version row: the first step's statement and fill stay, its record fails.
        {.name = "EmptySettingsGeneral", .made = At("2.00", 2, {}, false), .pauses = {200}, .message = "EOF",
         .query = kFill, .rows = {{"0"}, {"0"}}},
        {.name = "FillTableMissing", .made = At("3.03"), .message = "no such table: Maintenance",
         .sql = "DROP TABLE Maintenance"},
        // A fill refused at row 3 keeps rows 1-2; one whose transaction the engine gives up undoes the step.
        {.name = "FillRowRefused", .made = At("2.00", 5), .pauses = {200}, .message = "row 3 is locked",
         .query = kFill, .sql = RefuseRow3("ABORT"), .rows = {{"0"}, {"0"}, {"NULL"}, {"NULL"}, {"NULL"}}},
        {.name = "FillTransactionGivenUp", .made = At("2.00", 5), .endsAs = At("2.00", 5), .pauses = {200},
         .message = "row 3 is locked", .sql = RefuseRow3("ROLLBACK")}}),
    test::CaseName());

// A kill inside a step leaves the file exactly as made at the step before; the rerun completes the ladder.
struct KillCase {
  const char *name, *statement;  // killed as the engine starts...
  int occurrence;                // ...this occurrence of a statement holding this text
  const char* completed;         // the version the file is left at
};

class LadderKill : public UpgradeDatabaseTest, public ::testing::WithParamInterface<KillCase> {};

TEST_P(LadderKill, LeavesTheLastCompletedStepForTheRerun) {
  const auto& c = GetParam();
  Make(At("2.00"));
  if (::fork() == 0) {
    // The child ends as a kill would when the engine starts the statement asked for.
    static const char* text;
    static int left;
    text = c.statement, left = c.occurrence;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(+[](sqlite3* db, char**, const sqlite3_api_routines*) {
      sqlite3_trace_v2(db, SQLITE_TRACE_STMT, [](unsigned, void*, void*, void* sql) {
        if (std::strstr(static_cast<const char*>(sql), text) && --left == 0) ::_exit(0);
        return 0;
      }, nullptr);
      return SQLITE_OK;
    }));
    UpgradeDatabase(tp_.platform, s_);
    ::_exit(1);
  }
  int status = -1;
  ::wait(&status);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run was not killed where asked";
  EXPECT_EQ(Contents(File()), ContentsOf(At(c.completed)));
  s_.DbVersion = c.completed;
  UpgradeDatabase(tp_.platform, s_);
  EXPECT_TRUE(tp_.ui.messages.empty());
  EXPECT_EQ(Contents(File()), ContentsOf(k314));
}

INSTANTIATE_TEST_SUITE_P(Points, LadderKill,
                         ::testing::Values(KillCase{"BetweenStatements", "Mobile_PO ADD COLUMN Message", 1, "2.01"},
                                           KillCase{"InAFill", "SET \"NodeGroupSearch\"", 2, "2.08"},
                                           KillCase{"BeforeTheVersionRecord", "SET \"ProgVersion\"", 1, "2.00"}),
                         test::CaseName());

// The upgrade runs beside an idle connection to the same file, which then sees the new schema.
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
  UpgradeDatabase(tp_.platform, s_);
  EXPECT_TRUE(tp_.ui.messages.empty());
  const auto settings = OpenTable(tp_.db, *idle, "Settings_General");
  EXPECT_EQ(settings->Field("ProgVersion"), FieldValue(std::string("3.14")));
  EXPECT_EQ(settings->Field("EventFloodThreshold"), FieldValue(std::int16_t{100}));
}

// The engine finds ordinary files where program paths map, in any letter case, and nothing else.
TEST_F(UpgradeDatabaseTest, TheEngineFindsOrdinaryFilesOnTheDrivesOnly) {
  Make(k314);
  dir_.MakeDir("VelaScan/folder.mdb");
  for (const auto& [source, expected] :
       {std::pair{"C:\\VELASCAN\\velascan.MDB", "3.14"},
        {"q:\\VelaScan.mdb", "Could not find file 'q:\\VelaScan.mdb'."},
        {"c:\\VelaScan\\folder.mdb", "Could not find file 'c:\\VelaScan\\folder.mdb'."}}) {
    std::string read;
    try {
      const auto connection = OpenConnection(tp_.db, std::string("Provider=x;Data Source=") + source);
      read = FieldText(*OpenTable(tp_.db, *connection, "settings_general"), "progversion");
    } catch (const Failure& failure) {
      read = failure.Description();
    }
    EXPECT_EQ(read, expected);
  }
}

}}  // namespace vsu
