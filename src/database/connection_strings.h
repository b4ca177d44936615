#pragma once
// The connection strings of the two settings databases, and the one piece of
// them a backend needs back.

#include <string>

namespace vsu {

// "Provider=...;Data Source=" + dir + "\VelaScan.mdb;Persist Security Info=False".
std::string VelaScanConnectString(const std::string& programDir);
// The same for Lumidex.mdb in the SNMPc directory.
std::string LumidexConnectString(const std::string& snmpcDir);

// The value of the "Data Source" key (key in any letter case, spaces around key
// and value ignored); empty when the string has none.
std::string DataSourceOf(const std::string& connectionString);

}  // namespace vsu
