#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "platform/sqlite/sqlite_database.h"

namespace vsu::sqlite {
namespace {

// The engine on real files named by their own paths, the same on every
// platform the program is built for.

// A SQLite file in the temporary directory, made from a script and removed at the end.
class DatabaseFile {
 public:
  explicit DatabaseFile(const char* script) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("vsu-sqlite-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
             std::to_string(++counter) + ".mdb");
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path_.string().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, script, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  ~DatabaseFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  std::string path() const { return path_.string(); }
  std::string ConnectionString() const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path() + ";Persist Security Info=False";
  }

 private:
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
    if (!std::filesystem::exists(path)) return std::nullopt;
    return path;
  });
}

TEST(SqliteDatabase, ReadsTheFirstRowWithJetKinds) {
  DatabaseFile file(kSettings);
  auto db = MakeDatabase();
  auto connection = db.CreateConnection();
  connection->Open(file.ConnectionString());
  auto rs = db.CreateRecordset();
  rs->CursorType = adOpenStatic;
  rs->LockType = adLockOptimistic;
  rs->Open("Settings_General", *connection);
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(std::get<std::string>(rs->Field("ProgVersion")), "2.00");
  EXPECT_EQ(std::get<std::string>(rs->Field("snmpcpath")), "c:\\snmpc");
  EXPECT_EQ(std::get<bool>(rs->Field("Flag")), true);
  EXPECT_EQ(std::get<std::int16_t>(rs->Field("Threshold")), 7);
  EXPECT_EQ(std::get<std::int32_t>(rs->Field("Port")), 161);
  EXPECT_THROW(rs->Field("Missing"), Failure);
  rs->Close();
  connection->Close();
}

TEST(SqliteDatabase, UpdateStoresThePendingChangesOfTheCurrentRow) {
  DatabaseFile file(kSettings);
  auto db = MakeDatabase();
  auto connection = db.CreateConnection();
  connection->Open(file.ConnectionString());
  auto rs = db.CreateRecordset();
  rs->Open("SuppGrp_Perm", *connection);
  while (!rs->Eof()) {
    rs->SetField("Name", std::string("="));
    rs->Update();
    rs->MoveNext();
  }
  rs->Close();
  rs->Open("SuppGrp_Perm", *connection);
  EXPECT_EQ(std::get<std::string>(rs->Field("Name")), "=");
  rs->MoveNext();
  EXPECT_EQ(std::get<std::string>(rs->Field("Name")), "=");
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_THROW(rs->MoveNext(), Failure);
}

TEST(SqliteDatabase, ASecondConnectionChangesTheSchemaWhileTheFirstIsIdle) {
  DatabaseFile file(kSettings);
  auto db = MakeDatabase();
  auto idle = db.CreateConnection();
  idle->Open(file.ConnectionString());
  {
    auto rs = db.CreateRecordset();
    rs->Open("Settings_General", *idle);
    rs->SetField("SnmpcPath", std::string("d:\\snmpc"));
    rs->Update();
    rs->Close();
  }
  auto second = db.CreateConnection();
  second->Open(file.ConnectionString());
  second->Execute("ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT");
  auto rs = db.CreateRecordset();
  rs->Open("Settings_General", *second);
  rs->SetField("EventFloodTrap", false);
  rs->Update();
  EXPECT_EQ(std::get<bool>(rs->Field("EventFloodTrap")), false);
  EXPECT_EQ(std::get<std::string>(rs->Field("SnmpcPath")), "d:\\snmpc");
  rs->Close();
  try {
    second->Execute("ALTER TABLE Settings_General ADD COLUMN EventFloodTrap BIT");
    FAIL() << "a column was added twice";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Description().find("duplicate column"), std::string::npos) << failure.Description();
  }
}

TEST(SqliteDatabase, FailuresAtOpenAndWithoutACurrentRow) {
  DatabaseFile file(kSettings);
  auto db = MakeDatabase();
  auto connection = db.CreateConnection();
  EXPECT_THROW(connection->Open("Provider=x;Data Source=" + file.path() + ".missing"), Failure);
  connection->Open(file.ConnectionString());
  auto rs = db.CreateRecordset();
  EXPECT_THROW(rs->Open("NoSuchTable", *connection), Failure);
  rs->Open("Empty", *connection);
  EXPECT_TRUE(rs->Eof());
  EXPECT_THROW(rs->Field("Name"), Failure);
  EXPECT_THROW(rs->Update(), Failure);
  rs->Close();
  EXPECT_THROW(rs->Eof(), Failure);
}

TEST(SqliteDatabase, AFileThatIsNoDatabaseFailsAtOpen) {
  const auto path = std::filesystem::temp_directory_path() / "vsu-sqlite-not-a-database.mdb";
  {
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("Standard Jet DB, or anything else that is not SQLite at all", out);
    std::fclose(out);
  }
  auto db = MakeDatabase();
  auto connection = db.CreateConnection();
  EXPECT_THROW(connection->Open("Data Source=" + path.string()), Failure);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace vsu::sqlite
