#include "platform/sqlite/connection_string.h"

#include "common/text.h"

namespace vsu {

std::string DataSource(const std::string& connectionString) {
  static const std::string kKey = "DATA SOURCE=";
  const std::string upper = UpperCase(connectionString);
  std::size_t at = 0;
  // The key starts the string or follows a ";".
  while ((at = upper.find(kKey, at)) != std::string::npos) {
    if (at == 0 || upper[at - 1] == ';' || upper[at - 1] == ' ') break;
    ++at;
  }
  if (at == std::string::npos) return "";
  const std::size_t start = at + kKey.size();
  const std::size_t end = connectionString.find(';', start);
  return connectionString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace vsu
