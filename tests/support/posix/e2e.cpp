#include "support/posix/e2e.h"

namespace vsu::test {

Sandbox::Sandbox() : transcript((dir.path() / "transcript.jsonl").string()) {
  dir.MakeDir("c");
  dir.MakeDir("scm");
  run.program = "velascanupg";
  run.env = {{"VELASCANUPG_UI", "batch"},
             {"VELASCANUPG_LOG", transcript},
             {"VELASCANUPG_PAUSE_SCALE", "0"},
             {"VELASCANUPG_DRIVE_C", DriveC()},
             {"VELASCANUPG_SCM", (dir.path() / "scm").string()},
             {"WINDIR", std::nullopt}};
  run.workingDirectory = dir.str();
}

ProgramResult Sandbox::Run() { return vsu::test::Run(run); }

}  // namespace vsu::test
