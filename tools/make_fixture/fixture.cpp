#include "make_fixture/fixture.h"

#include <sqlite3.h>

#include <cctype>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace vsu::fixture {
namespace {

// Columns that a schema version brings, in the order they were added.
struct LaterColumn {
  int since;  // version as 100 * major + minor
  const char* table;
  const char* definition;
  const char* column;
  const char* value;  // SQL literal that version's rows hold
};

constexpr LaterColumn kLaterColumns[] = {
    {201, "SuppGrp_Perm", "CorrUpNotInQueue BIT", "CorrUpNotInQueue", "0"},
    {206, "Settings_General", "DropTrapDevMaint BIT", "DropTrapDevMaint", "0"},
    {210, "SuppGrp_Perm", "NodeGroupSearch varChar(10)", "NodeGroupSearch", "'='"},
    {210, "SuppGrp_Perm", "NodeNameSearch varChar(10)", "NodeNameSearch", "'='"},
    {210, "SuppGrp_Perm", "MessageSearch varChar(10)", "MessageSearch", "'='"},
    {310, "Maintenance", "PollType varChar(20)", "PollType", "''"},
    {312, "Settings_General", "EventFloodTrap BIT", "EventFloodTrap", "0"},
    {312, "Settings_General", "EventFloodThreshold smallInt", "EventFloodThreshold", "100"},
};

constexpr int kSentFailedSince = 205;
constexpr const char* kSentFailedTables[] = {
    "CREATE TABLE SentFailed_Mobile_PO (Name varChar(50), UserKey varChar(150), Device varChar(50), "
    "AlarmImportance varChar(20), Message varChar(250), RetriesLeft smallInt)",
    "CREATE TABLE SentFailed_Mail_SMTP (Name varChar(50), MailAddress varChar(150), MailServer varChar(50), "
    "AlarmImportance varChar(20), Message varChar(250), RetriesLeft smallInt)",
};

int VersionNumber(const std::string& version) {
  const bool digits = version.size() == 4 && std::isdigit(static_cast<unsigned char>(version[0])) &&
                      version[1] == '.' && std::isdigit(static_cast<unsigned char>(version[2])) &&
                      std::isdigit(static_cast<unsigned char>(version[3]));
  const int number = digits ? (version[0] - '0') * 100 + std::stoi(version.substr(2)) : 0;
  if (number < 200 || number > 314) {
    throw std::runtime_error("schema version \"" + version + "\" is not of the form M.NN from 2.00 to 3.14");
  }
  return number;
}

class Db {
 public:
  explicit Db(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::remove(file);
    if (sqlite3_open(file.string().c_str(), &db_) != SQLITE_OK) Fail("open " + file.string());
  }
  ~Db() { sqlite3_close_v2(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void Exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
  }

  // Inserts count rows made by row(i) through one prepared statement.
  template <typename MakeRow>
  void InsertRows(const std::string& table, int columns, long count, MakeRow row) {
    std::string sql = "INSERT INTO " + table + " VALUES (?";
    for (int i = 1; i < columns; ++i) sql += ", ?";
    sql += ")";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) Fail(sql);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    for (long i = 1; i <= count; ++i) {
      const std::vector<std::string> values = row(i);
      for (int c = 0; c < columns; ++c) {
        sqlite3_bind_text(raw, c + 1, values[c].c_str(), -1, SQLITE_TRANSIENT);
      }
      if (sqlite3_step(raw) != SQLITE_DONE) Fail(sql);
      sqlite3_reset(raw);
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }
  sqlite3* db_ = nullptr;
};

// "CREATE TABLE t (base, later columns...)" and, for the rows, the later values.
std::string CreateTable(const char* table, const std::string& baseColumns, int version) {
  std::string sql = std::string("CREATE TABLE ") + table + " (" + baseColumns;
  for (const auto& later : kLaterColumns) {
    if (later.since <= version && std::string(later.table) == table) sql += std::string(", ") + later.definition;
  }
  return sql + ")";
}

// Sets the later columns of every row of table to the values their version wrote.
void FillLaterColumns(Db& db, const char* table, int version) {
  for (const auto& later : kLaterColumns) {
    if (later.since <= version && std::string(later.table) == table) {
      db.Exec(std::string("UPDATE ") + table + " SET " + later.column + " = " + later.value);
    }
  }
}

void WriteFile(const std::filesystem::path& file, const std::string& content) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string NamesList(long generated) {
  std::string text = CrLf({"rfc1213.mib", "snmpv2-mib.mib", "QUILLBANK.MIB", "", "hostmib.mib"});
  for (long i = 1; i <= generated; ++i) {
    // Now and then a line the registration drops: an empty one, or one naming a MIB it replaces.
    if (i % 1000 == 0) text += "c:\\old\\quillbank.mib\r\n";
    else if (i % 997 == 0) text += "\r\n";
    else text += "vendor" + std::to_string(i) + ".mib\r\n";
  }
  return text;
}

}  // namespace

std::string CrLf(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

std::filesystem::path OnDrive(const std::filesystem::path& drive, const std::string& programPath) {
  std::string rest = programPath.substr(programPath.size() >= 2 && programPath[1] == ':' ? 2 : 0);
  for (auto& c : rest) {
    if (c == '\\') c = '/';
  }
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  return drive / rest;
}

void MakeVelaScanDb(const std::filesystem::path& file, const DatabaseOptions& options) {
  const int version = VersionNumber(options.version);
  Db db(file);
  db.Exec("BEGIN");
  db.Exec(CreateTable("Settings_General", "ProgVersion varChar(10), SnmpcPath varChar(150)", version));
  if (options.settingsRow) {
    db.InsertRows("Settings_General (ProgVersion, SnmpcPath)", 2, 1, [&](long) {
      return std::vector<std::string>{options.storedVersion.value_or(options.version), options.snmpcPath};
    });
    FillLaterColumns(db, "Settings_General", version);
  }
  db.Exec("CREATE TABLE Settings_SNMP_Agent (IpAddress varChar(50), Port smallInt)");
  db.Exec("INSERT INTO Settings_SNMP_Agent VALUES ('0.0.0.0', 162)");
  db.Exec("CREATE TABLE Event_OnlineDb (SqlDbServer varChar(50), SqlDatabase varChar(50), SqlDbUser varChar(50), "
          "SqlConnType varChar(20), SqlDbPass varChar(50), SqlDbPort INTEGER)");
  db.Exec("INSERT INTO Event_OnlineDb VALUES ('', '', '', '', '', 0)");
  db.Exec(CreateTable("SuppGrp_Perm", "GroupName varChar(50), UserName varChar(50)", version));
  db.InsertRows("SuppGrp_Perm (GroupName, UserName)", 2, options.rows, [](long i) {
    return std::vector<std::string>{"Group " + std::to_string(i), "user" + std::to_string(i % 7)};
  });
  FillLaterColumns(db, "SuppGrp_Perm", version);
  db.Exec(CreateTable("Maintenance", "NodeName varChar(50), StartTime varChar(20), EndTime varChar(20)", version));
  db.InsertRows("Maintenance (NodeName, StartTime, EndTime)", 3, options.rows, [](long i) {
    return std::vector<std::string>{"node" + std::to_string(i), "22:00", "23:30"};
  });
  FillLaterColumns(db, "Maintenance", version);
  if (version >= kSentFailedSince) {
    for (const char* create : kSentFailedTables) db.Exec(create);
  }
  db.Exec("COMMIT");
}

void MakeLumidexDb(const std::filesystem::path& file) {
  Db db(file);
  db.Exec("CREATE TABLE Settings_Console (SqlDbServer varChar(50), SqlDatabase varChar(50), SqlDbUser varChar(50), "
          "SqlConnType varChar(20), SqlDbPass varChar(50), SqlDbPort INTEGER)");
  db.Exec("INSERT INTO Settings_Console VALUES ('lumidex-sql', 'LumidexDb', 'lumidex', 'TCP', 'secret', 1433)");
}

namespace {

void MakeExecutable(const std::filesystem::path& file, const std::filesystem::path& from,
                    const std::string& placeholder) {
  std::filesystem::create_directories(file.parent_path());
  if (from.empty()) {
    WriteFile(file, placeholder);
  } else {
    // The text after the program tells the old copy from the new one; a program
    // runs all the same with bytes behind it.
    std::filesystem::copy_file(from, file, std::filesystem::copy_options::overwrite_existing);
    std::ofstream(file, std::ios::binary | std::ios::app) << placeholder;
  }
  std::filesystem::permissions(file, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                         std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                         std::filesystem::perms::others_exec);
}

void MakeProgramFiles(const std::filesystem::path& program, const std::filesystem::path& snmpc,
                      const std::filesystem::path& serviceBinary) {
  MakeExecutable(program / "VelaScan.exe", serviceBinary, "#!/bin/sh\n# console, old version\nexec sleep 3600\n");
  MakeExecutable(program / "VelaScanSrv.exe", serviceBinary, "#!/bin/sh\n# service, old version\n");
  MakeExecutable(program / "Temp" / "VelaScan.ex_", serviceBinary, "#!/bin/sh\n# console, new version\nexec sleep 3600\n");
  MakeExecutable(program / "Temp" / "VelaScanSrv.ex_", serviceBinary, "#!/bin/sh\n# service, new version\n");
  MakeExecutable(program / "Temp" / "Tallyback.ex_", {}, "#!/bin/sh\n# tallyback, new version\n");
  WriteFile(program / "VelaScan.ico", std::string("\0\0\1\0\1\0", 6));
  WriteFile(program / "Ferrowin.mib", CrLf({"FERROWIN-MIB DEFINITIONS ::= BEGIN", "END"}));
  std::filesystem::create_directories(snmpc / "bitmaps");
}

}  // namespace

void MakeInstallation(const InstallationOptions& options) {
  const auto& drive = options.drive;
  const auto windows = OnDrive(drive, kWindowsDir);
  const auto program = OnDrive(drive, kProgramDir);
  const auto snmpc = OnDrive(drive, kSnmpcDir);
  std::filesystem::create_directories(windows);
  MakeVelaScanDb(program / "VelaScan.mdb", options.database);

  if (options.winIni == WinIni::kSection) {
    WriteFile(windows / "win.ini",
              CrLf({"[windows]", "load=", "[SNMPc Network Manager]", "DIR=c:\\SNMPc", "[fonts]"}));
  } else if (options.winIni == WinIni::kPlain) {
    WriteFile(windows / "win.ini", CrLf({"[windows]", "load=", "[fonts]"}));
  }
  if (options.phpIni) {
    WriteFile(windows / "php.ini", CrLf({"[PHP]", "engine=On", "[SNMPC]", "SNMPC.DBSERVER=localhost",
                                         "SNMPC.DBSOURCE=snmpc", "SNMPC.DBUSER=snmpc"}));
  }

  WriteFile(snmpc / "snmpc.ini", CrLf({"[SNMPc]", "Version=9.0"}));
  WriteFile(snmpc / "mibfiles" / "names.txt", NamesList(options.namesLines));
  if (options.programFiles) MakeProgramFiles(program, snmpc, options.serviceBinary);
  if (options.lumidex) {
    MakeLumidexDb(snmpc / "Lumidex.mdb");
    const std::string address = "ServerIpAddr=" + options.serverIpAddr;
    WriteFile(snmpc / "Lumidex.ini",
              options.serverIpAddr.empty() ? CrLf({"[Server]", "Port=4000"})
                                           : CrLf({"[Server]", address.c_str(), "Port=4000"}));
  }
}

}  // namespace vsu::fixture
