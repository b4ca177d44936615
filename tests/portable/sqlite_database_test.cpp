#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "platform/sqlite/sqlite_database.h"
#include "support/unique_dir.h"

namespace vsu::sqlite {
namespace {

// The engine on real files named by their own paths, the same on every
// platform the program is built for.

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

// Another program's connection to path, which has run script.
Handle OpenAndRun(const std::string& path, const std::string& script) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  return Handle(db, sqlite3_close_v2);
}

// A SQLite file in a folder of its own, made from a script and removed with
// the folder at the end.
class DatabaseFile {
 public:
  explicit DatabaseFile(const char* script) : dir_(test::MakeUniqueDir("vsu-sqlite-")), path_(dir_ / "test.mdb") {
    OpenAndRun(path_.string(), script);
  }
  ~DatabaseFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::filesystem::path& dir() const { return dir_; }
  std::string path() const { return path_.string(); }
  std::string ConnectionString() const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path() + ";Persist Security Info=False";
  }

 private:
  std::filesystem::path dir_;
  std::filesystem::path path_;
};

constexpr const char* kSettings =
    "CREATE TABLE Settings_General (ProgVersion varChar(10), SnmpcPath varChar(150), Flag BIT, "
    "Threshold smallInt, Port INTEGER);"
    "INSERT INTO Settings_General VALUES ('2.00', 'c:\\snmpc', 1, 7, 161);"
    "CREATE TABLE SuppGrp_Perm (Name varChar(20));"
    "INSERT INTO SuppGrp_Perm VALUES ('a'); INSERT INTO SuppGrp_Perm VALUES ('b');"
    "CREATE TABLE Empty (Name varChar(20));";

SqliteDatabase MakeDatabase() {
  return SqliteDatabase([](const std::string& path) -> std::optional<std::string> {
    if (!std::filesystem::is_regular_file(path)) return std::nullopt;
    return path;
  });
}

class SqliteDatabaseTest : public ::testing::Test {
 protected:
  std::unique_ptr<Connection> Connect(int mode = adModeUnknown, const std::string& path = {}) {
    auto connection = db_.CreateConnection();
    connection->Mode = mode;
    connection->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + (path.empty() ? file_.path() : path) +
                     ";Persist Security Info=False");
    return connection;
  }
  // A static, optimistic recordset on table, standing on its first row.
  std::unique_ptr<Recordset> OpenTable(const std::string& table, Connection& connection) {
    auto rs = db_.CreateRecordset();
    rs->CursorType = adOpenStatic;
    rs->LockType = adLockOptimistic;
    rs->Open(table, connection);
    return rs;
  }
  static std::string Text(Recordset& rs, const std::string& column) { return std::get<std::string>(rs.Field(column)); }

 public:
  // What the lock tests do beside another program.
  void Read() { Text(*OpenTable("Settings_General", *Connect()), "ProgVersion"); }
  void Write() {
    const auto connection = Connect();
    const auto rs = OpenTable("Settings_General", *connection);
    rs->SetField("SnmpcPath", std::string("e:\\snmpc"));
    rs->Update();
    rs->Close();
  }
  void Alter() { Connect()->Execute("ALTER TABLE SuppGrp_Perm ADD COLUMN Extra BIT"); }

 protected:

  DatabaseFile file_{kSettings};
  SqliteDatabase db_ = MakeDatabase();
};

TEST_F(SqliteDatabaseTest, ReadsTheFirstRowWithJetKinds) {
  auto connection = Connect();
  auto rs = OpenTable("Settings_General", *connection);
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(Text(*rs, "ProgVersion"), "2.00");
  EXPECT_EQ(Text(*rs, "snmpcpath"), "c:\\snmpc");
  EXPECT_EQ(std::get<bool>(rs->Field("Flag")), true);
  EXPECT_EQ(std::get<std::int16_t>(rs->Field("Threshold")), 7);
  EXPECT_EQ(std::get<std::int32_t>(rs->Field("Port")), 161);
  EXPECT_THROW(rs->Field("Missing"), Failure);
  rs->Close();
  connection->Close();
}

TEST_F(SqliteDatabaseTest, UpdateStoresThePendingChangesOfTheCurrentRow) {
  auto connection = Connect();
  auto rs = OpenTable("SuppGrp_Perm", *connection);
  for (; !rs->Eof(); rs->MoveNext()) {
    rs->SetField("Name", std::string("="));
    rs->Update();
  }
  rs->Close();
  rs->Open("SuppGrp_Perm", *connection);
  EXPECT_EQ(Text(*rs, "Name"), "=");
  rs->MoveNext();
  EXPECT_EQ(Text(*rs, "Name"), "=");
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_THROW(rs->MoveNext(), Failure);
}

TEST_F(SqliteDatabaseTest, ASecondConnectionChangesTheSchemaWhileTheFirstIsIdle) {
  auto idle = Connect();
  {
    auto rs = OpenTable("Settings_General", *idle);
    rs->SetField("SnmpcPath", std::string("d:\\snmpc"));
    rs->Update();
    rs->Close();
  }
  auto second = Connect();
  second->Execute("ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT");
  auto rs = OpenTable("Settings_General", *second);
  rs->SetField("EventFloodTrap", false);
  rs->Update();
  EXPECT_EQ(std::get<bool>(rs->Field("EventFloodTrap")), false);
  EXPECT_EQ(Text(*rs, "SnmpcPath"), "d:\\snmpc");
  rs->Close();
  try {
    second->Execute("ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT");
    FAIL() << "a column was added twice";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Description().find("duplicate column"), std::string::npos) << failure.Description();
  }
}

TEST_F(SqliteDatabaseTest, FailuresAtOpenAndWithoutACurrentRow) {
  auto missing = db_.CreateConnection();
  EXPECT_THROW(missing->Open("Provider=x;Data Source=" + file_.path() + ".missing"), Failure);
  auto connection = Connect();
  EXPECT_THROW(OpenTable("NoSuchTable", *connection), Failure);
  auto rs = OpenTable("Empty", *connection);
  EXPECT_TRUE(rs->Eof());
  EXPECT_THROW(rs->Field("Name"), Failure);
  EXPECT_THROW(rs->Update(), Failure);
  rs->Close();
  EXPECT_THROW(rs->Eof(), Failure);
}

// Every file of a folder with its bytes; a write-ahead log's index only by
// name, since every reader marks its place in it.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& dir) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    std::ifstream in(entry.path(), std::ios::binary);
    contents[name] = name.ends_with("-shm") || entry.is_directory()
                         ? ""
                         : std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return contents;
}

// How the file is found by a connection that only reads it.
enum class Found { kRollbackJournal, kWriteAheadLog, kBesideAWriter, kHalfWritten };

struct ReadOnlyCase {
  const char* name;
  Found found;
  const char* expected;  // SnmpcPath read, or part of the failure
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) { *os << c.name; }

class SqliteReadOnly : public SqliteDatabaseTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(SqliteReadOnly, LeavesTheFileAndItsFolderAsTheyWere) {
  const auto& c = GetParam();
  std::string path = file_.path();
  Handle other(nullptr, sqlite3_close_v2);
  if (c.found == Found::kWriteAheadLog || c.found == Found::kBesideAWriter) OpenAndRun(path, "PRAGMA journal_mode=WAL");
  if (c.found == Found::kBesideAWriter) other = OpenAndRun(path, "UPDATE Settings_General SET SnmpcPath = 'd:\\new'");
  if (c.found == Found::kHalfWritten) {
    // A copy taken in the middle of a commit is what a crash there leaves.
    other = OpenAndRun(path, "PRAGMA cache_size=1; BEGIN; UPDATE Settings_General SET SnmpcPath = 'torn';"
                             "INSERT INTO Empty WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 2000) SELECT hex(randomblob(100)) FROM n");
    std::filesystem::create_directory(file_.dir() / "crash");
    for (const char* suffix : {"", "-journal"}) {
      std::filesystem::copy_file(path + suffix, (file_.dir() / "crash" / "test.mdb").string() + suffix);
    }
    path = (file_.dir() / "crash" / "test.mdb").string();
  }
  const auto before = FolderContents(file_.dir());
  std::string read;
  try {
    const auto connection = Connect(adModeRead, path);
    read = Text(*OpenTable("Settings_General", *connection), "SnmpcPath");
  } catch (const Failure& failure) {
    read = failure.Description();
  }
  EXPECT_NE(read.find(c.expected), std::string::npos) << read;
  EXPECT_EQ(FolderContents(file_.dir()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteReadOnly,
    ::testing::Values(ReadOnlyCase{"RollbackJournal", Found::kRollbackJournal, "c:\\snmpc"},
                      ReadOnlyCase{"WriteAheadLog", Found::kWriteAheadLog, "c:\\snmpc"},
                      ReadOnlyCase{"BesideAWriter", Found::kBesideAWriter, "d:\\new"},
                      ReadOnlyCase{"HalfWritten", Found::kHalfWritten, "left unfinished"}),
    [](const auto& info) { return std::string(info.param.name); });

// Another program holding the file in either journal mode is waited for, at
// Open as at every later operation; the file keeps its journal mode.
struct LockCase {
  const char* name;
  const char* journalMode;
  const char* holderSql;  // the other program runs it, holds what it took for a while, then commits
  void (SqliteDatabaseTest::*action)();
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }

class SqliteLock : public SqliteDatabaseTest, public ::testing::WithParamInterface<LockCase> {};

TEST_P(SqliteLock, IsWaitedFor) {
  const auto& c = GetParam();
  OpenAndRun(file_.path(), std::string("PRAGMA journal_mode=") + c.journalMode);
  constexpr auto kHold = std::chrono::milliseconds(300);
  const auto start = std::chrono::steady_clock::now();
  {
    auto holder = OpenAndRun(file_.path(), c.holderSql);
    std::thread release([&] {
      std::this_thread::sleep_for(kHold);
      sqlite3_exec(holder.get(), "COMMIT", nullptr, nullptr, nullptr);
    });
    EXPECT_NO_THROW((this->*c.action)());
    release.join();
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, kHold);
  std::string header(20, '\0');
  std::ifstream(file_.path(), std::ios::binary).read(header.data(), 20);
  EXPECT_EQ(header[18], std::string(c.journalMode) == "wal" ? 2 : 1);  // the journal mode the file keeps
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteLock,
    ::testing::Values(LockCase{"OpenBesideAWriter", "delete", "BEGIN EXCLUSIVE", &SqliteDatabaseTest::Read},
                      LockCase{"CommitBesideAReader", "delete", "BEGIN; SELECT count(*) FROM SuppGrp_Perm",
                               &SqliteDatabaseTest::Write},
                      LockCase{"ExecuteBesideAWriter", "delete", "BEGIN IMMEDIATE", &SqliteDatabaseTest::Alter},
                      LockCase{"WriteBesideALoggedWriter", "wal", "BEGIN IMMEDIATE", &SqliteDatabaseTest::Write}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SqliteDatabase, AFileThatIsNoDatabaseFailsAtOpen) {
  const auto dir = test::MakeUniqueDir("vsu-sqlite-");
  const auto path = dir / "not-a-database.mdb";
  {
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("Standard Jet DB, or anything else that is not SQLite at all", out);
    std::fclose(out);
  }
  auto db = MakeDatabase();
  auto connection = db.CreateConnection();
  EXPECT_THROW(connection->Open("Data Source=" + path.string()), Failure);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vsu::sqlite
