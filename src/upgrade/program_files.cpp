#include "upgrade/program_files.h"

namespace vsu {

std::array<ProgramFileRow, 5> ProgramFileRows(const InstallationState& s) {
  const std::string& program = s.ProgramDir;
  return {{
      {program + "\\Temp\\VelaScan.ex_", program + "\\VelaScan.exe", true, false},
      {program + "\\Temp\\VelaScanSrv.ex_", program + "\\VelaScanSrv.exe", true, false},
      {program + "\\Temp\\Tallyback.ex_", s.SnmpcDir + "\\Tallyback.exe", false, true},
      {program + "\\VelaScan.ico", s.SnmpcDir + "\\bitmaps\\VelaScan.ico", false, true},
      {program + "\\Ferrowin.mib", s.SnmpcDir + "\\mibfiles\\Ferrowin.mib", false, true},
  }};
}

}  // namespace vsu
