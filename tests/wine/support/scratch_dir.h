#pragma once
// A fresh folder under the Windows temporary directory, removed with its contents, paths in Windows form.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "common/failure.h"
#include "support/unique_dir.h"

namespace vsu::test {

struct ScratchDir {
  ScratchDir() = default;
  ScratchDir(const ScratchDir&) = delete;
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

// The description of the Failure that action throws.
inline std::string FailureOf(const std::function<void()>& action) try {
  return action(), "no failure";
} catch (const Failure& failure) {
  return failure.Description();
}

}  // namespace vsu::test
