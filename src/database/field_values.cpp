#include "database/field_values.h"

#include <charconv>

#include "common/failure.h"
#include "common/text.h"

namespace vsu {
namespace {

[[noreturn]] void NullFailure(const std::string& column) {
  throw Failure("Invalid use of Null: the field " + column + " holds no value");
}

}  // namespace

std::string FieldText(Recordset& recordset, const std::string& column) {
  const FieldValue value = recordset.Field(column);
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
  if (const auto* small = std::get_if<std::int16_t>(&value)) return std::to_string(*small);
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  NullFailure(column);
}

std::int32_t FieldInt32(Recordset& recordset, const std::string& column) {
  const FieldValue value = recordset.Field(column);
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
  if (const auto* small = std::get_if<std::int16_t>(&value)) return *small;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const std::string digits = TrimSpaces(*text);
    std::int32_t result = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
      throw Failure("Type mismatch: the field " + column + " holds \"" + *text + "\", not a whole number");
    }
    return result;
  }
  NullFailure(column);
}

}  // namespace vsu
