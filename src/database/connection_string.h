#pragma once

#include <string>

namespace vsu {

// The connection string of a settings database file.
inline std::string ConnectionStringFor(const std::string& databaseFile) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + databaseFile + ";Persist Security Info=False";
}

}  // namespace vsu
