#pragma once
// Reading a field the way the program's typed variables take it: a Null, or a
// value that does not convert, is a failure.

#include <cstdint>
#include <string>

#include "platform/database.h"

namespace vsu {

// Text as is; a Boolean as "True" or "False"; a number in decimal.
std::string FieldText(Recordset& recordset, const std::string& column);

// A number as is; a Boolean as -1 or 0; a text only when it is a whole number
// in range.
std::int32_t FieldInt32(Recordset& recordset, const std::string& column);

}  // namespace vsu
