#pragma once
// A fresh folder under the Windows temporary directory, removed with its
// contents at the end of the test. Paths are given in Windows form.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/unique_dir.h"

namespace vsu::test {

class ScratchDir {
 public:
  ScratchDir() = default;
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    // A read-only file could not be removed.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  // The Windows path of a name inside the folder ("" for the folder itself).
  std::string Path(const std::string& name = "") const { return (name.empty() ? path_ : path_ / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << content;
    return Path(name);
  }
  std::string Read(const std::string& name) const {
    std::ostringstream content;
    content << std::ifstream(path_ / name, std::ios::binary).rdbuf();
    return content.str();
  }

 private:
  const std::filesystem::path path_ = MakeUniqueDir("vsu-wine-");
};

}  // namespace vsu::test
