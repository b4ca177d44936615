#pragma once
// A fresh temporary folder with a random name, made only when nobody has it yet (mkdtemp anywhere).

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace vsu::test {

inline std::filesystem::path MakeUniqueDir(const std::string& prefix) {
  std::mt19937_64 random(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) return candidate;  // false when it is someone else's
  }
  throw std::runtime_error("no free temporary folder for " + prefix);
}

}  // namespace vsu::test
