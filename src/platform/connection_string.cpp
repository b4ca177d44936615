#include "platform/connection_string.h"

#include "common/text.h"

namespace vsu {

std::string DataSourceOf(const std::string& connectionString) {
  std::size_t start = 0;
  while (start <= connectionString.size()) {
    auto end = connectionString.find(';', start);
    if (end == std::string::npos) end = connectionString.size();
    const std::string_view pair(connectionString.data() + start, end - start);
    const auto eq = pair.find('=');
    if (eq != std::string_view::npos && LowerCase(TrimSpaces(pair.substr(0, eq))) == "data source") {
      return TrimSpaces(pair.substr(eq + 1));
    }
    start = end + 1;
  }
  return {};
}

}  // namespace vsu
