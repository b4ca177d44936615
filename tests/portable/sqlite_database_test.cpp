// The SQLite engine behind the database port, on real files named by their own paths.

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "database/field_values.h"
#include "database/tables.h"
#include "platform/sqlite/sqlite_database.h"
#include "support/testing.h"
#include "support/unique_dir.h"

namespace vsu::sqlite { namespace {

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;
using Strings = std::vector<std::string>;

// Another program's connection to path, which has run script.
Handle OpenAndRun(const std::string& path, const std::string& script) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  return Handle(db, sqlite3_close_v2);
}

// The description of action's failure, or "" when it succeeded.
std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.Description();
  }
  return "";
}

// A database in a folder of its own; SuppGrp_Perm's rows were stored out of rowid order.
class SqliteDatabaseTest : public ::testing::Test {
 public:
  SqliteDatabaseTest() {
    OpenAndRun(file,
               "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150), Flag BIT, "
               "Threshold smallInt, Port INTEGER, Unset varChar(10));"
               "INSERT INTO Settings_General VALUES ('2.00', 'c:\\snmpc', 1, 7, 161, NULL);"
               "CREATE TABLE SuppGrp_Perm (Name varChar(20));"
               "INSERT INTO SuppGrp_Perm (rowid, Name) VALUES (5, 'Group 2'), (2, 'Group 1'), (9, 'Group 3');"
               "CREATE TABLE Empty (Name varChar(20));");
  }
  void SetUp() override { connection = Connect(); }
  // The connection goes first: Windows removes no file that is still open.
  ~SqliteDatabaseTest() override {
    connection.reset();
    std::error_code ignored;
    test::fs::remove_all(dir, ignored);
  }
  std::unique_ptr<Connection> Connect(int mode = adModeUnknown, const std::string& path = {}) {
    return OpenConnection(db, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + (path.empty() ? file : path) +
                                  ";Persist Security Info=False", mode);
  }
  std::unique_ptr<Recordset> Rows(const char* table) { return OpenTable(db, *connection, table); }
  void Write(const char* table, const char* column) {
    const auto rows = Rows(table);
    rows->SetField(column, std::string("x"));
    rows->Update();
  }

  const test::fs::path dir = test::MakeUniqueDir("vsu-sqlite-");
  const std::string file = (dir / "test.mdb").string();
  SqliteDatabase db{[](const std::string& path) {
    return test::fs::is_regular_file(path) ? std::optional<std::string>(path) : std::nullopt;
  }};
  std::unique_ptr<Connection> connection;
};

// Each column reads as the Jet kind of its declared type, and a written value reads back.
TEST_F(SqliteDatabaseTest, ValuesCrossWithTheirKind) {
  using Row = std::tuple<const char*, const char*, FieldValue, FieldValue>;
  for (const auto& [table, column, stored, written] : std::vector<Row>{
           {"Settings_General", "snmpcpath", std::string("c:\\snmpc"), std::string("d:\\x y")},
           {"Settings_General", "ProgVersion", std::string("2.00"), std::string("")},
           {"Settings_General", "Flag", true, false},
           {"Settings_General", "Threshold", std::int16_t{7}, std::int16_t{-32768}},
           {"Settings_General", "Port", std::int32_t{161}, std::int32_t{2147483647}},
           {"Settings_General", "Unset", std::monostate{}, std::string("x")},
           {"SuppGrp_Perm", "Name", std::string("Group 1"), std::monostate{}}}) {
    SCOPED_TRACE(column);
    const auto rows = Rows(table);
    EXPECT_EQ(rows->Field(column), stored);
    rows->SetField(column, written);
    rows->Update();
    rows->Close();
    rows->Open(table, *connection);
    EXPECT_EQ(rows->Field(column), written);
  }
}

TEST_F(SqliteDatabaseTest, EachFaultIsDescribed) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"no Data Source", [&] { OpenConnection(db, "Provider=x"); }},
      {"no field Gone", [&] { FieldText(*Rows("Settings_General"), "Gone"); }},
      {"no field Gone", [&] { Write("Settings_General", "Gone"); }},
      {"EOF", [&] { FieldText(*Rows("Empty"), "Name"); }},
      {"EOF", [&] { Write("Empty", "Name"); }},
      {"EOF", [&] { const auto rows = Rows("Settings_General"); rows->MoveNext(), rows->MoveNext(); }},
      {"Invalid use of Null", [&] { FieldText(*Rows("Settings_General"), "Unset"); }},
      {"Invalid use of Null", [&] { FieldInt32(*Rows("Settings_General"), "Unset"); }},
      {"Type mismatch", [&] { FieldInt32(*Rows("Settings_General"), "SnmpcPath"); }},
      {"closed", [&] { const auto rows = Rows("Settings_General"); rows->Close(), rows->Eof(); }},
      {"The current row is no longer in the table SuppGrp_Perm", [&] {
         const auto rows = Rows("SuppGrp_Perm");
         OpenAndRun(file, "DELETE FROM SuppGrp_Perm WHERE rowid = 2");
         rows->SetField("Name", std::string("x"));
         rows->Update();
       }},
      {"closed", [&] { connection->Close(), Rows("Settings_General"); }}};
  for (const auto& [expected, action] : cases) {
    const std::string description = FailureOf(action);
    EXPECT_NE(description.find(expected), std::string::npos) << expected << " / " << description;
  }
}

// Each way of leaving a recordset keeps the rows it updated only; a recordset's rows are the table's at Open.
TEST_F(SqliteDatabaseTest, ARecordsetKeepsItsRowsAndLeavesUpdatedOnesOnly) {
  const std::pair<std::function<void(Recordset&)>, Strings> cases[] = {
      {[](Recordset& r) { r.Close(); }, {"one", "Group 2", "Group 3"}},
      {[](Recordset&) {}, {"one", "Group 2", "Group 3"}},
      {[](Recordset& r) { r.MoveNext(); }, {"one", "two", "Group 3"}}};
  for (const auto& [leave, stored] : cases) {
    {
      const auto rows = Rows("SuppGrp_Perm");
      rows->SetField("Name", std::string("one"));
      rows->Update();
      rows->MoveNext();
      rows->SetField("Name", std::string("two"));
      leave(*rows);
    }
    Strings names;  // as a connection of their own reads them
    const auto other = Connect();
    for (const auto rows = OpenTable(db, *other, "SuppGrp_Perm"); !rows->Eof(); rows->MoveNext()) {
      names.push_back(FieldText(*rows, "Name"));
    }
    EXPECT_EQ(names, stored);
    OpenAndRun(file, "UPDATE SuppGrp_Perm SET Name = 'Group ' || (rowid / 4 + 1)");
  }
  // The rows are the table's at Open, their values as at each read, also after a schema change.
  const auto rows = Rows("SuppGrp_Perm");
  EXPECT_EQ(FieldText(*rows, "Name"), "Group 1");
  OpenAndRun(file, "INSERT INTO SuppGrp_Perm (Name) VALUES ('late'); DELETE FROM SuppGrp_Perm WHERE rowid = 5;"
                   "ALTER TABLE SuppGrp_Perm ADD COLUMN Extra BIT; UPDATE SuppGrp_Perm SET Name = 'renamed'");
  Strings seen;
  for (; !rows->Eof(); rows->MoveNext()) {
    const std::string failure = FailureOf([&] { seen.push_back(FieldText(*rows, "Name")); });
    if (!failure.empty()) seen.push_back(failure.substr(0, failure.find(':')));
  }
  EXPECT_EQ(seen, (Strings{"renamed", "The current row is no longer in the table SuppGrp_Perm", "renamed"}));
}

// Every file of a folder with its bytes; a write-ahead log's index by name only.
std::map<std::string, std::string> FolderContents(const test::fs::path& dir) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : test::fs::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    std::ifstream in(entry.path(), std::ios::binary);
    const bool skipped = name.ends_with("-shm") || entry.is_directory();
    contents[name] = skipped ? "" : std::string(std::istreambuf_iterator<char>(in), {});
  }
  return contents;
}

// A reader leaves the folder as it was with any journal: none, torn by a crash, a log, a log with a writer.
TEST_F(SqliteDatabaseTest, AReaderLeavesTheFileAndItsFolderAsTheyWere) {
  connection->Close();
  Handle writer(nullptr, sqlite3_close_v2);
  const std::pair<std::function<std::string()>, const char*> cases[] = {  // the file read, and SnmpcPath or the failure
      {[&] { return file; }, "c:\\snmpc"},
      {[&] {
         writer = OpenAndRun(file, "PRAGMA cache_size=1; BEGIN; UPDATE Settings_General SET SnmpcPath = 'torn';"
                                   "INSERT INTO Empty WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < 2000) SELECT hex(randomblob(100)) FROM n");
         test::fs::create_directory(dir / "crash");
         const std::string copy = (dir / "crash" / "test.mdb").string();
         for (const char* suffix : {"", "-journal"}) test::fs::copy_file(file + suffix, copy + suffix);
         writer.reset();
         return copy;
       }, "left unfinished"},
      {[&] { return OpenAndRun(file, "PRAGMA journal_mode=WAL"), file; }, "c:\\snmpc"},
      {[&] { return writer = OpenAndRun(file, "UPDATE Settings_General SET SnmpcPath = 'd:\\new'"), file; },
       "d:\\new"}};
  for (const auto& [prepare, expected] : cases) {
    const std::string path = prepare();
    const auto before = FolderContents(dir);
    const std::string read = FailureOf([&] {
      const auto reader = Connect(adModeRead, path);
      throw Failure(FieldText(*OpenTable(db, *reader, "Settings_General"), "SnmpcPath"));
    });
    EXPECT_NE(read.find(expected), std::string::npos) << read;
    EXPECT_EQ(FolderContents(dir), before) << expected;
  }
}

// Another program's hold is waited for at Open and later, in both journal modes, which the file keeps.
TEST_F(SqliteDatabaseTest, AnotherProgramsLockIsWaitedFor) {
  connection->Close();
  // The journal mode; what the other program runs, then holds a while and commits; what waits for it.
  using Row = std::tuple<std::string, const char*, std::function<void()>>;
  for (const auto& [journalMode, holderSql, action] : std::vector<Row>{
           {"delete", "BEGIN EXCLUSIVE", [&] { FieldText(*OpenTable(db, *Connect(), "Settings_General"), "ProgVersion"); }},
           {"delete", "BEGIN; SELECT count(*) FROM SuppGrp_Perm",
            [&] { connection = Connect(), Write("Settings_General", "SnmpcPath"); }},
           {"delete", "BEGIN IMMEDIATE",
            [&] { Connect()->Execute("ALTER TABLE SuppGrp_Perm ADD COLUMN Extra BIT"); }},
           {"wal", "BEGIN IMMEDIATE", [&] { connection = Connect(), Write("Settings_General", "SnmpcPath"); }}}) {
    SCOPED_TRACE(holderSql);
    OpenAndRun(file, "PRAGMA journal_mode=" + journalMode);
    constexpr auto kHold = std::chrono::milliseconds(300);
    const auto start = std::chrono::steady_clock::now();
    {
      auto holder = OpenAndRun(file, holderSql);
      std::thread release([&] {
        std::this_thread::sleep_for(kHold);
        sqlite3_exec(holder.get(), "COMMIT", nullptr, nullptr, nullptr);
      });
      EXPECT_NO_THROW(action());
      release.join();
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, kHold);
    connection.reset();
    std::string header(20, '\0');
    std::ifstream(file, std::ios::binary).read(header.data(), 20);
    EXPECT_EQ(header[18], journalMode == "wal" ? 2 : 1);  // the journal mode the file keeps
  }
}

}}  // namespace vsu::sqlite
