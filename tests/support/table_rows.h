#pragma once
// Rows of the test tables that have a name print as that name in test
// listings and failure messages, instead of as raw bytes. A test file brings
// this in with "using test::PrintTo;" where its rows are declared.

#include <concepts>
#include <ostream>
#include <string_view>

namespace vsu::test {

template <typename Row>
  requires requires(const Row& row) {
    { row.name } -> std::convertible_to<std::string_view>;
  }
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

}  // namespace vsu::test
