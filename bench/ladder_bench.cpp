// The schema ladder from 2.00 to 3.14 on large tables, against the sqlite3
// command-line shell running the same statements and the same row updates,
// one transaction per step. Each side runs in a process of its own, so that
// its peak resident memory is its own.

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "bench_support.h"
#include "database/schema_ladder.h"
#include "database/upgrade_database.h"
#include "make_fixture/fixture.h"

namespace {

using namespace vsu;

std::string Literal(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return "'" + *text + "'";
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "1" : "0";
  if (const auto* small = std::get_if<std::int16_t>(&value)) return std::to_string(*small);
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  return "NULL";
}

std::string Assignments(const std::vector<ColumnValue>& values) {
  std::string sql;
  for (const auto& [column, value] : values) sql += std::string(column) + " = " + Literal(value) + ", ";
  return sql;
}

// Writes what the shell runs: every step of the ladder, each in one transaction.
void WriteShellScript(const std::string& file, long rows) {
  std::ofstream script(file, std::ios::binary | std::ios::trunc);
  for (const LadderStep& step : SchemaLadder()) {
    script << "BEGIN;\n";
    for (const LadderAction& action : step.actions) {
      if (action.statement) script << action.statement << ";\n";
    }
    if (step.fillTable) {
      std::string set = Assignments(step.fill);
      set.resize(set.size() - 2);
      for (long row = 1; row <= rows; ++row) {
        script << "UPDATE " << step.fillTable << " SET " << set << " WHERE rowid = " << row << ";\n";
      }
    }
    script << "UPDATE Settings_General SET " << Assignments(step.versionRow) << "ProgVersion = '" << step.version
           << "' WHERE rowid = 1;\nCOMMIT;\n";
  }
  if (!script) throw std::runtime_error("cannot write " + file);
}

// The child's side: upgrades file from 2.00 and prints the milliseconds it took.
int UpgradeOnce(const std::string& file) {
  // The program names its databases by drive, so the file's folder becomes drive C.
  const auto slash = file.rfind('/');
  ::setenv("VELASCANUPG_DRIVE_C", file.substr(0, slash).c_str(), 1);
  bench::BenchPlatform bp;
  InstallationState s;
  s.DbConnectString =
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\" + file.substr(slash + 1) + ";Persist Security Info=False";
  s.DbVersion = "2.00";
  const auto start = std::chrono::steady_clock::now();
  UpgradeDatabase(bp.platform, s);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (!bp.shown.str().empty()) {
    std::cerr << "the upgrade failed:\n" << bp.shown.str();
    return 1;
  }
  std::printf("%.3f\n", took.count());
  return 0;
}

std::string SelfPath() {
  char path[4096];
  const auto n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) throw std::runtime_error("cannot find its own program file");
  return std::string(path, static_cast<std::size_t>(n));
}

// How many rows of the upgraded file hold what the ladder writes; 2 * rows + 1 when all do.
long FilledRows(const std::string& file) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close_v2);
  long count = 0;
  const auto add = [](void* total, int, char** values, char**) {
    *static_cast<long*>(total) += std::atol(values[0]);
    return 0;
  };
  for (const char* sql :
       {"SELECT count(*) FROM SuppGrp_Perm WHERE CorrUpNotInQueue = 0 AND MessageSearch = '='",
        "SELECT count(*) FROM Maintenance WHERE PollType = ''",
        "SELECT count(*) FROM Settings_General WHERE ProgVersion = '3.14' AND EventFloodThreshold = 100"}) {
    if (sqlite3_exec(raw, sql, add, &count, nullptr) != SQLITE_OK) return -1;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--upgrade") return UpgradeOnce(argv[2]);
  const long rows = argc > 1 ? std::atol(argv[1]) : 100000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  try {
    const bench::ScratchDir dir;
    const std::string base = dir.path() + "/base.mdb";
    const std::string ours = dir.path() + "/ours.mdb";
    const std::string shell = dir.path() + "/shell.mdb";
    const std::string script = dir.path() + "/ladder.sql";
    const std::string took = dir.path() + "/took.txt";
    fixture::DatabaseOptions options;
    options.version = "2.00";
    options.rows = rows;
    fixture::MakeVelaScanDb(base, options);
    WriteShellScript(script, rows);

    double oursPeakMb = 0;
    double shellPeakMb = 0;
    double oursMs = 1e300;
    for (int run = 0; run < runs; ++run) {
      bench::CopyFile(base, ours);
      oursPeakMb = std::max(oursPeakMb, bench::RunProgram({SelfPath(), "--upgrade", ours}, "", took));
      oursMs = std::min(oursMs, std::atof(bench::ReadFile(took).c_str()));
    }
    const double shellMs = bench::BestOfMs(
        runs, [&] { bench::CopyFile(base, shell); },
        [&] { shellPeakMb = std::max(shellPeakMb, bench::RunProgram({"sqlite3", shell}, script, "")); });

    for (const auto& file : {ours, shell}) {
      if (FilledRows(file) != 2 * rows + 1) throw std::runtime_error(file + " is not fully upgraded");
    }
    const bool met = bench::PrintTable({{"ladder 2.00 -> 3.14, " + std::to_string(rows) + " rows x 2 tables", oursMs,
                                         "sqlite3 CLI", shellMs, 0.6, 0, oursPeakMb, shellPeakMb, 16}});
    return met ? 0 : 3;
  } catch (const std::exception& e) {
    std::cerr << "bench-ladder: " << e.what() << "\n";
    return 1;
  }
}
