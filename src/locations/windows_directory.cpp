#include "locations/windows_directory.h"

#include "common/failure.h"
#include "common/text.h"
#include "locations/frm_enter_path.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/views.h"

namespace vsu {

std::string GetTheWindowsDirectory(Platform& p, InstallationState& s) {
  constexpr unsigned kBufferSize = 250;
  std::string candidate(kBufferSize, ' ');
  try {
    const unsigned length = p.system.GetWindowsDirectoryA(candidate.data(), kBufferSize);
    candidate = Left(candidate, length);
    // A longer answer than "c:\windows" is not trusted.
    if (!candidate.empty() && candidate.size() <= 10) return candidate;
    if (p.files.FileExists("c:\\windows\\win.ini")) return "c:\\windows";
    if (p.files.FileExists("c:\\winnt\\win.ini")) return "c:\\winnt";
    AskForPath(p, s, kPromptWindows);
    if (s.EnteredPath.empty()) throw EndProgram{kExitCancelled};
    return s.EnteredPath;
  } catch (const std::exception&) {
    p.ui.MsgBox("Err_Handler: WinPath=" + candidate, kMsgBoxCritical, "Vela Scan_GetTheWindowsDirectory");
    return "";
  }
}

}  // namespace vsu
