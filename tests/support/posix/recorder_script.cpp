#include "support/posix/recorder_script.h"

#include <filesystem>
#include <fstream>

#include "support/posix/process_tools.h"

namespace vsu::test {

void WriteRecorderScript(const std::string& path, const std::string& recordFile) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; printf '%s\\nend\\n' \"$PWD\"; } > '"
                      << recordFile << "'\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::optional<Recorded> ReadRecording(const std::string& recordFile) {
  // One line per argument, then the directory; the last line tells that the script has written everything.
  std::vector<std::string> lines;
  if (!WaitFor([&] {
        std::ifstream in(recordFile);
        lines.clear();
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines.size() >= 2 && lines.back() == "end";
      })) {
    return std::nullopt;
  }
  return Recorded{{lines.begin(), lines.end() - 2}, lines[lines.size() - 2]};
}

}  // namespace vsu::test
