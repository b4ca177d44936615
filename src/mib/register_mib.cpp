#include "mib/register_mib.h"

#include "common/failure.h"
#include "common/text.h"
#include "common/text_lines.h"
#include "database/pause.h"
#include "mib/names_list.h"
#include "platform/files.h"
#include "platform/views.h"

namespace vsu {

void RegisterMib(Platform& p, const InstallationState& s) {
  const std::string list = s.SnmpcDir + "\\mibfiles\\names.txt";
  const std::string backup = s.SnmpcDir + "\\mibfiles\\names.bak";
  try {
    if (p.files.FileExists(backup)) {
      p.files.DeleteFile(backup);
      Pause(p, 100);
    }
    p.files.RenameFile(list, backup);
    LineReader in = OpenLines(p.files, backup);
    LineWriter out = CreateLines(p.files, list);
    WriteNamesList(in, out);
    out.Close();
  } catch (const Failure& failure) {
    p.ui.MsgBox(failure.Description(), 16, "Vela Scan");
  }
}

}  // namespace vsu
