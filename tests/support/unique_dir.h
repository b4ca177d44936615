#pragma once
// A fresh temporary folder with a random name, made only when nobody has it yet (mkdtemp anywhere).

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace vsu::test {

inline std::filesystem::path MakeUniqueDir(const std::string& prefix) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / (prefix + std::to_string(random()));
    // create_directory is false when the folder exists already: someone else's.
    if (std::filesystem::create_directory(candidate)) return candidate;
  }
  throw std::runtime_error("no free temporary folder for " + prefix);
}

}  // namespace vsu::test
