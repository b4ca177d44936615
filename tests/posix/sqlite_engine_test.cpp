// The SQLite engine through the Connection and Recordset port, on real files.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "common/failure.h"
#include "database/connection_strings.h"
#include "database/field_values.h"
#include "database/tables.h"
#include "support/case_name.h"
#include "support/fakes.h"
#include "support/posix/installation.h"

namespace vsu {
namespace {

using test::Query;

class SqliteEngine : public ::testing::Test {
 protected:
  std::unique_ptr<Connection> Connect() { return OpenConnection(db(), VelaScanConnectString("c:\\VelaScan")); }
  Database& db() { return tp_.db; }
  std::string File() const { return install_.VelaScanDb(); }
  // The failure description of action, or "" when it succeeded.
  static std::string FailureOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Failure& failure) {
      return failure.Description();
    }
    return "";
  }

  test::TestInstallation install_;
  test::TestPlatform tp_;
};

struct OpenCase {
  const char* name;
  const char* dataSource;
  const char* expected;  // part of the description
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class SqliteOpen : public SqliteEngine, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(SqliteOpen, FailsWithoutCreatingAFile) {
  install_.dir().Write("VelaScan/notes.mdb", "plain text, not a database\r\n");
  install_.dir().MakeDir("VelaScan/folder.mdb");
  const std::string cs = std::string("Provider=x;Data Source=") + GetParam().dataSource + ";Persist Security Info=False";
  EXPECT_NE(FailureOf([&] { db().CreateConnection()->Open(cs); }).find(GetParam().expected), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(install_.Path("c:\\VelaScan\\Missing.mdb")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteOpen,
    ::testing::Values(OpenCase{"MissingFile", "c:\\VelaScan\\Missing.mdb", "Could not find file 'c:\\VelaScan\\Missing.mdb'"},
                      OpenCase{"UnmappedDrive", "q:\\VelaScan.mdb", "Could not find file 'q:\\VelaScan.mdb'"},
                      OpenCase{"Directory", "c:\\VelaScan\\folder.mdb", "Could not find file"},
                      OpenCase{"NotADatabase", "c:\\VelaScan\\notes.mdb", "file is not a database"},
                      OpenCase{"NoDataSource", "", "no Data Source"}),
    test::CaseName());

TEST_F(SqliteEngine, OpensAProgramPathInAnyLetterCase) {
  const auto connection = OpenConnection(db(), "Data Source=C:\\VELASCAN\\velascan.MDB");
  const auto settings = OpenTable(db(), *connection, "settings_general");
  EXPECT_EQ(FieldText(*settings, "progversion"), "3.14");
}

struct FailureCase {
  const char* name;
  const char* setupSql;  // run on the file first
  std::function<void(Database&, Connection&)> action;
  const char* expected;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class SqliteFailure : public SqliteEngine, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SqliteFailure, DescribesTheFault) {
  test::Exec(File(), GetParam().setupSql);
  const auto connection = Connect();
  const std::string description = FailureOf([&] { GetParam().action(db(), *connection); });
  EXPECT_NE(description.find(GetParam().expected), std::string::npos) << description;
}

void ReadText(Database& db, Connection& c, const char* table, const char* column) {
  FieldText(*OpenTable(db, c, table), column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteFailure,
    ::testing::Values(
        FailureCase{"MissingTable", "", [](Database& db, Connection& c) { OpenTable(db, c, "Settings_Gone"); },
                    "no such table: Settings_Gone"},
        FailureCase{"MissingColumnRead", "",
                    [](Database& db, Connection& c) { ReadText(db, c, "Settings_General", "SnmpcDir"); },
                    "no field SnmpcDir"},
        FailureCase{"MissingColumnWrite", "",
                    [](Database& db, Connection& c) {
                      OpenTable(db, c, "Settings_General")->SetField("Gone", std::string("x"));
                    },
                    "no field Gone"},
        FailureCase{"ReadAtEof", "DELETE FROM Settings_General",
                    [](Database& db, Connection& c) { ReadText(db, c, "Settings_General", "SnmpcPath"); }, "EOF"},
        FailureCase{"WriteAtEof", "DELETE FROM Settings_General",
                    [](Database& db, Connection& c) {
                      OpenTable(db, c, "Settings_General")->SetField("ProgVersion", std::string("2.01"));
                    },
                    "EOF"},
        FailureCase{"NullAsText", "UPDATE Settings_General SET SnmpcPath = NULL",
                    [](Database& db, Connection& c) { ReadText(db, c, "Settings_General", "SnmpcPath"); },
                    "Invalid use of Null"},
        FailureCase{"NullAsNumber", "UPDATE Event_OnlineDb SET SqlDbPort = NULL",
                    [](Database& db, Connection& c) { FieldInt32(*OpenTable(db, c, "Event_OnlineDb"), "SqlDbPort"); },
                    "Invalid use of Null"},
        FailureCase{"TextAsNumber", "",
                    [](Database& db, Connection& c) { FieldInt32(*OpenTable(db, c, "Settings_General"), "SnmpcPath"); },
                    "Type mismatch"},
        FailureCase{"ExistingColumn", "",
                    [](Database&, Connection& c) { c.Execute("ALTER TABLE Maintenance ADD COLUMN PollType varChar(20)"); },
                    "duplicate column name: PollType"},
        FailureCase{"ExistingTable", "",
                    [](Database&, Connection& c) {
                      c.Execute("CREATE TABLE SentFailed_Mail_SMTP (Name varChar(50), MailAddress varChar(150))");
                    },
                    "already exists"},
        FailureCase{"ClosedConnection", "",
                    [](Database& db, Connection& c) {
                      c.Close();
                      OpenTable(db, c, "Settings_General");
                    },
                    "closed"}),
    test::CaseName());

struct ValueCase {
  const char* name;
  const char* table;
  const char* column;
  FieldValue stored;  // as the fixture holds it
  FieldValue written;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class SqliteValues : public SqliteEngine, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(SqliteValues, CrossWithTheirKind) {
  const auto& c = GetParam();
  const auto connection = Connect();
  {
    const auto rows = OpenTable(db(), *connection, c.table);
    EXPECT_EQ(rows->Field(c.column), c.stored);
    rows->SetField(c.column, c.written);
    rows->Update();
    rows->Close();
  }
  EXPECT_EQ(OpenTable(db(), *connection, c.table)->Field(c.column), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteValues,
    ::testing::Values(
        ValueCase{"Text", "Settings_General", "SnmpcPath", std::string("c:\\SNMPc"), std::string("d:\\x y")},
        ValueCase{"EmptyText", "Maintenance", "PollType", std::string(""), std::string("ICMP")},
        ValueCase{"Bit", "Settings_General", "EventFloodTrap", false, true},
        ValueCase{"SmallInt", "Settings_General", "EventFloodThreshold", std::int16_t{100}, std::int16_t{-32768}},
        ValueCase{"Integer", "Event_OnlineDb", "SqlDbPort", std::int32_t{0}, std::int32_t{2147483647}},
        ValueCase{"NullWritten", "Settings_SNMP_Agent", "IpAddress", std::string("0.0.0.0"), std::monostate{}}),
    test::CaseName());

std::vector<std::string> Walk(Database& db, Connection& connection, const std::string& table,
                              const std::string& column) {
  std::vector<std::string> values;
  const auto rows = OpenTable(db, connection, table);
  for (; !rows->Eof(); rows->MoveNext()) values.push_back(FieldText(*rows, column));
  return values;
}

TEST_F(SqliteEngine, RowsComeInRowidOrder) {
  test::Exec(File(), "CREATE TABLE T (v TEXT); INSERT INTO T (rowid, v) VALUES (5, 'e'), (2, 'b'), (9, 'i');"
                     "UPDATE T SET v = 'B' WHERE rowid = 2");
  const auto connection = Connect();
  EXPECT_EQ(Walk(db(), *connection, "T", "v"), (std::vector<std::string>{"B", "e", "i"}));
}

// The rows are those of the table at Open; their values are read as they are
// at each read, also after another connection changed the table's columns.
TEST_F(SqliteEngine, RecordsetKeepsItsRowsAndReadsTheirValuesWhenRead) {
  const auto connection = Connect();
  const auto rows = OpenTable(db(), *connection, "SuppGrp_Perm");
  EXPECT_EQ(FieldText(*rows, "GroupName"), "Group 1");
  test::Exec(File(), "INSERT INTO SuppGrp_Perm (GroupName) VALUES ('late'); DELETE FROM SuppGrp_Perm WHERE rowid = 2;"
                     "ALTER TABLE SuppGrp_Perm ADD COLUMN Extra BIT; UPDATE SuppGrp_Perm SET GroupName = 'renamed'");
  std::vector<std::string> seen;
  for (; !rows->Eof(); rows->MoveNext()) {
    const std::string failure = FailureOf([&] { seen.push_back(FieldText(*rows, "GroupName")); });
    if (!failure.empty()) seen.push_back(failure.substr(0, failure.find(':')));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"renamed", "The current row is no longer in the table SuppGrp_Perm",
                                            "renamed"}));
}

TEST_F(SqliteEngine, SecondConnectionChangesTheFileWhileTheFirstIsIdle) {
  const auto first = Connect();
  {
    // The first connection has read and written before it went idle.
    const auto settings = OpenTable(db(), *first, "Settings_General");
    settings->SetField("SnmpcPath", std::string("c:\\Other"));
    settings->Update();
    settings->Close();
  }
  const auto start = std::chrono::steady_clock::now();
  const auto second = Connect();
  second->Execute("ALTER TABLE SuppGrp_Perm ADD COLUMN Extra varChar(10)");
  {
    const auto rows = OpenTable(db(), *second, "SuppGrp_Perm");
    for (; !rows->Eof(); rows->MoveNext()) {
      rows->SetField("Extra", std::string("x"));
      rows->Update();
    }
    rows->Close();
  }
  second->Close();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "waited for a lock";
  EXPECT_EQ(Walk(db(), *first, "SuppGrp_Perm", "Extra"), (std::vector<std::string>{"x", "x", "x"}));
  EXPECT_EQ(Query(File(), "SELECT SnmpcPath FROM Settings_General")[0][0], "c:\\Other");
}

// What each way of leaving a recordset keeps of the rows it changed.
struct LeaveCase {
  const char* name;
  std::function<void(Recordset&)> leave;
  std::vector<std::vector<std::string>> stored;  // GroupName of the three rows
};

void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }

class SqliteLeave : public SqliteEngine, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(SqliteLeave, KeepsUpdatedRowsOnly) {
  const auto connection = Connect();
  {
    auto rows = OpenTable(db(), *connection, "SuppGrp_Perm");
    rows->SetField("GroupName", std::string("one"));
    rows->Update();
    rows->MoveNext();
    rows->SetField("GroupName", std::string("two"));
    GetParam().leave(*rows);
  }
  EXPECT_EQ(Query(File(), "SELECT GroupName FROM SuppGrp_Perm ORDER BY rowid"), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteLeave,
    ::testing::Values(LeaveCase{"Close", [](Recordset& r) { r.Close(); }, {{"one"}, {"Group 2"}, {"Group 3"}}},
                      LeaveCase{"Destroyed", [](Recordset&) {}, {{"one"}, {"Group 2"}, {"Group 3"}}},
                      LeaveCase{"MoveNextThenDestroyed", [](Recordset& r) { r.MoveNext(); },
                                {{"one"}, {"two"}, {"Group 3"}}}),
    test::CaseName());

TEST_F(SqliteEngine, UpdateOfARowDeletedMeanwhileFails) {
  const auto connection = Connect();
  const auto rows = OpenTable(db(), *connection, "Maintenance");
  test::Exec(File(), "DELETE FROM Maintenance WHERE rowid = 1");
  rows->SetField("NodeName", std::string("x"));
  EXPECT_NE(FailureOf([&] { rows->Update(); }).find("no longer in the table Maintenance"), std::string::npos);
}

}  // namespace
}  // namespace vsu
