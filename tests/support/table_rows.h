#pragma once
// Named table rows print as their name instead of raw bytes ("using test::PrintTo;").

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
