#pragma once
// A fresh folder under the Windows temporary directory, removed with its
// contents at the end of the test. Paths are given in Windows form.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <windows.h>

#include "support/unique_dir.h"

namespace vsu::test {

class ScratchDir {
 public:
  ScratchDir() : path_(MakeUniqueDir("vsu-wine-")) {}
  ~ScratchDir() {
    // Attributes set by a test would keep a file from being removed.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The Windows path of a name inside the folder ("" for the folder itself).
  std::string Path(const std::string& name = "") const {
    return name.empty() ? path_.string() : (path_ / name).string();
  }
  std::string Write(const std::string& name, const std::string& content) const {
    const auto file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vsu::test
