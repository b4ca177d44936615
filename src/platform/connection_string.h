#pragma once
// What a database backend needs from a connection string: the file it names.

#include <string>

namespace vsu {

// The value of the "Data Source" key (key in any letter case, spaces around key
// and value ignored); empty when the string has none.
std::string DataSourceOf(const std::string& connectionString);

}  // namespace vsu
