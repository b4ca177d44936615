#include "mib/register_mib.h"

#include "common/failure.h"
#include "common/text_lines.h"
#include "forms/pause.h"
#include "mib/names_list.h"
#include "platform/files.h"
#include "platform/views.h"

namespace vsu {

// The new list is written beside names.txt and renamed into place, so names.txt
// is always either missing or whole. A run cut short after the old list became
// names.bak leaves names.txt missing beside that one whole copy; the next run
// goes on from there instead of deleting it.
void RegisterMib(Platform& p, const InstallationState& s) {
  const std::string list = s.SnmpcDir + "\\mibfiles\\names.txt";
  const std::string backup = s.SnmpcDir + "\\mibfiles\\names.bak";
  const std::string fresh = list + ".vsu-new";
  try {
    // Left by a run cut short; it may even share its contents with names.txt.
    if (p.files.FileExists(fresh)) p.files.RemoveFile(fresh);
    const bool resuming = !p.files.FileExists(list) && p.files.FileExists(backup);
    if (!resuming) {
      if (p.files.FileExists(backup)) {
        p.files.RemoveFile(backup);
        Pause(p, 100);
      }
      p.files.RenameFile(list, backup);
    }
    LineReader in(p.files.OpenForInput(backup));
    LineWriter out(p.files.CreateForOutput(fresh));
    WriteNamesList(in, out);
    out.Close();
    p.files.RenameFile(fresh, list);
  } catch (const std::exception& failure) {
    try {
      if (p.files.FileExists(fresh)) p.files.RemoveFile(fresh);
    } catch (const std::exception&) {
      // What could not be tidied now is removed by the next run.
    }
    p.ui.MsgBox(FailureDescription(failure), kMsgBoxCritical, "Vela Scan");
  }
}

}  // namespace vsu
