#include "database/connection_strings.h"

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

}  // namespace vsu
