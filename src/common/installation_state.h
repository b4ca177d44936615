#pragma once
// The process-wide installation state, empty at start. It is passed to the
// routines that read or write it; nothing else holds it.

#include <string>

namespace vsu {

struct InstallationState {
  std::string WindowsDir;
  std::string ProgramDir;
  std::string DbConnectString;
  std::string SnmpcDir;
  std::string EnteredPath;
  std::string DbVersion;
  std::string SnmpcDbServer;
  std::string SnmpcDbSource;
  std::string SnmpcDbUser;
  int ServiceState = 0;
};

}  // namespace vsu
