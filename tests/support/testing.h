#pragma once
// What nearly every test file uses: the framework, the standard library, the failure type, the naming of table rows.

#include <gtest/gtest.h>

#include <algorithm>
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
#include <vector>

#include "common/failure.h"

namespace vsu::test {

namespace fs = std::filesystem;

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
