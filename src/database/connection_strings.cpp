#include "database/connection_strings.h"

#include "common/text.h"

namespace vsu {
namespace {

std::string ConnectString(const std::string& dir, const char* file) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + "\\" + file + ";Persist Security Info=False";
}

}  // namespace

std::string VelaScanConnectString(const std::string& programDir) {
  return ConnectString(programDir, "VelaScan.mdb");
}

std::string LumidexConnectString(const std::string& snmpcDir) {
  return ConnectString(snmpcDir, "Lumidex.mdb");
}

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
