#pragma once
// End-to-end runs of the built tool in a sandbox of its own: drive C: is a
// fresh folder, the transcript goes to a file in it, waits are scaled to zero.

#include <string>
#include <vector>

#include "support/json_lines.h"
#include "support/posix/run_program.h"
#include "support/posix/temp_dir.h"

namespace vsu::test {

class Sandbox {
 public:
  Sandbox();
  TempDir dir;
  std::string transcript;
  // The run's settings; tests change what they need before Run.
  ProgramRun run;

  ProgramResult Run();
  std::vector<Event> Events() const { return ReadTranscript(transcript); }
  // The drive C: folder.
  std::string DriveC() const { return (dir.path() / "c").string(); }
};

}  // namespace vsu::test
