#pragma once
// What nearly every test file uses: the framework, the standard library, the failure type, waiting for a condition,
// and the naming of table rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <concepts>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/failure.h"

namespace vsu::test {

namespace fs = std::filesystem;

// Polls done every few milliseconds until it returns true or timeout has passed.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Names each case of a parameterised test after the name field of its parameter.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const { return info.param.name; }
};

// Named table rows print as their name instead of raw bytes ("using test::PrintTo;").
template <typename Row>
  requires requires(const Row& row) {
    { row.name } -> std::convertible_to<std::string_view>;
  }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

}  // namespace vsu::test
