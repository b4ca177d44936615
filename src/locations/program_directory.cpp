#include "locations/program_directory.h"

#include "common/text.h"
#include "platform/system.h"

namespace vsu {

std::string ProgramDirectoryFromCommandLine(Platform& p) {
  std::string directory = TrimSpaces(p.system.CommandLine());
  if (directory.empty()) directory = TrimSpaces(p.system.OwnDirectory());
  return DropOneTrailingBackslash(directory);
}

}  // namespace vsu
