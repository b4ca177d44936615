#pragma once
// A fresh folder under the Windows temporary directory, removed with its contents, paths in Windows form.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/unique_dir.h"

namespace vsu::test {

struct ScratchDir {
  ~ScratchDir() {
    // A read-only file could not be removed.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path, ignored);
  }
  // The Windows path of a name inside the folder ("" for the folder itself).
  std::string Path(const std::string& name = "") const { return (name.empty() ? path : path / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((path / name).parent_path());
    std::ofstream(path / name, std::ios::binary) << content;
    return Path(name);
  }
  std::string Read(const std::string& name) const {
    return (std::ostringstream() << std::ifstream(path / name, std::ios::binary).rdbuf()).str();
  }

  const std::filesystem::path path = MakeUniqueDir("vsu-wine-");
  std::error_code ignored;
};

}  // namespace vsu::test
