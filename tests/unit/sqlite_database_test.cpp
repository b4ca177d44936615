#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "platform/sqlite/sqlite_database.h"
#include "support/unique_dir.h"

namespace vsu::sqlite {
namespace {

// The engine on real files named by their own paths, the same on every
// platform the program is built for.

// A SQLite file in a folder of its own, made from a script and removed with
// the folder at the end.
class DatabaseFile {
 public:
  explicit DatabaseFile(const char* script) : dir_(test::MakeUniqueDir("vsu-sqlite-")), path_(dir_ / "test.mdb") {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path_.string().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, script, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  ~DatabaseFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
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
  std::unique_ptr<Connection> Connect() {
    auto connection = db_.CreateConnection();
    connection->Open(file_.ConnectionString());
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
