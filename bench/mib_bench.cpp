// RegisterMib on a long names.txt, against awk doing the same filter.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "bench_support.h"
#include "make_fixture/fixture.h"
#include "mib/register_mib.h"

namespace {

// Lines end at CR or CR LF; empty lines and lines naming either MIB go.
constexpr const char* kAwkFilter = R"(BEGIN { RS = "\r\n|\r"; ORS = "\r\n" }
$0 != "" && toupper($0) !~ /QUILLBANK\.MIB|FERROWIN\.MIB/ { print }
END { print "Ferrowin.mib"; print "" }
)";

// The fixture's list holds five entries of its own.
constexpr long kFixtureEntries = 5;

}  // namespace

int main(int argc, char** argv) {
  using namespace vsu;
  const long lines = argc > 1 ? std::atol(argv[1]) : 100000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  try {
    const bench::ScratchDir dir;
    fixture::InstallationOptions options;
    options.drive = dir.path();
    options.database.rows = 0;
    options.namesLines = lines - kFixtureEntries;
    fixture::MakeInstallation(options);
    ::setenv("VELASCANUPG_DRIVE_C", dir.path().c_str(), 1);

    const std::string mibfiles = dir.path() + "/SNMPc/mibfiles";
    const std::string list = mibfiles + "/names.txt";
    const std::string original = dir.path() + "/names.orig";
    const std::string awkScript = dir.path() + "/filter.awk";
    const std::string awkOut = dir.path() + "/names.awk";
    bench::CopyFile(list, original);
    bench::WriteFile(awkScript, kAwkFilter);

    bench::BenchPlatform bp;
    InstallationState s;
    s.SnmpcDir = fixture::kSnmpcDir;
    const double oursMs = bench::BestOfMs(
        runs,
        [&] {
          bench::CopyFile(original, list);
          std::filesystem::remove(mibfiles + "/names.bak");
        },
        [&] { RegisterMib(bp.platform, s); });
    const double awkMs = bench::BestOfMs(
        runs, [] {}, [&] { bench::RunProgram({"awk", "-f", awkScript, original}, "", awkOut); });

    if (!bp.shown.str().empty()) throw std::runtime_error("RegisterMib failed:\n" + bp.shown.str());
    if (bench::ReadFile(list) != bench::ReadFile(awkOut)) throw std::runtime_error("awk wrote another list");
    const bool met = bench::PrintTable(
        {{"RegisterMib, " + std::to_string(lines) + "-line names.txt", oursMs, "awk", awkMs, 1.2, 50}});
    return met ? 0 : 3;
  } catch (const std::exception& e) {
    std::cerr << "bench-mib: " << e.what() << "\n";
    return 1;
  }
}
