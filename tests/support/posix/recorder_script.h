#pragma once
// A shell script that stands in for a program to be started: it writes its
// arguments and working directory into a file, which a test reads back.

#include <optional>
#include <string>
#include <vector>

namespace vsu::test {

struct Recorded {
  std::vector<std::string> args;
  std::string directory;
};

// Writes an executable script at path that records into recordFile. It uses
// only shell built-ins, so it runs whatever PATH holds.
void WriteRecorderScript(const std::string& path, const std::string& recordFile);

// What the script recorded, once it has finished writing; nullopt when it did
// not run within a few seconds.
std::optional<Recorded> ReadRecording(const std::string& recordFile);

}  // namespace vsu::test
