// The built program in upgrade mode on a fixture installation: it finds the
// program and SNMPc directories before it says the rest is not available yet.

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/posix/installation.h"
#include "support/json_lines.h"
#include "support/posix/run_program.h"

namespace vsu {
namespace {

struct LocationCase {
  const char* name;
  const char* storedSnmpcPath;
  fixture::WinIni winIni;
  const char* input;                 // lines typed at prompts
  std::vector<std::string> prompts;  // captions shown
};

void PrintTo(const LocationCase& c, std::ostream* os) { *os << c.name; }

class UpgradeLocations : public ::testing::TestWithParam<LocationCase> {};

TEST_P(UpgradeLocations, AsksOnlyWhenTheDirectoryIsNotFound) {
  fixture::InstallationOptions options;
  options.database.snmpcPath = GetParam().storedSnmpcPath;
  options.winIni = GetParam().winIni;
  const test::TestInstallation install(options);
  const std::string log = (install.dir().path() / "transcript.jsonl").string();
  test::ProgramRun run;
  run.program = "velascanupg";
  run.args = {"c:\\VelaScan"};
  run.env = {{"VELASCANUPG_DRIVE_C", install.dir().str()}, {"WINDIR", "c:\\windows"},
             {"VELASCANUPG_UI", "batch"}, {"VELASCANUPG_LOG", log}, {"VELASCANUPG_PAUSE_SCALE", "0"},
             {"VELASCANUPG_SCM", (install.dir().path() / "scm").string()}};
  run.input = GetParam().input;
  const auto result = test::Run(run);
  std::vector<std::string> prompts;
  for (const auto& event : test::EventsNamed(test::ReadTranscript(log), "prompt")) {
    prompts.push_back(event.Str("caption"));
  }
  EXPECT_EQ(prompts, GetParam().prompts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeLocations,
    ::testing::Values(
        LocationCase{"StoredPathHoldsSnmpc", "c:\\SNMPc", fixture::WinIni::kPlain, "", {}},
        LocationCase{"WinIniSection", "", fixture::WinIni::kSection, "", {}},
        LocationCase{"StoredPathWrong", "c:\\Nowhere", fixture::WinIni::kNone, "c:\\Nowhere\nc:\\SNMPc\n",
                     {"  Enter the Path to SNMPc or Lumidex"}}),
    test::CaseName());

}  // namespace
}  // namespace vsu
