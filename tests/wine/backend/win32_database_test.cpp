#include <gtest/gtest.h>
#include <sqlite3.h>

#include "common/failure.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_database.h"
#include "support/scratch_dir.h"

namespace vsu::win32 {
namespace {

using test::ScratchDir;

std::string ConnectionString(const std::string& file) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Persist Security Info=False";
}

TEST(Win32Database, ASqliteFileIsOpenedWithTheEmbeddedEngine) {
  ScratchDir dir;
  const std::string file = dir.Path("VelaScan.mdb");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "CREATE TABLE Settings_General (ProgVersion varChar(10)); "
                   "INSERT INTO Settings_General VALUES ('3.12');", nullptr, nullptr, nullptr);
  sqlite3_close(db);

  ComApartment com;
  Win32Database database;
  auto connection = database.CreateConnection();
  connection->Open(ConnectionString(file));
  auto rs = database.CreateRecordset();
  rs->CursorType = adOpenStatic;
  rs->LockType = adLockOptimistic;
  rs->Open("Settings_General", *connection);
  EXPECT_EQ(std::get<std::string>(rs->Field("ProgVersion")), "3.12");
  rs->SetField("ProgVersion", std::string("3.14"));
  rs->Update();
  rs->Close();
  rs->Open("Settings_General", *connection);
  EXPECT_EQ(std::get<std::string>(rs->Field("ProgVersion")), "3.14");
  rs->Close();
  connection->Close();
  EXPECT_THROW(connection->Execute("SELECT 1"), Failure);
}

}  // namespace
}  // namespace vsu::win32
