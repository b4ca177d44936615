#pragma once
// The connection strings of the two settings databases.

#include <string>

namespace vsu {

// "Provider=...;Data Source=" + dir + "\VelaScan.mdb;Persist Security Info=False".
std::string VelaScanConnectString(const std::string& programDir);
// The same for Lumidex.mdb in the SNMPc directory.
std::string LumidexConnectString(const std::string& snmpcDir);

}  // namespace vsu
