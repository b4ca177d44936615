#pragma once

#include <string>

namespace vsu {

// The value of "Data Source=" in a connection string, up to the next ";" (the
// key is matched in any letter case); "" when the string names none.
std::string DataSource(const std::string& connectionString);

}  // namespace vsu
