#include "support/posix/recorder_script.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/posix/process_tools.h"

namespace vsu::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

void WriteRecorderScript(const std::string& path, const std::string& recordFile) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream script(path, std::ios::trunc);
  script << "#!/bin/sh\n"
         << "{ for a in \"$@\"; do printf 'arg[%s]\\n' \"$a\"; done; printf 'dir[%s]\\nend\\n' \"$PWD\"; } > '"
         << recordFile << "'\n";
  script.close();
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::optional<Recorded> ReadRecording(const std::string& recordFile) {
  // The last line tells that the script has written everything.
  const auto complete = [&] {
    const std::string text = ReadAll(recordFile);
    return text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0;
  };
  if (!WaitFor(complete)) return std::nullopt;
  Recorded recorded;
  std::istringstream in(ReadAll(recordFile));
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 5 || line.back() != ']') continue;
    const std::string value = line.substr(4, line.size() - 5);
    if (line.rfind("arg[", 0) == 0) recorded.args.push_back(value);
    if (line.rfind("dir[", 0) == 0) recorded.directory = value;
  }
  return recorded;
}

}  // namespace vsu::test
